#include "PreviewProfile.h"

#include "FileStamp.h"
#include "FrameScripts.h"
#include "LosslessNames.h"
#include "Secrets.h"
#include "UrlSchemes.h"

#include <QStandardPaths>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>

namespace zelvorin {

namespace {

// Requests the engine itself does not refuse. Program resources (qrc:) are for the
// program's own pages: a request for one from any other page, or from no page the program
// opened, is blocked. A folder (or any local file that is not a regular file) is shown
// only when the user opens it: the engine would list it for any local page that frames it
// or sends itself there.
class RequestGuard : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QUrl url = info.requestUrl();
        if (url.scheme() == QLatin1String("qrc"))
            guardResource(info);
        else if (url.isLocalFile() && isPageLoadOfListing(info))
            info.block(true);
    }

private:
    static void guardResource(QWebEngineUrlRequestInfo& info) {
        // The program opens its pages in the main frame itself (no initiator); those pages'
        // own requests come from a qrc: origin. An opaque origin may also give no initiator,
        // so only the main frame's own load counts without one.
        const QUrl initiator = info.initiator();
        const bool fromProgram =
            initiator.scheme() == QLatin1String("qrc") ||
            (initiator.isEmpty() &&
             info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame);
        if (!fromProgram)
            info.block(true);
    }
    static bool isPageLoadOfListing(const QWebEngineUrlRequestInfo& info) {
        // The user's own loads: a typed or chosen address, and Back, Forward or Refresh to
        // one of them.
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame) {
            switch (info.navigationType()) {
            case QWebEngineUrlRequestInfo::NavigationTypeTyped:
            case QWebEngineUrlRequestInfo::NavigationTypeBackForward:
            case QWebEngineUrlRequestInfo::NavigationTypeReload:
                return false;
            default:
                break;
            }
        }
        const platform::FileStamp stamp =
            platform::fileStamp(platform::rawPathOfUrl(info.requestUrl()));
        return stamp.exists && !stamp.regular;
    }
};

QWebEngineScript frameScript(const QString& name, const QString& source, quint32 world) {
    QWebEngineScript script;
    script.setName(name);
    script.setSourceCode(source);
    script.setWorldId(world);
    // At document creation, before any script of the page, and in every frame.
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setRunsOnSubFrames(true);
    return script;
}

} // namespace

PreviewProfile::PreviewProfile(QObject* parent)
    : QObject(parent), m_scriptKey(QStringLiteral("zelvorin-") + RandomSecret()),
      m_profile(new QWebEngineProfile(QStringLiteral("Zelvorin"), this)) {
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (!cache.isEmpty())
        m_profile->setCachePath(cache + QStringLiteral("/web"));

    QWebEngineSettings* settings = m_profile->settings();
    // Full-screen requests reach the page, which reports and refuses them.
    settings->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    // Popups only for a click of the user, as every browser's popup blocker does.
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    // A local page displays what a browser displays for a local site but reads no local
    // file's contents (fetch, XHR, a frame's document, a canvas): each local file is an
    // origin of its own, as in the engine's own browser.
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    // WebRTC gathers no address of the machine's own interfaces for pages.
    settings->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    m_profile->setUrlRequestInterceptor(new RequestGuard(this));

    m_commandHandler = new CommandSchemeHandler(this);
    m_imageHandler = new LocalImageSchemeHandler(&m_localImages, this);
    m_profile->installUrlSchemeHandler(CommandScheme, m_commandHandler);
    m_profile->installUrlSchemeHandler(RemoteImageScheme, m_imageHandler);
    m_profile->installUrlSchemeHandler(LocalImageScheme, m_imageHandler);

    m_profile->scripts()->insert(frameScript(QStringLiteral("zelvorin-frames"),
                                             frames::LibrarySource(m_scriptKey),
                                             QWebEngineScript::ApplicationWorld));
    m_profile->scripts()->insert(frameScript(QStringLiteral("zelvorin-status"),
                                             frames::StatusHookSource(),
                                             QWebEngineScript::MainWorld));
}

PreviewProfile::~PreviewProfile() {
    // The profile goes before the image table its handler reads.
    delete m_profile;
}

} // namespace zelvorin

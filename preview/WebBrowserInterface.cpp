#include "WebBrowserInterface.h"

#include "FrameScripts.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "ScriptWait.h"

#include <QFile>
#include <QWebEngineScript>
#include <QWebEngineView>

TWebBrowserInterface::TWebBrowserInterface(QWebEngineView* browser) : m_browser(browser) {
    if (!browser)
        throw TWebBrowserError("WebBrowserControl must be assigned!");
}

std::unique_ptr<TWebBrowserInterface> TWebBrowserInterface::Create(QWebEngineView* browser) {
    return std::make_unique<TWebBrowserInterface>(browser);
}

TWebBrowserInterface::~TWebBrowserInterface() = default;

bool TWebBrowserInterface::GoBack() {
    if (!m_canGoBack || !m_browser)
        return false;
    m_browser->back();
    return true;
}

bool TWebBrowserInterface::GoForward() {
    if (!m_canGoForward || !m_browser)
        return false;
    m_browser->forward();
    return true;
}

void TWebBrowserInterface::ResetNavigation() {
    m_canGoBack = false;
    m_canGoForward = false;
}

QString TWebBrowserInterface::ResourcePagePath(const QString& name) {
    for (const QString& candidate : {name, name.toUpper()}) {
        const QString path = QStringLiteral(":/pages/") + candidate + QStringLiteral(".html");
        if (!candidate.isEmpty() && QFile::exists(path))
            return path;
    }
    return QString();
}

bool TWebBrowserInterface::ShowResourcePage(const QString& name) {
    if (!m_browser)
        return false;
    m_browser->stop();
    const QString path = ResourcePagePath(name);
    if (path.isEmpty())
        return false;
    const QUrl url(QStringLiteral("qrc") + path);
    // Loaded as the program's own, so its command links work (see PreviewPage.h).
    if (auto* page = qobject_cast<zelvorin::PreviewPage*>(m_browser->page()))
        page->loadByProgram(url);
    else
        m_browser->load(url);
    return true;
}

THTMLDocument TWebBrowserInterface::Document() const {
    if (!m_browser || !m_browser->page() || m_browser->page()->url().isEmpty())
        return {};
    return {m_browser->page()};
}

QString TWebBrowserInterface::scriptKey() const {
    auto* page = m_browser ? qobject_cast<zelvorin::PreviewPage*>(m_browser->page()) : nullptr;
    return page ? page->previewProfile()->scriptKey() : QString();
}

std::optional<THTMLElement> TWebBrowserInterface::FindElement(const THTMLDocument& document,
                                                              const QString& name, int index) {
    if (!document.isValid())
        return std::nullopt;
    const std::optional<QVariant> handle = zelvorin::RunScriptAndWait(
        document.page, zelvorin::frames::FindElementScript(scriptKey(), name, qMax(index, 0)),
        QWebEngineScript::ApplicationWorld);
    if (!handle || !handle->isValid())
        return std::nullopt;
    bool ok = false;
    const int value = handle->toInt(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return THTMLElement{document.page, value};
}

QVariant TWebBrowserInterface::GetElementAttribute(const THTMLElement& element,
                                                   const QString& attributeName) {
    if (!element.page || element.handle < 0)
        return QVariant();
    const std::optional<QVariant> value = zelvorin::RunScriptAndWait(
        element.page,
        zelvorin::frames::ElementAttributeScript(scriptKey(), element.handle, attributeName),
        QWebEngineScript::ApplicationWorld);
    return value ? *value : QVariant();
}

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PreviewProfile.h"

#include "PageScripts.h"
#include "RequestGuard.h"
#include "Secrets.h"
#include "UrlSchemes.h"

#include <QStandardPaths>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

namespace zelvorin {

namespace {

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
    // WebRTC gathers no address of the machine's own interfaces for pages.
    settings->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    m_profile->setUrlRequestInterceptor(
        new RequestGuard(&m_localImages, &m_loadedLocalFiles, this));

    m_commandHandler = new CommandSchemeHandler(this);
    m_imageHandler = new LocalImageSchemeHandler(&m_localImages, this);
    m_pageHandler = new LocalPageSchemeHandler(this);
    m_profile->installUrlSchemeHandler(CommandScheme, m_commandHandler);
    m_profile->installUrlSchemeHandler(RemoteImageScheme, m_imageHandler);
    m_profile->installUrlSchemeHandler(LocalImageScheme, m_imageHandler);
    m_profile->installUrlSchemeHandler(LocalPageScheme, m_pageHandler);

    m_profile->scripts()->insert(frameScript(QStringLiteral("zelvorin-frames"),
                                             pagescripts::LibrarySource(m_scriptKey),
                                             QWebEngineScript::ApplicationWorld));
    m_profile->scripts()->insert(frameScript(QStringLiteral("zelvorin-status"),
                                             pagescripts::StatusHookSource(),
                                             QWebEngineScript::MainWorld));
}

PreviewProfile::~PreviewProfile() {
    // The profile goes before the tables its guard and handler use.
    delete m_profile;
}

} // namespace zelvorin

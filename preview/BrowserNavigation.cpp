// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "BrowserNavigation.h"

#include "PreviewPage.h"

#include <QFile>
#include <QWebEngineView>

#include <stdexcept>

namespace zelvorin {

BrowserNavigation::BrowserNavigation(QWebEngineView* browser) : m_browser(browser) {
    if (!browser)
        throw std::invalid_argument("WebBrowserControl must be assigned!");
}

bool BrowserNavigation::goBack() {
    if (!m_canGoBack || !m_browser)
        return false;
    m_browser->back();
    return true;
}

bool BrowserNavigation::goForward() {
    if (!m_canGoForward || !m_browser)
        return false;
    m_browser->forward();
    return true;
}

void BrowserNavigation::resetNavigation() {
    m_canGoBack = false;
    m_canGoForward = false;
}

QString BrowserNavigation::resourcePagePath(const QString& name) {
    for (const QString& candidate : {name, name.toUpper()}) {
        const QString path = QStringLiteral(":/pages/") + candidate + QStringLiteral(".html");
        if (!candidate.isEmpty() && QFile::exists(path))
            return path;
    }
    return QString();
}

bool BrowserNavigation::showResourcePage(const QString& name) {
    if (!m_browser)
        return false;
    m_browser->stop();
    const QString path = resourcePagePath(name);
    if (path.isEmpty())
        return false;
    const QUrl url(QStringLiteral("qrc") + path);
    // Loaded as the program's own, so its command links work (see PreviewPage.h).
    if (auto* page = qobject_cast<PreviewPage*>(m_browser->page()))
        page->loadByProgram(url);
    else
        m_browser->load(url);
    return true;
}

} // namespace zelvorin

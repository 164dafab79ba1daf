// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The preview: an embedded web browser (Qt WebEngine) that shows web pages and local files
// and takes the user's chosen backgrounds. This header holds the small part the main
// window keeps of its browser's navigation: Back and Forward availability (kept by the
// browser's command-state events, see BrowserEvents) and pages stored in the program's
// resources.
#pragma once

#include <QPointer>
#include <QString>

class QWebEngineView;

namespace zelvorin {

class BrowserNavigation {
public:
    // Raises std::invalid_argument("WebBrowserControl must be assigned!") without a
    // browser.
    explicit BrowserNavigation(QWebEngineView* browser);
    BrowserNavigation(const BrowserNavigation&) = delete;
    BrowserNavigation& operator=(const BrowserNavigation&) = delete;

    bool canGoBack() const { return m_canGoBack; }
    bool canGoForward() const { return m_canGoForward; }
    void setCanGoBack(bool enable) { m_canGoBack = enable; }
    void setCanGoForward(bool enable) { m_canGoForward = enable; }

    // Each false when the history does not allow it (the browser is not asked).
    bool goBack();
    bool goForward();
    // Both availabilities off, as at start.
    void resetNavigation();

    // Stops the browser; shows the program's HTML resource of that name (a file
    // ":/pages/<name>.html" of the Qt resources) and returns true, or returns false when
    // there is none.
    bool showResourcePage(const QString& name);
    static QString resourcePagePath(const QString& name);

private:
    QPointer<QWebEngineView> m_browser;
    bool m_canGoBack = false;
    bool m_canGoForward = false;
};

} // namespace zelvorin

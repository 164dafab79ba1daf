// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "BrowserEvents.h"

#include "BrowserNavigation.h"
#include "EventLogFormat.h"
#include "PreviewPage.h"

#include <QEvent>
#include <QTimer>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineHistory>
#include <QWebEngineView>

namespace zelvorin {

QString NavigationFlagsText(QWebEnginePage::NavigationType type, bool isMainFrame) {
    QString kind;
    switch (type) {
    case QWebEnginePage::NavigationTypeLinkClicked:
        kind = QStringLiteral("LinkClicked");
        break;
    case QWebEnginePage::NavigationTypeTyped:
        kind = QStringLiteral("Typed");
        break;
    case QWebEnginePage::NavigationTypeFormSubmitted:
        kind = QStringLiteral("FormSubmitted");
        break;
    case QWebEnginePage::NavigationTypeBackForward:
        kind = QStringLiteral("BackForward");
        break;
    case QWebEnginePage::NavigationTypeReload:
        kind = QStringLiteral("Reload");
        break;
    case QWebEnginePage::NavigationTypeRedirect:
        kind = QStringLiteral("Redirect");
        break;
    default:
        kind = QStringLiteral("Other");
        break;
    }
    return kind + (isMainFrame ? QString() : QStringLiteral(" SubFrame"));
}

BrowserEvents::BrowserEvents(QWebEngineView* view, PreviewPage* page, BrowserNavigation* navigation,
                             QObject* parent)
    : QObject(parent), m_view(view), m_page(page), m_navigation(navigation) {
    connectEngine();
}

// How the engine's reports map to the browser events of the log:
//   acceptNavigationRequest (PreviewPage::beforeNavigate) -> BeforeNavigate2; the engine
//       gives no post data or extra headers there, and no target frame name, so those
//       fields stay empty and the flags field names the navigation type
//   loadStarted       -> DownloadBegin, then Progress 0/100 (the gauge starts)
//   loadProgress(p)   -> Progress p/100
//   urlChanged        -> NavigateComplete, then CommandStateChange 1 and 2 when Back or
//                        Forward availability changed (the engine has no history signal)
//   loadFinished      -> Progress 0/0 (the gauge stops), DownloadComplete, DocumentComplete,
//                        and the command states again
//   titleChanged      -> OnTitleChange
//   linkHovered, window.status written by a page (PreviewPage::statusTextSet)
//                     -> OnStatusTextChange
//   createWindow (PreviewPage::newWindowOpened) -> OnNewWindow, Cancel false
//   windowCloseRequested -> OnQuit (the preview stays)
//   fullScreenRequested  -> OnFullScreen, and the request is refused
//   PreviewPage::navigationRefused -> a line of the program's own naming the address
//   focus entering / leaving the view -> OnEnter / OnExit
// The engine has no counterpart of the property-change, visible, tool bar, menu bar,
// status bar and theater-mode requests, nor of the window system's control drag events.
void BrowserEvents::connectEngine() {
    connect(m_page, &PreviewPage::beforeNavigate, this,
            [this](const QUrl& url, QWebEnginePage::NavigationType type, bool isMainFrame, bool*) {
                logBeforeNavigate(url.toString(), NavigationFlagsText(type, isMainFrame), QString(),
                                  QString(), QString());
            });
    connect(m_page, &PreviewPage::navigationRefused, this,
            [this](const QUrl& url) { emit logLine(eventlog::refused(url.toString())); });
    connect(m_page, &QWebEnginePage::loadStarted, this, [this] {
        logDownloadBegin();
        showProgress(0, 100);
    });
    connect(m_page, &QWebEnginePage::loadProgress, this, [this](int progress) {
        // 0 was reported with the start already.
        if (progress > 0)
            showProgress(progress, 100);
    });
    connect(m_page, &QWebEnginePage::urlChanged, this, [this](const QUrl& url) {
        logNavigateComplete(url.toString());
        reportHistory();
    });
    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool) {
        showProgress(0, 0);
        logDownloadComplete();
        logDocumentComplete(m_page->url().toString());
        reportHistory();
    });
    connect(m_page, &QWebEnginePage::titleChanged, this,
            [this](const QString& title) { showTitle(title); });
    connect(m_page, &QWebEnginePage::linkHovered, this,
            [this](const QString& url) { showStatusText(url); });
    connect(m_page, &PreviewPage::statusTextSet, this,
            [this](const QString& text) { showStatusText(text); });
    connect(m_page, &PreviewPage::newWindowOpened, this,
            [this](QWebEnginePage*) { logNewWindow(false); });
    connect(m_page, &QWebEnginePage::windowCloseRequested, this, [this] { logQuit(); });
    connect(m_page, &QWebEnginePage::fullScreenRequested, this,
            [this](QWebEngineFullScreenRequest request) {
                logFullScreen(request.toggleOn());
                request.reject();
            });
    if (m_view) {
        m_view->installEventFilter(this);
        // The view hands its focus to an inner widget once the page is shown.
        connect(m_page, &QWebEnginePage::loadFinished, this, [this] {
            QWidget* proxy = m_view ? m_view->focusProxy() : nullptr;
            if (proxy && proxy != m_focusTarget) {
                m_focusTarget = proxy;
                proxy->installEventFilter(this);
            }
        });
    }
}

bool BrowserEvents::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view || watched == m_focusTarget) {
        if (event->type() == QEvent::FocusIn)
            logEnter();
        else if (event->type() == QEvent::FocusOut)
            logExit();
    }
    return QObject::eventFilter(watched, event);
}

void BrowserEvents::reportHistory() {
    QWebEngineHistory* history = m_page->history();
    const int back = history->canGoBack() ? 1 : 0;
    const int forward = history->canGoForward() ? 1 : 0;
    if (forward != m_reportedForward) {
        m_reportedForward = forward;
        setCommandState(1, forward == 1);
    }
    if (back != m_reportedBack) {
        m_reportedBack = back;
        setCommandState(2, back == 1);
    }
}

void BrowserEvents::setGauge(preview::Gauge gauge) {
    if (gauge == m_gauge)
        return;
    m_gauge = gauge;
    emit gaugeChanged(gauge.enabled, gauge.position);
}

void BrowserEvents::disableGauge() {
    setGauge({false, m_gauge.position});
}

void BrowserEvents::logBeforeNavigate(const QString& url, const QString& flags,
                                      const QString& targetFrameName, const QString& postData,
                                      const QString& headers) {
    emit logLine(eventlog::beforeNavigate(url, flags, targetFrameName, postData, headers));
}

void BrowserEvents::logNavigateComplete(const QString& url) {
    emit logLine(eventlog::navigateComplete(url));
}

void BrowserEvents::logDocumentComplete(const QString& url) {
    emit logLine(eventlog::documentComplete(url));
}

void BrowserEvents::logDownloadBegin() {
    emit logLine(eventlog::downloadBegin());
}

void BrowserEvents::logDownloadComplete() {
    emit logLine(eventlog::downloadComplete());
}

void BrowserEvents::showProgress(qint64 progress, qint64 maximum) {
    emit logLine(eventlog::progress(progress, maximum));
    setGauge(preview::GaugeAfterProgress(m_gauge, progress, maximum));
}

void BrowserEvents::showStatusText(const QString& text) {
    if (preview::ShowsStatusText(text) && text != m_statusText) {
        m_statusText = text;
        emit statusTextChanged(text);
    }
    emit logLine(eventlog::statusText(text));
}

void BrowserEvents::showTitle(const QString& text) {
    emit logLine(eventlog::title(text));
    const preview::Captions captions = preview::CaptionsForTitle(text);
    emit captionChanged(captions.windowCaption, captions.applicationTitle);
}

void BrowserEvents::setCommandState(int command, bool enable) {
    emit logLine(eventlog::commandState(command, enable));
    if (!m_navigation)
        return;
    if (command == 1)
        m_navigation->setCanGoForward(enable);
    else if (command == 2)
        m_navigation->setCanGoBack(enable);
    else
        return;
    emit backForwardChanged(m_navigation->canGoBack(), m_navigation->canGoForward());
}

void BrowserEvents::logNewWindow(bool cancel) {
    emit logLine(eventlog::newWindow(cancel));
}

void BrowserEvents::logQuit() {
    emit logLine(eventlog::quit());
}

void BrowserEvents::logFullScreen(bool fullScreen) {
    emit logLine(eventlog::fullScreen(fullScreen));
}

void BrowserEvents::logEnter() {
    emit logLine(eventlog::enter());
}

void BrowserEvents::logExit() {
    emit logLine(eventlog::exit());
}

} // namespace zelvorin

#include "BrowserEvents.h"

#include "EventLogFormat.h"
#include "PreviewPage.h"
#include "WebBrowserInterface.h"

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

BrowserEvents::BrowserEvents(QWebEngineView* view, PreviewPage* page, TWebBrowserInterface* browser,
                             QObject* parent)
    : QObject(parent), m_view(view), m_page(page), m_browser(browser) {
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
                WebBrowser1BeforeNavigate2(url.toString(), NavigationFlagsText(type, isMainFrame),
                                           QString(), QString(), QString());
            });
    connect(m_page, &PreviewPage::navigationRefused, this,
            [this](const QUrl& url) { emit logLine(eventlog::refused(url.toString())); });
    connect(m_page, &QWebEnginePage::loadStarted, this, [this] {
        WebBrowser1DownloadBegin();
        WebBrowser1ProgressChange(0, 100);
    });
    connect(m_page, &QWebEnginePage::loadProgress, this, [this](int progress) {
        // 0 was reported with the start already.
        if (progress > 0)
            WebBrowser1ProgressChange(progress, 100);
    });
    connect(m_page, &QWebEnginePage::urlChanged, this, [this](const QUrl& url) {
        WebBrowser1NavigateComplete2(url.toString());
        reportHistory();
    });
    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool) {
        WebBrowser1ProgressChange(0, 0);
        WebBrowser1DownloadComplete();
        WebBrowser1DocumentComplete(m_page->url().toString());
        reportHistory();
    });
    connect(m_page, &QWebEnginePage::titleChanged, this,
            [this](const QString& title) { WebBrowser1TitleChange(title); });
    connect(m_page, &QWebEnginePage::linkHovered, this,
            [this](const QString& url) { WebBrowser1StatusTextChange(url); });
    connect(m_page, &PreviewPage::statusTextSet, this,
            [this](const QString& text) { WebBrowser1StatusTextChange(text); });
    connect(m_page, &PreviewPage::newWindowOpened, this,
            [this](QWebEnginePage*) { WebBrowser1NewWindow2(false); });
    connect(m_page, &QWebEnginePage::windowCloseRequested, this, [this] { WebBrowser1Quit(); });
    connect(m_page, &QWebEnginePage::fullScreenRequested, this,
            [this](QWebEngineFullScreenRequest request) {
                WebBrowser1FullScreen(request.toggleOn());
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
            WebBrowser1Enter();
        else if (event->type() == QEvent::FocusOut)
            WebBrowser1Exit();
    }
    return QObject::eventFilter(watched, event);
}

void BrowserEvents::reportHistory() {
    QWebEngineHistory* history = m_page->history();
    const int back = history->canGoBack() ? 1 : 0;
    const int forward = history->canGoForward() ? 1 : 0;
    if (forward != m_reportedForward) {
        m_reportedForward = forward;
        WebBrowser1CommandStateChange(1, forward == 1);
    }
    if (back != m_reportedBack) {
        m_reportedBack = back;
        WebBrowser1CommandStateChange(2, back == 1);
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

void BrowserEvents::WebBrowser1BeforeNavigate2(const QString& url, const QString& flags,
                                               const QString& targetFrameName,
                                               const QString& postData, const QString& headers) {
    emit logLine(eventlog::beforeNavigate(url, flags, targetFrameName, postData, headers));
}

void BrowserEvents::WebBrowser1NavigateComplete2(const QString& url) {
    emit logLine(eventlog::navigateComplete(url));
}

void BrowserEvents::WebBrowser1DocumentComplete(const QString& url) {
    emit logLine(eventlog::documentComplete(url));
}

void BrowserEvents::WebBrowser1DownloadBegin() {
    emit logLine(eventlog::downloadBegin());
}

void BrowserEvents::WebBrowser1DownloadComplete() {
    emit logLine(eventlog::downloadComplete());
}

void BrowserEvents::WebBrowser1ProgressChange(qint64 progress, qint64 maximum) {
    emit logLine(eventlog::progress(progress, maximum));
    setGauge(preview::GaugeAfterProgress(m_gauge, progress, maximum));
}

void BrowserEvents::WebBrowser1StatusTextChange(const QString& text) {
    if (preview::ShowsStatusText(text) && text != m_statusText) {
        m_statusText = text;
        emit statusTextChanged(text);
    }
    emit logLine(eventlog::statusText(text));
}

void BrowserEvents::WebBrowser1TitleChange(const QString& text) {
    emit logLine(eventlog::title(text));
    const preview::Captions captions = preview::CaptionsForTitle(text);
    emit captionChanged(captions.windowCaption, captions.applicationTitle);
}

void BrowserEvents::WebBrowser1CommandStateChange(int command, bool enable) {
    emit logLine(eventlog::commandState(command, enable));
    if (!m_browser)
        return;
    if (command == 1)
        m_browser->SetCanGoForward(enable);
    else if (command == 2)
        m_browser->SetCanGoBack(enable);
    else
        return;
    emit backForwardChanged(m_browser->CanGoBack(), m_browser->CanGoForward());
}

void BrowserEvents::WebBrowser1NewWindow2(bool cancel) {
    emit logLine(eventlog::newWindow(cancel));
}

void BrowserEvents::WebBrowser1Quit() {
    emit logLine(eventlog::quit());
}

void BrowserEvents::WebBrowser1FullScreen(bool fullScreen) {
    emit logLine(eventlog::fullScreen(fullScreen));
}

void BrowserEvents::WebBrowser1Enter() {
    emit logLine(eventlog::enter());
}

void BrowserEvents::WebBrowser1Exit() {
    emit logLine(eventlog::exit());
}

} // namespace zelvorin

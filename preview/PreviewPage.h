// The web policy of every page the preview shows: navigations pass a check that takes the
// program's command addresses out of the browser's way, script dialogs and certificate
// questions are suppressed while the browser is silent, texts pages put into
// `window.status` and the reports of the program's frame scripts are picked out of the
// console, and requests for new windows open a browser window of the program's own.
#pragma once

#include <QUrl>
#include <QWebEnginePage>

class QWebEngineCertificateError;

namespace zelvorin {

class PreviewProfile;

class PreviewPage : public QWebEnginePage {
    Q_OBJECT
public:
    PreviewPage(PreviewProfile* profile, QObject* parent);

    PreviewProfile* previewProfile() const { return m_previewProfile; }

    // While silent the page shows no dialogs of its own: alert, confirm and prompt are
    // answered as if cancelled and certificate errors are refused without a question.
    void setSilent(bool silent) { m_silent = silent; }
    bool silent() const { return m_silent; }
    // Dialogs that silence kept from the user, for the curious (and for tests).
    int suppressedDialogs() const { return m_suppressedDialogs; }

signals:
    // Raised for every navigation before it starts; a receiver may set *cancel.
    void beforeNavigate(const QUrl& url, QWebEnginePage::NavigationType type, bool isMainFrame,
                        bool* cancel);
    // A command address was cancelled; raised after the engine has been answered, so the
    // receiver may navigate again.
    void commandUrlRequested(const QString& url);
    // A page wrote `window.status`.
    void statusTextSet(const QString& text);
    // The program's frame scripts reported a change applied in every frame.
    void changeApplied(int requestId);
    // A new window was opened for a request of the page.
    void newWindowOpened(QWebEnginePage* page);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                          const QString& defaultValue, QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceId) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    void handleCertificateError(const QWebEngineCertificateError& error);

    PreviewProfile* m_previewProfile = nullptr;
    bool m_silent = false;
    int m_suppressedDialogs = 0;
    QString m_appliedPrefix;
};

} // namespace zelvorin

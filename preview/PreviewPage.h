// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The web policy of every page the preview shows. Navigations pass a check that refuses
// every command address (the engine cannot say which window or frame started a
// navigation, so none of them may run a command) and every program resource a page asks
// for; the program's own documents are recorded when the program makes them (never
// guessed from a document's origin or address), and the commands a user's click asks for
// in them arrive as reports of the program's frame script. Script dialogs and certificate
// questions are suppressed while the browser is silent (so are a site's or a proxy's
// requests to sign in, which otherwise ask the user), the reports of the program's page
// scripts are picked out of the console (PageReports.h), and requests for new windows
// open a browser window of the program's own.
#pragma once

#include <QUrl>
#include <QWebEnginePage>
#include <optional>

class QAuthenticator;
class QWebEngineCertificateError;

namespace zelvorin {

class PreviewProfile;

class PreviewPage : public QWebEnginePage {
    Q_OBJECT
public:
    PreviewPage(PreviewProfile* profile, QObject* parent);

    PreviewProfile* previewProfile() const { return m_previewProfile; }

    // While the profile is silent the page shows no dialogs of its own: alert, confirm and
    // prompt are answered as if cancelled, certificate errors are refused without a
    // question and a request to sign in fails as if cancelled. A page's question before it
    // is left ("beforeunload") is answered "leave" when the program itself navigates.
    bool silent() const;
    // Dialogs that silence kept from the user, for the curious (and for tests).
    int suppressedDialogs() const { return m_suppressedDialogs; }

    // A load the program itself starts. A program resource page (qrc:) loaded so becomes
    // one of the program's own documents once it has loaded; this is the only way one is
    // ever shown.
    void loadByProgram(const QUrl& url);
    // The user's Back, Forward or Refresh (or the program's reload of a changed page) that
    // the program is about to start. A program resource page it comes to is loaded anew by
    // the program: history navigations look the same whether the user or a page asked.
    void expectProgramNavigation(NavigationType type);
    // The program's resource pages, which only the program itself may open.
    static bool isProgramDocumentAddress(const QUrl& url);
    // Whether the local file is one the user opened that goes to the desktop's program
    // (a mail or news file); true once for each such opening.
    bool takeDesktopHandOver(const QUrl& url);
    // Whether the address is where the user last sent the page (a typed address, the
    // program's own load, Back, Forward or Refresh); true once for each such navigation.
    bool takeUserNavigation(const QUrl& url);
    // Whether a load runs, or the program has asked for one that has not started yet.
    bool loadUnderWay() const { return m_loading || isLoading() || m_loadAsked; }
    // Whether the program's own load of one of its documents is under way: it becomes the
    // program's when it has loaded.
    bool loadsProgramDocument() const;
    // Whether the shown document is one the program made, and the secret of its claim.
    bool ownsShownDocument() const;
    QString ownerNonce() const { return ownsShownDocument() ? m_ownerNonce : QString(); }

signals:
    // Raised for every navigation before it starts; a receiver may set *cancel.
    void beforeNavigate(const QUrl& url, QWebEnginePage::NavigationType type, bool isMainFrame,
                        bool* cancel);
    // A navigation was refused: a command address, or a program resource a page asked
    // for. Also raised for the refusals of the windows opened from this page.
    void navigationRefused(const QUrl& url);
    // The user activated a command link in one of the program's own documents; raised
    // after the engine has been answered, so the receiver may navigate.
    void commandUrlRequested(const QString& url);
    // One of the program's own documents, claimed with `nonce`, wants more of its items.
    void moreItemsRequested(const QString& nonce);
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
    struct ProgramNavigation {
        NavigationType type;
        QUrl url; // empty: any address
    };
    bool isProgramNavigation(const QUrl& url, NavigationType type) const;
    void mainDocumentChanged();
    void mainDocumentLoaded(bool ok);
    void handleCertificateError(const QWebEngineCertificateError& error);
    void askForSignIn(const QUrl& url, QAuthenticator* authenticator, const QString& proxyHost);

    PreviewProfile* m_previewProfile = nullptr;
    int m_suppressedDialogs = 0;
    std::optional<ProgramNavigation> m_expected;
    bool m_loadAsked = false;
    // From the start of a load to its end as told: Qt 6.8 says a quick load (a blank or
    // resource page) is over before it tells its address and its end.
    bool m_loading = false;
    QUrl m_address; // the main frame's address as last told
    // Changes of the main frame's document so far: a claim holds only for the document it
    // was made on.
    quint64 m_navigations = 0;
    QUrl m_claimOnLoad;
    QUrl m_desktopHandOver;
    QUrl m_userNavigation;
    QString m_ownerNonce;
    quint64 m_ownedAt = 0;
};

} // namespace zelvorin

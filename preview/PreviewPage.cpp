// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PreviewPage.h"

#include "BrowserWindow.h"
#include "Downloads.h"
#include "PageReports.h"
#include "PageScripts.h"
#include "PreviewProfile.h"
#include "PreviewRules.h"
#include "ProgramValues.h"
#include "Secrets.h"
#include "SignInDialog.h"

#include <QAuthenticator>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWebEngineCertificateError>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace zelvorin {

PreviewPage::PreviewPage(PreviewProfile* profile, QObject* parent)
    : QWebEnginePage(profile->profile(), parent), m_previewProfile(profile) {
    connect(this, &QWebEnginePage::certificateError, this,
            [this](const QWebEngineCertificateError& error) { handleCertificateError(error); });
    // Navigations to about:blank never pass acceptNavigationRequest in this engine, so a
    // claim also ends with any change of address (a program document is never a blank
    // page, so leaving one always changes the address; a refused navigation reports a load
    // but changes nothing). Connected before anyone else's, so a document the program made
    // is claimed before the receivers of its load hear of it.
    connect(this, &QWebEnginePage::urlChanged, this, &PreviewPage::mainDocumentChanged);
    connect(this, &QWebEnginePage::loadFinished, this, &PreviewPage::mainDocumentLoaded);
    // The load asked for has started, or ended without a start: a move within the document
    // reports no load, only its new address. Another document's address may come before
    // its load starts (Qt 6.8 tells it first), so that one still waits for its load.
    connect(this, &QWebEnginePage::loadStarted, this, [this] {
        m_loadAsked = false;
        m_loading = true;
    });
    connect(this, &QWebEnginePage::urlChanged, this, [this](const QUrl& url) {
        if (url.adjusted(QUrl::RemoveFragment) == m_address.adjusted(QUrl::RemoveFragment))
            m_loadAsked = false;
        m_address = url;
    });
    connect(this, &QWebEnginePage::authenticationRequired, this,
            [this](const QUrl& url, QAuthenticator* authenticator) {
                askForSignIn(url, authenticator, QString());
            });
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            [this](const QUrl& url, QAuthenticator* authenticator, const QString& proxyHost) {
                askForSignIn(url, authenticator, proxyHost);
            });
}

// The program's own documents are its resource pages: pages can never open those (see
// acceptNavigationRequest and the profile's request guard), and, unlike about:blank,
// every navigation to one passes the navigation check.
bool PreviewPage::isProgramDocumentAddress(const QUrl& url) {
    return url.scheme() == QLatin1String("qrc");
}

bool PreviewPage::silent() const {
    return m_previewProfile->silent();
}

void PreviewPage::loadByProgram(const QUrl& url) {
    m_expected = ProgramNavigation{NavigationTypeTyped, url};
    m_loadAsked = true;
    load(url);
}

void PreviewPage::expectProgramNavigation(NavigationType type) {
    m_expected = ProgramNavigation{type, QUrl()};
}

bool PreviewPage::isProgramNavigation(const QUrl& url, NavigationType type) const {
    return m_expected && m_expected->type == type &&
           (m_expected->url.isEmpty() || m_expected->url == url);
}

bool PreviewPage::loadsProgramDocument() const {
    const bool asked = m_expected && m_expected->type == NavigationTypeTyped &&
                       isProgramDocumentAddress(m_expected->url);
    return asked || !m_claimOnLoad.isEmpty();
}

bool PreviewPage::ownsShownDocument() const {
    return !m_ownerNonce.isEmpty() && m_ownedAt == m_navigations;
}

bool PreviewPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    bool cancel = false;
    emit beforeNavigate(url, type, isMainFrame, &cancel);
    const bool fromProgram = isMainFrame && isProgramNavigation(url, type);
    // A program resource is shown only when the program itself loads it. A history
    // navigation to one looks the same whether the user's Back or a page's history.back()
    // asked for it, so the user's becomes a load of the program's (the engine may also
    // skip entries a page made without the user, so the user's Back may land there from
    // further than the entry before).
    const bool programLoad = fromProgram && type == NavigationTypeTyped;
    if (isProgramDocumentAddress(url) && fromProgram && !programLoad) {
        m_expected.reset();
        QTimer::singleShot(0, this, [this, url] { loadByProgram(url); });
        return false;
    }
    // Commands never run from a navigation: the program's own links report the user's
    // click instead, and the program runs typed commands itself.
    if (preview::IsCommandAddress(url.toString()) ||
        (isProgramDocumentAddress(url) && !programLoad)) {
        emit navigationRefused(url);
        return false;
    }
    if (cancel)
        return false;
    if (isMainFrame && IsHandedToDesktop(url)) {
        // Only the user's own choice of a file goes to the desktop, never a page's link.
        if (!fromProgram) {
            emit navigationRefused(url);
            return false;
        }
        // Through the profile's downloads, which ask the user first; once the engine has
        // its answer.
        m_desktopHandOver = url;
        QTimer::singleShot(0, this, [this, url] { download(url); });
        m_expected.reset();
        // The program's load ends here, with nothing loaded.
        m_loadAsked = false;
        return false;
    }
    if (isMainFrame) {
        // Only the program makes typed navigations.
        m_userNavigation = fromProgram || type == NavigationTypeTyped ? url : QUrl();
        mainDocumentChanged();
        m_claimOnLoad = programLoad && isProgramDocumentAddress(url) ? url : QUrl();
        m_expected.reset();
    }
    return true;
}

namespace {

bool takeOnce(QUrl& held, const QUrl& url) {
    if (held.isEmpty() || held != url)
        return false;
    held.clear();
    return true;
}

} // namespace

bool PreviewPage::takeDesktopHandOver(const QUrl& url) {
    return takeOnce(m_desktopHandOver, url);
}

bool PreviewPage::takeUserNavigation(const QUrl& url) {
    return takeOnce(m_userNavigation, url);
}

void PreviewPage::mainDocumentChanged() {
    ++m_navigations;
    // The user's Back, Forward or Refresh ends with any change of address; a Back within
    // the document never passes the navigation check, and its expectation must not last
    // until a page's own history navigation.
    if (m_expected && m_expected->url.isEmpty())
        m_expected.reset();
}

void PreviewPage::mainDocumentLoaded(bool ok) {
    m_loadAsked = false;
    m_loading = false;
    const QUrl expected = m_claimOnLoad;
    m_claimOnLoad.clear();
    if (expected.isEmpty() || !ok || url() != expected)
        return;
    // The engine runs scripts in the order they are asked for, so everything the program
    // asks of this document from now on finds the claim in place; the claim checks that
    // the document is still the one loaded.
    m_ownerNonce = RandomSecret();
    m_ownedAt = m_navigations;
    runJavaScript(pagescripts::LibraryCall(m_previewProfile->scriptKey(),
                                           QStringLiteral("claimLoaded"),
                                           {m_ownerNonce, expected.toString(QUrl::FullyEncoded)}),
                  QWebEngineScript::ApplicationWorld);
}

void PreviewPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg) {
    if (silent()) {
        ++m_suppressedDialogs;
        return;
    }
    QWebEnginePage::javaScriptAlert(securityOrigin, msg);
}

bool PreviewPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) {
    if (silent()) {
        ++m_suppressedDialogs;
        // The engine asks a page's "beforeunload" question here too. A page never keeps
        // the user from where the program is taking them; its own confirm() while the
        // program navigates is answered likewise, which gives it nothing.
        return m_expected.has_value();
    }
    return QWebEnginePage::javaScriptConfirm(securityOrigin, msg);
}

bool PreviewPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                                   const QString& defaultValue, QString* result) {
    if (silent()) {
        ++m_suppressedDialogs;
        return false;
    }
    return QWebEnginePage::javaScriptPrompt(securityOrigin, msg, defaultValue, result);
}

void PreviewPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                           const QString& message, int lineNumber,
                                           const QString& sourceId) {
    const ReadReport read = ReadPageReport(message, m_previewProfile->scriptKey());
    if (!read.program) {
        QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceId);
        return;
    }
    if (!read.report)
        return;
    const PageReport& report = *read.report;
    switch (report.kind) {
    case PageReport::Kind::Applied:
        emit changeApplied(report.id);
        break;
    case PageReport::Kind::Status:
        emit statusTextSet(report.text);
        break;
    case PageReport::Kind::Command:
    case PageReport::Kind::More:
        // Reports of the program's own documents; those of any other document are dropped.
        if (!ownsShownDocument() || report.nonce != m_ownerNonce)
            break;
        // The receiver may navigate: it runs once the engine has finished this call.
        if (report.kind == PageReport::Kind::Command)
            QTimer::singleShot(0, this,
                               [this, url = report.address] { emit commandUrlRequested(url); });
        else
            QTimer::singleShot(0, this,
                               [this, nonce = report.nonce] { emit moreItemsRequested(nonce); });
        break;
    }
}

QWebEnginePage* PreviewPage::createWindow(WebWindowType type) {
    Q_UNUSED(type);
    QWidget* owner = nullptr;
    if (auto* view = qobject_cast<QWebEngineView*>(QWebEngineView::forPage(this)))
        owner = view->window();
    auto* window = new BrowserWindow(m_previewProfile, owner);
    connect(window->page(), &PreviewPage::navigationRefused, this, &PreviewPage::navigationRefused);
    emit newWindowOpened(window->page());
    return window->page();
}

void PreviewPage::askForSignIn(const QUrl& url, QAuthenticator* authenticator,
                               const QString& proxyHost) {
    // The engine wants the answer before this call returns, so the question is modal.
    if (silent()) {
        ++m_suppressedDialogs;
        *authenticator = QAuthenticator();
        return;
    }
    QWidget* view = QWebEngineView::forPage(this);
    SignInDialog::Ask(view ? view->window() : nullptr, url, authenticator, proxyHost);
}

void PreviewPage::handleCertificateError(const QWebEngineCertificateError& error) {
    QWebEngineCertificateError pending = error;
    if (silent() || !pending.isOverridable()) {
        if (silent())
            ++m_suppressedDialogs;
        pending.rejectCertificate();
        return;
    }
    pending.defer();
    QWidget* owner = QWebEngineView::forPage(this);
    QTimer::singleShot(0, this, [owner = QPointer<QWidget>(owner), pending]() mutable {
        const auto answer = QMessageBox::question(
            owner, ProductTitle,
            QObject::tr("The certificate of %1 is not trusted:\n%2\n\nLoad the page anyway?")
                .arg(pending.url().host(), pending.description()),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer == QMessageBox::Yes)
            pending.acceptCertificate();
        else
            pending.rejectCertificate();
    });
}

} // namespace zelvorin

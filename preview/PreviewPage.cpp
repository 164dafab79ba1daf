#include "PreviewPage.h"

#include "BrowserWindow.h"
#include "FrameScripts.h"
#include "PreviewProfile.h"
#include "PreviewRules.h"
#include "ProgramValues.h"

#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWebEngineCertificateError>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace zelvorin {

PreviewPage::PreviewPage(PreviewProfile* profile, QObject* parent)
    : QWebEnginePage(profile->profile(), parent), m_previewProfile(profile),
      m_appliedPrefix(frames::AppliedMessagePrefix(profile->scriptKey())) {
    connect(this, &QWebEnginePage::certificateError, this,
            [this](const QWebEngineCertificateError& error) { handleCertificateError(error); });
}

bool PreviewPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    bool cancel = false;
    emit beforeNavigate(url, type, isMainFrame, &cancel);
    const QString text = url.toString();
    if (preview::IsCommandUrl(text)) {
        // The engine is inside its navigation here; the command may navigate again, so it
        // runs once this call has returned.
        QTimer::singleShot(0, this, [this, text] { emit commandUrlRequested(text); });
        return false;
    }
    return !cancel;
}

void PreviewPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg) {
    if (m_silent) {
        ++m_suppressedDialogs;
        return;
    }
    QWebEnginePage::javaScriptAlert(securityOrigin, msg);
}

bool PreviewPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) {
    if (m_silent) {
        ++m_suppressedDialogs;
        return false;
    }
    return QWebEnginePage::javaScriptConfirm(securityOrigin, msg);
}

bool PreviewPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                                   const QString& defaultValue, QString* result) {
    if (m_silent) {
        ++m_suppressedDialogs;
        return false;
    }
    return QWebEnginePage::javaScriptPrompt(securityOrigin, msg, defaultValue, result);
}

void PreviewPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                           const QString& message, int lineNumber,
                                           const QString& sourceId) {
    if (message.startsWith(m_appliedPrefix)) {
        bool ok = false;
        const int id = message.mid(m_appliedPrefix.size()).toInt(&ok);
        if (ok)
            emit changeApplied(id);
        return;
    }
    const QString statusPrefix = frames::StatusMessagePrefix();
    if (message.startsWith(statusPrefix)) {
        emit statusTextSet(message.mid(statusPrefix.size()));
        return;
    }
    QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceId);
}

QWebEnginePage* PreviewPage::createWindow(WebWindowType type) {
    Q_UNUSED(type);
    QWidget* owner = nullptr;
    if (auto* view = qobject_cast<QWebEngineView*>(QWebEngineView::forPage(this)))
        owner = view->window();
    auto* window = new BrowserWindow(m_previewProfile, m_silent, owner);
    window->show();
    emit newWindowOpened(window->page());
    return window->page();
}

void PreviewPage::handleCertificateError(const QWebEngineCertificateError& error) {
    QWebEngineCertificateError pending = error;
    if (m_silent || !pending.isOverridable()) {
        if (m_silent)
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

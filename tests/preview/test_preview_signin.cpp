// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A site or a proxy that asks for a user name and a password: the question names the host
// and the realm, the answer opens the page, Cancel leaves the server's refusal, a wrong
// answer is asked again, and a silent browser asks nothing.
#include "LoopbackHttpServer.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewTestSupport.h"
#include "SignInDialog.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QLineEdit>
#include <QNetworkProxy>
#include <QtTest>
#include <memory>

using namespace zelvorin;
using namespace zelvorin::test;

namespace {
const QString Realm = QStringLiteral("Zelvorin <test> realm ");
// The page behind the fence says its number, so one page is never taken for another.
QByteArray inside(int page) {
    return "<html><body>inside the fence " + QByteArray::number(page) + "</body></html>";
}
} // namespace

class TestPreviewSignIn : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void signIn_data();
    void signIn();
    void silentBrowserAsksNothing();

private:
    QString shownText();
    // A page of its own realm and password for each case: the engine remembers answers
    // for the run and offers them to every page below the same folder.
    QUrl fencedPage(bool proxy);
    int m_pages = 0;

    LoopbackHttpServer* m_server = nullptr;
    PreviewProfile* m_profile = nullptr;
    std::unique_ptr<Preview> m_preview;
};

void TestPreviewSignIn::initTestCase() {
    m_server = new LoopbackHttpServer(this);
    QVERIFY(m_server->start());
    // The server is the proxy too; the engine sends every address but the loopback ones
    // through it, so an invented host name reaches it as a proxy request.
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), m_server->port()));
    m_profile = new PreviewProfile(this);
    m_preview = std::make_unique<Preview>(m_profile, nullptr, nullptr);
    m_preview->view()->resize(400, 300);
    m_preview->view()->show();
}

void TestPreviewSignIn::cleanupTestCase() {
    m_preview.reset();
}

QUrl TestPreviewSignIn::fencedPage(bool proxy) {
    const QString path = QStringLiteral("/fenced-%1.html").arg(++m_pages);
    m_server->serveSignedIn(path, Realm + QString::number(m_pages), "ann",
                            "s3cret" + QString::number(m_pages), inside(m_pages), proxy);
    return proxy ? QUrl("http://zelvorin-proxy.test" + path) : m_server->url(path);
}

QString TestPreviewSignIn::shownText() {
    return evaluate(m_preview->page(), "document.body ? document.body.innerText : ''").toString();
}

void TestPreviewSignIn::signIn_data() {
    QTest::addColumn<bool>("proxy");
    // Each answer: "user:password" ("#" for the number of the case's page), or "" for
    // Cancel; what the page then shows ("#" again for the number).
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("shown");
    QTest::newRow("site, right answer")
        << false << QStringList{"ann:s3cret#"} << "inside the fence #";
    QTest::newRow("site, cancelled") << false << QStringList{""} << "sign in first";
    QTest::newRow("site, wrong, then right")
        << false << QStringList{"ann:guess", "ann:s3cret#"} << "inside the fence #";
    QTest::newRow("proxy, cancelled") << true << QStringList{""} << "sign in first";
    QTest::newRow("proxy, right answer")
        << true << QStringList{"ann:s3cret#"} << "inside the fence #";
}

void TestPreviewSignIn::signIn() {
    QFETCH(bool, proxy);
    QFETCH(QStringList, answers);
    QFETCH(QString, shown);
    const QUrl address = fencedPage(proxy);
    QStringList messages;
    // Each dialog queues the answer to the next one, so no answer waits beyond its dialog.
    std::function<void(SignInDialog*)> answer = [&](SignInDialog* dialog) {
        messages << dialog->message();
        QVERIFY(dialog->passwordBox()->echoMode() == QLineEdit::Password);
        const QString given = answers.takeFirst().replace('#', QString::number(m_pages));
        if (!answers.isEmpty())
            answerNextModal<SignInDialog>(answer);
        if (given.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->userNameBox()->setText(given.section(':', 0, 0));
        dialog->passwordBox()->setText(given.section(':', 1));
        dialog->accept();
    };
    const int expectedQuestions = answers.size();
    answerNextModal<SignInDialog>(answer);
    QSignalSpy finished(m_preview->page(), &QWebEnginePage::loadFinished);
    m_preview->page()->load(address);
    QTRY_VERIFY_WITH_TIMEOUT(answers.isEmpty(), 15000);
    QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), 15000);
    QTRY_COMPARE_WITH_TIMEOUT(shownText(), shown.replace('#', QString::number(m_pages)), 15000);
    QCOMPARE(messages.size(), expectedQuestions);
    const QString host = proxy ? QStringLiteral("zelvorin-proxy.test")
                               : QStringLiteral("127.0.0.1:%1").arg(m_server->port());
    for (const QString& message : std::as_const(messages)) {
        QVERIFY2(message.contains(host), qPrintable(message));
        QVERIFY2(message.contains("Realm: " + Realm + QString::number(m_pages)),
                 qPrintable(message));
        QCOMPARE(message.contains("proxy"), proxy);
    }
}

void TestPreviewSignIn::silentBrowserAsksNothing() {
    m_preview->setSilent(true);
    const int before = m_preview->page()->suppressedDialogs();
    m_preview->page()->load(fencedPage(false));
    QTRY_COMPARE_WITH_TIMEOUT(shownText(), QStringLiteral("sign in first"), 15000);
    QCOMPARE(m_preview->page()->suppressedDialogs(), before + 1);
    QVERIFY(!QApplication::activeModalWidget());
    m_preview->setSilent(false);
}

ZELVORIN_TEST_MAIN_WITH(TestPreviewSignIn, zelvorin::RegisterUrlSchemes)
#include "test_preview_signin.moc"

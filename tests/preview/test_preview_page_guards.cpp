// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What a page cannot do to the user or the program: show a dialog from a window opened
// before "Hide dialogues of web browser" was checked, keep the user on it with a
// "beforeunload" question, walk its history into one of the program's own documents,
// crash the program with a window it writes itself, or be taken for a command because its
// address carries the command scheme's name.
#include "BrowserEvents.h"
#include "BrowserNavigation.h"
#include "BrowserWindow.h"
#include "GeneratedPage.h"
#include "LoopbackHttpServer.h"
#include "ModalAnswerer.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewTestSupport.h"
#include "ProgramPages.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QComboBox>
#include <QMessageBox>
#include <QtTest>
#include <memory>

using namespace zelvorin;
using namespace zelvorin::test;

namespace {

const QByteArray Whole = "style='position:fixed;left:0;top:0;width:100%;height:100%'";

QByteArray buttonPage(const QByteArray& onClick) {
    return "<html><body><button id=go " + Whole +
           ">go</button><script>"
           "document.getElementById('go').onclick = function () {" +
           onClick + "};</script></body></html>";
}

} // namespace

class TestPreviewPageGuards : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void silenceReachesEarlierWindows();
    void pageKeepsNoOneFromLeaving_data();
    void pageKeepsNoOneFromLeaving();
    void historyNeverEntersProgramPages();
    void windowsPagesWriteThemselves_data();
    void windowsPagesWriteThemselves();
    void onlyTheSchemeMakesACommand_data();
    void onlyTheSchemeMakesACommand();

private:
    BrowserWindow* openPopup(const QString& page);
    QString shownText(QWebEnginePage* page);

    LoopbackHttpServer* m_server = nullptr;
    PreviewProfile* m_profile = nullptr;
    std::unique_ptr<Preview> m_preview;
    QStringList m_log;
    QStringList m_commands;
};

void TestPreviewPageGuards::initTestCase() {
    m_server = new LoopbackHttpServer(this);
    QVERIFY(m_server->start());
    m_profile = new PreviewProfile(this);
    m_preview = std::make_unique<Preview>(m_profile, nullptr, nullptr);
    m_preview->view()->resize(400, 300);
    m_preview->view()->show();
    connect(m_preview->events(), &BrowserEvents::logLine, this,
            [this](const QString& line) { m_log << line; });
    connect(m_preview.get(), &Preview::commandUrlRequested, this,
            [this](const QString& url) { m_commands << url; });
    m_server->serve("/page.html", "<html><head><title>page</title></head><body>page</body></html>");
    m_server->serve("/other.html", "<html><body>other</body></html>");
    m_server->serve("/popup.html", buttonPage("window.open('/other.html');"));
    m_server->serveSignedIn("/fenced.html", "fence", "ann", "s3cret", "<html>inside</html>");
    m_server->serve("/trap.html",
                    buttonPage("document.title = 'clicked';") +
                        "<script>window.onbeforeunload = function (event) {"
                        " event.preventDefault(); event.returnValue = 'stay'; return 'stay'; };"
                        "</script>");
    m_server->serve("/steps.html", buttonPage("history.pushState({}, '', '#step');"));
    m_server->serve("/carrier.html",
                    "<html><body><a id=link href='/page.html?go=zelvorin://imglist/1,25'>x</a>"
                    "</body></html>");
}

void TestPreviewPageGuards::cleanupTestCase() {
    m_preview.reset();
}

void TestPreviewPageGuards::init() {
    m_log.clear();
    m_commands.clear();
    m_preview->setSilent(false);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<BrowserWindow*>(window))
            window->close();
    }
}

QString TestPreviewPageGuards::shownText(QWebEnginePage* page) {
    return evaluate(page, "document.body ? document.body.innerText : ''").toString();
}

BrowserWindow* TestPreviewPageGuards::openPopup(const QString& page) {
    QSignalSpy popups(m_preview->page(), &PreviewPage::newWindowOpened);
    if (!loadAndWait(m_preview->page(), m_server->url(page)))
        return nullptr;
    clickElement(m_preview->view(), "#go");
    if (popups.isEmpty() && !popups.wait(10000))
        return nullptr;
    auto* popupPage = popups.first().value(0).value<QWebEnginePage*>();
    return qobject_cast<BrowserWindow*>(QWebEngineView::forPage(popupPage)->window());
}

// A window a page opened while dialogs were shown keeps none once they are hidden: no
// alert, confirm or prompt, no sign-in question.
void TestPreviewPageGuards::silenceReachesEarlierWindows() {
    BrowserWindow* window = openPopup("/popup.html");
    QVERIFY(window);
    QTRY_COMPARE(window->page()->url(), m_server->url("/other.html"));
    m_preview->setSilent(true);
    const int before = window->page()->suppressedDialogs();
    const QVariant answers =
        evaluate(window->page(), "alert('a'); [confirm('b'), prompt('c', 'd')]");
    QCOMPARE(answers.toList(), (QVariantList{false, QVariant()}));
    QCOMPARE(window->page()->suppressedDialogs(), before + 3);
    window->page()->load(m_server->url("/fenced.html"));
    QTRY_COMPARE_WITH_TIMEOUT(shownText(window->page()), QStringLiteral("sign in first"), 15000);
    QCOMPARE(window->page()->suppressedDialogs(), before + 4);
    QVERIFY(!QApplication::activeModalWidget());
}

// A page that asks "leave this page?" before it is left: with dialogs hidden the program's
// own navigations leave without asking; else the question is the user's to answer.
void TestPreviewPageGuards::pageKeepsNoOneFromLeaving_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("silent");
    for (const bool silent : {true, false}) {
        const char* shown = silent ? "dialogs hidden" : "dialogs shown";
        QTest::addRow("typed address, %s", shown) << "typed" << silent;
        QTest::addRow("menu command, %s", shown) << "menu" << silent;
        QTest::addRow("gallery, %s", shown) << "gallery" << silent;
    }
}

void TestPreviewPageGuards::pageKeepsNoOneFromLeaving() {
    QFETCH(QString, way);
    QFETCH(bool, silent);
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/trap.html")));
    // The engine asks only a page the user has touched.
    QVERIFY(clickElement(m_preview->view(), "#go"));
    QTRY_COMPARE(m_preview->page()->title(), QStringLiteral("clicked"));
    m_preview->setSilent(silent);
    const int suppressed = m_preview->page()->suppressedDialogs();
    // The engine's question: leave with OK.
    ModalAnswerer leave([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box || !box->button(QMessageBox::Ok))
            return false;
        box->button(QMessageBox::Ok)->click();
        return true;
    });
    QUrl target;
    if (way == QLatin1String("typed")) {
        target = m_server->url("/page.html");
        QComboBox box;
        m_preview->setAddressBox(&box);
        box.setEditText(target.toString());
        m_preview->openTypedAddress();
        m_preview->setAddressBox(nullptr);
    } else if (way == QLatin1String("menu")) {
        target = QUrl(QStringLiteral("about:blank"));
        m_preview->clearPreviewArea();
    } else {
        target = ProgramPages::BlankPage();
        QVERIFY(showGeneratedPage(m_preview.get(),
                                  std::make_unique<FixedPage>(QStringLiteral(
                                      "<html><body>written by the program</body></html>"))));
    }
    QTRY_COMPARE(m_preview->page()->url(), target);
    if (silent) {
        QCOMPARE(leave.answered(), 0);
        QCOMPARE(m_preview->page()->suppressedDialogs(), suppressed + 1);
    } else {
        QCOMPARE(leave.answered(), 1);
        QCOMPARE(m_preview->page()->suppressedDialogs(), suppressed);
    }
}

// A page's own history navigation never enters one of the program's documents, even right
// after the user's Back; the user's Back to one is the program's own load of it.
void TestPreviewPageGuards::historyNeverEntersProgramPages() {
    const QUrl resource(QStringLiteral("qrc:/pages/TESTPAGE.html"));
    QSignalSpy finished(m_preview->page(), &QWebEnginePage::loadFinished);
    QVERIFY(m_preview->navigation()->showResourcePage(QStringLiteral("TESTPAGE")));
    QTRY_COMPARE(m_preview->page()->url(), resource);
    QTRY_VERIFY(m_preview->page()->ownsShownDocument());
    // A page the user goes to and clicks once, which makes a step of the page's own; the
    // user's Back undoes it.
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/steps.html")));
    QVERIFY(clickElement(m_preview->view(), "#go"));
    const QUrl step = m_server->url("/steps.html#step");
    QTRY_COMPARE(m_preview->page()->url(), step);
    QTRY_VERIFY(m_preview->navigation()->canGoBack());
    m_preview->goBack();
    QTRY_COMPARE(m_preview->page()->url(), m_server->url("/steps.html"));

    QSignalSpy refusals(m_preview->page(), &PreviewPage::navigationRefused);
    evaluate(m_preview->page(), "history.back(); true");
    QTRY_VERIFY(!refusals.isEmpty());
    QCOMPARE(refusals.last().value(0).toUrl(), resource);
    QVERIFY(m_log.contains(QStringLiteral("     Refused -  URL: \"%1\" (not asked for by the user)")
                               .arg(resource.toString())));
    QTRY_COMPARE(m_preview->page()->url(), m_server->url("/steps.html"));
    QVERIFY(!m_preview->page()->ownsShownDocument());
    QCOMPARE(shownText(m_preview->page()), QStringLiteral("go"));

    // The user's own Back to it: the program loads it anew, as its own.
    m_preview->goBack();
    QTRY_COMPARE(m_preview->page()->url(), resource);
    QTRY_VERIFY(m_preview->page()->ownsShownDocument());
    QCOMPARE(shownText(m_preview->page()), QStringLiteral("resource page"));
}

// Windows a page opens on the user's click and writes itself (which crash Qt WebEngine 6.4
// once shown): the program lives on, each window holds what was written, and a window
// shows once it has navigated to an address of its own.
void TestPreviewPageGuards::windowsPagesWriteThemselves_data() {
    QTest::addColumn<QByteArray>("onClick");
    QTest::addColumn<QString>("holds");
    QTest::addColumn<bool>("shown");
    QTest::newRow("blank window, written") << QByteArray("var w = window.open('');"
                                                         " w.document.write('<p>written</p>');"
                                                         " w.document.close();")
                                           << "written" << false;
    QTest::newRow("named blank window, written")
        << QByteArray("var w = window.open('', 'named'); w.document.write('<p>written</p>');")
        << "written" << false;
    QTest::newRow("window with an address, written at once")
        << QByteArray("var w = window.open('/other.html'); w.document.write('<p>written</p>');"
                      " w.document.close();")
        << "written" << false;
    QTest::newRow("window with an address")
        << QByteArray("window.open('/other.html');") << "other" << true;
    QTest::newRow("written, then sent to an address")
        << QByteArray("var w = window.open(''); w.document.write('<p>written</p>');"
                      " w.document.close(); w.location = '/other.html';")
        << "other" << true;
}

void TestPreviewPageGuards::windowsPagesWriteThemselves() {
    QFETCH(QByteArray, onClick);
    QFETCH(QString, holds);
    QFETCH(bool, shown);
    m_server->serve("/writes.html", buttonPage(onClick));
    BrowserWindow* window = openPopup("/writes.html");
    QVERIFY(window);
    QTRY_COMPARE(shownText(window->page()), holds);
    if (shown)
        QTRY_VERIFY(window->isVisible());
    else
        QVERIFY(!window->isVisible());
    // Both pages still answer.
    QCOMPARE(shownText(m_preview->page()), QStringLiteral("go"));
    QCOMPARE(shownText(window->page()), holds);
}

// An address is a command only by its scheme: a web address that carries the command
// scheme's name opens as a web page, typed or followed.
void TestPreviewPageGuards::onlyTheSchemeMakesACommand_data() {
    QTest::addColumn<bool>("typed");
    QTest::newRow("typed") << true;
    QTest::newRow("a page's link") << false;
}

void TestPreviewPageGuards::onlyTheSchemeMakesACommand() {
    QFETCH(bool, typed);
    const QUrl carrier = m_server->url("/page.html?go=zelvorin://imglist/1,25");
    if (typed) {
        QComboBox box;
        m_preview->setAddressBox(&box);
        box.setEditText(carrier.toString());
        m_preview->openTypedAddress();
        m_preview->setAddressBox(nullptr);
    } else {
        QVERIFY(loadAndWait(m_preview->page(), m_server->url("/carrier.html")));
        evaluate(m_preview->page(), "document.getElementById('link').click(); true");
    }
    QTRY_COMPARE(m_preview->page()->title(), QStringLiteral("page"));
    QCOMPARE(m_preview->page()->url().toString(QUrl::FullyDecoded),
             carrier.toString(QUrl::FullyDecoded));
    QVERIFY(m_commands.isEmpty());
    QVERIFY(m_log.filter(QStringLiteral("Refused")).isEmpty());
}

ZELVORIN_TEST_MAIN_WITH(TestPreviewPageGuards, zelvorin::RegisterUrlSchemes)
#include "test_preview_page_guards.moc"

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The browser wrapper and the browser's events on real pages: Back and Forward, resource
// pages, elements of the document, command addresses, captions, status texts, the gauge
// and Stop, silent dialogs, new windows, font sizes, the source, and the address box.
#include "BrowserEvents.h"
#include "BrowserNavigation.h"
#include "BrowserWindow.h"
#include "LoopbackHttpServer.h"
#include "ModalAnswerer.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewTestSupport.h"
#include "ShownDocument.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QMessageBox>
#include <QTcpServer>
#include <QtTest>
#include <memory>
#include <stdexcept>

using namespace zelvorin;
using namespace zelvorin::test;

class TestPreviewBrowser : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void createNeedsBrowser();
    void backAndForwardFollowHistory();
    void resourcePages();
    void findElementAndAttribute();
    void commandAddressesAreCancelledAndHandedOn();
    void captionFollowsTitle();
    void statusTextsFromPages();
    void eventLogLines();
    void stopDisablesGaugeAndEndsWait();
    void silentSuppressesDialogs();
    void dialogsShownWhenNotSilent();
    void newWindowIsOurOwn();
    void fontSizes();
    void documentSource();
    void addressBoxHistoryAndClear();
    void loadTimerPreviewsOnce();
    void colourDialogCancelledChangesNothing();

private:
    std::optional<ShownDocument::Element> find(const QString& name, int index);
    QVariant attribute(const ShownDocument::Element& element, const QString& name);

    LoopbackHttpServer* m_server = nullptr;
    QTcpServer* m_silentServer = nullptr;
    PreviewProfile* m_profile = nullptr;
    std::unique_ptr<Preview> m_preview;
    QStringList m_log;
    QStringList m_commands;
};

void TestPreviewBrowser::initTestCase() {
    m_server = new LoopbackHttpServer(this);
    QVERIFY(m_server->start());
    // Accepts connections and never answers: a page that never finishes loading.
    m_silentServer = new QTcpServer(this);
    QVERIFY(m_silentServer->listen(QHostAddress::LocalHost, 0));
    m_profile = new PreviewProfile(this);
    m_preview = std::make_unique<Preview>(m_profile, nullptr, nullptr);
    m_preview->view()->resize(600, 400);
    m_preview->view()->show();
    m_preview->setWaitLimit(20000);
    connect(m_preview.get(), &Preview::commandUrlRequested, this,
            [this](const QString& url) { m_commands << url; });
    connect(m_preview->events(), &BrowserEvents::logLine, this,
            [this](const QString& line) { m_log << line; });
    for (int i = 1; i <= 3; ++i) {
        m_server->serve(QStringLiteral("/page%1.html").arg(i),
                        QStringLiteral("<html><head><title>Page %1</title></head><body>%1"
                                       "</body></html>")
                            .arg(i)
                            .toUtf8());
    }
    m_server->serve("/elements.html",
                    "<html><body><input type='checkbox' name='ShowPageCheckBox' value='1' checked>"
                    "<p id='second' class='para'>x</p><p name='twice'>a</p><p name='twice'>b</p>"
                    "</body></html>");
    m_server->serve("/links.html",
                    "<html><body><a id='cmd' href='zelvorin://contacts'>contacts</a>"
                    "<a id='caps' href='ZELVORIN://ShowHelpManual'>help</a>"
                    "<a id='popup' href='/page2.html' target='_blank'>new</a></body></html>");
    m_server->serve("/status.html",
                    "<html><body onload=\"window.status = 'Select the Background Images filter'"
                    "\">status</body></html>");
    m_server->serve("/hanging.html", "<html><body><img src='http://127.0.0.1:" +
                                         QByteArray::number(m_silentServer->serverPort()) +
                                         "/never.png'></body></html>");
    m_server->serve("/dialogs.html", "<html><body>dialogs</body></html>");
    m_server->serve("/source.html", "<html><body><p>unique-marker-4711</p></body></html>");
}

void TestPreviewBrowser::cleanupTestCase() {
    m_preview.reset();
}

void TestPreviewBrowser::init() {
    m_log.clear();
    m_commands.clear();
    m_preview->setSilent(false);
}

std::optional<ShownDocument::Element> TestPreviewBrowser::find(const QString& name, int index) {
    using Found = std::optional<ShownDocument::Element>;
    return answerOf<Found>([&](std::function<void(Found)> done) {
               m_preview->document()->findElement(name, index, this, done);
           })
        .value_or(std::nullopt);
}

QVariant TestPreviewBrowser::attribute(const ShownDocument::Element& element, const QString& name) {
    return answerOf<QVariant>([&](std::function<void(QVariant)> done) {
               m_preview->document()->readAttribute(element, name, this, done);
           })
        .value_or(QVariant(QStringLiteral("no answer")));
}

void TestPreviewBrowser::createNeedsBrowser() {
    try {
        BrowserNavigation navigation(nullptr);
        QFAIL("no error raised");
    } catch (const std::invalid_argument& error) {
        QCOMPARE(QString::fromUtf8(error.what()),
                 QStringLiteral("WebBrowserControl must be assigned!"));
    }
    QWebEngineView view;
    BrowserNavigation navigation(&view);
    QVERIFY(!navigation.canGoBack());
    QVERIFY(!navigation.canGoForward());
    QVERIFY(!navigation.goBack());
    QVERIFY(!navigation.goForward());
}

void TestPreviewBrowser::backAndForwardFollowHistory() {
    BrowserNavigation* browser = m_preview->navigation();
    QSignalSpy changes(m_preview->events(), &BrowserEvents::backForwardChanged);
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/page1.html")));
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/page2.html")));
    QTRY_VERIFY(browser->canGoBack());
    QVERIFY(!browser->canGoForward());
    QVERIFY(!changes.isEmpty());

    QVERIFY(browser->goBack());
    QTRY_COMPARE(m_preview->page()->url(), m_server->url("/page1.html"));
    QTRY_VERIFY(browser->canGoForward());
    QVERIFY(browser->goForward());
    QTRY_COMPARE(m_preview->page()->url(), m_server->url("/page2.html"));
    QTRY_VERIFY(!browser->canGoForward());
    QVERIFY(!browser->goForward());
    QVERIFY(m_log.contains(
        QStringLiteral("     OnCommandStateChange -  command =  1   enable: \"True\"")));

    browser->resetNavigation();
    QVERIFY(!browser->canGoBack());
    QVERIFY(!browser->goBack());
}

void TestPreviewBrowser::resourcePages() {
    BrowserNavigation* browser = m_preview->navigation();
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/page1.html")));
    QVERIFY(!browser->showResourcePage(QStringLiteral("NOSUCHPAGE")));
    QTest::qWait(100);
    QCOMPARE(m_preview->page()->url(), m_server->url("/page1.html"));

    QSignalSpy finished(m_preview->page(), &QWebEnginePage::loadFinished);
    QVERIFY(browser->showResourcePage(QStringLiteral("TESTPAGE")));
    QVERIFY(finished.wait(10000));
    QCOMPARE(m_preview->page()->url(), QUrl(QStringLiteral("qrc:/pages/TESTPAGE.html")));
    QCOMPARE(evaluate(m_preview->page(), "document.body.innerText").toString(),
             QStringLiteral("resource page"));
}

void TestPreviewBrowser::findElementAndAttribute() {
    // Nothing shown yet: no element is found.
    {
        QWidget holder;
        Preview fresh(m_profile, &holder, nullptr);
        std::optional<std::optional<ShownDocument::Element>> none;
        fresh.document()->findElement(
            QStringLiteral("ShowPageCheckBox"), 0, this,
            [&](std::optional<ShownDocument::Element> found) { none = found; });
        QTRY_VERIFY(none.has_value());
        QVERIFY(!*none);
    }
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/elements.html")));

    const auto box = find(QStringLiteral("ShowPageCheckBox"), 0);
    QVERIFY(box);
    QCOMPARE(attribute(*box, QStringLiteral("checked")), QVariant(true));
    QCOMPARE(attribute(*box, QStringLiteral("value")).toString(), QStringLiteral("1"));
    // The live state, as the page's own click leaves it.
    evaluate(m_preview->page(), "document.getElementsByName('ShowPageCheckBox')[0].click()");
    QCOMPARE(attribute(*box, QStringLiteral("checked")), QVariant(false));
    QVERIFY(attribute(*box, QStringLiteral("nosuchattribute")).isNull());

    // Index -1 counts as 0; identifiers count as names; the index picks among equal names.
    const auto byId = find(QStringLiteral("second"), -1);
    QVERIFY(byId);
    QCOMPARE(attribute(*byId, QStringLiteral("class")).toString(), QStringLiteral("para"));
    const auto twice = find(QStringLiteral("twice"), 1);
    QVERIFY(twice);
    QCOMPARE(attribute(*twice, QStringLiteral("innerText")).toString(), QStringLiteral("b"));
    QVERIFY(!find(QStringLiteral("twice"), 2));
    QVERIFY(!find(QStringLiteral("missing"), 0));
    // Without a name: the element at that position of all elements (0 is HTML).
    const auto first = find(QString(), 0);
    QVERIFY(first);
    QCOMPARE(attribute(*first, QStringLiteral("tagName")).toString(), QStringLiteral("HTML"));
    // Both at once, as the welcome page's command reads its check box.
    const std::optional<QVariant> checked =
        answerOf<QVariant>([&](std::function<void(QVariant)> done) {
            m_preview->document()->readElementAttribute(QStringLiteral("ShowPageCheckBox"), 0,
                                                        QStringLiteral("checked"), this, done);
        });
    QCOMPARE(checked, std::optional<QVariant>(QVariant(false)));

    // A document that is gone leaves its elements reading as nothing.
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/page1.html")));
    QVERIFY(attribute(*box, QStringLiteral("checked")).isNull());
}

void TestPreviewBrowser::commandAddressesAreCancelledAndHandedOn() {
    // A web page's command links are cancelled and logged, never handed on.
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/links.html")));
    QSignalSpy refusals(m_preview->page(), &PreviewPage::navigationRefused);
    evaluate(m_preview->page(), "document.getElementById('cmd').click()");
    evaluate(m_preview->page(), "document.getElementById('caps').click()");
    QTRY_COMPARE(refusals.size(), 2);
    QCOMPARE(m_preview->page()->url(), m_server->url("/links.html"));
    QVERIFY(!m_log.filter(QStringLiteral("     BeforeNavigate2 - URL: \"zelvorin://")).isEmpty());
    QCOMPARE(m_log.filter(QStringLiteral("     Refused -  URL: \"zelvorin://")).size(), 2);
    QVERIFY(m_commands.isEmpty());

    // Opening such an address from the program hands it on; the box stays empty.
    QComboBox box;
    m_preview->setAddressBox(&box);
    box.setEditText(QStringLiteral("ZELVORIN://imglist/1,25"));
    m_preview->openTypedAddress();
    QCOMPARE(m_commands, QStringList{QStringLiteral("ZELVORIN://imglist/1,25")});
    QCOMPARE(box.currentText(), QString());
    QCOMPARE(m_preview->page()->url(), m_server->url("/links.html"));
    m_preview->setAddressBox(nullptr);
}

void TestPreviewBrowser::captionFollowsTitle() {
    QSignalSpy captions(m_preview->events(), &BrowserEvents::captionChanged);
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/page3.html")));
    QTRY_VERIFY(!captions.isEmpty());
    QCOMPARE(captions.last().value(0).toString(), QStringLiteral(" Zelvorin -  Page 3"));
    QCOMPARE(captions.last().value(1).toString(), QStringLiteral(" Page 3"));
    captions.clear();
    m_preview->openAddress(QStringLiteral("about:blank"));
    QTRY_VERIFY(!captions.isEmpty());
    QCOMPARE(captions.last().value(0).toString(), QStringLiteral(" Zelvorin"));
    QCOMPARE(captions.last().value(1).toString(), QStringLiteral(" Zelvorin"));
}

void TestPreviewBrowser::statusTextsFromPages() {
    QSignalSpy texts(m_preview->events(), &BrowserEvents::statusTextChanged);
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/status.html")));
    QTRY_VERIFY(!texts.isEmpty());
    QCOMPARE(texts.last().value(0).toString(),
             QStringLiteral("Select the Background Images filter"));
    QVERIFY(m_log.contains(
        QStringLiteral("     OnStatusTextChange -  Text:\"Select the Background Images filter\"")));
    // Reading it back gives what was written, as for any page property.
    QCOMPARE(evaluate(m_preview->page(), "window.status").toString(),
             QStringLiteral("Select the Background Images filter"));
    // Texts about the program's own pages stay out of the status bar, in the log all the same.
    texts.clear();
    evaluate(m_preview->page(), "window.status = 'Opening qrc:/pages/WELCOMEPAGE.html'");
    QTRY_VERIFY(m_log.last().contains(QStringLiteral("Opening qrc:")));
    QVERIFY(texts.isEmpty());
    QCOMPARE(m_preview->events()->statusText(),
             QStringLiteral("Select the Background Images filter"));
}

void TestPreviewBrowser::eventLogLines() {
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/page1.html")));
    const QString url = m_server->url("/page1.html").toString();
    QCOMPARE(m_log.first(), QStringLiteral("     BeforeNavigate2 - URL: \"%1\" Flags: \"Typed\" "
                                           "TargetFrameName: \"\" PostData: \"\" Headers: \"\"")
                                .arg(url));
    QVERIFY(m_log.contains(QStringLiteral("     DownloadBegin")));
    QVERIFY(m_log.contains(QStringLiteral("Progress -  100/100")));
    QVERIFY(m_log.contains(QStringLiteral("Progress -  0/0")));
    QVERIFY(m_log.contains(QStringLiteral("     DownloadComplete")));
    QVERIFY(m_log.contains(QStringLiteral("     NavigateComplete -  URL: \"%1\"").arg(url)));
    QCOMPARE(m_log.last(), QStringLiteral("     DocumentComplete -  URL: \"%1\"").arg(url));
    QVERIFY(m_log.indexOf(QStringLiteral("     DownloadBegin")) <
            m_log.indexOf(QStringLiteral("     DownloadComplete")));
    QVERIFY(m_log.contains(QStringLiteral("     OnTitleChange -  Text:\"Page 1\"")));
    QVERIFY(!m_preview->events()->gauge().enabled);
}

void TestPreviewBrowser::stopDisablesGaugeAndEndsWait() {
    QTemporaryDir folder;
    const QString file = writeSolidImage(folder.filePath("waiting.png"), Qt::blue);
    QSignalSpy gauge(m_preview->events(), &BrowserEvents::gaugeChanged);
    m_preview->page()->load(m_server->url("/hanging.html"));
    QTRY_VERIFY(m_preview->events()->gauge().enabled);
    QVERIFY(m_preview->isLoading());
    // A file chosen during the load waits for its end.
    QSignalSpy previewed(m_preview.get(), &Preview::previewingFile);
    m_preview->previewChosenFile(file, PreviewUse::Background);
    QVERIFY(previewed.isEmpty());
    QTimer::singleShot(300, this, [this] { m_preview->stop(); });
    QElapsedTimer elapsed;
    elapsed.start();
    // The wait ended on Stop, not at its time limit.
    QVERIFY(previewed.wait(15000));
    QVERIFY(elapsed.elapsed() < 15000);
    QCOMPARE(previewed.first().value(0).toString(), file);
    QVERIFY(!m_preview->events()->gauge().enabled);
    QVERIFY(!gauge.isEmpty());
    QCOMPARE(gauge.last().value(0).toBool(), false);
    QTRY_VERIFY(!m_preview->isLoading());
}

void TestPreviewBrowser::silentSuppressesDialogs() {
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/dialogs.html")));
    m_preview->setSilent(true);
    const int before = m_preview->page()->suppressedDialogs();
    const QVariant answers =
        evaluate(m_preview->page(),
                 "alert('hello'); var c = confirm('sure?'); var p = prompt('name?', 'x'); [c, p]");
    QCOMPARE(answers.toList(), (QVariantList{false, QVariant()}));
    QCOMPARE(m_preview->page()->suppressedDialogs(), before + 3);
    QVERIFY(QApplication::topLevelWidgets().size() >= 1);
    for (QWidget* widget : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<QMessageBox*>(widget) || !widget->isVisible());
}

void TestPreviewBrowser::dialogsShownWhenNotSilent() {
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/dialogs.html")));
    m_preview->setSilent(false);
    int closed = 0;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
            ++closed;
        }
    });
    closer.start(50);
    m_preview->page()->runJavaScript("alert('shown'); document.title = 'after alert';");
    QTRY_COMPARE(m_preview->page()->title(), QStringLiteral("after alert"));
    QVERIFY(closed >= 1);
}

void TestPreviewBrowser::newWindowIsOurOwn() {
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/links.html")));
    // A popup opens for the user's click (a script's alone is refused).
    QVERIFY(clickElement(m_preview->view(), "#popup"));
    BrowserWindow* window = nullptr;
    QTRY_VERIFY([&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<BrowserWindow*>(widget))
                window = found;
        }
        return window != nullptr;
    }());
    QTRY_COMPARE(window->page()->url(), m_server->url("/page2.html"));
    QCOMPARE(window->page()->profile(), m_profile->profile());
    QVERIFY(m_log.contains(QStringLiteral("     OnNewWindow -  Cancel: \"False\"")));
    QCOMPARE(m_preview->page()->url(), m_server->url("/links.html"));
    window->close();
}

void TestPreviewBrowser::fontSizes() {
    QWidget holder;
    Preview fresh(m_profile, &holder, nullptr);
    // No document yet: the commands fail and nothing is checked.
    QVERIFY(!fresh.setFontSizeLevel(4));
    QCOMPARE(fresh.fontSizeLevel(), -1);

    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/page1.html")));
    QCOMPARE(m_preview->fontSizeLevel(), 2);
    for (int level : {4, 0, 3, 1, 2}) {
        QVERIFY(m_preview->setFontSizeLevel(level));
        QCOMPARE(m_preview->fontSizeLevel(), level);
    }
    QVERIFY(!m_preview->setFontSizeLevel(5));
    QVERIFY(!m_preview->setFontSizeLevel(-1));
    QCOMPARE(m_preview->fontSizeLevel(), 2);
    QVERIFY(!m_preview->runDocumentCommand(99, QVariant()));
}

void TestPreviewBrowser::documentSource() {
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/source.html")));
    QVERIFY(test::documentSource(m_preview.get())
                .value_or(QString())
                .contains(QStringLiteral("unique-marker-4711")));
    QGuiApplication::clipboard()->clear();
    m_preview->copyDocumentSource();
    QTRY_VERIFY(
        QGuiApplication::clipboard()->text().contains(QStringLiteral("unique-marker-4711")));
    m_preview->selectAll();
    m_preview->copySelection();
    QTRY_VERIFY(
        QGuiApplication::clipboard()->text().contains(QStringLiteral("unique-marker-4711")) &&
        !QGuiApplication::clipboard()->text().contains(QStringLiteral("<p>")));
}

void TestPreviewBrowser::addressBoxHistoryAndClear() {
    QComboBox box;
    m_preview->setAddressBox(&box);
    QCOMPARE(box.count(), 1);
    QCOMPARE(box.itemText(0), QStringLiteral("about:blank"));

    const QString page1 = m_server->url("/page1.html").toString();
    box.setEditText(page1);
    QTest::keyClick(&box, Qt::Key_Return);
    QTRY_COMPARE(m_preview->page()->url(), m_server->url("/page1.html"));
    QCOMPARE(box.currentText(), page1);
    QCOMPARE(box.itemText(0), page1);
    QCOMPARE(box.count(), 2);

    // Enter with Shift does nothing.
    box.setEditText(m_server->url("/page2.html").toString());
    QTest::keyClick(&box, Qt::Key_Return, Qt::ShiftModifier);
    QTest::qWait(200);
    QCOMPARE(m_preview->page()->url(), m_server->url("/page1.html"));

    // The same address in other letters moves to the top as typed.
    box.setEditText(page1.toUpper().replace("HTTP://", "http://"));
    m_preview->openTypedAddress();
    QCOMPARE(box.count(), 2);
    QCOMPARE(box.itemText(0), page1.toUpper().replace("HTTP://", "http://"));

    // Only blanks open the blank page; the box empties and "about:blank" tops the history.
    box.setEditText(QStringLiteral("   "));
    m_preview->openTypedAddress();
    QTRY_COMPARE(m_preview->page()->url(), QUrl("about:blank"));
    QCOMPARE(box.currentText(), QString());
    QCOMPARE(box.itemText(0), QStringLiteral("about:blank"));

    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/page2.html")));
    m_preview->setBackgroundColour(QColor(255, 0, 0));
    QVERIFY(waitForPainted(m_preview->view(), {{300, 200}}, Qt::red));
    box.setEditText(QStringLiteral("something typed"));
    m_preview->clearPreviewArea();
    QTRY_COMPARE(m_preview->page()->url(), QUrl("about:blank"));
    QVERIFY(waitForPainted(m_preview->view(), {{300, 200}, {590, 390}}, Qt::white));
    QCOMPARE(box.currentText(), QString());
    QCOMPARE(box.itemText(0), QStringLiteral("about:blank"));
    m_preview->setAddressBox(nullptr);
}

void TestPreviewBrowser::loadTimerPreviewsOnce() {
    QTemporaryDir folder;
    const QString file = writeSolidImage(folder.filePath("first.png"), Qt::blue);
    QWidget holder;
    Preview fresh(m_profile, &holder, nullptr);
    // The window answers the timer with the file its list shows.
    QSignalSpy elapsed(&fresh, &Preview::startPreviewDue);
    connect(&fresh, &Preview::startPreviewDue, &fresh,
            [&] { fresh.previewFileAtStart(file, PreviewUse::Document); });
    QVERIFY(fresh.startPreviewTimer()->isActive());
    QCOMPARE(fresh.startPreviewTimer()->interval(), 150);
    QTRY_COMPARE(fresh.page()->url(), QUrl::fromLocalFile(file));
    QCOMPARE(elapsed.size(), 1);
    QVERIFY(!fresh.startPreviewTimer()->isActive());

    // A change reported by the file list first keeps the timer from firing at all.
    QWidget otherHolder;
    Preview second(m_profile, &otherHolder, nullptr);
    second.previewChosenFile(QString(), PreviewUse::Document);
    QVERIFY(!second.startPreviewTimer()->isActive());
}

void TestPreviewBrowser::colourDialogCancelledChangesNothing() {
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/page1.html")));
    m_preview->setBackgroundColour(QColor(255, 255, 204));
    QTRY_COMPARE(pageColour(m_preview.get()), QColor(255, 255, 204));
    // The colour dialog, answered as the user does: cancelled, then blue chosen.
    QColor offered;
    std::optional<QColor> choice;
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = qobject_cast<QColorDialog*>(modal);
        if (!dialog)
            return false;
        offered = dialog->currentColor();
        if (choice) {
            dialog->setCurrentColor(*choice);
            dialog->accept();
        } else {
            dialog->reject();
        }
        return true;
    });
    m_preview->chooseBackgroundColour();
    QCOMPARE(answerer.answered(), 1);
    QCOMPARE(pageColour(m_preview.get()), QColor(255, 255, 204));

    choice = QColor(0, 0, 255);
    m_preview->chooseBackgroundColour();
    QTRY_COMPARE(pageColour(m_preview.get()), QColor(0, 0, 255));
    // The dialog starts with the colour chosen last.
    choice.reset();
    m_preview->chooseBackgroundColour();
    QCOMPARE(offered, QColor(0, 0, 255));
}

ZELVORIN_TEST_MAIN_WITH(TestPreviewBrowser, zelvorin::RegisterUrlSchemes)
#include "test_preview_browser.moc"

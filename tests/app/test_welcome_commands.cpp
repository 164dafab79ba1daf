// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's own command addresses in the real main window: the welcome page's links
// and check box drive the filter box, the help window and the stored option, and addresses
// typed into the address box run as commands, leaving the box empty.
#include "FileListView.h"
#include "FilePanel.h"
#include "FilterComboBox.h"
#include "FolderFiles.h"
#include "FolderSession.h"
#include "HelpWindow.h"
#include "LoopbackHttpServer.h"
#include "MainToolbar.h"
#include "MainWindowTestSupport.h"
#include "Preview.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWebEngineHistory>
#include <QWebEnginePage>

using namespace zelvorin::test;
namespace st = zelvorin::settings;

namespace {

const QString ImageMask =
    QStringLiteral("*.jpg;*.gif;*.png;*.bmp;*.jpeg;*.webp;*.avif;*.svg;*.svgz;*.ico;*.apng");
const QString HtmlMask = QStringLiteral("*.htm*;*.shtml;*.asp;*.mht");

QString link(const QString& command) {
    return QStringLiteral("a[href=\"zelvorin://%1\"]").arg(command);
}

} // namespace

class WelcomeCommandsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_folder;
    LoopbackHttpServer* m_server = nullptr;
    std::unique_ptr<MainWindowFixture> m_window;

    zelvorin::MainWindow* openWindow() {
        m_window = std::make_unique<MainWindowFixture>();
        zelvorin::MainWindow* form = m_window->open();
        if (form && !showFolder(form, m_folder, 1))
            return nullptr;
        return form;
    }
    QWebEnginePage* page() const { return m_window->page(); }
    zelvorin::FilterComboBox* filterBox(zelvorin::MainWindow* form) const {
        return form->filePanel()->filterBox();
    }
    QString fileMask(zelvorin::MainWindow* form) const {
        return form->filePanel()->session()->files()->mask();
    }
    QStringList fileNames(zelvorin::MainWindow* form) const {
        return form->filePanel()->session()->files()->names();
    }
    // Types an address into the address box and presses Enter.
    void typeAddress(zelvorin::MainWindow* form, const QString& address) {
        QLineEdit* edit = form->toolbar()->addressBox()->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, address);
        QTest::keyClick(edit, Qt::Key_Return);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        m_folder = m_root.filePath("folder");
        QVERIFY(writeFile(m_folder + "/picture.png", "not really"));
        QVERIFY(writeFile(m_folder + "/page.html", "<html><body>page</body></html>"));
        m_server = new LoopbackHttpServer(this);
        QVERIFY(m_server->start());
        m_server->serve("/page.html",
                        "<html><head><title>Web page</title></head><body>web</body></html>");
    }
    void cleanup() { m_window.reset(); }

    void linksDriveTheFilterBox_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("startFilter");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("html files")
            << "viewlocalhtmlfiles" << 0 << 1 << HtmlMask << "page.html" << false;
        QTest::newRow("clean backgrounds")
            << "viewcleanbackgrounds" << 1 << 0 << ImageMask << "picture.png" << true;
        QTest::newRow("backgrounds filter")
            << "setbackgroundsfilter" << 1 << 0 << ImageMask << "picture.png" << false;
    }
    void linksDriveTheFilterBox() {
        QFETCH(QString, command);
        QFETCH(int, startFilter);
        QFETCH(int, filter);
        QFETCH(QString, mask);
        QFETCH(QString, file);
        QFETCH(bool, cleared);
        zelvorin::MainWindow* form = openWindow();
        QVERIFY(form);
        chooseFilter(form, startFilter);
        QCOMPARE(filterBox(form)->currentIndex(), startFilter);
        const QUrl welcome = page()->url();
        QCOMPARE(welcome.scheme(), QString("qrc"));

        QVERIFY(clickElement(form, link(command)));
        QTRY_COMPARE(filterBox(form)->currentIndex(), filter);
        QCOMPARE(fileMask(form), mask);
        QTRY_COMPARE(fileNames(form), QStringList{file});
        if (cleared) {
            QTRY_COMPARE(page()->url(), QUrl("about:blank"));
        } else {
            // The command has run (the filter changed) and a link of the program's own
            // page never navigates.
            QCOMPARE(page()->url(), welcome);
        }
    }

    void linksShowHelpTopics_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("topic");
        QTest::newRow("help manual") << "showhelpmanual"
                                     << "MainScreen_link";
        QTest::newRow("contacts") << "contacts"
                                  << "Contacts_link";
    }
    void linksShowHelpTopics() {
        QFETCH(QString, command);
        QFETCH(QString, topic);
        zelvorin::MainWindow* form = openWindow();
        QVERIFY(form);
        zelvorin::HelpWindow* help = m_window->values().helpWindow();
        help->hide();
        QVERIFY(clickElement(form, link(command)));
        QTRY_VERIFY(help->isVisible());
        QCOMPARE(help->CurrentTopic(), topic);
        QCOMPARE(page()->url().scheme(), QString("qrc"));
        help->hide();
    }

    void checkBoxSwitchesTheStoredOption() {
        zelvorin::MainWindow* form = openWindow();
        QVERIFY(form);
        QVERIFY(form->actions().action(zelvorin::Command::ShowWelcomePageOnStart)->isChecked());
        QCOMPARE(pageValue(page(), "document.getElementById('ShowPageCheckBox').checked"),
                 QVariant(true));

        QVERIFY(clickElement(form, "#ShowPageCheckBox"));
        QTRY_VERIFY(
            !form->actions().action(zelvorin::Command::ShowWelcomePageOnStart)->isChecked());
        QCOMPARE(m_window->settings().read(st::ShowWelcomePage), false);
        QCOMPARE(page()->url().scheme(), QString("qrc"));

        QVERIFY(clickElement(form, "#ShowPageCheckBox"));
        QTRY_VERIFY(form->actions().action(zelvorin::Command::ShowWelcomePageOnStart)->isChecked());
        QCOMPARE(m_window->settings().read(st::ShowWelcomePage), true);

        // With the option off the next start shows a blank page.
        QVERIFY(clickElement(form, "#ShowPageCheckBox"));
        QTRY_VERIFY(
            !form->actions().action(zelvorin::Command::ShowWelcomePageOnStart)->isChecked());
        m_window->close();
        QVERIFY(m_window->open());
        QCOMPARE(page()->url(), QUrl("about:blank"));
        QVERIFY(!m_window->form()
                     ->actions()
                     .action(zelvorin::Command::ShowWelcomePageOnStart)
                     ->isChecked());
    }

    // On a page without the check box the option counts as cleared.
    void switchWithoutCheckBoxClearsTheOption() {
        zelvorin::MainWindow* form = openWindow();
        QVERIFY(form);
        form->openAddress("about:blank");
        typeAddress(form, "zelvorin://switchwelcomepageview");
        QTRY_VERIFY(
            !form->actions().action(zelvorin::Command::ShowWelcomePageOnStart)->isChecked());
        QCOMPARE(m_window->settings().read(st::ShowWelcomePage), false);
    }

    void typedGalleryAddressRuns() {
        zelvorin::MainWindow* form = openWindow();
        QVERIFY(form);
        const int history = page()->history()->count();
        typeAddress(form, "ZELVORIN://imglist/1,25");
        QVERIFY(waitForTitle(page(), "folder"));
        QTRY_VERIFY(pageText(page()).contains("(1 image)"));
        QCOMPARE(form->toolbar()->addressBox()->currentText(), QString());
        QCOMPARE(page()->url().scheme(), QString("qrc"));
        QCOMPARE(page()->history()->count(), history);
    }

    // Addresses that name no command, or an unreadable gallery page, do nothing at all.
    void unknownAddressesDoNothing_data() {
        QTest::addColumn<QString>("address");
        QTest::newRow("no such command") << "zelvorin://nosuchcommand";
        QTest::newRow("trailing slash after the count") << "zelvorin://imglist/1,25/";
        QTest::newRow("no comma") << "zelvorin://imglist/1";
        QTest::newRow("no arguments") << "zelvorin://imglist";
    }
    void unknownAddressesDoNothing() {
        QFETCH(QString, address);
        zelvorin::MainWindow* form = openWindow();
        QVERIFY(form);
        chooseFilter(form, 1);
        const QUrl shown = page()->url();
        const QString title = page()->title();
        const QString text = pageText(page());
        const int history = page()->history()->count();

        // A typed command runs at once and never reaches the engine.
        typeAddress(form, address);
        QCOMPARE(page()->url(), shown);
        QCOMPARE(page()->title(), title);
        QCOMPARE(pageText(page()), text);
        QCOMPARE(page()->history()->count(), history);
        QCOMPARE(filterBox(form)->currentIndex(), 1);
        QCOMPARE(fileMask(form), HtmlMask);
        QVERIFY(!m_window->values().helpWindow()->isVisible());
        QCOMPARE(form->toolbar()->addressBox()->currentText(), QString());
    }

    void backgroundsFilterKeepsTheWebPage() {
        zelvorin::MainWindow* form = openWindow();
        QVERIFY(form);
        chooseFilter(form, 1);
        const QUrl web = m_server->url("/page.html");
        form->openAddress(web.toString());
        QVERIFY(waitForTitle(page(), "Web page"));
        typeAddress(form, "zelvorin://setbackgroundsfilter");
        QTRY_COMPARE(filterBox(form)->currentIndex(), 0);
        QCOMPARE(fileMask(form), ImageMask);
        QCOMPARE(fileNames(form), QStringList{"picture.png"});
        QCOMPARE(page()->url(), web);
        QCOMPARE(page()->title(), QString("Web page"));
    }
};

ZELVORIN_TEST_MAIN_WITH(WelcomeCommandsTest, zelvorin::RegisterUrlSchemes)

#include "test_welcome_commands.moc"

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The background commands of the main window as a user meets them: a placement chosen on
// the toolbar, an image clicked in the file list on a local page and told about on the
// status bar, "Copy CSS" on the clipboard, the placement back at the next start,
// "Save a web copy..." of the chosen image, and the page width kept for the next start.
#include "ActionRegistry.h"
#include "BackgroundChoice.h"
#include "FileListView.h"
#include "FilePanel.h"
#include "FolderFiles.h"
#include "FolderSession.h"
#include "MainMenus.h"
#include "MainWindowTestSupport.h"
#include "PageFrame.h"
#include "Preview.h"
#include "StatusBar.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"
#include "WebCopyDialog.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

namespace st = zelvorin::settings;
using namespace zelvorin::test;

class BackgroundCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void placementImageAndCss() {
        // Not the current folder: the window makes the folder it shows the current one.
        QTemporaryDir site;
        QVERIFY(writeFile(site.filePath("index.html"),
                          "<html><head><title>Site</title></head><body style='color: #222'>"
                          "<p>The words of the page.</p></body></html>"));
        writeSolidImage(site.filePath("images/paper.png"), QColor(0xF4, 0xEE, 0xE0), 48);
        MainWindowFixture window;
        zelvorin::MainWindow* form = window.open();
        QVERIFY(form);
        form->openAddress(site.filePath("index.html"));
        QVERIFY(waitForTitle(window.page(), "Site"));
        // The drop-down holds the menu's entries; each entry's data is its stored number.
        form->toolbar()->placementButton()->menu()->actions().at(3)->trigger();
        QCOMPARE(window.settings().read(st::BackgroundPlacement), 3);

        chooseFilter(form, 0);
        QVERIFY(showFolder(form, site.filePath("images"), 1));
        auto* list = form->filePanel()->fileList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(0, 0)).center());
        // The image's weight (its bytes as the PNG encoder packs them), then the note.
        QTRY_VERIFY2_WITH_TIMEOUT(form->mainStatusBar()->text().endsWith(
                                      "48 x 48 \u2014 Text contrast 13.7:1 at worst (meets 4.5:1)"),
                                  qPrintable(form->mainStatusBar()->text()), 15000);
        QVERIFY(form->mainStatusBar()->text().startsWith("paper.png "));
        // The tile once in the middle, nowhere else.
        QVERIFY(waitForPainted(form->webView(), {{5, 300}}, Qt::white));
        if (qEnvironmentVariableIsSet("ZELVORIN_TEST_SHOTS"))
            form->grab().save(qEnvironmentVariable("ZELVORIN_TEST_SHOTS") + "/background.png");

        QApplication::clipboard()->clear();
        form->actions().action(zelvorin::Command::CopyCss)->trigger();
        QTRY_COMPARE(QApplication::clipboard()->text(),
                     QString("html { min-height: 100%; }\n"
                             "body { background: url(\"images/paper.png\") center no-repeat; }"));

        form = window.create();
        QVERIFY(form->actions()
                    .group(zelvorin::MenuId::BackgroundPlacement)
                    ->actions()
                    .at(3)
                    ->isChecked());
        QCOMPARE(form->preview()->background()->layout().placement,
                 zelvorin::preview::BackgroundPlacement::CentreOnce);
    }

    void webCopyOfTheChosenImage() {
        QTemporaryDir site;
        QVERIFY(
            writeFile(site.filePath("index.html"),
                      "<html><head><title>Site</title></head><body><p>Words</p></body></html>"));
        writeSolidImage(site.filePath("paper.png"), QColor(0xF4, 0xEE, 0xE0), 48);
        MainWindowFixture window;
        zelvorin::MainWindow* form = window.open();
        QVERIFY(form);
        form->openAddress(site.filePath("index.html"));
        QVERIFY(waitForTitle(window.page(), "Site"));
        QAction* entry = form->actions().action(zelvorin::Command::SaveWebCopy);
        emit form->menus().menu(zelvorin::MenuId::Edit)->aboutToShow();
        QVERIFY(!entry->isEnabled()); // no image chosen yet

        chooseFilter(form, 0);
        QVERIFY(showFolder(form, site.path(), 1));
        auto* list = form->filePanel()->fileList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(0, 0)).center());
        // Told about first, so that the note does not come after what the copy tells.
        QTRY_VERIFY_WITH_TIMEOUT(!form->preview()->background()->note().isEmpty(), 15000);
        emit form->menus().menu(zelvorin::MenuId::Edit)->aboutToShow();
        QVERIFY(entry->isEnabled());
        entry->trigger();
        auto* dialog = form->findChild<zelvorin::WebCopyDialog*>();
        QVERIFY(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(dialog->ready(), 15000);
        QVERIFY(dialog->settings().lossless); // one flat colour
        dialog->findChild<QPushButton*>("SaveButton")->click();
        QVERIFY(QFile::exists(site.filePath("paper.webp")));
        // "paper.png 1 KB -> paper.webp 60 bytes"
        const QString told = form->mainStatusBar()->text();
        QVERIFY2(told.startsWith("paper.png ") && told.contains(" \u2192 paper.webp "),
                 qPrintable(told));
        QTRY_VERIFY(!form->findChild<zelvorin::WebCopyDialog*>());
    }

    // A width chosen on the toolbar's drop-down lays the page out at it, shows on the
    // button and in the menu, and is the width at the next start; so is side by side.
    void pageWidthKeptForTheNextStart() {
        MainWindowFixture window;
        zelvorin::MainWindow* form = window.open();
        QVERIFY(form);
        QToolButton* button = form->toolbar()->pageWidthButton();
        QCOMPARE(button->text(), QString("Full"));
        QCOMPARE(button->menu(), form->menus().menu(zelvorin::MenuId::View));
        button->menu()->actions().at(1)->trigger();
        QCOMPARE(window.settings().read(st::PageWidth), 390);
        QCOMPARE(button->text(), QString("Phone 390"));
        QCOMPARE(button->toolTip(), QString(" View: Phone 390 "));
        QTRY_COMPARE_WITH_TIMEOUT(pageValue(window.page(), "window.innerWidth").toInt(), 390,
                                  10000);
        // Side by side, a desktop's width beside the phone's unless another is chosen.
        form->actions().action(zelvorin::Command::SideBySide)->trigger();
        QCOMPARE(form->pageFrame()->cssWidth(1), 1920);
        form->actions().action(zelvorin::Command::SideTabletWidth)->trigger();
        QCOMPARE(form->pageFrame()->cssWidth(1), 820);
        QCOMPARE(window.settings().read(st::SideWidth), 820);

        form = window.create();
        QVERIFY(form->actions().action(zelvorin::Command::ViewPhoneWidth)->isChecked());
        QCOMPARE(form->pageFrame()->cssWidth(0), 390);
        QCOMPARE(form->toolbar()->pageWidthButton()->text(), QString("Phone 390"));
        QVERIFY(form->actions().action(zelvorin::Command::SideTabletWidth)->isChecked());
        QCOMPARE(form->pageFrame()->cssWidth(1), 820);
    }
};

ZELVORIN_TEST_MAIN_WITH(BackgroundCommandsTest, zelvorin::RegisterUrlSchemes)
#include "test_background_commands.moc"

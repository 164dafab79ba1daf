// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window as a user meets it: its controls, menus, toolbar sections, the file
// panel splitter, Escape, and the settings it applies at start and writes at close.
#include "ActionRegistry.h"
#include "BackgroundChoice.h"
#include "BrowserEvents.h"
#include "CollapsibleSplitter.h"
#include "Downloads.h"
#include "EventLog.h"
#include "FileListView.h"
#include "FilePanel.h"
#include "FolderFiles.h"
#include "FolderPaths.h"
#include "FolderSession.h"
#include "HelpWindow.h"
#include "LiveReload.h"
#include "LoopbackHttpServer.h"
#include "MainMenus.h"
#include "MainToolbar.h"
#include "MainWindow.h"
#include "MainWindowTestSupport.h"
#include "ModalAnswerer.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "ProgramValues.h"
#include "SettingsStore.h"
#include "StatusBar.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QToolButton>
#include <QWebEngineView>

namespace st = zelvorin::settings;

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<zelvorin::test::MainWindowFixture> m_window;

    zelvorin::MainWindow* makeForm() { return m_window->create(); }
    st::SettingsAccess settings() const { return m_window->settings(); }
    QString root() const { return m_window->values().SettingsRoot(); }

private slots:
    void init() { m_window = std::make_unique<zelvorin::test::MainWindowFixture>(); }
    void cleanup() { m_window.reset(); }

    void controlTree_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("toolbar") << "ToolbarPanel" << -1 << 34;
        QTest::newRow("grip 1") << "ToolSplitterPanel1" << 5 << -1;
        QTest::newRow("tools") << "ToolPanel1" << 163 << -1;
        QTest::newRow("grip 2") << "ToolSplitterPanel2" << 5 << -1;
        QTest::newRow("go panel") << "Panel10" << 47 << -1;
        QTest::newRow("grip 3") << "ToolSplitterPanel3" << 5 << -1;
        QTest::newRow("navigation") << "ToolPanel3" << 96 << -1;
        QTest::newRow("spacer") << "Panel5" << -1 << 2;
        QTest::newRow("file splitter") << "dfsSplitter110Ex1" << 10 << -1;
        QTest::newRow("file column") << "MainFilePanel" << 170 << -1;
        QTest::newRow("status bar") << "dfsStatusBar1" << -1 << 19;
        QTest::newRow("address") << "AddressComboBox" << -1 << 21;
        QTest::newRow("go") << "GoButton" << 41 << 26;
        QTest::newRow("back") << "BackSpeedButton" << 26 << 13;
        QTest::newRow("forward") << "ForwardSpeedButton" << 26 << 13;
    }
    void controlTree() {
        QFETCH(QString, name);
        QFETCH(int, width);
        QFETCH(int, height);
        settings().write(st::WindowState, 0);
        zelvorin::MainWindow* form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        auto* widget = form->findChild<QWidget*>(name);
        QVERIFY2(widget, qPrintable(name));
        if (width >= 0)
            QCOMPARE(widget->width(), width);
        if (height >= 0)
            QCOMPARE(widget->height(), height);
    }

    void layoutOrder() {
        settings().write(st::WindowState, 0);
        zelvorin::MainWindow* form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        // The file column is the rightmost, the splitter just left of it, the preview
        // fills the rest; the navigation section sits at the toolbar's right end.
        QCOMPARE(form->filePanel()->geometry().right(),
                 form->findChild<QFrame*>("Panel1")->width() - 1);
        QCOMPARE(form->findChild<zelvorin::CollapsibleSplitter*>()->geometry().right() + 1,
                 form->filePanel()->x());
        QCOMPARE(form->toolbar()->navigationSection()->geometry().right(),
                 form->toolbar()->layout()->contentsRect().right());
        QVERIFY(form->findChild<QFrame*>("WebBrowserPanel")->width() > 300);
        // The address box fills its panel but for its left offset and 5 pixels.
        QCOMPARE(form->toolbar()->addressBox()->pos(), QPoint(2, 5));
        QCOMPARE(form->toolbar()->addressBox()->width(),
                 form->toolbar()->addressPanel()->contentsRect().width() - 2 - 5);
        QCOMPARE(form->toolbar()->addressBox()->itemText(0), QString("about:blank"));
        QVERIFY(form->eventLog()->isHidden());

        // Tab goes as the eye does: the address box, the preview, then the file column.
        QList<QWidget*> chain;
        for (QWidget* widget = form->nextInFocusChain(); widget != form;
             widget = widget->nextInFocusChain())
            chain.append(widget);
        const auto place = [&](QWidget* widget) { return chain.indexOf(widget); };
        QVERIFY(place(form->toolbar()->addressBox()) >= 0);
        QVERIFY(place(form->toolbar()->addressBox()) < place(form->webView()));
        QVERIFY(place(form->webView()) < place(form->filePanel()->fileList()));
    }

    void menus_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        QTest::newRow("open") << "OpenDocumentMenuItem"
                              << "&Open document..."
                              << "Ctrl+O";
        QTest::newRow("background") << "ChangeBackgroundMenuItem"
                                    << "Change &background..."
                                    << "Ctrl+B";
        QTest::newRow("gallery") << "ShowImageGalleryMenuItem"
                                 << "Show &image gallery"
                                 << "Ctrl+I";
        QTest::newRow("add favorite") << "AddToFavoriteFoldersMainMenuItem"
                                      << "&Add to Favorite Folders"
                                      << "";
        QTest::newRow("exit") << "ExitMenuItem"
                              << "E&xit"
                              << "Ctrl+X";
        QTest::newRow("copy") << "CopyMenuItem"
                              << "&Copy"
                              << "";
        QTest::newRow("copy colour") << "CopyBackgroundColorMenuItem"
                                     << "Copy &background color"
                                     << "";
        QTest::newRow("copy html") << "CopyHTMLContentsMenuItem"
                                   << "Copy &HTML source"
                                   << "";
        QTest::newRow("select all") << "SelectAllMenuItem"
                                    << "Select &All"
                                    << "";
        QTest::newRow("set colour") << "SetBackgroundColorMenuItem"
                                    << "Set &Background Color..."
                                    << "";
        QTest::newRow("clear") << "ClearPreviewAreaMenuItem"
                               << "Clear &Preview Area"
                               << "";
        QTest::newRow("largest") << "LargestMenuItem"
                                 << "Lar&gest"
                                 << "";
        QTest::newRow("larger") << "LargerMenuItem"
                                << "&Larger"
                                << "";
        QTest::newRow("medium") << "MediumMenuItem"
                                << "&Medium"
                                << "";
        QTest::newRow("smaller") << "SmallerMenuItem"
                                 << "&Smaller"
                                 << "";
        QTest::newRow("smallest") << "SmallestMenuItem"
                                  << "Sm&allest"
                                  << "";
        QTest::newRow("simple") << "SimpleListMenuItem"
                                << "&Simple list"
                                << "";
        QTest::newRow("background list") << "BackgroundListMenuItem"
                                         << "&Background list"
                                         << "";
        QTest::newRow("thumbnails") << "ThumbnailListMenuItem"
                                    << "&Thumbnail list"
                                    << "";
        QTest::newRow("toolbar") << "ShowToolbarMenuItem"
                                 << "Show &Toolbar"
                                 << "Ctrl+T";
        QTest::newRow("welcome") << "ShowWelcomePageOnStartMenuItem"
                                 << "Show &Welcome page on start"
                                 << "";
        QTest::newRow("dialogues") << "HideDialoguesOfWebBrowserMenuItem"
                                   << "Hide &dialogues of web browser"
                                   << "";
        QTest::newRow("file thumbnails") << "ShowFileThumbnailsMenuItem"
                                         << "Show t&humbnails"
                                         << "";
        QTest::newRow("reload") << "ReloadChangedPageMenuItem"
                                << "&Reload the page when it changes"
                                << "";
        QTest::newRow("view") << "ViewMenuItemAction"
                              << "&View"
                              << "";
        QTest::newRow("phone") << "PhoneWidthMenuItem"
                               << "&Phone 390"
                               << "";
        QTest::newRow("desktop") << "DesktopWidthMenuItem"
                                 << "&Desktop 1920"
                                 << "";
        QTest::newRow("placement") << "BackgroundPlacementMenuItemAction"
                                   << "Background p&lacement"
                                   << "";
        QTest::newRow("gradient") << "CreateTextWithGradientFloodFillMenuItem"
                                  << "Create a gradient &text"
                                  << "";
        QTest::newRow("help") << "HelpContents1"
                              << "Help &Contents..."
                              << "";
        QTest::newRow("about") << "AboutMenuItem"
                               << "&About..."
                               << "";
        QTest::newRow("copy name") << "Copyname1"
                                   << "Copy &name"
                                   << "";
        QTest::newRow("copy path") << "Copynameandpath1"
                                   << "Copy name and &path"
                                   << "";
        QTest::newRow("file properties") << "Properties1"
                                         << "P&roperties"
                                         << "";
        QTest::newRow("folder properties") << "Properties2"
                                           << "P&roperties"
                                           << "";
        QTest::newRow("context add favorite") << "AddToFavoriteFoldersMenuItem"
                                              << "&Add to Favorite Folders"
                                              << "";
    }
    void menus() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        zelvorin::MainWindow* form = makeForm();
        auto* action = form->findChild<QAction*>(name);
        QVERIFY2(action, qPrintable(name));
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut().toString(), shortcut);
    }

    void topLevelMenus() {
        zelvorin::MainWindow* form = makeForm();
        QStringList visible;
        for (QAction* action : form->menuBar()->actions())
            if (action->isVisible())
                visible << action->text();
        QCOMPARE(visible, QStringList({"&File", "&Edit", "&Options", "&Tools!", "&Help"}));
        // Submenus of the folder lists sit in both the File menu and the context menu.
        QCOMPARE(form->menus().menu(zelvorin::MenuId::LastFolders)->title(),
                 QString("&Last Folders"));
        QCOMPARE(form->menus().menu(zelvorin::MenuId::FolderListFavoriteFolders)->title(),
                 QString("&Favorite Folders"));
        QVERIFY(form->actions().action(zelvorin::Command::ShowToolbar)->isChecked());
        QVERIFY(form->actions().action(zelvorin::Command::ThumbnailListStyle)->isChecked());
        QVERIFY(!form->actions().action(zelvorin::Command::HideBrowserDialogues)->isChecked());
    }

    void toolbarHints_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("hint");
        QTest::newRow("colour") << "SpeedButton1"
                                << " Change the background color... ";
        QTest::newRow("filter") << "CustomFilterSpeedButton"
                                << " Add a custom filter... ";
        QTest::newRow("copy") << "SpeedButton2"
                              << " Copy ";
        QTest::newRow("gallery") << "SpeedButton4"
                                 << " Show image gallery ";
        QTest::newRow("clear") << "SpeedButton3"
                               << " Clear the Preview Area ";
        QTest::newRow("go") << "GoButton"
                            << " Load document ";
        QTest::newRow("back") << "BackSpeedButton"
                              << "Back";
        QTest::newRow("forward") << "ForwardSpeedButton"
                                 << "Forward";
        QTest::newRow("refresh") << "RefreshSpeedButton"
                                 << " Refresh ";
        QTest::newRow("stop") << "StopSpeedButton"
                              << " Stop ";
    }
    void toolbarHints() {
        QFETCH(QString, name);
        QFETCH(QString, hint);
        zelvorin::MainWindow* form = makeForm();
        auto* button = form->findChild<QToolButton*>(name);
        QVERIFY(button);
        QCOMPARE(button->toolTip(), hint);
        QVERIFY(button->autoRaise());
        QVERIFY(!button->icon().isNull());
    }

    void toolbarSections() {
        settings().write(st::WindowState, 0);
        zelvorin::MainWindow* form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        const int right = form->toolbar()->navigationSection()->geometry().right();
        const auto release = [&](QWidget* grip) {
            QTest::mousePress(grip, Qt::LeftButton, {}, QPoint(2, 5));
            QCOMPARE(static_cast<QFrame*>(grip)->frameShadow(), QFrame::Sunken);
            QTest::mouseRelease(grip, Qt::LeftButton, {}, QPoint(2, 5));
            QCOMPARE(static_cast<QFrame*>(grip)->frameShadow(), QFrame::Raised);
            QApplication::processEvents();
        };
        // Grip 2: the navigation section takes the freed room, then gets its width and
        // its place at the right edge back.
        release(form->toolbar()->grip(2));
        QVERIFY(form->toolbar()->addressSection()->isHidden());
        QVERIFY(form->toolbar()->navigationSection()->width() > 96);
        QCOMPARE(form->toolbar()->grip(3)->x(), form->toolbar()->grip(2)->geometry().right() + 1);
        release(form->toolbar()->grip(2));
        QVERIFY(form->toolbar()->addressSection()->isVisible());
        QCOMPARE(form->toolbar()->navigationSection()->width(), 96);
        QCOMPARE(form->toolbar()->navigationSection()->geometry().right(), right);
        // Grip 3: hidden and shown again, the grip is back left of its section.
        release(form->toolbar()->grip(3));
        QVERIFY(form->toolbar()->navigationSection()->isHidden());
        QVERIFY(form->toolbar()->grip(3)->isVisible());
        release(form->toolbar()->grip(3));
        QVERIFY(form->toolbar()->navigationSection()->isVisible());
        QCOMPARE(form->toolbar()->grip(3)->geometry().right() + 1,
                 form->toolbar()->navigationSection()->x());
        // Grip 1 toggles the tool buttons.
        release(form->toolbar()->grip(1));
        QVERIFY(form->toolbar()->toolsSection()->isHidden());
        release(form->toolbar()->grip(1));
        QVERIFY(form->toolbar()->toolsSection()->isVisible());
    }

    void escapeTogglesFilePanel() {
        settings().write(st::WindowState, 0);
        zelvorin::MainWindow* form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QTest::keyClick(form->toolbar()->addressBox(), Qt::Key_Escape);
        QVERIFY(form->findChild<zelvorin::CollapsibleSplitter*>()->IsCollapsed());
        QCOMPARE(form->filePanel()->width(), 1);
        QTest::keyClick(form->toolbar()->addressBox(), Qt::Key_Escape, Qt::ShiftModifier);
        QVERIFY(form->findChild<zelvorin::CollapsibleSplitter*>()->IsCollapsed());
        QTest::keyClick(form, Qt::Key_Escape);
        QVERIFY(!form->findChild<zelvorin::CollapsibleSplitter*>()->IsCollapsed());
        QCOMPARE(form->filePanel()->width(), 170);
    }

    void splitterButtonAndDrag() {
        settings().write(st::WindowState, 0);
        zelvorin::MainWindow* form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        zelvorin::CollapsibleSplitter* splitter = form->findChild<zelvorin::CollapsibleSplitter*>();
        const QPoint button = splitter->ButtonRect().center();
        QTest::mouseClick(splitter, Qt::LeftButton, {}, button);
        QVERIFY(splitter->IsCollapsed());
        QTest::mouseClick(splitter, Qt::LeftButton, {}, button);
        QCOMPARE(form->filePanel()->width(), 170);
        // Dragging left by 30 pixels widens the file column by 30.
        const QPoint grip(5, 5);
        QTest::mousePress(splitter, Qt::LeftButton, {}, grip);
        QMouseEvent move(QEvent::MouseMove, QPointF(grip - QPoint(30, 0)),
                         QPointF(splitter->mapToGlobal(grip - QPoint(30, 0))), Qt::LeftButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(splitter, &move);
        QTest::mouseRelease(splitter, Qt::LeftButton, {}, grip - QPoint(30, 0));
        QCOMPARE(form->filePanel()->width(), 200);
    }

    void showToolbarAndLog() {
        zelvorin::MainWindow* form = makeForm();
        form->actions().action(zelvorin::Command::ShowToolbar)->trigger();
        QVERIFY(!form->actions().action(zelvorin::Command::ShowToolbar)->isChecked());
        QVERIFY(form->toolbar()->isHidden());
        form->actions().action(zelvorin::Command::ShowToolbar)->trigger();
        QVERIFY(form->actions().action(zelvorin::Command::ShowToolbar)->isChecked());
        QVERIFY(!form->toolbar()->isHidden());

        form->addLogLine("one");
        form->actions().action(zelvorin::Command::ShowLog)->trigger();
        QCOMPARE(form->eventLog()->lineCount(), 0);
        QVERIFY(!form->eventLog()->isHidden());
        QCOMPARE(form->eventLog()->width(), 250);
        QCOMPARE(form->logSplitter()->Thickness(), 5);
        QVERIFY(!form->logSplitter()->isHidden());
        form->addLogLine("two");
        form->actions().action(zelvorin::Command::ShowLog)->trigger();
        QCOMPARE(form->eventLog()->lineCount(), 0);
        QVERIFY(form->eventLog()->isHidden());
        QVERIFY(form->logSplitter()->isHidden());
    }

    void firstStartDefaults() {
        zelvorin::MainWindow* form = makeForm();
        QVERIFY(form->windowState() & Qt::WindowMaximized);
        QVERIFY(form->actions().action(zelvorin::Command::ShowWelcomePageOnStart)->isChecked());
        QCOMPARE(form->filePanel()->width(), 170);
        QCOMPARE(form->galleryStyle(), quint8(2));
        QCOMPARE(form->windowTitle(), QString(" Zelvorin"));
        // Reading the defaults creates nothing in the store.
        QVERIFY(!m_window->values().Settings()->valueExists(root() + "\\Interface", "FormWidth"));
    }

    void savedSettingsApplied() {
        settings().write(st::FormWidth, 700);
        settings().write(st::FormHeight, 500);
        settings().write(st::WindowState, 0);
        settings().write(st::MainFilePanelWidth, 222);
        settings().write(st::ShowWelcomePage, false);
        settings().write(st::HideBrowserDialogues, true);
        zelvorin::MainWindow* form = makeForm();
        QVERIFY(!(form->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)));
        QCOMPARE(form->size(), QSize(700, 500));
        QCOMPARE(form->filePanel()->width(), 222);
        QVERIFY(!form->actions().action(zelvorin::Command::ShowWelcomePageOnStart)->isChecked());
        QVERIFY(form->actions().action(zelvorin::Command::HideBrowserDialogues)->isChecked());
    }

    void minimizedStateRestored() {
        settings().write(st::WindowState, 1);
        zelvorin::MainWindow* form = makeForm();
        QVERIFY(form->windowState() & Qt::WindowMinimized);
        form->close();
        QCOMPARE(settings().read(st::WindowState), 1);
    }

    void galleryStyleByte_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("marked");
        QTest::newRow("background list") << 1 << 1 << "BackgroundListMenuItem";
        QTest::newRow("258 keeps its low byte") << 258 << 2 << "ThumbnailListMenuItem";
        QTest::newRow("7 leaves the design mark") << 7 << 7 << "ThumbnailListMenuItem";
        QTest::newRow("-1 is 255") << -1 << 255 << "ThumbnailListMenuItem";
    }
    void galleryStyleByte() {
        QFETCH(int, stored);
        QFETCH(int, style);
        QFETCH(QString, marked);
        settings().write(st::DefImageGalleryStyle, stored);
        zelvorin::MainWindow* form = makeForm();
        QCOMPARE(int(form->galleryStyle()), style);
        QVERIFY(form->findChild<QAction*>(marked)->isChecked());
        form->close();
        // The byte is written back unless a style was picked.
        QCOMPARE(settings().read(st::DefImageGalleryStyle), style);
    }

    // However a style is chosen (its entry, or the command that cycles the styles), the
    // radio mark of Options > Image Gallery Style moves with it.
    void galleryStyleCommands() {
        zelvorin::MainWindow* form = makeForm();
        QActionGroup* styles = form->actions().group(zelvorin::MenuId::GalleryStyle);
        const auto marked = [styles] { return styles->checkedAction()->objectName(); };
        form->actions().action(zelvorin::Command::SimpleListStyle)->trigger();
        QCOMPARE(form->galleryStyle(), quint8(0));
        QCOMPARE(marked(), QString("SimpleListMenuItem"));
        QAction* cycle = form->findChild<QAction*>("FindItem1");
        QVERIFY(cycle);
        const QStringList after = {"BackgroundListMenuItem", "ThumbnailListMenuItem",
                                   "SimpleListMenuItem"};
        for (int i = 0; i < 3; ++i) {
            cycle->trigger();
            QCOMPARE(int(form->galleryStyle()), (i + 1) % 3);
            QCOMPARE(marked(), after.at(i));
        }
    }

    void cyclingLeavesAStoredStyleBeyondTheEntries() {
        settings().write(st::DefImageGalleryStyle, 7);
        zelvorin::MainWindow* form = makeForm();
        form->findChild<QAction*>("FindItem1")->trigger();
        QCOMPARE(form->galleryStyle(), quint8(7));
        QVERIFY(form->actions().action(zelvorin::Command::ThumbnailListStyle)->isChecked());
    }

    // Every entry of every menu the user can open has an access key of its own in its
    // menu; the one pair the program inherited, "Copy &background color" and "Set
    // &Background Color...", is the only exception.
    void everyEntryHasAnAccessKeyOfItsOwn() {
        zelvorin::MainWindow* form = makeForm();
        QList<QMenu*> menus;
        for (QAction* top : form->menuBar()->actions())
            if (top->isVisible() && top->menu())
                menus << top->menu();
        menus << form->menus().menu(zelvorin::MenuId::FolderList)
              << form->menus().menu(zelvorin::MenuId::FileList);
        int checked = 0;
        while (!menus.isEmpty()) {
            QMenu* menu = menus.takeFirst();
            QHash<QKeySequence, QString> keys;
            for (QAction* entry : menu->actions()) {
                if (entry->isSeparator() || !entry->isVisible())
                    continue;
                if (entry->menu())
                    menus << entry->menu();
                const QKeySequence key = QKeySequence::mnemonic(entry->text());
                QVERIFY2(!key.isEmpty(), qPrintable(entry->text() + " has no access key"));
                const QString other = keys.value(key);
                const bool inherited =
                    QStringList{other, entry->text()} ==
                    QStringList{"Copy &background color", "Set &Background Color..."};
                QVERIFY2(other.isEmpty() || inherited,
                         qPrintable(entry->text() + " shares its access key with " + other));
                keys.insert(key, entry->text());
                ++checked;
            }
        }
        QVERIFY(checked > 40);
    }

    // A command that cannot be carried out says so and why, in a message and in the log:
    // here the gallery, when the preview takes no page of the program's own in time.
    void failedCommandSaysWhy() {
        zelvorin::MainWindow* form = m_window->open();
        QVERIFY(form);
        const QString page = QDir::homePath() + "/page.html";
        QVERIFY(zelvorin::test::writeFile(page, "<title>a page</title><p>text</p>"));
        form->openAddress(page);
        QVERIFY(zelvorin::test::waitForTitle(form->preview()->page(), "a page"));
        form->preview()->setWaitLimit(0);
        QString told;
        zelvorin::test::ModalAnswerer answerer([&told](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box) {
                told = box->text();
                box->done(QMessageBox::Ok);
            }
            return box != nullptr;
        });
        form->actions().action(zelvorin::Command::ShowImageGallery)->trigger();
        QTRY_VERIFY(!told.isEmpty());
        QVERIFY2(told.startsWith("Could not show the image gallery: "), qPrintable(told));
        QVERIFY(form->eventLog()->toPlainText().contains("CommandFailed"));
    }

    void panelWidthWrittenOnlyWhenSensible() {
        settings().write(st::WindowState, 0);
        settings().write(st::MainFilePanelWidth, 190);
        {
            zelvorin::MainWindow* form = makeForm();
            form->show();
            QVERIFY(QTest::qWaitForWindowExposed(form));
            form->findChild<zelvorin::CollapsibleSplitter*>()->SetCollapsed(true);
            form->close();
        }
        // Collapsed to 1 pixel: the stored width stays as it was.
        QCOMPARE(settings().read(st::MainFilePanelWidth), 190);
        {
            zelvorin::MainWindow* form = makeForm();
            form->show();
            QVERIFY(QTest::qWaitForWindowExposed(form));
            form->filePanel()->setFixedWidth(120);
            form->close();
        }
        QCOMPARE(settings().read(st::MainFilePanelWidth), 120);
    }

    void welcomeOptionStoredAtOnce() {
        zelvorin::MainWindow* form = makeForm();
        form->actions().action(zelvorin::Command::ShowWelcomePageOnStart)->trigger();
        QVERIFY(!form->actions().action(zelvorin::Command::ShowWelcomePageOnStart)->isChecked());
        QCOMPARE(settings().read(st::ShowWelcomePage), false);
        form->setShowWelcomePage(true);
        QCOMPARE(settings().read(st::ShowWelcomePage), true);
    }

    // The thumbnails of the file list and the reload of a changed page: each option is
    // kept at once and applied again at the next start.
    void fileAndPageOptionsKeptAtOnce() {
        zelvorin::MainWindow* form = makeForm();
        QVERIFY(!form->actions().action(zelvorin::Command::ShowFileThumbnails)->isChecked());
        QVERIFY(form->actions().action(zelvorin::Command::ReloadChangedPage)->isChecked());
        form->actions().action(zelvorin::Command::ShowFileThumbnails)->trigger();
        form->actions().action(zelvorin::Command::ReloadChangedPage)->trigger();
        QCOMPARE(settings().read(st::ShowThumbnails), true);
        QCOMPARE(settings().read(st::ReloadChangedPage), false);
        QVERIFY(form->filePanel()->fileList()->showsThumbnails());
        QVERIFY(!form->preview()->liveReload()->isEnabled());
        form = makeForm();
        QVERIFY(form->actions().action(zelvorin::Command::ShowFileThumbnails)->isChecked());
        QVERIFY(!form->actions().action(zelvorin::Command::ReloadChangedPage)->isChecked());
        QVERIFY(form->filePanel()->fileList()->showsThumbnails());
        QVERIFY(!form->preview()->liveReload()->isEnabled());
    }

    void geometrySavedOnlyInNormalState() {
        settings().write(st::WindowState, 0);
        zelvorin::MainWindow* form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        form->resize(640, 480);
        QTRY_COMPARE(settings().read(st::FormWidth), 640);
        QCOMPARE(settings().read(st::FormHeight), 480);
        form->showMaximized();
        QTRY_VERIFY(form->windowState() & Qt::WindowMaximized);
        QApplication::processEvents();
        QCOMPARE(settings().read(st::FormWidth), 640);
    }

    // F1 opens the help at the topic of the control that has the focus; a control
    // without a help context of its own takes the window's.
    void helpForTheFocusedControl_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("topic");
        QTest::newRow("address box") << "AddressComboBox"
                                     << "context-30";
        QTest::newRow("filter box") << "FilterComboBox1"
                                    << "context-60";
        QTest::newRow("browser") << "WebBrowser1"
                                 << "context-10";
        QTest::newRow("file list") << "FileListBox1"
                                   << "context-10";
    }
    void helpForTheFocusedControl() {
        QFETCH(QString, control);
        QFETCH(QString, topic);
        zelvorin::MainWindow* form = m_window->open();
        QVERIFY(form);
        // The font size entries show the browser's level from the start.
        QVERIFY(form->actions().action(zelvorin::Command::FontMedium)->isChecked());
        form->activateWindow();
        QWidget* target = form->findChild<QWidget*>(control);
        QVERIFY(target);
        if (target->focusProxy())
            target = target->focusProxy();
        target->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), target);
        QTest::keyClick(target, Qt::Key_F1);
        QCOMPARE(m_window->values().helpWindow()->CurrentTopic(), topic);
        m_window->values().helpWindow()->close();
    }

    // Settings the file does not take: the window keeps them, the status bar and the log
    // say so, and a message (with the file and the reason) comes the first time only.
    void unsavedSettingsAreTold() {
        const QString config = QDir::tempPath() + "/not-a-folder-" +
                               QString::number(QRandomGenerator::global()->generate());
        QVERIFY(zelvorin::test::writeFile(config, "x"));
        const QString file = config + "/registry.db";
        m_window = std::make_unique<zelvorin::test::MainWindowFixture>(file);
        zelvorin::MainWindow* form = makeForm();
        QStringList messages;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&messages] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        closer.start(10);
        form->actions().action(zelvorin::Command::ShowWelcomePageOnStart)->trigger();
        form->actions().action(zelvorin::Command::ShowWelcomePageOnStart)->trigger();
        form->actions().action(zelvorin::Command::ShowWelcomePageOnStart)->trigger();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.at(0).contains(file) && messages.at(0).contains("Not a directory"),
                 qPrintable(messages.at(0)));
        QVERIFY(form->mainStatusBar()->text().contains(file));
        QCOMPARE(form->eventLog()->toPlainText().count("SettingsNotSaved"), 1);
        QCOMPARE(settings().read(st::ShowWelcomePage), false);
        // Still not saved at closing: said before the window goes, which goes on the answer.
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        form->close();
        QTRY_COMPARE(messages.size(), 2);
        QVERIFY2(messages.at(1).contains(file) && messages.at(1).contains("lost"),
                 qPrintable(messages.at(1)));
        QTRY_VERIFY(!form->isVisible());
        QCOMPARE(messages.size(), 2);
        QFile::remove(config);
    }

    // A download a page offers reaches the window's log and status bar, and the gauge
    // falls back when it is done.
    void downloadsAreToldInTheWindow() {
        zelvorin::test::LoopbackHttpServer server;
        QVERIFY(server.start());
        server.serveRaw("/get", "200 OK",
                        "Content-Type: application/octet-stream\r\n"
                        "Content-Disposition: attachment; filename=\"notes.txt\"\r\n",
                        "saved bytes");
        zelvorin::MainWindow* form = makeForm();
        form->show();
        zelvorin::test::ModalAnswerer saveQuestion([](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (dialog)
                static_cast<QDialog*>(dialog)->accept();
            return dialog != nullptr;
        });
        form->webView()->page()->load(server.url("/get"));
        const QString saved = QDir::homePath() + "/notes.txt";
        QTRY_VERIFY(form->eventLog()->toPlainText().contains(
            zelvorin::downloadlog::completed(saved).trimmed()));
        QVERIFY(form->mainStatusBar()->text().contains("notes.txt"));
        QVERIFY(!form->mainStatusBar()->gaugeShown());
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("saved bytes"));
    }

    void longReadsShowTheirNoteAndGauge() {
        const QString folder = QDir::homePath() + "/long";
        QVERIFY(QDir().mkpath(folder));
        for (int i = 0; i < 1200; ++i)
            QVERIFY(zelvorin::test::writeFile(folder + QString("/f%1.jpg").arg(i), ""));
        m_window->values().services().folders.headLimit = 16; // read on in the background
        zelvorin::MainWindow* form = makeForm();
        form->show();
        zelvorin::FilePanel* panel = form->filePanel();
        zelvorin::StatusBar* bar = form->mainStatusBar();
        // What the bar shows each time the read tells how far it is.
        QStringList notes;
        QList<unsigned> gauges;
        connect(panel->session()->files(), &zelvorin::FolderFiles::readProgress, this, [&] {
            notes << bar->text();
            gauges << (bar->gaugeShown() ? bar->gaugePosition() : 100u);
        });
        panel->showStartingFolder(folder); // as a folder the user goes to
        QTRY_VERIFY(panel->session()->files()->count() == 1200 &&
                    !panel->session()->files()->isReading());
        QVERIFY(!notes.isEmpty());
        QCOMPARE(notes.last(), QString("Reading folder... 1200"));
        for (const QString& note : notes)
            QVERIFY2(note.startsWith("Reading folder... "), qPrintable(note));
        QVERIFY(std::is_sorted(gauges.begin(), gauges.end()) && gauges.last() < 100);
        // Gone with the read's end (the gauge is the page loads' too: not looked at here).
        QCOMPARE(bar->text(), QString());
    }

    // The folder read's figure stays its own while a page loads beside it, and the note about
    // the chosen image comes back when the link under the pointer is gone.
    void statusReportsKeepTheirOwnPlaces() {
        zelvorin::MainWindow* form = makeForm();
        zelvorin::StatusBar* bar = form->mainStatusBar();
        zelvorin::BrowserEvents* events = form->preview()->events();
        zelvorin::FolderFiles* files = form->filePanel()->session()->files();
        emit events->gaugeChanged(false, 0);
        emit files->readProgress(1000, 10000);
        emit events->gaugeChanged(true, 42);
        emit events->gaugeChanged(true, 80);
        QCOMPARE(zelvorin::gaugeText(bar->gaugePosition(), bar->gaugeLabel()), "Folder 10%");
        emit files->readFinished();
        QCOMPARE(zelvorin::gaugeText(bar->gaugePosition(), bar->gaugeLabel()), "Page 80%");

        const QString note = "paper.png 1 KB, 48 x 48 \u2014 Text contrast 3.1:1 at worst";
        emit form->preview()->background()->noteChanged(note);
        emit events->statusTextChanged("https://example.org/");
        QCOMPARE(bar->text(), "https://example.org/");
        emit events->statusTextChanged(QString());
        QCOMPARE(bar->text(), note);
    }
};

ZELVORIN_TEST_MAIN_WITH(MainWindowTest, zelvorin::RegisterUrlSchemes)
#include "test_mainwindow.moc"

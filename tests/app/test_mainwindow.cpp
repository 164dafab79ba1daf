// The main window as a user meets it: its controls, menus, toolbar sections, the file
// panel splitter, Escape, and the settings it applies at start and writes at close.
#include "CollapsibleSplitter.h"
#include "Downloads.h"
#include "EventLog.h"
#include "FileListView.h"
#include "FilePanel.h"
#include "FolderFiles.h"
#include "FolderListing.h"
#include "FolderPaths.h"
#include "FolderSession.h"
#include "HelpWindow.h"
#include "LiveReload.h"
#include "LoopbackHttpServer.h"
#include "MainToolbar.h"
#include "MainUnit.h"
#include "MainWindowTestSupport.h"
#include "ModalAnswerer.h"
#include "Preview.h"
#include "ProgramValues.h"
#include "SettingsStore.h"
#include "StatusBar.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QAction>
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

    TMainForm* makeForm() { return m_window->create(); }
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
        TMainForm* form = makeForm();
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
        TMainForm* form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        // The file column is the rightmost, the splitter just left of it, the preview
        // fills the rest; the navigation section sits at the toolbar's right end.
        QCOMPARE(form->MainFilePanel()->geometry().right(),
                 form->findChild<QFrame*>("Panel1")->width() - 1);
        QCOMPARE(form->findChild<zelvorin::CollapsibleSplitter*>()->geometry().right() + 1,
                 form->MainFilePanel()->x());
        QCOMPARE(form->Toolbar()->ToolPanel3->geometry().right(),
                 form->Toolbar()->layout()->contentsRect().right());
        QVERIFY(form->findChild<QFrame*>("WebBrowserPanel")->width() > 300);
        // The address box fills its panel but for its left offset and 5 pixels.
        QCOMPARE(form->Toolbar()->AddressComboBox->pos(), QPoint(2, 5));
        QCOMPARE(form->Toolbar()->AddressComboBox->width(),
                 form->Toolbar()->AddressPanel->contentsRect().width() - 2 - 5);
        QCOMPARE(form->Toolbar()->AddressComboBox->itemText(0), QString("about:blank"));
        QVERIFY(form->LogRichEdit()->isHidden());
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
        TMainForm* form = makeForm();
        auto* action = form->findChild<QAction*>(name);
        QVERIFY2(action, qPrintable(name));
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut().toString(), shortcut);
    }

    void topLevelMenus() {
        TMainForm* form = makeForm();
        QStringList visible;
        for (QAction* action : form->menuBar()->actions())
            if (action->isVisible())
                visible << action->text();
        QCOMPARE(visible, QStringList({"&File", "&Edit", "&Options", "&Tools!", "&Help"}));
        // Submenus of the folder lists sit in both the File menu and the context menu.
        QCOMPARE(form->Menus().LastFoldersMainMenuItem->title(), QString("&Last Folders"));
        QCOMPARE(form->Menus().FavoriteFoldersMenuItem->title(), QString("&Favorite Folders"));
        QVERIFY(form->Menus().ShowToolbarMenuItem->isChecked());
        QVERIFY(form->Menus().ThumbnailListMenuItem->isChecked());
        QVERIFY(!form->Menus().HideDialoguesOfWebBrowserMenuItem->isChecked());
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
        TMainForm* form = makeForm();
        auto* button = form->findChild<QToolButton*>(name);
        QVERIFY(button);
        QCOMPARE(button->toolTip(), hint);
        QVERIFY(button->autoRaise());
        QVERIFY(!button->icon().isNull());
    }

    void toolbarSections() {
        settings().write(st::WindowState, 0);
        TMainForm* form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        const int right = form->Toolbar()->ToolPanel3->geometry().right();
        const auto release = [&](QWidget* grip) {
            QTest::mousePress(grip, Qt::LeftButton, {}, QPoint(2, 5));
            QCOMPARE(static_cast<QFrame*>(grip)->frameShadow(), QFrame::Sunken);
            QTest::mouseRelease(grip, Qt::LeftButton, {}, QPoint(2, 5));
            QCOMPARE(static_cast<QFrame*>(grip)->frameShadow(), QFrame::Raised);
            QApplication::processEvents();
        };
        // Grip 2: the navigation section takes the freed room, then gets its width and
        // its place at the right edge back.
        release(form->Toolbar()->ToolSplitterPanel2);
        QVERIFY(form->Toolbar()->ToolPanel2->isHidden());
        QVERIFY(form->Toolbar()->ToolPanel3->width() > 96);
        QCOMPARE(form->Toolbar()->ToolSplitterPanel3->x(),
                 form->Toolbar()->ToolSplitterPanel2->geometry().right() + 1);
        release(form->Toolbar()->ToolSplitterPanel2);
        QVERIFY(form->Toolbar()->ToolPanel2->isVisible());
        QCOMPARE(form->Toolbar()->ToolPanel3->width(), 96);
        QCOMPARE(form->Toolbar()->ToolPanel3->geometry().right(), right);
        // Grip 3: hidden and shown again, the grip is back left of its section.
        release(form->Toolbar()->ToolSplitterPanel3);
        QVERIFY(form->Toolbar()->ToolPanel3->isHidden());
        QVERIFY(form->Toolbar()->ToolSplitterPanel3->isVisible());
        release(form->Toolbar()->ToolSplitterPanel3);
        QVERIFY(form->Toolbar()->ToolPanel3->isVisible());
        QCOMPARE(form->Toolbar()->ToolSplitterPanel3->geometry().right() + 1,
                 form->Toolbar()->ToolPanel3->x());
        // Grip 1 toggles the tool buttons.
        release(form->Toolbar()->ToolSplitterPanel1);
        QVERIFY(form->Toolbar()->ToolPanel1->isHidden());
        release(form->Toolbar()->ToolSplitterPanel1);
        QVERIFY(form->Toolbar()->ToolPanel1->isVisible());
    }

    void escapeTogglesFilePanel() {
        settings().write(st::WindowState, 0);
        TMainForm* form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QTest::keyClick(form->Toolbar()->AddressComboBox, Qt::Key_Escape);
        QVERIFY(form->findChild<zelvorin::CollapsibleSplitter*>()->IsCollapsed());
        QCOMPARE(form->MainFilePanel()->width(), 1);
        QTest::keyClick(form->Toolbar()->AddressComboBox, Qt::Key_Escape, Qt::ShiftModifier);
        QVERIFY(form->findChild<zelvorin::CollapsibleSplitter*>()->IsCollapsed());
        QTest::keyClick(form, Qt::Key_Escape);
        QVERIFY(!form->findChild<zelvorin::CollapsibleSplitter*>()->IsCollapsed());
        QCOMPARE(form->MainFilePanel()->width(), 170);
    }

    void splitterButtonAndDrag() {
        settings().write(st::WindowState, 0);
        TMainForm* form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        zelvorin::CollapsibleSplitter* splitter = form->findChild<zelvorin::CollapsibleSplitter*>();
        const QPoint button = splitter->ButtonRect().center();
        QTest::mouseClick(splitter, Qt::LeftButton, {}, button);
        QVERIFY(splitter->IsCollapsed());
        QTest::mouseClick(splitter, Qt::LeftButton, {}, button);
        QCOMPARE(form->MainFilePanel()->width(), 170);
        // Dragging left by 30 pixels widens the file column by 30.
        const QPoint grip(5, 5);
        QTest::mousePress(splitter, Qt::LeftButton, {}, grip);
        QMouseEvent move(QEvent::MouseMove, QPointF(grip - QPoint(30, 0)),
                         QPointF(splitter->mapToGlobal(grip - QPoint(30, 0))), Qt::LeftButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(splitter, &move);
        QTest::mouseRelease(splitter, Qt::LeftButton, {}, grip - QPoint(30, 0));
        QCOMPARE(form->MainFilePanel()->width(), 200);
    }

    void showToolbarAndLog() {
        TMainForm* form = makeForm();
        form->Menus().ShowToolbarMenuItem->trigger();
        QVERIFY(!form->Menus().ShowToolbarMenuItem->isChecked());
        QVERIFY(form->Toolbar()->isHidden());
        form->Menus().ShowToolbarMenuItem->trigger();
        QVERIFY(form->Menus().ShowToolbarMenuItem->isChecked());
        QVERIFY(!form->Toolbar()->isHidden());

        form->AddLogLine("one");
        form->Menus().ShowLog1->trigger();
        QCOMPARE(form->LogRichEdit()->LineCount(), 0);
        QVERIFY(!form->LogRichEdit()->isHidden());
        QCOMPARE(form->LogRichEdit()->width(), 250);
        QCOMPARE(form->LogSplitter()->Thickness(), 5);
        QVERIFY(!form->LogSplitter()->isHidden());
        form->AddLogLine("two");
        form->Menus().ShowLog1->trigger();
        QCOMPARE(form->LogRichEdit()->LineCount(), 0);
        QVERIFY(form->LogRichEdit()->isHidden());
        QVERIFY(form->LogSplitter()->isHidden());
    }

    void firstStartDefaults() {
        TMainForm* form = makeForm();
        QVERIFY(form->windowState() & Qt::WindowMaximized);
        QVERIFY(form->Menus().ShowWelcomePageOnStartMenuItem->isChecked());
        QCOMPARE(form->MainFilePanel()->width(), 170);
        QCOMPARE(form->GalleryStyle(), quint8(2));
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
        TMainForm* form = makeForm();
        QVERIFY(!(form->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)));
        QCOMPARE(form->size(), QSize(700, 500));
        QCOMPARE(form->MainFilePanel()->width(), 222);
        QVERIFY(!form->Menus().ShowWelcomePageOnStartMenuItem->isChecked());
        QVERIFY(form->Menus().HideDialoguesOfWebBrowserMenuItem->isChecked());
    }

    void minimizedStateRestored() {
        settings().write(st::WindowState, 1);
        TMainForm* form = makeForm();
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
        TMainForm* form = makeForm();
        QCOMPARE(int(form->GalleryStyle()), style);
        QVERIFY(form->findChild<QAction*>(marked)->isChecked());
        form->close();
        // The byte is written back unless a style was picked.
        QCOMPARE(settings().read(st::DefImageGalleryStyle), style);
    }

    void galleryStyleCommands() {
        TMainForm* form = makeForm();
        form->Menus().SimpleListMenuItem->trigger();
        QCOMPARE(form->GalleryStyle(), quint8(0));
        QVERIFY(form->Menus().SimpleListMenuItem->isChecked());
        QVERIFY(!form->Menus().ThumbnailListMenuItem->isChecked());
        form->FindItem1Click();
        QCOMPARE(form->GalleryStyle(), quint8(1));
        // Cycling does not move the radio marks.
        QVERIFY(form->Menus().SimpleListMenuItem->isChecked());
        form->FindItem1Click();
        form->FindItem1Click();
        QCOMPARE(form->GalleryStyle(), quint8(0));
    }

    void panelWidthWrittenOnlyWhenSensible() {
        settings().write(st::WindowState, 0);
        settings().write(st::MainFilePanelWidth, 190);
        {
            TMainForm* form = makeForm();
            form->show();
            QVERIFY(QTest::qWaitForWindowExposed(form));
            form->findChild<zelvorin::CollapsibleSplitter*>()->SetCollapsed(true);
            form->close();
        }
        // Collapsed to 1 pixel: the stored width stays as it was.
        QCOMPARE(settings().read(st::MainFilePanelWidth), 190);
        {
            TMainForm* form = makeForm();
            form->show();
            QVERIFY(QTest::qWaitForWindowExposed(form));
            form->MainFilePanel()->setFixedWidth(120);
            form->close();
        }
        QCOMPARE(settings().read(st::MainFilePanelWidth), 120);
    }

    void welcomeOptionStoredAtOnce() {
        TMainForm* form = makeForm();
        form->Menus().ShowWelcomePageOnStartMenuItem->trigger();
        QVERIFY(!form->Menus().ShowWelcomePageOnStartMenuItem->isChecked());
        QCOMPARE(settings().read(st::ShowWelcomePage), false);
        form->SetShowWelcomePage(true);
        QCOMPARE(settings().read(st::ShowWelcomePage), true);
    }

    // The thumbnails of the file list and the reload of a changed page: each option is
    // kept at once and applied again at the next start.
    void fileAndPageOptionsKeptAtOnce() {
        TMainForm* form = makeForm();
        QVERIFY(!form->Menus().ShowFileThumbnailsMenuItem->isChecked());
        QVERIFY(form->Menus().ReloadChangedPageMenuItem->isChecked());
        form->Menus().ShowFileThumbnailsMenuItem->trigger();
        form->Menus().ReloadChangedPageMenuItem->trigger();
        QCOMPARE(settings().read(st::ShowThumbnails), true);
        QCOMPARE(settings().read(st::ReloadChangedPage), false);
        QVERIFY(form->MainFilePanel()->fileList()->showsThumbnails());
        QVERIFY(!form->PreviewArea()->liveReload()->isEnabled());
        form = makeForm();
        QVERIFY(form->Menus().ShowFileThumbnailsMenuItem->isChecked());
        QVERIFY(!form->Menus().ReloadChangedPageMenuItem->isChecked());
        QVERIFY(form->MainFilePanel()->fileList()->showsThumbnails());
        QVERIFY(!form->PreviewArea()->liveReload()->isEnabled());
    }

    void geometrySavedOnlyInNormalState() {
        settings().write(st::WindowState, 0);
        TMainForm* form = makeForm();
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
        TMainForm* form = m_window->open();
        QVERIFY(form);
        // The font size entries show the browser's level from the start.
        QVERIFY(form->Menus().MediumMenuItem->isChecked());
        form->activateWindow();
        QWidget* target = form->findChild<QWidget*>(control);
        QVERIFY(target);
        if (target->focusProxy())
            target = target->focusProxy();
        target->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), target);
        QTest::keyClick(target, Qt::Key_F1);
        QCOMPARE(zelvorin::SharedHelpWindow()->CurrentTopic(), topic);
        zelvorin::SharedHelpWindow()->close();
    }

    // Settings the file does not take: the window keeps them, the status bar and the log
    // say so, and a message (with the file and the reason) comes the first time only.
    void unsavedSettingsAreTold() {
        const QString config = QDir::tempPath() + "/not-a-folder-" +
                               QString::number(QRandomGenerator::global()->generate());
        QVERIFY(zelvorin::test::writeFile(config, "x"));
        const QString file = config + "/registry.db";
        m_window = std::make_unique<zelvorin::test::MainWindowFixture>(file);
        TMainForm* form = makeForm();
        QStringList messages;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&messages] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        closer.start(10);
        form->Menus().ShowWelcomePageOnStartMenuItem->trigger();
        form->Menus().ShowWelcomePageOnStartMenuItem->trigger();
        form->Menus().ShowWelcomePageOnStartMenuItem->trigger();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.at(0).contains(file) && messages.at(0).contains("Not a directory"),
                 qPrintable(messages.at(0)));
        QVERIFY(form->StatusBar()->text().contains(file));
        QCOMPARE(form->LogRichEdit()->toPlainText().count("SettingsNotSaved"), 1);
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
        TMainForm* form = makeForm();
        form->show();
        zelvorin::test::ModalAnswerer saveQuestion([](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (dialog)
                static_cast<QDialog*>(dialog)->accept();
            return dialog != nullptr;
        });
        form->WebBrowser1()->page()->load(server.url("/get"));
        const QString saved = QDir::homePath() + "/notes.txt";
        QTRY_VERIFY(form->LogRichEdit()->toPlainText().contains(
            zelvorin::downloadlog::completed(saved).trimmed()));
        QVERIFY(form->StatusBar()->text().contains("notes.txt"));
        QVERIFY(!form->StatusBar()->gaugeShown());
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("saved bytes"));
    }

    void longReadsShowTheirNoteAndGauge() {
        const QString folder = QDir::homePath() + "/long";
        QVERIFY(QDir().mkpath(folder));
        for (int i = 0; i < 1200; ++i)
            QVERIFY(zelvorin::test::writeFile(folder + QString("/f%1.jpg").arg(i), ""));
        TMainForm* form = makeForm();
        form->show();
        zelvorin::FilePanel* panel = form->MainFilePanel();
        zelvorin::StatusBar* bar = form->StatusBar();
        // What the bar shows each time the read tells how far it is.
        QStringList notes;
        QList<unsigned> gauges;
        connect(panel->session()->files(), &zelvorin::FolderFiles::readProgress, this, [&] {
            notes << bar->text();
            gauges << (bar->gaugeShown() ? bar->gaugePosition() : 100u);
        });
        zelvorin::FolderListing::setHeadLimit(16); // read on in the background
        panel->showStartingFolder(folder);         // as a folder the user goes to
        zelvorin::FolderListing::setHeadLimit(zelvorin::FolderListing::DefaultHeadLimit);
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
};

ZELVORIN_TEST_MAIN_WITH(MainWindowTest, zelvorin::RegisterUrlSchemes)
#include "test_mainwindow.moc"

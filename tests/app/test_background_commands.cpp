// The background commands of the main window as a user meets them: a placement chosen on
// the toolbar, an image clicked in the file list on a local page and told about on the
// status bar, "Copy CSS" on the clipboard, and the placement back at the next start.
#include "BackgroundChoice.h"
#include "FileListView.h"
#include "FilePanel.h"
#include "FolderFiles.h"
#include "FolderSession.h"
#include "MainWindowTestSupport.h"
#include "Preview.h"
#include "StatusBar.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
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
        QTRY_COMPARE_WITH_TIMEOUT(form->mainStatusBar()->text(),
                                  QString("Text contrast 13.7:1 at worst (meets 4.5:1)"), 15000);
        // The tile once in the middle, nowhere else.
        QVERIFY(waitForPainted(form->webView(), {{5, 300}}, Qt::white));
        if (qEnvironmentVariableIsSet("ZELVORIN_TEST_SHOTS"))
            form->grab().save(qEnvironmentVariable("ZELVORIN_TEST_SHOTS") + "/background.png");

        QApplication::clipboard()->clear();
        form->actions().action(zelvorin::Command::CopyCss)->trigger();
        QCOMPARE(QApplication::clipboard()->text(),
                 QString("body { background: url(\"images/paper.png\") center no-repeat; }"));

        form = window.create();
        QVERIFY(form->actions()
                    .group(zelvorin::MenuId::BackgroundPlacement)
                    ->actions()
                    .at(3)
                    ->isChecked());
        QCOMPARE(form->preview()->background()->Layout().placement,
                 zelvorin::preview::BackgroundPlacement::CentreOnce);
    }
};

ZELVORIN_TEST_MAIN_WITH(BackgroundCommandsTest, zelvorin::RegisterUrlSchemes)
#include "test_background_commands.moc"

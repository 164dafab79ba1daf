// The background commands of the main window as a user meets them: the placement in the
// Edit menu and on the toolbar, kept at the next start; an image chosen in the file list
// on a local page, told about on the status bar; "Copy CSS" on the clipboard.
#include "BackgroundChoice.h"
#include "FilePanel.h"
#include "MainToolbar.h"
#include "MainUnit.h"
#include "MainWindowTestSupport.h"
#include "Preview.h"
#include "StatusBar.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPainter>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWebEngineView>

namespace st = zelvorin::settings;
using zelvorin::preview::BackgroundPlacement;
using namespace zelvorin::test;

namespace {

QAction* placementEntry(TMainForm* form, BackgroundPlacement placement) {
    for (QAction* entry : form->Menus().BackgroundPlacementGroup->actions())
        if (entry->data().toInt() == int(placement))
            return entry;
    return nullptr;
}

// A tile a user might pick: light, with a darker pattern, so the page's text stays
// readable on it.
void writeTile(const QString& path) {
    QImage image(48, 48, QImage::Format_RGB32);
    image.fill(QColor(0xF4, 0xEE, 0xE0));
    QPainter painter(&image);
    painter.setPen(QColor(0xD8, 0xCC, 0xB0));
    painter.drawEllipse(8, 8, 32, 32);
    painter.end();
    image.save(path);
}

} // namespace

class BackgroundCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> m_window;
    std::unique_ptr<QTemporaryDir> m_site;
    QString m_folder;

private slots:
    void init() {
        m_window = std::make_unique<MainWindowFixture>();
        // Not the current folder: the window makes the folder it shows the current one.
        m_site = std::make_unique<QTemporaryDir>();
        QVERIFY(m_site->isValid());
        m_folder = m_site->path();
        QVERIFY(writeFile(m_folder + "/index.html",
                          "<html><head><title>Site</title></head><body style='color: #222'>"
                          "<h1>A page</h1><p>Its words, which should stay easy to read on "
                          "whatever background is chosen for it.</p></body></html>"));
        QDir().mkpath(m_folder + "/images");
        writeTile(m_folder + "/images/paper.png");
    }
    void cleanup() {
        m_window.reset();
        m_site.reset();
    }

    void entriesAndDropDown() {
        TMainForm* form = m_window->create();
        const MainMenus& m = form->Menus();
        QCOMPARE(m.BackgroundPlacementMenuItem->title(), QString("Background &placement"));
        QStringList captions;
        for (QAction* entry : m.BackgroundPlacementMenuItem->actions())
            if (!entry->isSeparator())
                captions << entry->text();
        QCOMPARE(captions, QStringList({"&Tile", "Tile &across", "Tile &down", "&Centre once",
                                        "Co&ver", "&Fit", "Fi&xed while scrolling"}));
        QVERIFY(m.BackgroundPlacementGroup->isExclusive());
        QCOMPARE(m.UseImageColourMenuItem->text(), QString("&Use image's colour"));
        QCOMPARE(m.CopyCssMenuItem->text(), QString("Copy C&SS"));
        QCOMPARE(m.UseImageColourMenuItem->parent(), m.EditMenuItem);
        // The toolbar's drop-down offers the same entries.
        QCOMPARE(form->Toolbar()->PlacementSpeedButton->menu(), m.BackgroundPlacementMenuItem);
        QVERIFY(placementEntry(form, BackgroundPlacement::Tile)->isChecked());
        QVERIFY(!m.BackgroundFixedMenuItem->isChecked());
    }

    // Chosen in the menu: applied, kept at once, and back at the next start.
    void placementKeptAtNextStart() {
        TMainForm* form = m_window->create();
        placementEntry(form, BackgroundPlacement::Cover)->trigger();
        form->Menus().BackgroundFixedMenuItem->trigger();
        QCOMPARE(form->PreviewArea()->background()->Layout().placement, BackgroundPlacement::Cover);
        QCOMPARE(m_window->settings().Read(st::BackgroundPlacement), 4);
        QCOMPARE(m_window->settings().Read(st::BackgroundFixed), true);
        QVERIFY(form->Toolbar()->PlacementSpeedButton->toolTip().contains("Cover"));

        form = m_window->create();
        QVERIFY(placementEntry(form, BackgroundPlacement::Cover)->isChecked());
        QVERIFY(form->Menus().BackgroundFixedMenuItem->isChecked());
        const zelvorin::preview::BackgroundLayout layout =
            form->PreviewArea()->background()->Layout();
        QCOMPARE(layout.placement, BackgroundPlacement::Cover);
        QVERIFY(layout.fixed);
    }

    // The walk of a user: a local page, the placement, an image clicked in the file list;
    // the status bar tells the contrast, and "Copy CSS" gives the rule for the page.
    void imageChosenOnLocalPage() {
        TMainForm* form = m_window->open();
        QVERIFY(form);
        form->OpenAddress(m_folder + "/index.html");
        QVERIFY(waitForTitle(m_window->page(), "Site"));
        placementEntry(form, BackgroundPlacement::CentreOnce)->trigger();
        chooseFilter(form, 0);
        QVERIFY(showFolder(form, m_folder + "/images", 1));
        auto* list = form->MainFilePanel()->FileListBox1();
        const QPoint row = list->visualRect(list->model()->index(0, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);

        QTRY_VERIFY_WITH_TIMEOUT(form->StatusBar()->Panel(2).Text.startsWith("Text contrast "),
                                 15000);
        QVERIFY2(form->StatusBar()->Panel(2).Text.endsWith("at worst (meets 4.5:1)"),
                 qPrintable(form->StatusBar()->Panel(2).Text));
        // What the page shows: the tile once, in the middle of the page, nowhere else.
        QVERIFY(waitForPainted(form->WebBrowser1(), {{5, 300}}, Qt::white));
        const QString shots = qEnvironmentVariable("ZELVORIN_TEST_SHOTS");
        if (!shots.isEmpty())
            form->grab().save(shots + "/background-commands.png");

        QApplication::clipboard()->clear();
        form->Menus().CopyCssMenuItem->trigger();
        QCOMPARE(QApplication::clipboard()->text(),
                 QString("body { background: url(\"images/paper.png\") center no-repeat; }"));
    }
};

ZELVORIN_TEST_MAIN_WITH(BackgroundCommandsTest, zelvorin::RegisterUrlSchemes)
#include "test_background_commands.moc"

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// "Show image gallery" in the real main window: the page of the shown folder appears over
// whatever document was shown before, its thumbnails and background tiles are painted, its
// Prev and Next links page through the folder, the style menu restyles the next page, and
// only images are listed whatever the file filter.
#include "FileListView.h"
#include "FilePanel.h"
#include "FilterComboBox.h"
#include "FolderFiles.h"
#include "FolderSession.h"
#include "LoopbackHttpServer.h"
#include "MainToolbar.h"
#include "MainWindowTestSupport.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewTestSupport.h"
#include "ProgramPages.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QAction>
#include <QTemporaryDir>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace zelvorin::test;

namespace {

const QColor Red(230, 20, 20);
const QColor Green(20, 200, 40);
const QColor Blue(30, 40, 220);

int countOf(QWebEnginePage* page, const QString& selector) {
    return pageValue(page, QStringLiteral("document.querySelectorAll('%1').length").arg(selector))
        .toInt();
}

// The page's counter as the page shows it (its blanks are non-breaking).
QString counter(int first, int last, int count) {
    const QString gap(2, QChar(0xA0));
    return QStringLiteral("(%1-%2").arg(first).arg(last) + gap +
           QStringLiteral("of %1").arg(count) + gap + QStringLiteral("images)");
}

} // namespace

class GalleryWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_colours; // three solid images and a page
    QString m_many;    // 30 images
    QString m_mixed;   // images, pages and other files
    LoopbackHttpServer* m_server = nullptr;
    std::unique_ptr<MainWindowFixture> m_window;

    zelvorin::MainWindow* openWindow(const QString& folder, int count) {
        m_window = std::make_unique<MainWindowFixture>();
        zelvorin::MainWindow* form = m_window->open();
        if (form && !showFolder(form, folder, count))
            return nullptr;
        return form;
    }
    QWebEnginePage* page() const { return m_window->page(); }
    // "Show image gallery" and the wait for its page.
    bool showGallery(zelvorin::MainWindow* form, const QString& folder) {
        form->actions().action(zelvorin::Command::ShowImageGallery)->trigger();
        return waitForTitle(page(), QFileInfo(folder).fileName());
    }
    bool waitForText(const QString& text) {
        QDeadlineTimer deadline(15000);
        while (!pageText(page()).contains(text)) {
            if (deadline.hasExpired())
                return false;
            QTest::qWait(50);
        }
        return true;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        m_colours = m_root.filePath("colours");
        writeSolidImage(m_colours + "/a red.png", Red, 120);
        writeSolidImage(m_colours + "/b green.png", Green, 120);
        writeSolidImage(m_colours + "/c blue.png", Blue, 120);
        QVERIFY(writeFile(m_colours + "/page.html",
                          "<html><head><title>Local page</title></head><body>local</body></html>"));
        m_many = m_root.filePath("many");
        for (int i = 1; i <= 30; ++i)
            writeSolidImage(m_many + QStringLiteral("/image %1.png").arg(i, 2, 10, QChar('0')),
                            i <= 25 ? Green : Blue, 16);
        m_mixed = m_root.filePath("mixed");
        writeSolidImage(m_mixed + "/one.png", Red, 16);
        writeSolidImage(m_mixed + "/two.PNG", Green, 16);
        QVERIFY(writeFile(m_mixed + "/three.gif", "GIF89a"));
        QVERIFY(writeFile(m_mixed + "/index.html", "<html><body>x</body></html>"));
        QVERIFY(writeFile(m_mixed + "/notes.txt", "notes"));
        QVERIFY(writeFile(m_mixed + "/noextension", "x"));

        m_server = new LoopbackHttpServer(this);
        QVERIFY(m_server->start());
        m_server->serve("/page.html",
                        "<html><head><title>Web page</title></head><body>web</body></html>");
        m_server->serve("/away.html",
                        "<html><body><script>function away() { location.href = 'about:blank'; }"
                        "</script>web</body></html>");
    }
    void cleanup() { m_window.reset(); }

    // The document shown before: the page goes into it when it is local, into a fresh
    // blank one when it belongs to a web site; the pictures show either way.
    void paintedOverEveryDocument_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("selector");
        QTest::newRow("welcome page, thumbnails") << "welcome" << 2 << "img";
        QTest::newRow("blank page, thumbnails") << "blank" << 2 << "img";
        QTest::newRow("local file, thumbnails") << "file" << 2 << "img";
        QTest::newRow("web page, thumbnails") << "web" << 2 << "img";
        QTest::newRow("blank left by a web page") << "web blank" << 2 << "img";
        QTest::newRow("welcome page, simple list") << "welcome" << 0 << "img";
        QTest::newRow("welcome page, background tiles") << "welcome" << 1 << "table[background]";
        QTest::newRow("local file, background tiles") << "file" << 1 << "table[background]";
        QTest::newRow("web page, background tiles") << "web" << 1 << "table[background]";
    }
    void paintedOverEveryDocument() {
        QFETCH(QString, before);
        QFETCH(int, style);
        QFETCH(QString, selector);
        zelvorin::MainWindow* form = openWindow(m_colours, 3);
        QVERIFY(form);
        QCOMPARE(page()->url().scheme(), QString("qrc"));
        if (before == "blank") {
            form->openAddress("about:blank");
        } else if (before == "file") {
            form->openAddress(m_colours + "/page.html");
            QVERIFY(waitForTitle(page(), "Local page"));
        } else if (before.startsWith("web")) {
            form->openAddress(m_server->url("/page.html").toString());
            QVERIFY(waitForTitle(page(), "Web page"));
            if (before == "web blank") {
                // The page has ended its load first, as the user sees it before going on.
                QTRY_VERIFY(!form->preview()->isLoading());
                QVERIFY(loadAndWait(page(), m_server->url("/away.html")));
                evaluate(page(), "away()");
                QTRY_COMPARE(page()->url(), QUrl("about:blank"));
                QTRY_COMPARE(pageValue(page(), "window.origin").toString(),
                             m_server->url("/").toString().chopped(1));
            }
        }
        QTRY_VERIFY(!form->preview()->isLoading());
        QList<QAction*> styles{form->actions().action(zelvorin::Command::SimpleListStyle),
                               form->actions().action(zelvorin::Command::BackgroundListStyle),
                               form->actions().action(zelvorin::Command::ThumbnailListStyle)};
        styles[style]->trigger();
        const QUrl shownBefore = page()->url();
        const int historyBefore = page()->history()->count();

        QVERIFY(showGallery(form, m_colours));

        if (before != "welcome") {
            // The listing went into a fresh page of the program's, never into a document
            // it did not make.
            QCOMPARE(page()->url(), zelvorin::ProgramPages::BlankPage());
        } else {
            // Written into the program's own page: no navigation, no history entry.
            QCOMPARE(page()->url(), shownBefore);
            QCOMPARE(page()->history()->count(), historyBefore);
        }
        QCOMPARE(countOf(page(), selector), 3);
        const QList<QColor> colours{Red, Green, Blue};
        for (int i = 0; i < 3; ++i) {
            const QVariantList box =
                pageValue(page(), QStringLiteral("(function () {"
                                                 " var e = document.querySelectorAll('%1')[%2];"
                                                 " e.scrollIntoView({block: 'center'});"
                                                 " var r = e.getBoundingClientRect();"
                                                 " return [r.left + r.width / 2, r.top + 10];"
                                                 "})()")
                                      .arg(selector)
                                      .arg(i))
                    .toList();
            QCOMPARE(box.size(), 2);
            const QPoint point(int(box[0].toDouble()), int(box[1].toDouble()));
            QVERIFY2(waitForPainted(form->webView(), {point}, colours[i]),
                     qPrintable(QStringLiteral("item %1").arg(i + 1)));
        }
    }

    // Any page text, not only a gallery's, goes only into a document the program made.
    void pageTextOnlyIntoProgramDocuments_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("local file") << "file" << false;
        QTest::newRow("web page") << "web" << false;
        QTest::newRow("blank left by a web page") << "web blank" << false;
        QTest::newRow("welcome page") << "welcome" << true;
    }
    void pageTextOnlyIntoProgramDocuments() {
        QFETCH(QString, before);
        QFETCH(bool, inPlace);
        zelvorin::MainWindow* form = openWindow(m_colours, 3);
        QVERIFY(form);
        if (before == "file") {
            form->openAddress(m_colours + "/page.html");
            QVERIFY(waitForTitle(page(), "Local page"));
        } else if (before.startsWith("web")) {
            QVERIFY(loadAndWait(page(), m_server->url("/away.html")));
            if (before == "web blank") {
                // The web page itself goes to a blank page, which keeps its origin.
                evaluate(page(), "away()");
                QTRY_COMPARE(page()->url(), QUrl("about:blank"));
                QTRY_COMPARE(pageValue(page(), "window.origin").toString(),
                             m_server->url("/").toString().chopped(1));
            }
        }
        QTRY_VERIFY(!form->preview()->isLoading());
        const QUrl shown = page()->url();
        const int history = page()->history()->count();

        form->showPageText(
            "<html><head><title>Written</title></head><body>written text</body></html>");
        QVERIFY(waitForTitle(page(), "Written"));
        QCOMPARE(pageText(page()), QString("written text"));
        if (inPlace) {
            QCOMPARE(page()->url(), shown);
            QCOMPARE(page()->history()->count(), history);
        } else {
            QCOMPARE(page()->url(), zelvorin::ProgramPages::BlankPage());
        }
    }

    void pagedWithPrevAndNext() {
        zelvorin::MainWindow* form = openWindow(m_many, 30);
        QVERIFY(form);
        QVERIFY(showGallery(form, m_many));
        QVERIFY(waitForText(counter(1, 25, 30)));
        QCOMPARE(countOf(page(), "img"), 25);
        // The Prev/Next row stands above and below the items.
        QCOMPARE(countOf(page(), "a[href=\"zelvorin://imglist/26,25\"]"), 2);
        QCOMPARE(countOf(page(), "a[href^=\"zelvorin://imglist/-24\"]"), 0);
        const int history = page()->history()->count();

        // Next with the mouse.
        QVERIFY(clickElement(form, "a[href=\"zelvorin://imglist/26,25\"]"));
        QVERIFY(waitForText(counter(26, 30, 30)));
        QCOMPARE(countOf(page(), "img"), 5);
        QVERIFY(pageText(page()).contains("image 26.png"));
        QCOMPARE(countOf(page(), "a[href=\"zelvorin://imglist/1,25\"]"), 2);
        QCOMPARE(countOf(page(), "a[href^=\"zelvorin://imglist/51\"]"), 0);
        QVERIFY(waitForPainted(form->webView(), {elementRect(page(), "img").center()}, Blue));

        // A script's click is not the user's: refused, and the page stays.
        QSignalSpy refusals(form->preview()->page(), &zelvorin::PreviewPage::navigationRefused);
        evaluate(page(), "document.querySelector('a[href=\"zelvorin://imglist/1,25\"]').click()");
        QTRY_VERIFY(!refusals.isEmpty());
        QVERIFY(pageText(page()).contains(counter(26, 30, 30)));

        // Prev with the mouse.
        QVERIFY(clickElement(form, "a[href=\"zelvorin://imglist/1,25\"]"));
        QVERIFY(waitForText(counter(1, 25, 30)));
        QCOMPARE(countOf(page(), "img"), 25);
        QCOMPARE(page()->history()->count(), history);
    }

    void restyledFromTheNextPage() {
        zelvorin::MainWindow* form = openWindow(m_many, 30);
        QVERIFY(form);
        QCOMPARE(form->galleryStyle(), quint8(2));
        QVERIFY(showGallery(form, m_many));
        QVERIFY(waitForText(counter(1, 25, 30)));
        QCOMPARE(countOf(page(), "img[width=\"100\"]"), 25);

        form->actions().action(zelvorin::Command::SimpleListStyle)->trigger();
        QCOMPARE(form->galleryStyle(), quint8(0));
        QVERIFY(form->actions().action(zelvorin::Command::SimpleListStyle)->isChecked());
        QVERIFY(!form->actions().action(zelvorin::Command::ThumbnailListStyle)->isChecked());
        // The page on screen stays as it was.
        QTest::qWait(200);
        QCOMPARE(countOf(page(), "img[width=\"100\"]"), 25);

        QVERIFY(clickElement(form, "a[href=\"zelvorin://imglist/26,25\"]"));
        QVERIFY(waitForText(counter(26, 30, 30)));
        QCOMPARE(countOf(page(), "img"), 5);
        QCOMPARE(countOf(page(), "img[width]"), 0);

        form->actions().action(zelvorin::Command::BackgroundListStyle)->trigger();
        QVERIFY(clickElement(form, "a[href=\"zelvorin://imglist/1,25\"]"));
        QVERIFY(waitForText(counter(1, 25, 30)));
        QCOMPARE(countOf(page(), "img"), 0);
        QCOMPARE(countOf(page(), "table[background]"), 25);
    }

    void onlyImagesWhateverTheFilter() {
        zelvorin::MainWindow* form = openWindow(m_mixed, 3);
        QVERIFY(form);
        chooseFilter(form, 4);
        QCOMPARE(form->filePanel()->filterBox()->currentText(), QString("All files (*.*)"));
        QTRY_COMPARE(form->filePanel()->session()->files()->names().size(), 6);
        QVERIFY(showGallery(form, m_mixed));
        QVERIFY(waitForText(counter(1, 3, 3)));
        QCOMPARE(countOf(page(), "img"), 3);
        const QString text = pageText(page());
        QVERIFY(!text.contains("index.html"));
        QVERIFY(!text.contains("notes.txt"));

        chooseFilter(form, 1);
        QTRY_COMPARE(form->filePanel()->session()->files()->names(), QStringList{"index.html"});
        // The same folder: the title stays, so wait for the new counter.
        form->actions().action(zelvorin::Command::ShowImageGallery)->trigger();
        QVERIFY(waitForText("There is no image files in the File List"));
        QCOMPARE(countOf(page(), "img"), 0);
    }

    // Ctrl+I reaches the same command as the menu entry, and the address box stays empty.
    // With a page width chosen, the gallery is laid out at it like any page: its banner
    // spans a phone's width.
    void galleryAtTheChosenWidth() {
        zelvorin::MainWindow* form = openWindow(m_colours, 3);
        QVERIFY(form);
        form->actions().action(zelvorin::Command::ViewPhoneWidth)->trigger();
        QVERIFY(showGallery(form, m_colours));
        QTRY_COMPARE_WITH_TIMEOUT(pageValue(page(), "window.innerWidth").toInt(), 390, 10000);
        QCOMPARE(pageValue(page(), "document.querySelector('table').offsetWidth").toInt(), 390);
    }

    void shortcutShowsTheGallery() {
        zelvorin::MainWindow* form = openWindow(m_colours, 3);
        QVERIFY(form);
        QCOMPARE(form->actions().action(zelvorin::Command::ShowImageGallery)->shortcut(),
                 QKeySequence("Ctrl+I"));
        form->activateWindow();
        QTest::keyClick(form, Qt::Key_I, Qt::ControlModifier);
        QVERIFY(waitForTitle(page(), "colours"));
        QVERIFY(waitForText(counter(1, 3, 3)));
        QCOMPARE(form->toolbar()->addressBox()->currentText(), QString());
    }

    // A script of the page shown before stops with it and cannot change the gallery page.
    void scriptsOfThePageBeforeStop() {
        const QString folder = m_root.filePath("scripted");
        writeSolidImage(folder + "/a.png", Red, 16);
        QVERIFY(writeFile(folder + "/busy.html",
                          "<html><head><title>busy</title></head><body><script>"
                          "setInterval(function () { document.title = 'changed'; "
                          "document.body.innerHTML = 'changed'; }, 50);"
                          "requestAnimationFrame(function f() { document.title = 'changed';"
                          " requestAnimationFrame(f); });</script></body></html>"));
        zelvorin::MainWindow* form = openWindow(folder, 1);
        QVERIFY(form);
        form->openAddress(folder + "/busy.html");
        QVERIFY(waitForTitle(page(), "changed"));
        QVERIFY(showGallery(form, folder));
        QVERIFY(waitForText("(1 image)"));
        QTest::qWait(400);
        QVERIFY(page()->title().contains("scripted"));
        QVERIFY(pageText(page()).contains("(1 image)"));
    }
};

ZELVORIN_TEST_MAIN_WITH(GalleryWindowTest, zelvorin::RegisterUrlSchemes)

#include "test_gallery_window.moc"

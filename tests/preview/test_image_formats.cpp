// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The same tile in every image format of the web, chosen as the background of a local
// frameset and of a page served over http with frames of another origin: each is painted,
// pixel for pixel, as the PNG of the tile is, in every frame. A damaged file of each
// format leaves the page without an image and the preview working. A gallery of the
// folder shows every tile and leaves the damaged files blank.
#include "GalleryPageBuilder.h"
#include "ImageFormatFolder.h"
#include "LoopbackHttpServer.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewTestSupport.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

using namespace zelvorin;
using namespace zelvorin::test;

Q_DECLARE_METATYPE(zelvorin::test::FormatFile)

namespace {

const QColor Magenta(255, 0, 255);

// The left frame starts at 0, the right one at 400; each holds a frame whose top left
// corner is at 20, 200 within it.
const QList<QPoint> FrameOrigins = {{0, 0}, {400, 0}, {420, 200}};

// Where each frame shows the four squares of its first tile.
QList<QPoint> squarePoints(const QPoint& origin) {
    return {origin + QPoint(8, 8), origin + QPoint(24, 8), origin + QPoint(8, 24),
            origin + QPoint(24, 24)};
}

} // namespace

class TestImageFormats : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    LoopbackHttpServer m_server;
    std::unique_ptr<Preview> m_preview;
    std::unique_ptr<QSignalSpy> m_applied;
    QList<FormatFile> m_files;
    QStringList m_broken;
    QString m_magenta;
    QUrl m_shown;
    QImage m_pngPainted;

    QWebEngineView* view() const { return m_preview->view(); }

    bool choose(const QString& name) {
        return waitForApplied(*m_applied, m_preview->setBackgroundImage(m_folder.filePath(name)));
    }

    // Shows the page with the PNG tile behind it and keeps what the view paints.
    bool show(const QUrl& page) {
        if (page == m_shown)
            return true;
        m_shown = QUrl();
        if (!loadAndWait(m_preview->page(), page) || !choose("tile.png"))
            return false;
        const QImage tile = FormatTile();
        for (const QPoint& origin : FrameOrigins) {
            const QList<QPoint> points = squarePoints(origin);
            for (int i = 0; i < points.size(); ++i) {
                if (!waitForPainted(view(), {points[i]}, tile.pixelColor(i % 2 * 16, i / 2 * 16)))
                    return false;
            }
        }
        m_pngPainted = view()->grab().toImage();
        m_shown = page;
        return true;
    }

private slots:
    void initTestCase() {
        m_files = WriteTileInEveryFormat(m_folder.path());
        QCOMPARE(m_files.size(), 10);
        m_broken = WriteBrokenFiles(m_folder.path());
        m_magenta = writeSolidImage(m_folder.filePath("magenta.png"), Magenta);
        QVERIFY(m_server.start());
        m_preview = std::make_unique<Preview>(new PreviewProfile(this), nullptr, nullptr);
        view()->resize(800, 600);
        view()->show();
        m_applied = std::make_unique<QSignalSpy>(m_preview.get(), &Preview::backgroundApplied);

        const QByteArray empty = "<html><body style='margin:0'></body></html>";
        const auto frameset = [](const QByteArray& left, const QByteArray& right) {
            return "<html><frameset cols='400,*' frameborder='0' border='0'><frame src='" + left +
                   "' scrolling='no'><frame src='" + right + "' scrolling='no'></frameset></html>";
        };
        const auto withFrame = [](const QByteArray& source) {
            return "<html><body style='margin:0'><iframe src='" + source +
                   "' scrolling='no' style='position:absolute;left:20px;top:200px;"
                   "width:360px;height:380px;border:0'></iframe></body></html>";
        };
        // Over http the right frame is of another origin, and so is the frame inside it.
        m_server.serve("/set.html",
                       frameset("/left.html", m_server.urlOnOtherHost("/right.html").toEncoded()));
        m_server.serve("/left.html", empty);
        m_server.serve("/right.html", withFrame(m_server.url("/inner.html").toEncoded()));
        m_server.serve("/inner.html", empty);
        writeFile(m_folder.filePath("set.html"), frameset("left.html", "right.html"));
        writeFile(m_folder.filePath("left.html"), empty);
        writeFile(m_folder.filePath("right.html"), withFrame("inner.html"));
        writeFile(m_folder.filePath("inner.html"), empty);
    }
    void cleanupTestCase() {
        m_applied.reset();
        m_preview.reset();
    }

    void paintedAsThePng_data() {
        QTest::addColumn<bool>("local");
        QTest::addColumn<FormatFile>("file");
        for (const bool local : {true, false}) {
            for (const FormatFile& file : m_files.mid(1)) {
                const QString row = (local ? "local, " : "http, ") + file.name;
                QTest::newRow(qPrintable(row)) << local << file;
            }
        }
    }
    void paintedAsThePng() {
        QFETCH(bool, local);
        QFETCH(FormatFile, file);
        QVERIFY(show(local ? QUrl::fromLocalFile(m_folder.filePath("set.html"))
                           : m_server.url("/set.html")));
        // Another image in between, so that what is compared is this format's painting.
        QVERIFY(choose("magenta.png"));
        QList<QPoint> centres;
        for (const QPoint& origin : FrameOrigins)
            centres << origin + QPoint(16, 16);
        QVERIFY(waitForPainted(view(), centres, Magenta));
        QVERIFY(choose(file.name));
        // Compositing may round a colour by one.
        const int tolerance = file.tolerance + 1;
        QTRY_VERIFY2_WITH_TIMEOUT(
            LargestDifference(view()->grab().toImage(), m_pngPainted) <= tolerance,
            qPrintable(QStringLiteral("%1 differs from the PNG by %2")
                           .arg(file.name)
                           .arg(LargestDifference(view()->grab().toImage(), m_pngPainted))),
            10000);
    }

    void damagedFilesShowNoImage_data() {
        QTest::addColumn<QString>("name");
        for (const QString& name : m_broken)
            QTest::newRow(qPrintable(name)) << name;
    }
    void damagedFilesShowNoImage() {
        QFETCH(QString, name);
        QVERIFY(show(m_server.url("/set.html")));
        QVERIFY(choose(name));
        QList<QPoint> centres;
        for (const QPoint& origin : FrameOrigins)
            centres << origin + QPoint(16, 16);
        QVERIFY(waitForPainted(view(), centres, Qt::white));
        // The preview goes on as before.
        m_shown = QUrl();
        QVERIFY(show(m_server.url("/set.html")));
    }

    void galleryShowsEveryFormat() {
        QVERIFY(show(m_server.url("/set.html")));
        m_shown = QUrl();
        QStringList names = QDir(m_folder.path()).entryList(QDir::Files, QDir::Name);
        keepGalleryImages(names);
        QCOMPARE(names.size(), m_files.size() + m_broken.size() + 1); // and magenta.png
        Preview* preview = m_preview.get();
        QVERIFY(showGeneratedPage(preview, std::make_unique<GalleryPageBuilder>(
                                               m_folder.path(), names, 1, 100, ThumbnailListStyle,
                                               [preview](const QString& path) {
                                                   return preview->programImageAddress(path);
                                               })));
        // Each picture's name (its alternative text starts with it) and its own width,
        // once every picture has loaded or failed.
        const QString script = QStringLiteral(
            "(function () { var all = document.images, shown = [];"
            "  for (var i = 0; i < all.length; ++i) {"
            "    if (!all[i].complete) return null;"
            "    shown.push([all[i].alt.trim().split(' ')[0], all[i].naturalWidth]); }"
            "  return shown; })()");
        QJsonArray shown;
        QTRY_VERIFY_WITH_TIMEOUT(
            (shown = evaluate(m_preview->page(), script).toJsonArray()).size() == names.size(),
            10000);
        // A damaged file is listed too; what the engine makes of it is the engine's (a damaged
        // icon keeps the size its header gives).
        QStringList tiles;
        for (const QJsonValue& item : shown) {
            const QString name = item[0].toString();
            if (name.startsWith("tile.")) {
                tiles << name;
                QVERIFY2(
                    item[1].toInt() == 32,
                    qPrintable(QStringLiteral("%1 is %2 wide").arg(name).arg(item[1].toInt())));
            }
        }
        QCOMPARE(tiles.size(), m_files.size());
    }
};

ZELVORIN_TEST_MAIN_WITH(TestImageFormats, zelvorin::RegisterUrlSchemes)

#include "test_image_formats.moc"

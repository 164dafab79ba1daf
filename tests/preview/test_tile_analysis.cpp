// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The tile analysis against images drawn here with known answers: worst text contrast,
// average colour, seams (and where their threshold lies), large and unreadable files,
// the shipped sample tiles, and the worker that delivers results.
#include "ImageFormatFolder.h"
#include "LosslessNames.h"
#include "SampleMaker.h"
#include "SampleTiles.h"
#include "TestEnvironment.h"
#include "TileAnalysisRunner.h"

#include <QThreadPool>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QSignalSpy>

#include <cmath>
#include <fcntl.h>
#include <numbers>
#include <random>
#include <unistd.h>

using namespace zelvorin;
using namespace zelvorin::preview;

namespace {

// A one-row image of colours and how many pixels of each; order does not matter here.
QImage strip(const QList<QPair<QRgb, int>>& pixels) {
    QList<QRgb> row;
    for (const auto& [colour, count] : pixels)
        row.append(QList<QRgb>(count, colour));
    QImage image(int(row.size()), 1, QImage::Format_RGB32);
    for (int x = 0; x < row.size(); ++x)
        image.setPixel(x, 0, row[x]);
    return image;
}

QImage draw(int width, int height, const std::function<QRgb(int, int)>& colourAt) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colourAt(x, y));
    }
    return image;
}

QImage throughJpeg(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "jpeg", 75);
    return QImage::fromData(bytes);
}

// Waves with `across` and `down` periods over the tile: seamless for whole numbers.
QImage waves(double across, double down) {
    return draw(128, 128, [=](int x, int y) {
        const double v = 128 + 60 * std::sin(2 * std::numbers::pi * x / 128 * across) +
                         40 * std::cos(2 * std::numbers::pi * y / 128 * down + 1);
        return qRgb(int(v), int(v * 0.8), 200);
    });
}

const QRgb Black = qRgb(0, 0, 0), White = qRgb(255, 255, 255);
const QRgb Grey = qRgb(0x77, 0x77, 0x77), Light = qRgb(0xcc, 0xcc, 0xcc);

} // namespace

class TestTileAnalysis : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

    QString saveImage(const QString& name, const QImage& image) {
        const QString path = m_folder.filePath(name);
        return image.save(path, nullptr, 90) ? path : QString();
    }

private slots:
    void worstContrast_data() {
        QTest::addColumn<QImage>("tile");
        QTest::addColumn<QColor>("text");
        QTest::addColumn<double>("ratio");
        QTest::newRow("black on white") << strip({{White, 100}}) << QColor(Black) << 21.0;
        QTest::newRow("white on #777") << strip({{Grey, 100}}) << QColor(White) << 4.47809;
        // Below the knee of the sRGB curve a channel is linear.
        QTest::newRow("white on near black")
            << strip({{qRgb(10, 10, 10), 9}}) << QColor(White) << 19.7983;
        QTest::newRow("4 % black specks do not count")
            << strip({{White, 96}, {Black, 4}}) << QColor(Black) << 21.0;
        QTest::newRow("6 % black counts")
            << strip({{Light, 94}, {Black, 6}}) << QColor(Black) << 1.0;
        QTest::newRow("white text meets the light side")
            << strip({{Light, 94}, {Black, 6}}) << QColor(White) << 1.60593;
        QTest::newRow("4 % white specks do not count")
            << strip({{Black, 96}, {White, 4}}) << QColor(White) << 21.0;
        // Text whose luminance lies between the tile's darkest and lightest levels meets
        // the nearest level in between, not the two ends.
        QTest::newRow("#777 between black and white checks")
            << draw(32, 32, [&](int x, int y) { return (x / 8 + y / 8) % 2 ? Black : White; })
            << QColor(Grey) << 4.47809;
        QTest::newRow("#777 near a middle grey")
            << strip({{Black, 40}, {qRgb(128, 128, 128), 20}, {White, 40}}) << QColor(Grey)
            << 1.13385;
        QTest::newRow("#777 inside a range of greys")
            << draw(256, 1, [](int x, int) { return qRgb(x, x, x); }) << QColor(Grey) << 1.0;
    }
    void worstContrast() {
        QFETCH(QImage, tile);
        QFETCH(QColor, text);
        QFETCH(double, ratio);
        const std::optional<TileAnalysis> analysis = AnalyseTile(tile);
        QVERIFY(analysis);
        const double worst = WorstTextContrast(*analysis, text);
        // Within 0.2 %, and never above the true figure.
        QVERIFY2(std::abs(worst - ratio) <= 0.002 * ratio && worst <= ratio + 1e-4,
                 qPrintable(QString::number(worst, 'f', 5)));
    }

    void averageAndBackdrop_data() {
        QTest::addColumn<QImage>("tile");
        QTest::addColumn<QColor>("backdrop");
        QTest::addColumn<QColor>("average");
        QTest::addColumn<double>("whiteTextContrast");
        QImage clear(8, 8, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        QImage halfBlack(8, 8, QImage::Format_ARGB32);
        halfBlack.fill(qRgba(0, 0, 0, 128));
        QTest::newRow("half red, half blue")
            << strip({{qRgb(255, 0, 0), 50}, {qRgb(0, 0, 255), 50}}) << QColor(White)
            << QColor(128, 0, 128) << 3.9985;
        QTest::newRow("transparent shows the page colour")
            << clear << QColor(0x33, 0x66, 0x99) << QColor(0x33, 0x66, 0x99) << 5.9978;
        QTest::newRow("half transparent black over white")
            << halfBlack << QColor(White) << QColor(127, 127, 127) << 4.0041;
        QTest::newRow("indexed colours")
            << strip({{qRgb(10, 20, 30), 3}}).convertToFormat(QImage::Format_Indexed8)
            << QColor(White) << QColor(10, 20, 30) << 18.5559;
    }
    void averageAndBackdrop() {
        QFETCH(QImage, tile);
        QFETCH(QColor, backdrop);
        QFETCH(QColor, average);
        QFETCH(double, whiteTextContrast);
        const std::optional<TileAnalysis> analysis = AnalyseTile(tile, backdrop);
        QVERIFY(analysis);
        QCOMPARE(analysis->average, average);
        const double worst = WorstTextContrast(*analysis, White);
        QVERIFY2(std::abs(worst - whiteTextContrast) < 0.001, qPrintable(QString::number(worst)));
    }

    void seamNumbers() {
        // A ramp in red and green: every step inside is one level of both, the edge all of
        // them; in luma, 0.886 of that.
        const auto ramp = AnalyseTile(draw(256, 256, [](int x, int y) { return qRgb(x, x, y); }));
        QVERIFY(std::abs(ramp->across.edge - 0.886 * 255) < 1e-9);
        QVERIFY(std::abs(ramp->across.inner - 0.886) < 1e-9);
        QVERIFY(std::abs(ramp->down.edge - 0.114 * 255) < 1e-9);
        // A band on the edge is one more band, not a seam.
        const auto band = AnalyseTile(
            draw(4, 4, [](int x, int) { return x == 3 ? qRgb(40, 40, 40) : qRgb(10, 10, 10); }));
        QCOMPARE(band->across.edge, 30.0);
        QCOMPARE(band->across.excess(), 0.0);
    }

    void seams_data() {
        QTest::addColumn<QImage>("tile");
        QTest::addColumn<bool>("across");
        QTest::addColumn<bool>("down");
        std::mt19937 generator(3);
        auto byte = [&] { return int(generator() % 256); };
        auto checks = [](int size) {
            return draw(size, size,
                        [](int x, int y) { return (x / 16 + y / 16) % 2 ? Black : White; });
        };
        QTest::newRow("waves") << waves(3, 2) << false << false;
        QTest::newRow("waves as JPEG") << throughJpeg(waves(3, 2)) << false << false;
        // JPEG decodes the outer lines of strong colours with fringes; they are no seam.
        QTest::newRow("colour waves as JPEG") << throughJpeg(draw(128, 128, [](int x, int y) {
            const double u = 2 * std::numbers::pi * x / 32, v = 2 * std::numbers::pi * y / 32;
            return qRgb(int(128 + 100 * std::sin(u)), int(128 + 100 * std::cos(v)),
                        int(128 + 100 * std::sin((u + v) / 4)));
        })) << false << false;
        QTest::newRow("checks from the corner") << checks(64) << false << false;
        QTest::newRow("checks from the corner as JPEG")
            << throughJpeg(checks(64)) << false << false;
        QTest::newRow("stripe on the edge")
            << draw(32, 32, [](int x, int) { return x < 8 ? qRgb(200, 0, 0) : White; }) << false
            << false;
        QTest::newRow("twill") << draw(64, 64, [](int x, int y) {
            return (x + y) % 4 < 2 ? qRgb(40, 60, 120) : qRgb(160, 170, 200);
        }) << false << false;
        QTest::newRow("random pixels")
            << draw(128, 128, [&](int, int) { return qRgb(byte(), byte(), byte()); }) << false
            << false;
        QTest::newRow("one pixel wide, shaded down")
            << draw(1, 64, [](int, int y) { return qRgb(y * 4, y * 4, 255); }) << false << true;
        QTest::newRow("ramp") << draw(256, 256, [](int x, int y) { return qRgb(x, x, y); }) << true
                              << true;
        QTest::newRow("waves cut short") << waves(3.1, 2.1) << true << true;
        QTest::newRow("waves cut short down") << waves(3, 2.5) << false << true;
        QTest::newRow("faint ramp across") << draw(128, 128, [](int x, int) {
            return qRgb(120 + x / 8, 120 + x / 8, 120 + x / 8);
        }) << true << false;
    }
    void seams() {
        QFETCH(QImage, tile);
        QFETCH(bool, across);
        QFETCH(bool, down);
        const std::optional<TileAnalysis> analysis = AnalyseTile(tile);
        QCOMPARE(SeamVisibleAcross(*analysis), across);
        QCOMPARE(SeamVisibleDown(*analysis), down);
        // Every case keeps clear of the threshold: it is not barely squeezed in between.
        for (const auto& [excess, visible] : {std::pair{analysis->across.excess(), across},
                                              std::pair{analysis->down.excess(), down}}) {
            QVERIFY2(visible ? excess >= SeamThreshold + 1.5 : excess <= SeamThreshold - 1.5,
                     qPrintable(QString::number(excess)));
        }
    }

    // The Samples folder keeps only seamless tiles, as drawn and as stored in their formats.
    void sampleTilesAreSeamless() {
        for (const SampleTile& tile : SampleTiles()) {
            for (const QImage& image :
                 {tile.make(), QImage::fromData(SampleFileContent(tile.fileName))}) {
                const std::optional<TileAnalysis> analysis = AnalyseTile(image);
                QVERIFY2(analysis, qPrintable(tile.fileName));
                QVERIFY2(!SeamVisibleAcross(*analysis) && !SeamVisibleDown(*analysis),
                         qPrintable(tile.fileName));
            }
        }
    }

    void largeImageIsSampled() {
        // 6000 x 4000: black bands along the top and the bottom; between them a white band
        // on the left, then a ramp from white down to black. Copies side by side meet
        // black against white; copies one below the other meet black against black.
        QImage photo(6000, 4000, QImage::Format_RGB32);
        photo.fill(Qt::black);
        {
            QPainter painter(&photo);
            painter.fillRect(0, 400, 600, 3200, Qt::white);
            QLinearGradient ramp(600, 0, 5999, 0);
            ramp.setColorAt(0, Qt::white);
            ramp.setColorAt(1, Qt::black);
            painter.fillRect(600, 400, 5400, 3200, ramp);
        }
        const QString path = saveImage("large.jpg", photo);
        QVERIFY(!path.isEmpty());
        // From the JPEG file it is decoded at a reduced scale, with the same answers.
        const TileFileAnalysis fromFile = AnalyseTileFile(path);
        QVERIFY2(fromFile.analysis, qPrintable(fromFile.error));
        for (const std::optional<TileAnalysis>& analysis :
             {AnalyseTile(photo), fromFile.analysis}) {
            QVERIFY(analysis->reduced);
            QCOMPARE(analysis->size, QSize(6000, 4000));
            QVERIFY2(std::abs(analysis->average.red() - 112) <= 3,
                     qPrintable(analysis->average.name()));
            QVERIFY(analysis->darkLuminance < 0.001 && analysis->lightLuminance > 0.99);
            QVERIFY(SeamVisibleAcross(*analysis));
            QVERIFY(!SeamVisibleDown(*analysis));
        }

        // Two bands meeting off the grid that large images are read on: their boundary
        // inside is found, so the same step at the edge is not a seam.
        photo.fill(Qt::white);
        QPainter(&photo).fillRect(0, 0, 601, 4000, Qt::black);
        const std::optional<TileAnalysis> bands = AnalyseTile(photo);
        QCOMPARE(bands->across.edge, 255.0);
        QVERIFY(!SeamVisibleAcross(*bands));
    }

    void files() {
        const QString text = m_folder.filePath("text.png");
        QVERIFY(zelvorin::test::writeFile(text, "not an image"));
        for (const QString& path : {m_folder.filePath("missing.png"), text}) {
            const TileFileAnalysis result = AnalyseTileFile(path);
            QVERIFY(!result.analysis);
            QVERIFY(!result.error.isEmpty());
        }
        // A name that is not UTF-8, through the path Qt can open.
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(strip({{Black, 10}}).save(&buffer, "png"));
        const QByteArray raw = QFile::encodeName(m_folder.path()) + "/t\xE9\xFF.png";
        const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        QCOMPARE(::write(fd, png.constData(), size_t(png.size())), ssize_t(png.size()));
        ::close(fd);
        const TileFileAnalysis result = AnalyseTileFile(platform::openablePath(raw));
        QVERIFY2(result.analysis, qPrintable(result.error));
        QCOMPARE(result.analysis->average, QColor(Black));
    }

    // The same tile in every image format of the web gets the PNG's analysis, and its file
    // size; a damaged file of each gets a reason.
    void everyFormat() {
        const QString folder = m_folder.filePath("formats");
        QDir().mkpath(folder);
        const QList<test::FormatFile> files = test::WriteTileInEveryFormat(folder);
        QVERIFY(!files.isEmpty());
        const std::optional<TileAnalysis> png = AnalyseTile(test::FormatTile());
        for (const test::FormatFile& file : files) {
            const QString path = folder + "/" + file.name;
            const TileFileAnalysis result = AnalyseTileFile(path);
            QVERIFY2(result.analysis, qPrintable(file.name + ": " + result.error));
            QCOMPARE(result.bytes, QFileInfo(path).size());
            QCOMPARE(result.analysis->size, QSize(32, 32));
            const QColor average = result.analysis->average;
            QVERIFY2(std::abs(average.red() - png->average.red()) <= file.tolerance &&
                         std::abs(average.green() - png->average.green()) <= file.tolerance &&
                         std::abs(average.blue() - png->average.blue()) <= file.tolerance,
                     qPrintable(file.name + ": " + average.name()));
        }
        for (const QString& name : test::WriteBrokenFiles(folder)) {
            const TileFileAnalysis result = AnalyseTileFile(folder + "/" + name);
            QVERIFY2(!result.analysis && !result.error.isEmpty(), qPrintable(name));
            QCOMPARE(result.bytes, QFileInfo(folder + "/" + name).size());
        }
    }

    void runnerDeliversOnlyTheNewest() {
        const QString red = saveImage("red.png", strip({{qRgb(255, 0, 0), 64}}));
        const QString blue = saveImage("blue.png", strip({{qRgb(0, 0, 255), 64}}));
        QThreadPool workers;
        workers.setMaxThreadCount(1);
        TileAnalysisRunner runner(&workers);
        QSignalSpy spy(&runner, &TileAnalysisRunner::finished);
        QList<QThread*> threads;
        connect(&runner, &TileAnalysisRunner::finished, this,
                [&] { threads << QThread::currentThread(); });

        runner.analyse(red);
        runner.analyse(red);
        const quint64 newest = runner.analyse(blue);
        QVERIFY(runner.isBusy());
        QVERIFY(spy.wait());
        // A later request, delivered last, shows that nothing else came in between.
        runner.analyse(red);
        runner.cancel();
        const quint64 last = runner.analyse(m_folder.filePath("missing.png"));
        QTRY_COMPARE(spy.size(), 2);
        QVERIFY(!runner.isBusy());

        const auto delivered = [&](int i) { return spy.at(i).at(0).value<TileAnalysisResult>(); };
        QCOMPARE(delivered(0).request, newest);
        QCOMPARE(delivered(0).analysis->average, QColor(0, 0, 255));
        QCOMPARE(delivered(1).request, last);
        QVERIFY(!delivered(1).analysis && !delivered(1).error.isEmpty());
        QCOMPARE(threads, QList<QThread*>({thread(), thread()}));
    }

    void runnerGoesWhileWorking() {
        QImage big(3000, 3000, QImage::Format_RGB32);
        big.fill(Qt::gray);
        const QString path = saveImage("big.png", big);
        QThreadPool workers;
        auto runner = std::make_unique<TileAnalysisRunner>(&workers);
        QSignalSpy spy(runner.get(), &TileAnalysisRunner::finished);
        runner->analyse(path);
        // The workers' owner ends their work before the runner goes (the preview keeps
        // its workers last for this); the result the worker posted goes with the runner.
        workers.waitForDone();
        runner.reset();
        // What its worker posted goes with it.
        QCoreApplication::processEvents();
        QCOMPARE(spy.size(), 0);
    }
};

ZELVORIN_TEST_MAIN(TestTileAnalysis)

#include "test_tile_analysis.moc"

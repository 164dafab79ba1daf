// The tile analysis against images drawn here with known answers: luminance, worst text
// contrast, average colour, seams (and where their threshold lies), large images, files
// that cannot be read, the shipped sample tiles, and the worker that delivers results.
#include "LosslessNames.h"
#include "SampleMaker.h"
#include "SampleTiles.h"
#include "TestEnvironment.h"
#include "TileAnalysisRunner.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QSignalSpy>

#include <cmath>
#include <fcntl.h>
#include <random>
#include <unistd.h>

using namespace zelvorin;
using namespace zelvorin::preview;

namespace {

using Pixels = QList<QPair<QRgb, int>>; // colour and how many pixels of it

// A one-row image of the given pixels; the order does not matter to the figures tested.
QImage strip(const Pixels& pixels) {
    int width = 0;
    for (const auto& [colour, count] : pixels)
        width += count;
    QImage image(width, 1, QImage::Format_RGB32);
    int x = 0;
    for (const auto& [colour, count] : pixels) {
        for (int i = 0; i < count; ++i)
            image.setPixel(x++, 0, colour);
    }
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

int clampByte(double v) {
    return std::clamp(int(std::lround(v)), 0, 255);
}

QImage throughJpeg(const QImage& image, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.write(image);
    return QImage::fromData(bytes);
}

// Waves with `across` and `down` periods over the tile: seamless for whole numbers.
QImage waves(double across, double down) {
    constexpr double TwoPi = 2 * 3.14159265358979;
    return draw(128, 128, [=](int x, int y) {
        const int v = clampByte(128 + 60 * std::sin(TwoPi * x / 128 * across) +
                                40 * std::cos(TwoPi * y / 128 * down + 1));
        return qRgb(v, clampByte(v * 0.8), 200);
    });
}

// Smooth noise on a lattice that wraps after `cells`, read over `span` of it: seamless
// when span is 1.
QImage smoothNoise(double span) {
    constexpr int cells = 8;
    std::mt19937 generator(7);
    std::uniform_int_distribution<int> value(40, 220);
    std::vector<int> lattice(cells * cells);
    for (int& v : lattice)
        v = value(generator);
    auto at = [&](int x, int y) { return lattice[size_t((y % cells) * cells + x % cells)]; };
    return draw(128, 128, [&](int x, int y) {
        const double u = x / 128.0 * span * cells, v = y / 128.0 * span * cells;
        const int x0 = int(u), y0 = int(v);
        const double tx = u - x0, ty = v - y0;
        const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * tx;
        const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * tx;
        const int g = clampByte(top + (bottom - top) * ty);
        return qRgb(g, g, clampByte(g * 0.9));
    });
}

bool near(double actual, double expected, double relative) {
    return std::abs(actual - expected) <= relative * expected;
}

} // namespace

class TestTileAnalysis : public QObject {
    Q_OBJECT

    QString m_folder;

    QString saveImage(const QString& name, const QImage& image, int quality = -1) {
        const QString path = m_folder + QLatin1Char('/') + name;
        QImageWriter writer(path);
        writer.setQuality(quality);
        return writer.write(image) ? path : QString();
    }

private slots:
    void initTestCase() {
        m_folder = QDir::tempPath() + "/tile-analysis-" + QString::number(getpid());
        QVERIFY(QDir().mkpath(m_folder));
    }
    void cleanupTestCase() { QDir(m_folder).removeRecursively(); }

    void luminance_data() {
        QTest::addColumn<QRgb>("colour");
        QTest::addColumn<double>("luminance");
        QTest::newRow("black") << qRgb(0, 0, 0) << 0.0;
        QTest::newRow("white") << qRgb(255, 255, 255) << 1.0;
        QTest::newRow("red") << qRgb(255, 0, 0) << 0.2126;
        QTest::newRow("green") << qRgb(0, 255, 0) << 0.7152;
        QTest::newRow("blue") << qRgb(0, 0, 255) << 0.0722;
        QTest::newRow("#777777") << qRgb(0x77, 0x77, 0x77) << 0.18447;
        QTest::newRow("below the linear knee") << qRgb(10, 10, 10) << 10 / 255.0 / 12.92;
    }
    void luminance() {
        QFETCH(QRgb, colour);
        QFETCH(double, luminance);
        QVERIFY2(std::abs(RelativeLuminance(colour) - luminance) < 1e-5,
                 qPrintable(QString::number(RelativeLuminance(colour))));
    }

    void worstContrast_data() {
        QTest::addColumn<QImage>("tile");
        QTest::addColumn<QColor>("text");
        QTest::addColumn<double>("ratio");
        const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
        const QRgb grey = qRgb(0x77, 0x77, 0x77), light = qRgb(0xcc, 0xcc, 0xcc);
        QTest::newRow("black on white") << strip({{white, 100}}) << QColor(Qt::black) << 21.0;
        QTest::newRow("white on #777") << strip({{grey, 100}}) << QColor(Qt::white) << 4.47809;
        QTest::newRow("black on 4 % black specks: not counted")
            << strip({{white, 96}, {black, 4}}) << QColor(Qt::black) << 21.0;
        QTest::newRow("black on 6 % black: counted")
            << strip({{light, 94}, {black, 6}}) << QColor(Qt::black) << 1.0;
        QTest::newRow("white on the same tile: the light side")
            << strip({{light, 94}, {black, 6}}) << QColor(Qt::white) << 1.60593;
        QTest::newRow("white on 4 % white specks: not counted")
            << strip({{black, 96}, {white, 4}}) << QColor(Qt::white) << 21.0;
        // Text whose luminance lies between the tile's darkest and lightest levels meets
        // the nearest level in between, not the two ends.
        QTest::newRow("#777 between black and white checks")
            << draw(32, 32, [&](int x, int y) { return (x / 8 + y / 8) % 2 ? black : white; })
            << QColor(grey) << 4.47809;
        QTest::newRow("#777 inside a range of greys")
            << draw(256, 1, [](int x, int) { return qRgb(x, x, x); }) << QColor(grey) << 1.0;
        QTest::newRow("#777 near a middle grey between black and white")
            << strip({{black, 40}, {qRgb(128, 128, 128), 20}, {white, 40}}) << QColor(grey)
            << 1.13385;
        QTest::newRow("#777 between black and #cccccc")
            << strip({{black, 50}, {light, 50}}) << QColor(grey) << 2.78847;
    }
    void worstContrast() {
        QFETCH(QImage, tile);
        QFETCH(QColor, text);
        QFETCH(double, ratio);
        const std::optional<TileAnalysis> analysis = AnalyseTile(tile);
        QVERIFY(analysis);
        const double worst = WorstTextContrast(*analysis, text);
        QVERIFY2(near(worst, ratio, 0.002) && worst <= ratio + 1e-4,
                 qPrintable(QString::number(worst, 'f', 4)));
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
            << strip({{qRgb(255, 0, 0), 50}, {qRgb(0, 0, 255), 50}}) << QColor(Qt::white)
            << QColor(128, 0, 128) << 3.9985;
        QTest::newRow("transparent shows the page colour")
            << clear << QColor(0x33, 0x66, 0x99) << QColor(0x33, 0x66, 0x99) << 5.9978;
        QTest::newRow("half transparent black over white")
            << halfBlack << QColor(Qt::white) << QColor(127, 127, 127) << 4.0041;
        QTest::newRow("indexed image")
            << strip({{qRgb(10, 20, 30), 3}}).convertToFormat(QImage::Format_Indexed8)
            << QColor(Qt::white) << QColor(10, 20, 30) << 18.5559;
    }
    void averageAndBackdrop() {
        QFETCH(QImage, tile);
        QFETCH(QColor, backdrop);
        QFETCH(QColor, average);
        QFETCH(double, whiteTextContrast);
        const std::optional<TileAnalysis> analysis = AnalyseTile(tile, backdrop);
        QVERIFY(analysis);
        QCOMPARE(analysis->average, average);
        QCOMPARE(analysis->size, tile.size());
        const double worst = WorstTextContrast(*analysis, Qt::white);
        QVERIFY2(near(worst, whiteTextContrast, 0.003), qPrintable(QString::number(worst)));
    }

    void seamNumbers() {
        // A ramp: every step inside is one level in red and green, the edge all of them.
        const auto ramp = AnalyseTile(draw(256, 256, [](int x, int y) { return qRgb(x, x, y); }));
        QVERIFY(ramp);
        QCOMPARE(ramp->across.edge, 170.0);
        QVERIFY(std::abs(ramp->across.inner - 2 / 3.0) < 1e-9);
        QCOMPARE(ramp->down.edge, 85.0);
        // A band on the edge is one more band, not a seam: the edge step equals the band's
        // step inside.
        const auto band = AnalyseTile(
            draw(4, 4, [](int x, int) { return x == 3 ? qRgb(40, 40, 40) : qRgb(10, 10, 10); }));
        QVERIFY(band);
        QCOMPARE(band->across.edge, 30.0);
        QCOMPARE(band->across.inner, 30.0);
        QCOMPARE(band->across.excess(), 0.0);
        QCOMPARE(band->down.edge, 0.0);
    }

    void seams_data() {
        QTest::addColumn<QImage>("tile");
        QTest::addColumn<bool>("across");
        QTest::addColumn<bool>("down");
        const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
        std::mt19937 generator(3);
        std::uniform_int_distribution<int> byte(0, 255);
        QTest::newRow("waves") << waves(3, 2) << false << false;
        QTest::newRow("waves as JPEG 75") << throughJpeg(waves(3, 2), 75) << false << false;
        QTest::newRow("smooth noise") << smoothNoise(1) << false << false;
        QTest::newRow("smooth noise as JPEG 75")
            << throughJpeg(smoothNoise(1), 75) << false << false;
        QTest::newRow("checks from the corner")
            << draw(64, 64, [&](int x, int y) { return (x / 16 + y / 16) % 2 ? black : white; })
            << false << false;
        QTest::newRow("stripe on the edge")
            << draw(32, 32, [&](int x, int) { return x < 8 ? qRgb(200, 0, 0) : white; }) << false
            << false;
        QTest::newRow("twill") << draw(64, 64, [](int x, int y) {
            return (x + y) % 4 < 2 ? qRgb(40, 60, 120) : qRgb(160, 170, 200);
        }) << false << false;
        QTest::newRow("random pixels") << draw(128, 128, [&](int, int) {
            return qRgb(byte(generator), byte(generator), byte(generator));
        }) << false << false;
        QTest::newRow("one pixel wide, shaded down")
            << draw(1, 64, [](int, int y) { return qRgb(y * 4, y * 4, 255); }) << false << true;
        QTest::newRow("ramp") << draw(256, 256, [](int x, int y) { return qRgb(x, x, y); }) << true
                              << true;
        QTest::newRow("waves cut short") << waves(3.1, 2.1) << true << true;
        QTest::newRow("waves cut short down") << waves(3, 2.5) << false << true;
        QTest::newRow("smooth noise cut short") << smoothNoise(0.6) << true << true;
        QTest::newRow("faint ramp across") << draw(128, 128, [](int x, int) {
            const int v = clampByte(120 + 16 * x / 127.0);
            return qRgb(v, v, v);
        }) << true << false;
        QTest::newRow("checks one square short")
            << draw(56, 56, [&](int x, int y) { return (x / 16 + y / 16) % 2 ? black : white; })
            << false << false;
    }
    void seams() {
        QFETCH(QImage, tile);
        QFETCH(bool, across);
        QFETCH(bool, down);
        const std::optional<TileAnalysis> analysis = AnalyseTile(tile);
        QVERIFY(analysis);
        const QString figures = QStringLiteral("across %1, down %2")
                                    .arg(analysis->across.excess())
                                    .arg(analysis->down.excess());
        QCOMPARE(SeamVisibleAcross(*analysis), across);
        QCOMPARE(SeamVisibleDown(*analysis), down);
        // Every case keeps clear of the threshold, so the threshold is not just barely
        // placed between these samples.
        for (const auto& [excess, visible] : {std::pair{analysis->across.excess(), across},
                                              std::pair{analysis->down.excess(), down}}) {
            QVERIFY2(visible ? excess >= SeamThreshold + 1.5 : excess <= SeamThreshold - 1.5,
                     qPrintable(figures));
        }
    }

    // The Samples folder keeps only seamless tiles, both as drawn and as stored in their
    // file formats.
    void sampleTilesAreSeamless_data() {
        QTest::addColumn<QString>("name");
        for (const SampleTile& tile : SampleTiles())
            QTest::newRow(qPrintable(tile.fileName)) << tile.fileName;
    }
    void sampleTilesAreSeamless() {
        QFETCH(QString, name);
        const auto& tiles = SampleTiles();
        const auto tile = std::find_if(tiles.begin(), tiles.end(),
                                       [&](const SampleTile& t) { return t.fileName == name; });
        const QImage stored = QImage::fromData(SampleFileContent(name));
        QVERIFY(!stored.isNull());
        for (const QImage& image : {tile->make(), stored}) {
            const std::optional<TileAnalysis> analysis = AnalyseTile(image);
            QVERIFY(analysis);
            QVERIFY2(!SeamVisibleAcross(*analysis) && !SeamVisibleDown(*analysis),
                     qPrintable(QStringLiteral("excess across %1, down %2")
                                    .arg(analysis->across.excess())
                                    .arg(analysis->down.excess())));
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
        const QString path = saveImage("large.jpg", photo, 90);
        QVERIFY(!path.isEmpty());
        const std::optional<TileAnalysis> direct = AnalyseTile(photo);
        // From a JPEG file it is decoded at a reduced scale, with the same answers.
        const TileFileAnalysis fromFile = AnalyseTileFile(path);
        QVERIFY2(fromFile.analysis, qPrintable(fromFile.error));
        for (const std::optional<TileAnalysis>& analysis : {direct, fromFile.analysis}) {
            QVERIFY(analysis);
            QVERIFY(analysis->reduced);
            QCOMPARE(analysis->size, QSize(6000, 4000));
            QVERIFY2(std::abs(analysis->average.red() - 112) <= 3,
                     qPrintable(analysis->average.name()));
            QVERIFY(analysis->darkLuminance < 0.001);
            QVERIFY(analysis->lightLuminance > 0.99);
            QVERIFY(SeamVisibleAcross(*analysis));
            QVERIFY(!SeamVisibleDown(*analysis));
        }

        // Two bands meeting off the grid that large images are read on: their boundary
        // inside is found, so the same step at the edge is not a seam.
        photo.fill(Qt::white);
        QPainter(&photo).fillRect(0, 0, 601, 4000, Qt::black);
        const std::optional<TileAnalysis> bands = AnalyseTile(photo);
        QVERIFY(bands && bands->reduced);
        QCOMPARE(bands->across.edge, 255.0);
        QVERIFY(!SeamVisibleAcross(*bands));
    }

    void unreadableFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // empty: no file
        QTest::newRow("missing") << "missing.png" << QByteArray();
        QTest::newRow("text named .png") << "text.png" << QByteArray("not an image");
        QTest::newRow("truncated PNG") << "cut.png" << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10);
    }
    void unreadableFiles() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString path = m_folder + QLatin1Char('/') + name;
        if (!content.isEmpty())
            QVERIFY(zelvorin::test::writeFile(path, content));
        const TileFileAnalysis result = AnalyseTileFile(path);
        QVERIFY(!result.analysis);
        QVERIFY(!result.error.isEmpty());
    }

    void fileNameThatIsNotUtf8() {
        const QImage tile = strip({{qRgb(0, 0, 0), 10}});
        const QByteArray raw = QFile::encodeName(m_folder) + "/t\xE9\xFF.png";
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(tile.save(&buffer, "png"));
        const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
        ::close(fd);
        const TileFileAnalysis result = AnalyseTileFile(platform::openablePath(raw));
        QVERIFY2(result.analysis, qPrintable(result.error));
        QCOMPARE(result.analysis->average, QColor(Qt::black));
        ::unlink(raw.constData());
    }

    void runnerDeliversOnlyTheNewest() {
        const QString first = saveImage("first.png", strip({{qRgb(255, 0, 0), 64}}));
        const QString second = saveImage("second.png", strip({{qRgb(0, 255, 0), 64}}));
        const QString third = saveImage("third.png", strip({{qRgb(0, 0, 255), 64}}));
        TileAnalysisRunner runner;
        QSignalSpy spy(&runner, &TileAnalysisRunner::Finished);
        QList<QThread*> threads;
        connect(&runner, &TileAnalysisRunner::Finished, this,
                [&] { threads << QThread::currentThread(); });

        runner.Analyse(first);
        runner.Analyse(second);
        const quint64 newest = runner.Analyse(third);
        QVERIFY(runner.IsBusy());
        QVERIFY(spy.wait());
        // A later request, delivered last, shows nothing else came in between.
        runner.Analyse(first);
        runner.Cancel();
        QVERIFY(!runner.IsBusy());
        const quint64 last = runner.Analyse(m_folder + "/missing.png");
        QTRY_COMPARE(spy.size(), 2);
        QVERIFY(!runner.IsBusy());

        const auto delivered = [&](int i) { return spy.at(i).at(0).value<TileAnalysisResult>(); };
        QCOMPARE(delivered(0).request, newest);
        QCOMPARE(delivered(0).path, third);
        QVERIFY(delivered(0).analysis);
        QCOMPARE(delivered(0).analysis->average, QColor(0, 0, 255));
        QCOMPARE(delivered(1).request, last);
        QVERIFY(!delivered(1).analysis);
        QVERIFY(!delivered(1).error.isEmpty());
        QCOMPARE(threads, QList<QThread*>({thread(), thread()}));
    }

    void runnerGoesWhileWorking() {
        QImage big(3000, 3000, QImage::Format_RGB32);
        big.fill(Qt::gray);
        const QString path = saveImage("big.png", big);
        QVERIFY(!path.isEmpty());
        auto runner = std::make_unique<TileAnalysisRunner>();
        QSignalSpy spy(runner.get(), &TileAnalysisRunner::Finished);
        runner->Analyse(path);
        runner.reset();
        // Events posted by its worker die with it.
        QCoreApplication::processEvents();
        QCOMPARE(spy.size(), 0);
    }
};

ZELVORIN_TEST_MAIN(TestTileAnalysis)

#include "test_tile_analysis.moc"

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SampleMaker.h"

#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>

using namespace zelvorin;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

double pixelDifference(QRgb a, QRgb b) {
    return (std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
            std::abs(qBlue(a) - qBlue(b))) /
           3.0;
}

// How a tile's edge continues into its next copy, compared with how its own columns
// (or rows) follow each other. A seam is the step from the last column to the first.
struct SeamMeasure {
    double seam = 0;
    double mean = 0;
    double largest = 0;
};

SeamMeasure measureSeam(const QImage& image, bool columns) {
    const int count = columns ? image.width() : image.height();
    const int length = columns ? image.height() : image.width();
    auto step = [&](int a, int b) {
        double sum = 0;
        for (int i = 0; i < length; ++i) {
            sum += columns ? pixelDifference(image.pixel(a, i), image.pixel(b, i))
                           : pixelDifference(image.pixel(i, a), image.pixel(i, b));
        }
        return sum / length;
    };
    SeamMeasure measure;
    for (int i = 0; i + 1 < count; ++i) {
        const double d = step(i, i + 1);
        measure.mean += d;
        measure.largest = std::max(measure.largest, d);
    }
    measure.mean /= count - 1;
    measure.seam = step(count - 1, 0);
    return measure;
}

// The seam must look like any other step inside the tile: no larger than the largest
// inner step and not far above the typical one.
bool looksSeamless(const SeamMeasure& m) {
    return m.seam <= m.largest + 2 && m.seam <= 3 * m.mean + 6;
}

QString describe(const SeamMeasure& m) {
    return QStringLiteral("seam %1, mean step %2, largest step %3")
        .arg(m.seam, 0, 'f', 2)
        .arg(m.mean, 0, 'f', 2)
        .arg(m.largest, 0, 'f', 2);
}

// Local files a page refers to through src, href or url(...), decoded from URL form.
QStringList localReferences(const QString& html) {
    QStringList names;
    static const QRegularExpression attribute(
        QStringLiteral("(?:src|href)\\s*=\\s*\"([^\"#:]+)\"|url\\(\\s*\"?([^\")]+)\"?\\s*\\)"));
    auto it = attribute.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const QString raw = match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
        names.append(QUrl::fromPercentEncoding(raw.toUtf8()));
    }
    return names;
}

} // namespace

class SampleMakerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void makesEveryFormat();
    void tiles_data();
    void tiles();
    void seamMeasureFindsBrokenTiles();
    void pagesReferToExistingSamples_data();
    void pagesReferToExistingSamples();
    void neverOverwrites();
    void reportsAFolderItCannotMake();

private:
    QTemporaryDir m_folder;
    QString m_samples;
};

void SampleMakerTest::initTestCase() {
    QVERIFY(m_folder.isValid());
    m_samples = m_folder.filePath("Samples");
    QString error;
    QVERIFY2(MakeSamples(m_samples, &error), qPrintable(error));
}

void SampleMakerTest::makesEveryFormat() {
    const QStringList names = SampleFileNames();
    QCOMPARE(QDir(m_samples).entryList(QDir::Files).size(), names.size());
    int tiles = 0;
    for (const char* suffix : {"jpg", "gif", "png", "bmp"}) {
        const QStringList ofFormat =
            QDir(m_samples).entryList({QStringLiteral("*.") + suffix}, QDir::Files);
        QVERIFY2(ofFormat.size() >= 3, suffix);
        tiles += int(ofFormat.size());
    }
    QVERIFY(tiles >= 14);
    for (const char* page : {"plain page.html", "page with own background.html", "frameset.html"}) {
        QVERIFY2(QFileInfo(QDir(m_samples).filePath(page)).isFile(), page);
    }
    // No temporary files are left behind.
    QVERIFY(QDir(m_samples).entryList(QDir::Hidden | QDir::Files | QDir::NoDotAndDotDot).size() ==
            names.size());
}

void SampleMakerTest::tiles_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("magic");
    QTest::addColumn<QSize>("size");
    const QByteArray jpg("\xFF\xD8\xFF", 3), gif("GIF89a"), png("\x89PNG"), bmp("BM");
    const struct {
        const char* name;
        QByteArray magic;
        QSize size;
    } rows[] = {
        {"cream paper.jpg", jpg, {128, 128}}, {"grey marble.jpg", jpg, {256, 256}},
        {"linen.jpg", jpg, {128, 128}},       {"sunset bands.jpg", jpg, {64, 256}},
        {"blue checks.gif", gif, {64, 64}},   {"polka dots.gif", gif, {64, 64}},
        {"candy stripes.gif", gif, {64, 64}}, {"argyle.gif", gif, {64, 64}},
        {"waves.png", png, {128, 128}},       {"graph paper.png", png, {128, 128}},
        {"tartan.png", png, {128, 128}},      {"soft bands.png", png, {64, 192}},
        {"red bricks.bmp", bmp, {128, 64}},   {"wood.bmp", bmp, {256, 128}},
        {"denim.bmp", bmp, {64, 64}},         {"mosaic.bmp", bmp, {128, 128}},
        {"sand.webp", "RIFF", {128, 128}},    {"diamond lattice.svg", "<svg", {48, 48}},
    };
    for (const auto& row : rows) {
        QTest::newRow(row.name) << QString::fromUtf8(row.name) << row.magic << row.size;
    }
}

void SampleMakerTest::tiles() {
    QFETCH(QString, name);
    QFETCH(QByteArray, magic);
    QFETCH(QSize, size);
    const QString path = QDir(m_samples).filePath(name);
    QVERIFY(readAll(path).startsWith(magic));
    const QImage image = QImage(path).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), size);
    // Not a blank tile: it has a pattern.
    QVERIFY(measureSeam(image, true).largest + measureSeam(image, false).largest > 1);

    const SeamMeasure across = measureSeam(image, true);
    QVERIFY2(looksSeamless(across), qPrintable("left/right: " + describe(across)));
    const SeamMeasure down = measureSeam(image, false);
    QVERIFY2(looksSeamless(down), qPrintable("top/bottom: " + describe(down)));
}

void SampleMakerTest::seamMeasureFindsBrokenTiles() {
    QImage ramp(128, 64, QImage::Format_RGB32);
    for (int y = 0; y < ramp.height(); ++y) {
        for (int x = 0; x < ramp.width(); ++x) {
            ramp.setPixel(x, y, qRgb(x * 2, 100, 200 - y));
        }
    }
    QVERIFY(!looksSeamless(measureSeam(ramp, true)));
    QVERIFY(!looksSeamless(measureSeam(ramp, false)));

    // A smooth tile cut short is no longer seamless.
    for (const char* name : {"grey marble.jpg", "waves.png", "sunset bands.jpg"}) {
        const QImage tile =
            QImage(QDir(m_samples).filePath(name)).convertToFormat(QImage::Format_RGB32);
        const QImage cut = tile.copy(0, 0, tile.width() * 5 / 8, tile.height() * 5 / 8);
        const bool across = looksSeamless(measureSeam(cut, true));
        const bool down = looksSeamless(measureSeam(cut, false));
        QVERIFY2(!(across && down), name);
    }
}

void SampleMakerTest::pagesReferToExistingSamples_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("references");
    QTest::newRow("own background") << "page with own background.html" << 1;
    QTest::newRow("frameset") << "frameset.html" << 3;
    QTest::newRow("menu frame") << "frameset menu.html" << 3;
    QTest::newRow("main frame with inner frame") << "frameset main.html" << 1;
}

void SampleMakerTest::pagesReferToExistingSamples() {
    QFETCH(QString, page);
    QFETCH(int, references);
    const QString html = QString::fromUtf8(readAll(QDir(m_samples).filePath(page)));
    const QStringList names = localReferences(html);
    QCOMPARE(names.size(), references);
    for (const QString& name : names) {
        QVERIFY2(QFileInfo(QDir(m_samples).filePath(name)).isFile(), qPrintable(name));
    }
    if (page.contains("own background")) {
        QVERIFY(html.contains("background-color"));
        QVERIFY(html.contains("background-image"));
    }
    if (page == "frameset.html") {
        QCOMPARE(html.count("<frameset"), 2); // one frameset nested in the other
    }
    if (page == "frameset main.html") {
        QVERIFY(html.contains("<iframe"));
    }
}

void SampleMakerTest::neverOverwrites() {
    QTemporaryDir folder;
    const QString samples = folder.filePath("partly there");
    QVERIFY(QDir().mkpath(samples));
    const QDir dir(samples);
    const QByteArray mine("not an image, but mine");
    QVERIFY(zelvorin::test::writeFile(dir.filePath("waves.png"), mine));
    QVERIFY(zelvorin::test::writeFile(dir.filePath("plain page.html"), mine));
    QVERIFY(dir.mkdir("argyle.gif")); // a folder where a sample would go
    QVERIFY(QFile::link(dir.filePath("nowhere"), dir.filePath("denim.bmp")));

    QString error;
    QVERIFY2(MakeSamples(samples, &error), qPrintable(error));
    QCOMPARE(readAll(dir.filePath("waves.png")), mine);
    QCOMPARE(readAll(dir.filePath("plain page.html")), mine);
    QVERIFY(QFileInfo(dir.filePath("argyle.gif")).isDir());
    QVERIFY(QFileInfo(dir.filePath("denim.bmp")).isSymLink());
    QVERIFY(!QFileInfo::exists(dir.filePath("nowhere")));
    QVERIFY(QFileInfo(dir.filePath("wood.bmp")).isFile());
    QVERIFY(QFileInfo(dir.filePath("frameset.html")).isFile());

    // A second run over a complete folder changes nothing.
    const QString marble = dir.filePath("grey marble.jpg");
    QVERIFY(zelvorin::test::writeFile(marble, mine));
    QVERIFY2(MakeSamples(samples, &error), qPrintable(error));
    QCOMPARE(readAll(marble), mine);

    // A removed sample comes back; the content is always the same.
    QVERIFY(QFile::remove(dir.filePath("wood.bmp")));
    QVERIFY2(MakeSamples(samples, &error), qPrintable(error));
    QCOMPARE(readAll(dir.filePath("wood.bmp")), readAll(QDir(m_samples).filePath("wood.bmp")));
}

void SampleMakerTest::reportsAFolderItCannotMake() {
    QTemporaryDir folder;
    const QString file = folder.filePath("a file");
    QVERIFY(zelvorin::test::writeFile(file, "x"));
    QString error;
    QVERIFY(!MakeSamples(file + "/Samples", &error));
    QVERIFY(!error.isEmpty());
    error.clear();
    QVERIFY(!MakeSamples(QString(), &error));
    QVERIFY(!error.isEmpty());
}

ZELVORIN_TEST_MAIN(SampleMakerTest)

#include "tst_SampleMaker.moc"

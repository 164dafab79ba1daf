// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The web copy and the weights the program tells: which images are kept exactly, that the
// copy is the picture (exactly, or close and lighter), where it goes, and how sizes read.
#include "ImageDecoder.h"
#include "ImageFormatFolder.h"
#include "ImageWeight.h"
#include "SampleTiles.h"
#include "TestEnvironment.h"
#include "WebCopy.h"

#include <QPainter>
#include <QtTest>

using namespace zelvorin;

namespace {

QImage noise() {
    return test::RandomPixels(96, 96, 7);
}

// A diagram: flat ground, smoothed lines and text, which make hundreds of colours.
QImage diagram() {
    QImage image(200, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 12; ++i) {
        painter.setPen(QPen(QColor::fromHsv(i * 30, 200, 200), 1.5));
        painter.drawLine(QPointF(5, 5 + i * 9), QPointF(195, 20 + i * 7.3));
        painter.drawEllipse(QPointF(20 + i * 15, 60), 6.3, 4.1);
    }
    return image;
}

} // namespace

class TestWebCopy : public QObject {
    Q_OBJECT

private slots:
    void suggested_data() {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("lossless");
        QTest::newRow("four flat colours") << test::FormatTile() << "png" << true;
        QTest::newRow("smoothed drawing") << diagram() << "png" << true;
        QTest::newRow("noise") << noise() << "png" << false;
        QTest::newRow("a JPEG is a photograph") << test::FormatTile() << "jpeg" << false;
        for (const SampleTile& tile : SampleTiles()) {
            if (tile.fileName == "sand.webp" || tile.fileName == "diamond lattice.svg")
                QTest::newRow(qPrintable(tile.fileName))
                    << tile.make() << "webp" << tile.fileName.endsWith(".svg");
        }
    }
    void suggested() {
        QFETCH(QImage, image);
        QFETCH(QString, format);
        QFETCH(bool, lossless);
        const WebCopySettings settings = SuggestedWebCopy(image, format);
        QCOMPARE(settings.lossless, lossless);
        QCOMPARE(settings.quality, WebCopyQuality);
        const QByteArray copy = EncodeWebCopy(image, settings);
        const DecodedImage decoded = DecodeImage(copy);
        QCOMPARE(decoded.format, QStringLiteral("webp"));
        QCOMPARE(decoded.size, image.size());
        if (lossless)
            QCOMPARE(test::LargestDifference(decoded.image, image), 0);
    }

    void aPhotographWeighsLessLossy() {
        const QImage image = noise();
        const qsizetype lossless = EncodeWebCopy(image, {true, WebCopyQuality}).size();
        const qsizetype good = EncodeWebCopy(image, {false, 90}).size();
        QVERIFY(good < lossless);
        QVERIFY(EncodeWebCopy(image, {false, 40}).size() < good);
    }

    void path_data() {
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<QByteArray>("copy");
        QTest::newRow("suffix") << QByteArray("/a/paper.png") << QByteArray("/a/paper.webp");
        QTest::newRow("two dots") << QByteArray("/a/paper.x.JPG") << QByteArray("/a/paper.x.webp");
        QTest::newRow("no suffix") << QByteArray("/a/paper") << QByteArray("/a/paper.webp");
        QTest::newRow("dot in a folder")
            << QByteArray("/a.b/paper") << QByteArray("/a.b/paper.webp");
        QTest::newRow("hidden") << QByteArray("/a/.png") << QByteArray("/a/.png.webp");
        QTest::newRow("a WebP itself") << QByteArray("/a/p.webp") << QByteArray("/a/p.webp");
        QTest::newRow("not UTF-8") << QByteArray("/a/caf\xe9.bmp") << QByteArray("/a/caf\xe9.webp");
    }
    void path() {
        QFETCH(QByteArray, image);
        QFETCH(QByteArray, copy);
        QCOMPARE(WebCopyPath(image), copy);
    }

    void sizes_data() {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << qint64(0) << "0 bytes";
        QTest::newRow("under a KB") << qint64(1023) << "1023 bytes";
        QTest::newRow("a KB") << qint64(1024) << "1 KB";
        QTest::newRow("rounded up") << qint64(1536) << "2 KB";
        QTest::newRow("the example") << qint64(421888) << "412 KB";
        QTest::newRow("rounds to a MB") << qint64(1048575) << "1.0 MB";
        QTest::newRow("MB") << qint64(1468006) << "1.4 MB";
        QTest::newRow("GB") << qint64(2254857830) << "2.1 GB";
        QTest::newRow("unknown") << qint64(-1) << "";
    }
    void sizes() {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(ByteSizeText(bytes), text);
    }

    void texts() {
        QCOMPARE(WebCopySizesText("/w/paper.png", 421888, "/w/paper.webp", 62464),
                 QStringLiteral("paper.png 412 KB \u2192 paper.webp 61 KB"));
        QCOMPARE(ImageWeightText("linen.jpg", 24 * 1024, QSize(256, 256)),
                 QStringLiteral("linen.jpg 24 KB, 256 x 256"));
        QCOMPARE(ImageWeightText("broken.webp", 240, QSize()),
                 QStringLiteral("broken.webp 240 bytes"));
    }
};

ZELVORIN_TEST_MAIN(TestWebCopy)

#include "tst_WebCopy.moc"

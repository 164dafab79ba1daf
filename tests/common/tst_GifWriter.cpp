// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "GifWriter.h"

#include "TestEnvironment.h"

#include <QBuffer>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace zelvorin;

namespace {

// A strict GIF LZW decoder: every code must be in the table the decoder has at that
// moment and read with exactly the width the format prescribes, and the stream must end
// with the end code. Lenient decoders accept off-by-one code widths; this one does not.
struct Decoded {
    bool ok = false;
    QByteArray indices;
    int clearCodes = 0;
    QString problem;
};

Decoded strictDecode(const QByteArray& codes, int minimumCodeSize) {
    Decoded result;
    const int clearCode = 1 << minimumCodeSize;
    const int endCode = clearCode + 1;
    QList<QByteArray> table;
    auto reset = [&] {
        table.clear();
        for (int i = 0; i < clearCode; ++i) {
            table.append(QByteArray(1, char(i)));
        }
        table.append(QByteArray()); // clear
        table.append(QByteArray()); // end
    };
    reset();
    int codeSize = minimumCodeSize + 1;
    qsizetype bitPosition = 0;
    const qsizetype totalBits = codes.size() * 8;
    QByteArray previous;
    bool havePrevious = false;
    while (true) {
        if (bitPosition + codeSize > totalBits) {
            result.problem = QStringLiteral("stream ends without the end code");
            return result;
        }
        int code = 0;
        for (int bit = 0; bit < codeSize; ++bit, ++bitPosition) {
            if (codes.at(bitPosition / 8) & (1 << (bitPosition % 8))) {
                code |= 1 << bit;
            }
        }
        if (code == clearCode) {
            ++result.clearCodes;
            reset();
            codeSize = minimumCodeSize + 1;
            havePrevious = false;
            continue;
        }
        if (code == endCode) {
            // Only padding may follow.
            result.ok = (totalBits - bitPosition) < 8;
            if (!result.ok) {
                result.problem = QStringLiteral("data after the end code");
            }
            return result;
        }
        QByteArray entry;
        if (code < table.size() && code != clearCode && code != endCode) {
            entry = table.at(code);
        } else if (code == table.size() && havePrevious) {
            entry = previous + previous.left(1);
        } else {
            result.problem =
                QStringLiteral("code %1 not in a table of %2").arg(code).arg(table.size());
            return result;
        }
        result.indices += entry;
        if (havePrevious && table.size() < 4096) {
            table.append(previous + entry.left(1));
        }
        if (table.size() == (1 << codeSize) && codeSize < 12) {
            ++codeSize;
        }
        previous = entry;
        havePrevious = true;
    }
}

QImage readGif(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    return reader.read();
}

QImage paletteNoise(int width, int height, int colors, quint32 seed) {
    QRandomGenerator random(seed);
    QList<QRgb> palette;
    for (int i = 0; i < colors; ++i) {
        palette.append(
            qRgb(int(random.bounded(256)), int(random.bounded(256)), int(random.bounded(256))));
    }
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, palette.at(int(random.bounded(colors))));
        }
    }
    return image;
}

QImage everyColorOnce() {
    QImage image(16, 16, QImage::Format_RGB32);
    for (int i = 0; i < 256; ++i) {
        image.setPixel(i % 16, i / 16, qRgb(i, 255 - i, (i * 7) % 256));
    }
    return image;
}

QImage checker(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, (x / 3 + y / 2) % 2 ? qRgb(10, 20, 30) : qRgb(250, 240, 230));
        }
    }
    return image;
}

} // namespace

class GifWriterTest : public QObject {
    Q_OBJECT

private slots:
    void roundTripsPaletteImages_data();
    void roundTripsPaletteImages();
    void keepsTransparentPixels();
    void lzwStreamIsStrictlyValid_data();
    void lzwStreamIsStrictlyValid();
    void everyLengthEndsCleanly();
    void largeNoiseRestartsTheTable();
    void reducesManyColoursToAPalette();
    void refusesEmptyImages();
    void writesAFile();
};

void GifWriterTest::roundTripsPaletteImages_data() {
    QTest::addColumn<QImage>("image");
    QImage single(1, 1, QImage::Format_RGB32);
    single.fill(qRgb(12, 34, 56));
    QImage flat(40, 30, QImage::Format_RGB32);
    flat.fill(qRgb(200, 100, 50));
    QTest::newRow("one pixel") << single;
    QTest::newRow("one colour") << flat;
    QTest::newRow("two colours, odd size") << checker(17, 13);
    QTest::newRow("three colours of noise") << paletteNoise(300, 200, 3, 1);
    QTest::newRow("five colours of noise (8-entry table)") << paletteNoise(97, 41, 5, 2);
    QTest::newRow("every one of 256 colours") << everyColorOnce();
    QTest::newRow("wide strip") << paletteNoise(1000, 1, 16, 3);
    QTest::newRow("tall strip") << paletteNoise(1, 700, 16, 4);
    QTest::newRow("large noise, 256 colours") << paletteNoise(512, 512, 256, 5);
}

void GifWriterTest::roundTripsPaletteImages() {
    QFETCH(QImage, image);
    const QByteArray gif = EncodeGif(image);
    QVERIFY(gif.startsWith("GIF89a"));
    QCOMPARE(gif.back(), char(0x3B));
    const QImage back = readGif(gif).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!back.isNull());
    QCOMPARE(back.size(), image.size());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (back.pixel(x, y) != image.pixel(x, y)) {
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is %3, not %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(back.pixel(x, y), 8, 16)
                                     .arg(image.pixel(x, y), 8, 16)));
            }
        }
    }
}

void GifWriterTest::keepsTransparentPixels() {
    QImage image(20, 10, QImage::Format_ARGB32);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
            image.setPixel(x, y, (x + y) % 3 == 0 ? qRgba(0, 0, 0, 0) : qRgb(x * 10, y * 20, 90));
        }
    }
    const QImage back = readGif(EncodeGif(image)).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(back.size(), image.size());
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
            if (qAlpha(image.pixel(x, y)) == 0) {
                QCOMPARE(qAlpha(back.pixel(x, y)), 0);
            } else {
                QCOMPARE(back.pixel(x, y), image.pixel(x, y));
            }
        }
    }
}

void GifWriterTest::lzwStreamIsStrictlyValid_data() {
    QTest::addColumn<int>("minimumCodeSize");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("symbols");
    QTest::newRow("empty") << 2 << 0 << 4;
    QTest::newRow("one index") << 2 << 1 << 4;
    QTest::newRow("runs of one index") << 2 << 5000 << 1;
    QTest::newRow("2-bit noise") << 2 << 30000 << 4;
    QTest::newRow("4-bit noise") << 4 << 20000 << 16;
    QTest::newRow("8-bit noise") << 8 << 70000 << 256;
    QTest::newRow("8-bit, few symbols") << 8 << 40000 << 3;
}

void GifWriterTest::lzwStreamIsStrictlyValid() {
    QFETCH(int, minimumCodeSize);
    QFETCH(int, length);
    QFETCH(int, symbols);
    QRandomGenerator random(quint32(length + symbols));
    QByteArray indices(length, 0);
    for (char& c : indices) {
        c = char(random.bounded(symbols));
    }
    const Decoded decoded = strictDecode(LzwCompress(indices, minimumCodeSize), minimumCodeSize);
    QVERIFY2(decoded.ok, qPrintable(decoded.problem));
    QCOMPARE(decoded.indices, indices);
}

void GifWriterTest::everyLengthEndsCleanly() {
    // The end code's width depends on how full the table is after the last code; running
    // through every length makes the last code land on each width change.
    for (int symbols : {2, 4, 16}) {
        QRandomGenerator random{quint32(symbols)};
        QByteArray noise(1500, 0);
        for (char& c : noise) {
            c = char(random.bounded(symbols));
        }
        const int minimumCodeSize = std::max(2, symbols == 16 ? 4 : 2);
        for (int length = 1; length <= noise.size(); ++length) {
            const QByteArray indices = noise.left(length);
            const Decoded decoded =
                strictDecode(LzwCompress(indices, minimumCodeSize), minimumCodeSize);
            QVERIFY2(decoded.ok, qPrintable(QStringLiteral("%1 symbols, length %2: %3")
                                                .arg(symbols)
                                                .arg(length)
                                                .arg(decoded.problem)));
            QCOMPARE(decoded.indices, indices);
        }
    }
}

void GifWriterTest::largeNoiseRestartsTheTable() {
    const PaletteImage indexed = QuantizeImage(paletteNoise(400, 400, 256, 9));
    QCOMPARE(indexed.palette.size(), 256);
    const Decoded decoded = strictDecode(LzwCompress(indexed.indices, 8), 8);
    QVERIFY2(decoded.ok, qPrintable(decoded.problem));
    QCOMPARE(decoded.indices, indexed.indices);
    // 160,000 pixels of noise fill a 4096-entry table many times over.
    QVERIFY2(decoded.clearCodes > 10, qPrintable(QString::number(decoded.clearCodes)));
}

void GifWriterTest::reducesManyColoursToAPalette() {
    QImage image(128, 96, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgb(x * 2, y * 2 + 20, (x + y) % 256));
        }
    }
    const PaletteImage indexed = QuantizeImage(image);
    QVERIFY(indexed.palette.size() <= 256);
    QCOMPARE(indexed.transparentIndex, -1);
    const QImage back = readGif(EncodeGif(image)).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(back.size(), image.size());
    double error = 0;
    int worst = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb a = image.pixel(x, y), b = back.pixel(x, y);
            const int e = std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                          std::abs(qBlue(a) - qBlue(b));
            error += e;
            worst = std::max(worst, e);
        }
    }
    error /= image.width() * image.height();
    QVERIFY2(error < 12, qPrintable(QString::number(error)));
    QVERIFY2(worst < 60, qPrintable(QString::number(worst)));
}

void GifWriterTest::refusesEmptyImages() {
    QVERIFY(EncodeGif(QImage()).isEmpty());
    QString error;
    QTemporaryDir folder;
    const QString path = folder.filePath("x.gif");
    QVERIFY(!WriteGif(QImage(), path, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFileInfo::exists(path));
}

void GifWriterTest::writesAFile() {
    QTemporaryDir folder;
    const QString path = folder.filePath("checks.gif");
    const QImage image = checker(33, 21);
    QString error;
    QVERIFY2(WriteGif(image, path, &error), qPrintable(error));
    const QImage back = QImage(path).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(back, image.convertToFormat(QImage::Format_RGB32));
    QVERIFY(!WriteGif(image, folder.filePath("missing/folder/x.gif"), &error));
    QVERIFY(!error.isEmpty());
}

ZELVORIN_TEST_MAIN(GifWriterTest)

#include "tst_GifWriter.moc"

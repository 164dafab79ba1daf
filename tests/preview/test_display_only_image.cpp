// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The wrapper a local page's pictures come in: an SVG of the picture's own size (turned as
// its orientation mark says, laid out by an SVG's own size and view box) holding the
// file's bytes whole (a compressed drawing unpacked), however the engine reads and seeks in it;
// markup in an SVG's attributes stays text; a file that is no picture gets nothing.
#include "DisplayOnlyImage.h"
#include "ImageFormatFolder.h"
#include "TestEnvironment.h"

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace zelvorin;

namespace {

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A JPEG whose orientation mark says it is shown turned a quarter (EXIF orientation 6).
QByteArray turnedJpeg(const QImage& image) {
    const QByteArray jpeg = encoded(image, "JPEG");
    const QByteArray exif =
        QByteArray("Exif\0\0MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06"
                   "\0\0\0\0\0\0",
                   32);
    const QByteArray segment = "\xff\xe1" + QByteArray(1, '\0') + char(exif.size() + 2) + exif;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

} // namespace

class TestDisplayOnlyImage : public QObject {
    Q_OBJECT

private slots:
    void wrapsTheWholeFile_data();
    void wrapsTheWholeFile();
    void noPictureNoWrapper();
    void compressedDrawingIsUnpacked();

private:
    QTemporaryDir m_folder;
};

void TestDisplayOnlyImage::wrapsTheWholeFile_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("frame"); // what the SVG says of its size
    QTest::addColumn<QByteArray>("type");
    QImage wide(60, 40, QImage::Format_RGB32);
    wide.fill(Qt::red);
    // Over one piece of what is encoded at a time, and no multiple of three bytes.
    QImage noise(300, 200, QImage::Format_RGB32);
    QRandomGenerator random(22);
    for (int y = 0; y < noise.height(); ++y) {
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, random.generate());
    }
    QTest::newRow("PNG") << encoded(noise, "PNG") << QByteArray(" width=\"300\" height=\"200\"")
                         << QByteArray("image/png");
    QTest::newRow("JPEG turned by its mark")
        << turnedJpeg(wide) << QByteArray(" width=\"40\" height=\"60\"")
        << QByteArray("image/jpeg");
    // Read here, not by Qt (which may lack the plugins): only their first bytes matter.
    QTest::newRow("WebP") << QByteArray("RIFF\x16\0\0\0WEBPVP8X\x0a\0\0\0\0\0\0\0\x7f\x02\0"
                                        "\xdf\x01\0",
                                        30)
                          << QByteArray(" width=\"640\" height=\"480\"")
                          << QByteArray("image/webp");
    QTest::newRow("AVIF turned a quarter")
        << QByteArray("\0\0\0\x18"
                      "ftypavif\0\0\0\0avifmif1\0\0\0\x14ispe\0\0\0\0\0\0\x01\x2c"
                      "\0\0\0\xc8\0\0\0\x09irot\x01",
                      53)
        << QByteArray(" width=\"200\" height=\"300\"") << QByteArray("image/avif");
    QTest::newRow("SVG with a view box")
        << QByteArray("<?xml version='1.0'?>\n<!-- a shape -->\n<svg xmlns='http://www.w3.org/"
                      "2000/svg' width='10' height='6' viewBox='0,0 5 3'><rect width='5' "
                      "height='3'/></svg>")
        << QByteArray(" width=\"10\" height=\"6\" viewBox=\"0,0 5 3\"><foreignObject width=\"0\" "
                      "height=\"0\"/><image x=\"0\" y=\"0\" width=\"5\" height=\"3\"")
        << QByteArray("image/svg+xml");
    QTest::newRow("SVG with markup in its size")
        << QByteArray("<svg xmlns='http://www.w3.org/2000/svg' width='1\"/&gt;&lt;script&gt;'/>")
        << QByteArray(" width=\"1&quot;/&gt;&lt;script&gt;\"><foreignObject")
        << QByteArray("image/svg+xml");
}

void TestDisplayOnlyImage::wrapsTheWholeFile() {
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, type);
    const QString path = m_folder.filePath(QStringLiteral("picture"));
    QVERIFY(test::writeFile(path, file));
    std::unique_ptr<DisplayOnlyImage> image(
        DisplayOnlyImage::open(QFile::encodeName(path), nullptr));
    QVERIFY(image);
    // Read in uneven pieces, as the engine's buffer sizes vary.
    QByteArray text;
    for (int piece = 1; !image->atEnd(); piece = piece * 3 + 1) {
        const QByteArray read = image->read(piece);
        QVERIFY(!read.isEmpty());
        text += read;
    }
    QCOMPARE(text.size(), image->size());
    QVERIFY2(text.startsWith("<svg xmlns=\"http://www.w3.org/2000/svg\"" + frame), text.left(300));
    QVERIFY(text.contains("<foreignObject width=\"0\" height=\"0\"/>"));
    QVERIFY(!text.contains("<script"));
    const QByteArray start = "href=\"data:" + type + ";base64,";
    const qsizetype data = text.indexOf(start) + start.size();
    QVERIFY(data > start.size());
    QVERIFY(text.endsWith("\"/></svg>"));
    const QByteArray base64 = text.mid(data, text.size() - data - 9);
    QCOMPARE(QByteArray::fromBase64(base64), file);
    // Anywhere the engine seeks, it reads the same text.
    for (const qint64 at : {qint64(data - 3), qint64(data + 5), qint64(data + 4 * 16384 + 2),
                            qint64(text.size() - 12)}) {
        if (at >= text.size())
            continue;
        QVERIFY(image->seek(at));
        QCOMPARE(image->read(20), text.mid(at, 20));
    }
}

void TestDisplayOnlyImage::noPictureNoWrapper() {
    const QString text = m_folder.filePath(QStringLiteral("notes.txt"));
    QVERIFY(test::writeFile(text, "a secret that is no picture"));
    QVERIFY(!DisplayOnlyImage::open(QFile::encodeName(text), nullptr));
    const QString page = m_folder.filePath(QStringLiteral("page.svg"));
    QVERIFY(test::writeFile(page, "<html><body>an SVG in name only</body></html>"));
    QVERIFY(!DisplayOnlyImage::open(QFile::encodeName(page), nullptr));
    QVERIFY(!DisplayOnlyImage::open(QFile::encodeName(m_folder.filePath("missing.png")), nullptr));
}

void TestDisplayOnlyImage::compressedDrawingIsUnpacked() {
    QVERIFY(!test::WriteTileInEveryFormat(m_folder.path()).isEmpty());
    QFile plain(m_folder.filePath(QStringLiteral("tile.svg")));
    QVERIFY(plain.open(QIODevice::ReadOnly));
    const QByteArray drawing = plain.readAll();
    std::unique_ptr<DisplayOnlyImage> image(
        DisplayOnlyImage::open(QFile::encodeName(m_folder.filePath("tile.svgz")), nullptr));
    QVERIFY(image);
    const QByteArray text = image->readAll();
    QCOMPARE(text.size(), image->size());
    QVERIFY2(text.startsWith("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" "
                             "height=\"32\"><foreignObject"),
             text.left(200));
    const QByteArray start = "href=\"data:image/svg+xml;base64,";
    const qsizetype data = text.indexOf(start) + start.size();
    QVERIFY(data > start.size());
    QCOMPARE(QByteArray::fromBase64(text.mid(data, text.size() - data - 9)), drawing);

    // Cut short, it is no picture.
    QFile packed(m_folder.filePath(QStringLiteral("tile.svgz")));
    QVERIFY(packed.open(QIODevice::ReadOnly));
    const QString cut = m_folder.filePath(QStringLiteral("cut.svgz"));
    QVERIFY(test::writeFile(cut, packed.readAll().chopped(10)));
    QVERIFY(!DisplayOnlyImage::open(QFile::encodeName(cut), nullptr));
}

ZELVORIN_TEST_MAIN(TestDisplayOnlyImage)
#include "test_display_only_image.moc"

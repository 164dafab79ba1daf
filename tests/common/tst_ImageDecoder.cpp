// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The one decoding function against every image format of the web: the same tile in each
// decodes to the PNG's pixels, a damaged file of each gets a reason and no crash, SVG
// drawings get the size a browser gives them and load nothing beside themselves, and
// gzip data is unpacked whole, within its limit, or not at all.
#include "Gzip.h"
#include "ImageDecoder.h"
#include "ImageFormatFolder.h"
#include "TestEnvironment.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <zlib.h>

using namespace zelvorin;
using namespace zelvorin::test;

Q_DECLARE_METATYPE(zelvorin::test::FormatFile)

namespace {

QByteArray pathOf(const QTemporaryDir& dir, const QString& name) {
    return QFile::encodeName(dir.filePath(name));
}

QByteArray svg(const QByteArray& rootAttributes, const QByteArray& content = {}) {
    return "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' " +
           rootAttributes + ">" + content + "</svg>";
}

QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return bytes;
}

} // namespace

class TestImageDecoder : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QList<FormatFile> m_files;
    QStringList m_broken;

private slots:
    void initTestCase() {
        m_files = WriteTileInEveryFormat(m_folder.path());
        QCOMPARE(m_files.size(), 10);
        m_broken = WriteBrokenFiles(m_folder.path());
        QCOMPARE(m_broken.size(), m_files.size());
    }

    void everyFormatDecodesAsThePng_data() {
        QTest::addColumn<FormatFile>("file");
        for (const FormatFile& file : m_files)
            QTest::newRow(qPrintable(file.name)) << file;
    }
    void everyFormatDecodesAsThePng() {
        QFETCH(FormatFile, file);
        const DecodedImage decoded = DecodeImageFile(pathOf(m_folder, file.name));
        QVERIFY2(decoded.ok(), qPrintable(decoded.error));
        QCOMPARE(decoded.format, file.format);
        QCOMPARE(decoded.size, QSize(32, 32));
        QCOMPARE(decoded.bytes, QFileInfo(m_folder.filePath(file.name)).size());
        QVERIFY2(LargestDifference(decoded.image, FormatTile()) <= file.tolerance,
                 qPrintable(QString::number(LargestDifference(decoded.image, FormatTile()))));
        // Read by their bytes, never by their names: a WebP named .png is still a WebP.
        QFile::copy(m_folder.filePath(file.name),
                    m_folder.filePath("misnamed-" + file.name + ".png"));
        QCOMPARE(DecodeImageFile(pathOf(m_folder, "misnamed-" + file.name + ".png")).format,
                 file.format);
        // Fitted into a box, every kind comes no larger than the box, its own size told.
        const DecodedImage small = DecodeImageFile(pathOf(m_folder, file.name), {0, QSize(8, 8)});
        QCOMPARE(small.image.size(), QSize(8, 8));
        QCOMPARE(small.size, QSize(32, 32));
    }

    void damagedFilesGetAReason_data() {
        QTest::addColumn<QString>("name");
        for (const QString& name : m_broken)
            QTest::newRow(qPrintable(name)) << name;
        QTest::newRow("empty") << "empty.png";
        QTest::newRow("text") << "notes.webp";
        QTest::newRow("missing") << "missing.avif";
        QTest::newRow("folder") << "folder.svg";
        QTest::newRow("named pipe") << "pipe.png";
    }
    void damagedFilesGetAReason() {
        QFETCH(QString, name);
        QFile(m_folder.filePath("empty.png")).open(QIODevice::WriteOnly);
        QFile notes(m_folder.filePath("notes.webp"));
        if (notes.open(QIODevice::WriteOnly))
            notes.write("Nothing but words.\n");
        notes.close();
        QDir(m_folder.path()).mkpath("folder.svg");
        ::mkfifo(pathOf(m_folder, "pipe.png").constData(), 0600);
        const DecodedImage decoded = DecodeImageFile(pathOf(m_folder, name));
        QVERIFY(!decoded.ok());
        QVERIFY(!decoded.error.isEmpty());
        qInfo() << name << decoded.error;
    }

    void drawingsTakeTheSizeABrowserGivesThem_data() {
        QTest::addColumn<QByteArray>("attributes");
        QTest::addColumn<QSize>("size");
        QTest::newRow("width and height") << QByteArray("width='40' height='30'") << QSize(40, 30);
        QTest::newRow("units") << QByteArray("width='1in' height='12pt'") << QSize(96, 16);
        QTest::newRow("viewBox alone") << QByteArray("viewBox='0 0 64 32'") << QSize(64, 32);
        QTest::newRow("width and viewBox")
            << QByteArray("width='100' viewBox='0,0,50,25'") << QSize(100, 50);
        QTest::newRow("percentages")
            << QByteArray("width='100%' height='100%'") << UnsizedDrawingSize;
        QTest::newRow("no size at all") << QByteArray() << UnsizedDrawingSize;
        QTest::newRow("beyond any screen")
            << QByteArray("width='5000000' height='10'") << QSize(1000000, 10);
    }
    void drawingsTakeTheSizeABrowserGivesThem() {
        QFETCH(QByteArray, attributes);
        QFETCH(QSize, size);
        const DecodedImage decoded = DecodeImage(svg(attributes));
        QVERIFY2(decoded.ok(), qPrintable(decoded.error));
        QCOMPARE(decoded.size, size);
        QVERIFY(qint64(decoded.image.width()) * decoded.image.height() <=
                qint64(size.width()) * size.height());
    }

    void anUnsizedDrawingShowsItsOwnCoordinates() {
        // Qt alone would stretch the drawing's bounds (the square) over the whole image.
        const DecodedImage decoded =
            DecodeImage(svg("", "<rect x='10' y='10' width='20' height='20' fill='#ff0000'/>"));
        QCOMPARE(decoded.image.size(), UnsizedDrawingSize);
        QCOMPARE(QColor(decoded.image.pixel(20, 20)), QColor(Qt::red));
        QCOMPARE(qAlpha(decoded.image.pixel(100, 100)), 0);
    }

    void aDrawingIsDrawnReducedNotDecodedWhole() {
        const DecodedImage decoded = DecodeImage(svg("width='20000' height='20000'"), {4096, {}});
        QCOMPARE(decoded.size, QSize(20000, 20000));
        QCOMPARE(decoded.image.size(), QSize(64, 64));
    }

    void aDrawingLoadsNothingBesideItself_data() {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<bool>("shown");
        QTest::newRow("a file") << "red.png" << false;
        QTest::newRow("a named pipe") << "pipe.png" << false;
        QTest::newRow("a file address") << "file://%1/red.png" << false;
        QTest::newRow("data") << "data:image/png;base64,%2" << true;
    }
    void aDrawingLoadsNothingBesideItself() {
        QFETCH(QString, reference);
        QFETCH(bool, shown);
        QImage red(10, 10, QImage::Format_RGB32);
        red.fill(Qt::red);
        red.save(m_folder.filePath("red.png"));
        ::mkfifo(pathOf(m_folder, "pipe.png").constData(), 0600);
        QString href = reference;
        href.replace("%1", m_folder.path()).replace("%2", QString::fromLatin1(png(red).toBase64()));
        if (!href.contains(QLatin1Char(':')))
            href = m_folder.filePath(href);
        const QByteArray content = "<rect width='4' height='4' fill='#0000ff'/><image x='5' "
                                   "y='5' width='10' height='10' xlink:href='" +
                                   href.toUtf8() + "'/>";
        const DecodedImage decoded = DecodeImage(svg("width='20' height='20'", content));
        QVERIFY2(decoded.ok(), qPrintable(decoded.error));
        QCOMPARE(QColor(decoded.image.pixel(1, 1)), QColor(Qt::blue));
        QCOMPARE(decoded.image.pixelColor(10, 10) == QColor(Qt::red), shown);
    }

    void imagesBeyondTheLimitAreRefusedUnread() {
        // A PNG header that promises 100000 x 100000 pixels, and nothing behind it.
        QByteArray bytes = png(QImage(1, 1, QImage::Format_RGB32));
        const auto setWord = [&bytes](int at, quint32 value) {
            for (int i = 0; i < 4; ++i)
                bytes[at + i] = char(value >> (24 - 8 * i));
        };
        setWord(16, 100000);
        setWord(20, 100000);
        setWord(29, quint32(crc32(0, reinterpret_cast<const Bytef*>(bytes.constData() + 12), 17)));
        const DecodedImage decoded = DecodeImage(bytes);
        QVERIFY(!decoded.ok());
        QCOMPARE(decoded.size, QSize(100000, 100000));
        QVERIFY2(decoded.error.contains("too large"), qPrintable(decoded.error));
    }

    void gzipIsUnpackedWholeOrNotAtAll() {
        QFile file(m_folder.filePath("tile.svgz"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray packed = file.readAll();
        const std::optional<QByteArray> text = Gunzip(packed, 1 << 20);
        QVERIFY(text && text->contains("<svg"));
        // Two members are read one after the other; padding after the last is not read.
        QCOMPARE(Gunzip(packed + packed + QByteArray(8, '\0'), 1 << 20), *text + *text);
        QVERIFY(!Gunzip(packed.left(packed.size() - 10), 1 << 20));
        QVERIFY(!Gunzip(packed, text->size() - 1));
        QVERIFY(!Gunzip("plain text", 1 << 20));
    }
};

ZELVORIN_TEST_MAIN(TestImageDecoder)

#include "tst_ImageDecoder.moc"

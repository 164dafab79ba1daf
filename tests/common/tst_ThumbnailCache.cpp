// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The thumbnail cache against the freedesktop rules, checked on the files it writes: the
// name is the MD5 of the file URI (spelled here by hand, byte by byte), the text chunks
// are tEXt, the files are private, and a thumbnail whose Thumb::MTime no longer matches
// is made again.
#include "ImageFormatFolder.h"
#include "TestEnvironment.h"
#include "ThumbnailCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using namespace zelvorin;

namespace {

struct Chunk {
    QByteArray type;
    QByteArray data;
};

// The PNG's chunks as the file holds them, read without Qt's PNG reader.
QList<Chunk> pngChunks(const QByteArray& png) {
    QList<Chunk> chunks;
    if (!png.startsWith("\x89PNG\r\n\x1a\n"))
        return chunks;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const auto byte = [&](qsizetype i) { return quint32(quint8(png[at + i])); };
        const quint32 length = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
        chunks.append({png.mid(at + 4, 4), png.mid(at + 8, length)});
        at += 12 + length;
    }
    return chunks;
}

QMap<QByteArray, QByteArray> textChunks(const QByteArray& png, QByteArray* otherTextTypes) {
    QMap<QByteArray, QByteArray> texts;
    for (const Chunk& chunk : pngChunks(png)) {
        if (chunk.type == "tEXt") {
            const qsizetype nul = chunk.data.indexOf('\0');
            texts.insert(chunk.data.left(nul), chunk.data.mid(nul + 1));
        } else if (chunk.type == "zTXt" || chunk.type == "iTXt") {
            otherTextTypes->append(chunk.type);
        }
    }
    return texts;
}

QByteArray readRaw(const QByteArray& path) {
    QByteArray bytes;
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return bytes;
    char buffer[8192];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof(buffer))) > 0;)
        bytes.append(buffer, n);
    ::close(fd);
    return bytes;
}

bool writeRaw(const QByteArray& path, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && ok;
}

QByteArray pngOf(const QSize& size, const QColor& colour, const char* format = "PNG") {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

void setModified(const QByteArray& path, qint64 seconds) {
    const timeval times[2] = {{time_t(seconds), 0}, {time_t(seconds), 0}};
    QCOMPARE(::utimes(path.constData(), times), 0);
}

struct stat statOf(const QByteArray& path) {
    struct stat info {};
    ::stat(path.constData(), &info);
    return info;
}

QByteArray md5Name(const QByteArray& uri) {
    return QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() + ".png";
}

} // namespace

class ThumbnailCacheTest : public QObject {
    Q_OBJECT

    QByteArray m_work;
    QByteArray m_cacheRoot;

private slots:
    void initTestCase() {
        m_cacheRoot = qgetenv("XDG_CACHE_HOME") + "/thumbnails";
        m_work = qgetenv("HOME") + "/originals";
        QVERIFY(QDir().mkpath(QFile::decodeName(m_work)));
        // The URIs below are spelled by hand after this folder, which must need no escapes.
        for (const char c : m_work)
            QVERIFY2(QByteArray("/-_.").contains(c) || QChar(c).isLetterOrNumber(), m_work);
    }
    void nameOfTheRulesExample() {
        // The example of the thumbnail rules themselves.
        QCOMPARE(ThumbnailCache::fileName("file:///home/jens/photos/me.png"),
                 QByteArray("c6ee772d9e49320e97ec29a7eb5b1697.png"));
        QCOMPARE(ThumbnailCache::defaultRoot(), m_cacheRoot);
    }

    void namesAndMetadata_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("uriName");
        QTest::addColumn<int>("size");
        QTest::addColumn<QSize>("original");
        QTest::addColumn<QSize>("expected");
        const int normal = int(ThumbnailSize::Normal);
        const int large = int(ThumbnailSize::Large);
        QTest::newRow("plain") << QByteArray("photo.png") << QByteArray("photo.png") << normal
                               << QSize(300, 150) << QSize(128, 64);
        QTest::newRow("kept punctuation")
            << QByteArray("a!$&'()*+,-.=@_~z.png") << QByteArray("a!$&'()*+,-.=@_~z.png") << normal
            << QSize(100, 400) << QSize(32, 128);
        QTest::newRow("escaped") << QByteArray("a b#c%d[1]?;\"<>^`{|}\\.png")
                                 << QByteArray(
                                        "a%20b%23c%25d%5B1%5D%3F%3B%22%3C%3E%5E%60%7B%7C%7D%5C.png")
                                 << normal << QSize(40, 20) << QSize(40, 20);
        QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9 \xe2\x82\xac.png")
                               << QByteArray("caf%C3%A9%20%E2%82%AC.png") << large
                               << QSize(600, 300) << QSize(256, 128);
        QTest::newRow("not utf-8") << QByteArray("caf\xe9\xff.png") << QByteArray("caf%E9%FF.png")
                                   << normal << QSize(64, 64) << QSize(64, 64);
    }

    void namesAndMetadata() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, uriName);
        QFETCH(int, size);
        QFETCH(QSize, original);
        QFETCH(QSize, expected);
        const QByteArray path = m_work + '/' + name;
        QVERIFY(writeRaw(path, pngOf(original, Qt::darkCyan)));
        setModified(path, 1600000000);

        const ThumbnailCache cache;
        const ThumbnailResult result = cache.thumbnail(path, ThumbnailSize(size));
        QCOMPARE(int(result.status), int(ThumbnailResult::Status::Made));
        QCOMPARE(result.storeError, 0);
        QCOMPARE(result.image.size(), expected);

        const QByteArray uri = "file://" + m_work + '/' + uriName;
        QCOMPARE(ThumbnailCache::fileUri(path), uri);
        const QByteArray folder =
            m_cacheRoot + (ThumbnailSize(size) == ThumbnailSize::Large ? "/large" : "/normal");
        const QByteArray stored = folder + '/' + md5Name(uri);
        const QByteArray png = readRaw(stored);
        QVERIFY2(!png.isEmpty(), stored);

        QByteArray otherTexts;
        const QMap<QByteArray, QByteArray> texts = textChunks(png, &otherTexts);
        QCOMPARE(otherTexts, QByteArray());
        QCOMPARE(texts.value("Thumb::URI"), uri);
        QCOMPARE(texts.value("Thumb::MTime"), QByteArray("1600000000"));
        QCOMPARE(texts.value("Thumb::Size"), QByteArray::number(qint64(statOf(path).st_size)));
        QCOMPARE(texts.value("Software"), QByteArray("Zelvorin " ZELVORIN_VERSION));
        QCOMPARE(texts.value("Thumb::Image::Width"), QByteArray::number(original.width()));
        // Text before the image data, where readers find it without decoding.
        const QList<Chunk> chunks = pngChunks(png);
        QCOMPARE(chunks.first().type, QByteArray("IHDR"));
        QCOMPARE(chunks.last().type, QByteArray("IEND"));
        const QImage decoded = QImage::fromData(png, "PNG");
        QCOMPARE(decoded.size(), expected);
        QCOMPARE(decoded.pixelColor(expected.width() / 2, expected.height() / 2),
                 QColor(Qt::darkCyan));

        // Private: the file 0600, the folders made for it 0700, no temporary left.
        QCOMPARE(statOf(stored).st_mode & 0777, mode_t(0600));
        QCOMPARE(statOf(folder).st_mode & 0777, mode_t(0700));
        QCOMPARE(QDir(QFile::decodeName(folder)).entryList({"*.png.*"}, QDir::Files),
                 QStringList());

        // Asked again: taken from the cache.
        QCOMPARE(int(cache.thumbnail(path, ThumbnailSize(size)).status),
                 int(ThumbnailResult::Status::Found));
    }

    // The same tile in every image format of the web gets the PNG's thumbnail, stored by
    // its own name; a damaged file of each is recorded as a failure.
    void everyFormat_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("tolerance"); // -1: damaged
        const QString folder = QFile::decodeName(m_work) + "/formats";
        QDir().mkpath(folder);
        for (const test::FormatFile& file : test::WriteTileInEveryFormat(folder))
            QTest::newRow(qPrintable(file.name)) << file.name << file.tolerance;
        for (const QString& name : test::WriteBrokenFiles(folder))
            QTest::newRow(qPrintable(name)) << name << -1;
    }
    void everyFormat() {
        QFETCH(QString, name);
        QFETCH(int, tolerance);
        const ThumbnailCache cache(m_cacheRoot);
        const QByteArray path = m_work + "/formats/" + QFile::encodeName(name);
        const ThumbnailResult result = cache.thumbnail(path, ThumbnailSize::Normal);
        const QByteArray uri = ThumbnailCache::fileUri(path);
        if (tolerance < 0) {
            QCOMPARE(result.status, ThumbnailResult::Status::Failed);
            QVERIFY(QFile::exists(QFile::decodeName(cache.failurePath(uri))));
            return;
        }
        QCOMPARE(result.status, ThumbnailResult::Status::Made);
        QVERIFY(test::LargestDifference(result.image, test::FormatTile()) <= tolerance);
        QImage stored;
        QVERIFY(stored.load(QFile::decodeName(cache.thumbnailPath(uri, ThumbnailSize::Normal))));
        QCOMPARE(stored.text("Thumb::Image::Width"), QStringLiteral("32"));
        QCOMPARE(cache.thumbnail(path, ThumbnailSize::Normal).status,
                 ThumbnailResult::Status::Found);
    }

    void staleThumbnailIsMadeAgain_data() {
        QTest::addColumn<bool>("sameSize");
        QTest::newRow("written later") << false;
        QTest::newRow("same size, later time") << true;
    }

    void staleThumbnailIsMadeAgain() {
        QFETCH(bool, sameSize);
        // A bitmap's size depends on its dimensions only.
        const QByteArray path = m_work + "/changing.bmp";
        QVERIFY(writeRaw(path, pngOf(QSize(200, 200), Qt::red, "BMP")));
        setModified(path, 1600000000);
        const ThumbnailCache cache;
        QCOMPARE(int(cache.thumbnail(path, ThumbnailSize::Normal).status),
                 int(ThumbnailResult::Status::Made));

        const qint64 sizeBefore = qint64(statOf(path).st_size);
        QVERIFY(writeRaw(path, pngOf(QSize(sameSize ? 200 : 300, 200), Qt::blue, "BMP")));
        setModified(path, 1600000100);
        QCOMPARE(qint64(statOf(path).st_size) == sizeBefore, sameSize); // only the time tells
        const ThumbnailResult again = cache.thumbnail(path, ThumbnailSize::Normal);
        QCOMPARE(int(again.status), int(ThumbnailResult::Status::Made));
        QCOMPARE(again.image.pixelColor(10, 10), QColor(Qt::blue));
        QByteArray otherTexts;
        const QByteArray stored =
            cache.thumbnailPath(ThumbnailCache::fileUri(path), ThumbnailSize::Normal);
        QCOMPARE(textChunks(readRaw(stored), &otherTexts).value("Thumb::MTime"),
                 QByteArray("1600000100"));
        QCOMPARE(int(cache.thumbnail(path, ThumbnailSize::Normal).status),
                 int(ThumbnailResult::Status::Found));
    }

    void otherProgramsThumbnailsAreUsed() {
        // Another program may keep the text compressed (zTXt), as Qt itself writes long
        // texts; what counts is the text.
        const QByteArray path = m_work + "/shared.png";
        QVERIFY(writeRaw(path, pngOf(QSize(500, 500), Qt::red)));
        const QByteArray uri = "file://" + m_work + "/shared.png";
        QImage theirs(128, 128, QImage::Format_RGB32);
        theirs.fill(Qt::green);
        theirs.setText("Thumb::URI", QString::fromLatin1(uri));
        theirs.setText("Thumb::MTime", QString::number(statOf(path).st_mtime));
        const QByteArray stored = m_cacheRoot + "/normal/" + md5Name(uri);
        QVERIFY(QDir().mkpath(QFile::decodeName(m_cacheRoot + "/normal")));
        QVERIFY(theirs.save(QFile::decodeName(stored), "PNG"));

        const ThumbnailResult result = ThumbnailCache().thumbnail(path, ThumbnailSize::Normal);
        QCOMPARE(int(result.status), int(ThumbnailResult::Status::Found));
        QCOMPARE(result.image.pixelColor(5, 5), QColor(Qt::green));
    }

    void failuresAreRecordedUntilTheFileChanges() {
        const QByteArray path = m_work + "/broken.jpg";
        QVERIFY(writeRaw(path, "this is no JPEG"));
        setModified(path, 1600000000);
        const ThumbnailCache cache;
        QCOMPARE(int(cache.thumbnail(path, ThumbnailSize::Normal).status),
                 int(ThumbnailResult::Status::Failed));
        const QByteArray uri = ThumbnailCache::fileUri(path);
        const QByteArray record =
            m_cacheRoot + "/fail/zelvorin-" ZELVORIN_VERSION "/" + md5Name(uri);
        QCOMPARE(cache.failurePath(uri), record);
        QByteArray otherTexts;
        const QMap<QByteArray, QByteArray> texts = textChunks(readRaw(record), &otherTexts);
        QCOMPARE(texts.value("Thumb::URI"), uri);
        QCOMPARE(texts.value("Thumb::MTime"), QByteArray("1600000000"));
        QVERIFY(!QFile::exists(QFile::decodeName(cache.thumbnailPath(uri, ThumbnailSize::Normal))));

        // Recorded: not tried again (a cancelled request would have been tried).
        QCOMPARE(int(cache.thumbnail(path, ThumbnailSize::Normal, [] { return true; }).status),
                 int(ThumbnailResult::Status::Failed));
        // Once it changes, it is tried again.
        QImage image(30, 30, QImage::Format_RGB32);
        image.fill(Qt::yellow);
        QVERIFY(image.save(QFile::decodeName(path), "JPEG"));
        setModified(path, 1600000050);
        QCOMPARE(int(cache.thumbnail(path, ThumbnailSize::Normal).status),
                 int(ThumbnailResult::Status::Made));
    }

    // A write stopped before its rename (a killed program) leaves a temporary file; the
    // first thumbnail stored into that folder removes it, but not one young enough to be
    // another program's write under way, nor a file of another kind.
    void staleTemporaryFilesAreRemoved() {
        const QByteArray root = qgetenv("HOME") + "/temporaries-cache";
        const QByteArray normal = root + "/normal";
        QVERIFY(QDir().mkpath(QFile::decodeName(normal)));
        const QByteArray stale = normal + "/" + md5Name("file:///stale") + ".a1B2c3";
        const QByteArray young = normal + "/" + md5Name("file:///young") + ".x9Y8z7";
        const QByteArray other = normal + "/notes.txt.q1w2e3";
        for (const QByteArray& path : {stale, young, other})
            QVERIFY(writeRaw(path, "partial"));
        const qint64 hourAgo = QDateTime::currentSecsSinceEpoch() - 3600;
        setModified(stale, hourAgo);
        setModified(other, hourAgo);
        const QByteArray path = m_work + "/fresh.png";
        QVERIFY(writeRaw(path, pngOf(QSize(20, 20), Qt::blue)));
        QCOMPARE(int(ThumbnailCache(root).thumbnail(path, ThumbnailSize::Normal).status),
                 int(ThumbnailResult::Status::Made));
        QVERIFY(!QFile::exists(QFile::decodeName(stale)));
        QVERIFY(QFile::exists(QFile::decodeName(young)));
        QVERIFY(QFile::exists(QFile::decodeName(other)));
    }
};

ZELVORIN_TEST_MAIN(ThumbnailCacheTest)
#include "tst_ThumbnailCache.moc"

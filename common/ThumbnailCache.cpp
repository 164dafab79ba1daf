// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ThumbnailCache.h"

#include "FileStamp.h"
#include "ImageDecoder.h"
#include "PrivateFiles.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QImageWriter>
#include <QSet>

#include <array>
#include <mutex>

namespace zelvorin {

namespace {

const QByteArray UriKey = "Thumb::URI";
const QByteArray MTimeKey = "Thumb::MTime";
const QByteArray SizeKey = "Thumb::Size";

bool uriKeeps(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    static constexpr char Kept[] = "!$&'()*+,-./:=@_~";
    for (const char k : Kept) {
        if (k != 0 && c == static_cast<unsigned char>(k))
            return true;
    }
    return false;
}

quint32 crc32(const char* data, qsizetype size, quint32 crc = 0) {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (qsizetype i = 0; i < size; ++i)
        crc = table[(crc ^ static_cast<unsigned char>(data[i])) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void appendBigEndian(QByteArray& bytes, quint32 value) {
    bytes.append(char(value >> 24)).append(char(value >> 16)).append(char(value >> 8));
    bytes.append(char(value));
}

// The checks a cached file must pass for the original's URI and stamp. Thumbnails made by
// other programs may keep their text in zTXt or iTXt chunks; the image's text has all
// three. (QImageReader::text() cannot be asked: it takes keys only up to the first ":".)
bool isCurrent(const QImage& image, const QByteArray& uri, const platform::FileStamp& stamp) {
    if (image.text(QString::fromLatin1(UriKey)) != QString::fromLatin1(uri))
        return false;
    if (image.text(QString::fromLatin1(MTimeKey)) != QString::number(stamp.modifiedSeconds))
        return false;
    const QString size = image.text(QString::fromLatin1(SizeKey));
    return size.isEmpty() || size == QString::number(stamp.size);
}

// A cached file when it is current; a null image otherwise.
QImage readCurrent(const QByteArray& path, const QByteArray& uri,
                   const platform::FileStamp& stamp) {
    QFile file;
    if (platform::openForReading(path, file) != 0)
        return QImage();
    QImage image;
    if (!image.load(&file, "png") || !isCurrent(image, uri, stamp))
        return QImage();
    return image;
}

// Stores into the cache; the first time this program stores into a folder, it removes the
// temporary files writes stopped before their rename left there (the one state the cache
// keeps: which folders are clean).
int store(const QByteArray& path, const QByteArray& bytes) {
    static std::mutex lock;
    static QSet<QByteArray> cleaned;
    const QByteArray folder = path.left(path.lastIndexOf('/'));
    bool clean = false;
    {
        std::lock_guard<std::mutex> guard(lock);
        clean = !cleaned.contains(folder);
        cleaned.insert(folder);
    }
    if (clean)
        platform::removeStaleTemporaries(folder, ".png");
    return platform::writePrivateFile(path, bytes);
}

} // namespace

int thumbnailSide(ThumbnailSize size) {
    return size == ThumbnailSize::Large ? 256 : 128;
}

ThumbnailCache::ThumbnailCache(QByteArray root, QString software)
    : m_root(std::move(root)), m_software(std::move(software)) {
    while (m_root.size() > 1 && m_root.endsWith('/'))
        m_root.chop(1);
    m_failFolder = m_software.toLower().replace(QLatin1Char(' '), QLatin1Char('-')).toUtf8();
}

QByteArray ThumbnailCache::defaultRoot() {
    return platform::cacheHome() + "/thumbnails";
}

QString ThumbnailCache::defaultSoftware() {
    return QStringLiteral("Zelvorin " ZELVORIN_VERSION);
}

QByteArray ThumbnailCache::fileUri(const QByteArray& absolutePath) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    QByteArray uri = "file://";
    uri.reserve(uri.size() + absolutePath.size() * 3);
    for (const char ch : absolutePath) {
        const auto c = static_cast<unsigned char>(ch);
        if (uriKeeps(c)) {
            uri.append(ch);
        } else {
            uri.append('%');
            uri.append(Hex[c >> 4]);
            uri.append(Hex[c & 0xF]);
        }
    }
    return uri;
}

QByteArray ThumbnailCache::fileName(const QByteArray& uri) {
    return QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() + ".png";
}

QByteArray ThumbnailCache::thumbnailPath(const QByteArray& uri, ThumbnailSize size) const {
    const QByteArray folder = size == ThumbnailSize::Large ? "/large/" : "/normal/";
    return m_root + folder + fileName(uri);
}

QByteArray ThumbnailCache::failurePath(const QByteArray& uri) const {
    return m_root + "/fail/" + m_failFolder + '/' + fileName(uri);
}

ThumbnailResult ThumbnailCache::thumbnail(const QByteArray& absolutePath, ThumbnailSize size,
                                          const std::function<bool()>& cancelled) const {
    ThumbnailResult result;
    const platform::FileStamp stamp = platform::fileStamp(absolutePath);
    if (!stamp.exists || !stamp.regular)
        return result;
    // The cache's own files are never thumbnailed, or viewing the cache would grow it.
    if (absolutePath.startsWith(m_root + '/')) {
        result.status = ThumbnailResult::Status::Failed;
        return result;
    }
    const QByteArray uri = fileUri(absolutePath);
    const QByteArray path = thumbnailPath(uri, size);
    result.image = readCurrent(path, uri, stamp);
    if (!result.image.isNull()) {
        result.status = ThumbnailResult::Status::Found;
        return result;
    }
    const QByteArray failure = failurePath(uri);
    if (!readCurrent(failure, uri, stamp).isNull()) {
        result.status = ThumbnailResult::Status::Failed;
        return result;
    }
    if (cancelled && cancelled()) {
        result.status = ThumbnailResult::Status::Cancelled;
        return result;
    }

    const QList<QPair<QByteArray, QByteArray>> identity{
        {UriKey, uri},
        {MTimeKey, QByteArray::number(stamp.modifiedSeconds)},
        {SizeKey, QByteArray::number(stamp.size)},
        {"Software", m_software.toLatin1()}};
    const int side = thumbnailSide(size);
    // Decoding at the thumbnail's size lets JPEG skip most of its work and draws an SVG
    // right at it; smaller images keep their own size.
    const DecodedImage decoded = DecodeImageFile(absolutePath, {0, QSize(side, side)});
    QImage image = decoded.image;
    const QSize original = decoded.size;
    if (image.isNull()) {
        QImage mark(1, 1, QImage::Format_ARGB32);
        mark.fill(Qt::transparent);
        store(failure, pngWithText(mark, identity));
        result.status = ThumbnailResult::Status::Failed;
        return result;
    }
    image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                          : QImage::Format_RGB32);
    QList<QPair<QByteArray, QByteArray>> texts = identity;
    if (original.isValid()) {
        texts.append({"Thumb::Image::Width", QByteArray::number(original.width())});
        texts.append({"Thumb::Image::Height", QByteArray::number(original.height())});
    }
    result.storeError = store(path, pngWithText(image, texts));
    result.status = ThumbnailResult::Status::Made;
    result.image = std::move(image);
    return result;
}

QByteArray pngWithText(const QImage& image, const QList<QPair<QByteArray, QByteArray>>& texts) {
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        // A faster zlib level: about 6 % more bytes for 40 % of the time of the default,
        // which is most of the cost of making a thumbnail from a photograph.
        writer.setQuality(50);
        if (!writer.write(image))
            return QByteArray();
    }
    // Qt compresses long texts into zTXt chunks; the cache's rules name tEXt, so the chunks
    // are put in here instead, after the signature (8 bytes) and the IHDR chunk (25).
    constexpr qsizetype HeaderEnd = 8 + 25;
    if (png.size() < HeaderEnd || png.mid(12, 4) != "IHDR")
        return QByteArray();
    QByteArray chunks;
    for (const auto& [key, value] : texts) {
        const QByteArray data = "tEXt" + key + '\0' + value;
        appendBigEndian(chunks, quint32(data.size() - 4));
        chunks.append(data);
        appendBigEndian(chunks, crc32(data.constData(), data.size()));
    }
    png.insert(HeaderEnd, chunks);
    return png;
}

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DisplayOnlyImage.h"

#include "Gzip.h"
#include "ImageDecoder.h"
#include "LosslessNames.h"

#include <QImageIOHandler>
#include <QImageReader>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <cstring>
#include <memory>
#include <optional>

namespace zelvorin {

namespace {

// Source bytes encoded at a time: whole groups of three, about what the engine asks for.
constexpr qint64 Chunk = 3 * 16384;

QByteArray attribute(const char* name, const QString& value) {
    return ' ' + QByteArray(name) + "=\"" + value.toHtmlEscaped().toUtf8() + '"';
}

const char* const Open = "<svg xmlns=\"http://www.w3.org/2000/svg\"";
// The foreignObject is what keeps the picture from canvases; it shows nothing.
const char* const Seal = "><foreignObject width=\"0\" height=\"0\"/><image";

// A picture the engine draws as pixels, as the engine shows it: its size (turned as its
// orientation mark says) and its type.
struct Raster {
    QSize size;
    QByteArray type;
};

// WebP and AVIF pictures, read here: Qt reads the one only with a plugin the program does
// not require, the other not at all.
std::optional<Raster> webpOrAvif(const QByteArray& start) {
    const auto little = [&](qsizetype at, int bytes) {
        int value = 0;
        for (int i = bytes - 1; i >= 0; --i)
            value = value << 8 | quint8(start[at + i]);
        return value;
    };
    const auto big = [&](qsizetype at) {
        return int(quint32(quint8(start[at])) << 24 | quint8(start[at + 1]) << 16 |
                   quint8(start[at + 2]) << 8 | quint8(start[at + 3]));
    };
    if (start.startsWith("RIFF") && start.mid(8, 4) == "WEBP" && start.size() >= 30) {
        const QByteArray chunk = start.mid(12, 4);
        if (chunk == "VP8 ")
            return Raster{{little(26, 2) & 0x3FFF, little(28, 2) & 0x3FFF}, "image/webp"};
        if (chunk == "VP8L") {
            const int bits = little(21, 4);
            return Raster{{(bits & 0x3FFF) + 1, (bits >> 14 & 0x3FFF) + 1}, "image/webp"};
        }
        if (chunk == "VP8X")
            return Raster{{little(24, 3) + 1, little(27, 3) + 1}, "image/webp"};
        return std::nullopt;
    }
    const QByteArray brand = start.mid(8, 4);
    if (start.mid(4, 4) != "ftyp" || (brand != "avif" && brand != "avis"))
        return std::nullopt;
    const qsizetype spatial = start.indexOf("ispe");
    if (spatial < 0 || start.size() < spatial + 16)
        return std::nullopt;
    QSize size(big(spatial + 8), big(spatial + 12));
    const qsizetype rotation = start.indexOf("irot");
    if (rotation >= 0 && rotation + 4 < start.size() && (start[rotation + 4] & 1))
        size.transpose();
    return Raster{size, "image/avif"};
}

std::optional<Raster> otherRaster(QImageReader& reader) {
    QSize size = reader.size();
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    QByteArray format = reader.format();
    if (format == "jpg")
        format = "jpeg";
    else if (format == "ico" || format == "cur")
        format = "x-icon";
    return Raster{size, "image/" + format};
}

// The SVG takes the picture's size, and the picture fills it.
std::optional<QByteArray> rasterHead(const std::optional<Raster>& raster) {
    if (!raster || raster->size.isEmpty())
        return std::nullopt;
    return Open + attribute("width", QString::number(raster->size.width())) +
           attribute("height", QString::number(raster->size.height())) + Seal +
           " width=\"100%\" height=\"100%\" preserveAspectRatio=\"none\" href=\"data:" +
           raster->type + ";base64,";
}

// An SVG picture: the wrapper takes over the root's size and view box, so that it is laid
// out exactly as the file would be, and the file fills the same view box inside it.
std::optional<QByteArray> svgHead(QIODevice& file) {
    QXmlStreamReader xml(&file);
    while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::StartElement) {
    }
    if (xml.hasError() || xml.name() != QLatin1String("svg"))
        return std::nullopt;
    const QXmlStreamAttributes root = xml.attributes();
    QByteArray head = Open;
    for (const char* name : {"width", "height", "viewBox", "preserveAspectRatio"}) {
        if (root.hasAttribute(QLatin1String(name)))
            head += attribute(name, root.value(QLatin1String(name)).toString());
    }
    head += Seal;
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    const QStringList box = root.value(QLatin1String("viewBox"))
                                .toString()
                                .trimmed()
                                .split(separators, Qt::SkipEmptyParts);
    bool numbers = box.size() == 4;
    for (const QString& value : box) {
        bool ok = false;
        value.toDouble(&ok);
        numbers = numbers && ok;
    }
    if (numbers) {
        head += attribute("x", box[0]) + attribute("y", box[1]) + attribute("width", box[2]) +
                attribute("height", box[3]);
    } else {
        head += " width=\"100%\" height=\"100%\"";
    }
    return head + " preserveAspectRatio=\"none\" href=\"data:image/svg+xml;base64,";
}

} // namespace

DisplayOnlyImage::DisplayOnlyImage(QObject* parent) : QIODevice(parent) {}

DisplayOnlyImage* DisplayOnlyImage::open(const QByteArray& rawPath, QObject* parent) {
    std::unique_ptr<DisplayOnlyImage> image(new DisplayOnlyImage(parent));
    if (!platform::openForReading(image->m_file, rawPath))
        return nullptr;
    image->m_fileSize = image->m_file.size();
    std::optional<QByteArray> head;
    if (IsGzip(image->m_file.peek(2))) {
        head = image->unpackDrawing();
    } else if (const auto raster = webpOrAvif(image->m_file.peek(65536))) {
        head = rasterHead(raster);
    } else {
        QImageReader reader(&image->m_file);
        const QByteArray format = reader.format();
        if (format == "svg")
            head = image->m_file.seek(0) ? svgHead(image->m_file) : std::nullopt;
        else if (!format.isEmpty())
            head = rasterHead(otherRaster(reader));
    }
    if (!head)
        return nullptr;
    image->m_head = *head;
    image->m_tail = "\"/></svg>";
    // Unbuffered: each read starts where pos() says, so the engine's seeks need nothing more.
    image->QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    return image.release();
}

std::optional<QByteArray> DisplayOnlyImage::unpackDrawing() {
    const std::optional<QByteArray> text = GunzipFile(m_file, MaxImageFileBytes);
    if (!text)
        return std::nullopt;
    m_file.close();
    m_fileSize = text->size();
    m_unpacked.setData(*text);
    m_unpacked.open(QIODevice::ReadOnly);
    m_source = &m_unpacked;
    return svgHead(m_unpacked);
}

qint64 DisplayOnlyImage::size() const {
    return m_head.size() + 4 * ((m_fileSize + 2) / 3) + m_tail.size();
}

bool DisplayOnlyImage::readEncoded(qint64 offset, qint64 count, QByteArray& out) {
    const qint64 first = offset / 4 * 3;
    const qint64 skip = offset % 4;
    const qint64 groups = qMin((skip + count + 3) / 4, Chunk / 3);
    const qint64 length = qMin(groups * 3, m_fileSize - first);
    if (length <= 0 || !m_source->seek(first))
        return false;
    const QByteArray bytes = m_source->read(length);
    // A file that changed while it is read ends the picture as broken.
    if (bytes.size() != length)
        return false;
    out = bytes.toBase64().mid(skip, count);
    return true;
}

qint64 DisplayOnlyImage::readData(char* data, qint64 maxSize) {
    const qint64 encodedEnd = m_head.size() + 4 * ((m_fileSize + 2) / 3);
    const qint64 end = encodedEnd + m_tail.size();
    qint64 done = 0;
    while (done < maxSize) {
        const qint64 at = pos() + done;
        const qint64 wanted = maxSize - done;
        if (at >= end)
            break;
        QByteArray piece;
        if (at < m_head.size()) {
            piece = m_head.mid(at, wanted);
        } else if (at < encodedEnd) {
            if (!readEncoded(at - m_head.size(), qMin(wanted, encodedEnd - at), piece))
                return done > 0 ? done : -1;
        } else {
            piece = m_tail.mid(at - encodedEnd, wanted);
        }
        std::memcpy(data + done, piece.constData(), size_t(piece.size()));
        done += piece.size();
    }
    return done;
}

} // namespace zelvorin

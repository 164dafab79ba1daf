// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ImageFormatFolder.h"

#include "GifWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>

#include <avif/avif.h>
#include <zlib.h>

#include <algorithm>
#include <random>

namespace zelvorin::test {

namespace {

// Colours one grey step apart share their chroma, which JPEG keeps at half resolution and
// blends across blocks: so only their luma differs, which JPEG keeps per pixel.
const QRgb Squares[4] = {qRgb(100, 40, 50), qRgb(150, 90, 100), qRgb(200, 140, 150),
                         qRgb(250, 190, 200)};

QByteArray encoded(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    return writer.write(image) ? bytes : QByteArray();
}

QByteArray svgText() {
    QByteArray text = "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
                      "width=\"32\" height=\"32\">\n";
    for (int i = 0; i < 4; ++i) {
        text += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"16\" height=\"16\" fill=\"%3\"/>\n")
                    .arg(i % 2 * 16)
                    .arg(i / 2 * 16)
                    .arg(QColor(Squares[i]).name())
                    .toUtf8();
    }
    return text + "</svg>\n";
}

QByteArray gzipped(const QByteArray& data) {
    z_stream stream{};
    if (deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray out(int(deflateBound(&stream, uLong(data.size()))) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    const bool done = deflate(&stream, Z_FINISH) == Z_STREAM_END;
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return done ? out : QByteArray();
}

void appendChunk(QByteArray& png, qsizetype at, const QByteArray& type, const QByteArray& data) {
    QByteArray chunk;
    const auto bigEndian = [&chunk](quint32 value) {
        for (int shift = 24; shift >= 0; shift -= 8)
            chunk.append(char(value >> shift));
    };
    bigEndian(quint32(data.size()));
    const QByteArray body = type + data;
    chunk.append(body);
    bigEndian(
        quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()))));
    png.insert(at, chunk);
}

// A PNG made an animation of one frame: the acTL and fcTL chunks before its image data.
QByteArray animated(QByteArray png, const QSize& size) {
    constexpr qsizetype AfterHeader = 8 + 25;
    const auto word = [](quint32 value) {
        QByteArray bytes;
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.append(char(value >> shift));
        return bytes;
    };
    const QByteArray frame = word(0) + word(quint32(size.width())) + word(quint32(size.height())) +
                             word(0) + word(0) + QByteArray("\x00\x01\x00\x01\x00\x00", 6);
    appendChunk(png, AfterHeader, "fcTL", frame);
    appendChunk(png, AfterHeader, "acTL", word(1) + word(0));
    return png;
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return !bytes.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

QImage FormatTile() {
    QImage tile(32, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x)
            tile.setPixel(x, y, Squares[(y / 16) * 2 + x / 16]);
    }
    return tile;
}

QList<FormatFile> WriteTileInEveryFormat(const QString& folder) {
    const QImage tile = FormatTile();
    const QByteArray png = encoded(tile, "png");
    const QList<std::pair<FormatFile, QByteArray>> files{
        {{"tile.png", "png", 0}, png},
        {{"tile.jpg", "jpeg", 3}, encoded(tile, "jpeg", 100)},
        {{"tile.gif", "gif", 0}, EncodeGif(tile)},
        {{"tile.bmp", "bmp", 0}, encoded(tile, "bmp")},
        {{"tile.webp", "webp", 0}, encoded(tile, "webp", 100)},
        {{"tile.avif", "avif", 0}, EncodeAvif(tile, 100)},
        {{"tile.svg", "svg", 0}, svgText()},
        {{"tile.svgz", "svgz", 0}, gzipped(svgText())},
        {{"tile.ico", "ico", 0}, encoded(tile, "ico")},
        {{"tile.apng", "png", 0}, animated(png, tile.size())},
    };
    QList<FormatFile> written;
    for (const auto& [file, bytes] : files) {
        if (!write(QDir(folder).filePath(file.name), bytes))
            return {};
        written << file;
    }
    return written;
}

QStringList WriteBrokenFiles(const QString& folder) {
    QStringList names;
    const QDir dir(folder);
    for (const FormatFile& file : WriteTileInEveryFormat(folder)) {
        QFile good(dir.filePath(file.name));
        if (!good.open(QIODevice::ReadOnly))
            return {};
        // The format's own beginning, so that each is taken for what it claims to be, then
        // bytes no format reads (and too few for the pixels the header promises). GIF and
        // BMP readers show what there is of a cut file, as browsers do: theirs is damaged
        // from the header on.
        const int kept = file.format == "gif" ? 6 : file.format == "bmp" ? 2 : 40;
        QByteArray bytes = good.read(kept);
        bytes += QByteArray(200, char(0xA5));
        const QString name = QStringLiteral("broken.") + file.name.section(QLatin1Char('.'), 1);
        if (!write(dir.filePath(name), bytes))
            return {};
        names << name;
    }
    return names;
}

QByteArray EncodeAvif(const QImage& picture, int quality) {
    const bool lossless = quality >= 100;
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    avifImage* image =
        avifImageCreate(source.width(), source.height(), 8,
                        lossless ? AVIF_PIXEL_FORMAT_YUV444 : AVIF_PIXEL_FORMAT_YUV420);
    if (lossless) {
        // Lossless AVIF keeps the colours as they are, without turning them into YUV.
        image->matrixCoefficients = AVIF_MATRIX_COEFFICIENTS_IDENTITY;
        image->yuvRange = AVIF_RANGE_FULL;
    }
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, image);
    rgb.format = AVIF_RGB_FORMAT_BGRA;
    rgb.depth = 8;
    rgb.ignoreAlpha = AVIF_TRUE;
    rgb.pixels = const_cast<uint8_t*>(source.constBits());
    rgb.rowBytes = uint32_t(source.bytesPerLine());
    QByteArray bytes;
    if (avifImageRGBToYUV(image, &rgb) == AVIF_RESULT_OK) {
        avifEncoder* encoder = avifEncoderCreate();
        // libavif 0.11 knows only quantizers: 0 is lossless, 63 the coarsest.
        const int quantizer = lossless ? AVIF_QUANTIZER_LOSSLESS : (100 - quality) * 63 / 100;
        encoder->minQuantizer = encoder->maxQuantizer = quantizer;
        encoder->speed = 8;
        avifRWData out = AVIF_DATA_EMPTY;
        if (avifEncoderWrite(encoder, image, &out) == AVIF_RESULT_OK)
            bytes = QByteArray(reinterpret_cast<const char*>(out.data), qsizetype(out.size));
        avifRWDataFree(&out);
        avifEncoderDestroy(encoder);
    }
    avifImageDestroy(image);
    return bytes;
}

QImage RandomPixels(int width, int height, unsigned seed) {
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(seed);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y,
                           qRgb(int(random() % 256), int(random() % 256), int(random() % 256)));
    }
    return image;
}

int LargestDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return 256;
    const QImage first = a.convertToFormat(QImage::Format_ARGB32);
    const QImage second = b.convertToFormat(QImage::Format_ARGB32);
    int largest = 0;
    for (int y = 0; y < first.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(first.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(second.constScanLine(y));
        for (int x = 0; x < first.width(); ++x) {
            largest = std::max(
                {largest, std::abs(qRed(p[x]) - qRed(q[x])), std::abs(qGreen(p[x]) - qGreen(q[x])),
                 std::abs(qBlue(p[x]) - qBlue(q[x])), std::abs(qAlpha(p[x]) - qAlpha(q[x]))});
        }
    }
    return largest;
}

} // namespace zelvorin::test

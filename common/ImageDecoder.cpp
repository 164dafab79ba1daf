// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ImageDecoder.h"

#include "FileStamp.h"
#include "Gzip.h"
#include "ImageDecoderParts.h"
#include "LosslessNames.h"
#include "ShellOperations.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImageReader>

#include <cerrno>
#include <cmath>

namespace zelvorin {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("ImageDecoder", text);
}

} // namespace

namespace decoding {

qint64 PixelLimit() {
    const int megabytes = QImageReader::allocationLimit();
    return megabytes > 0 ? qint64(megabytes) * 1024 * 1024 / 4 : qint64(1) << 40;
}

QString ShownFormat(const QString& format) {
    if (format == QLatin1String("webp"))
        return QStringLiteral("WebP");
    return format.toUpper();
}

QString Damaged(const QString& format, const QString& reason) {
    const QString text = tr("Damaged %1 image").arg(ShownFormat(format));
    return reason.isEmpty() ? text : QStringLiteral("%1: %2").arg(text, reason);
}

QString TooLarge(const QSize& size) {
    return tr("The image is too large (%1 x %2)").arg(size.width()).arg(size.height());
}

QSize DrawingSize(const QSize& own, const DecodeOptions& options) {
    QSizeF size = own;
    if (options.fitIn.isValid() &&
        (own.width() > options.fitIn.width() || own.height() > options.fitIn.height()))
        size = size.scaled(options.fitIn, Qt::KeepAspectRatio);
    const auto reduceTo = [&size](qint64 pixels) {
        const double area = size.width() * size.height();
        if (pixels > 0 && area > double(pixels))
            size *= std::sqrt(double(pixels) / area);
    };
    reduceTo(options.reduceCheaplyTo);
    reduceTo(PixelLimit());
    return QSize(std::max(1, int(size.width())), std::max(1, int(size.height())));
}

} // namespace decoding

namespace {

using decoding::Damaged;

// The WebP decoder is a plugin (in its own Debian package): without it a WebP is still
// known, and the note says what is missing rather than calling it no image.
bool isWebp(const QByteArray& bytes) {
    return bytes.size() >= 12 && bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WEBP";
}

// JPEG scales by 1/2, 1/4 or 1/8 while decoding (rounding sizes up), so asking for exactly
// such a size costs no further scaling: a 6000 x 4000 photo at 1/8 takes a fraction of
// its full decode.
QSize cheapJpegSize(const QSize& stored, qint64 pixels) {
    auto scaled = [&](int divisor) {
        return QSize((stored.width() + divisor - 1) / divisor,
                     (stored.height() + divisor - 1) / divisor);
    };
    int divisor = 2;
    while (divisor < 8 && qint64(scaled(divisor).width()) * scaled(divisor).height() > pixels)
        divisor *= 2;
    return scaled(divisor);
}

// An icon file holds several pictures; browsers show the largest, and so does this.
void chooseLargestIcon(QImageReader& reader) {
    int best = 0;
    qint64 bestArea = -1;
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (!reader.jumpToImage(i))
            break;
        const QSize size = reader.size();
        if (qint64(size.width()) * size.height() > bestArea) {
            best = i;
            bestArea = qint64(size.width()) * size.height();
        }
    }
    reader.jumpToImage(best);
}

DecodedImage decodeWithQt(const QByteArray& bytes, const DecodeOptions& options) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    // Without a file name, the reader goes by the content alone.
    QImageReader reader(&buffer);
    const QString format = QString::fromLatin1(reader.format());
    if (format.isEmpty()) {
        if (isWebp(bytes))
            return {
                {}, {}, QStringLiteral("webp"), tr("WebP images need Qt's image format plugins")};
        return {{}, {}, {}, tr("Not an image")};
    }
    if (format == QLatin1String("svg") || format == QLatin1String("svgz"))
        return decoding::DecodeSvg(bytes, format, options);
    if (format == QLatin1String("ico"))
        chooseLargestIcon(reader);
    // Browsers turn photos upright by their orientation tag, for backgrounds too.
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (stored.isValid() && qint64(stored.width()) * stored.height() > decoding::PixelLimit())
        return {{}, stored, format, decoding::TooLarge(stored)};
    QSize scaled;
    if (stored.isValid() && options.fitIn.isValid() &&
        (stored.width() > options.fitIn.width() || stored.height() > options.fitIn.height()))
        scaled = stored.scaled(options.fitIn, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    else if (stored.isValid() && format == QLatin1String("jpeg") && options.reduceCheaplyTo > 0 &&
             qint64(stored.width()) * stored.height() > options.reduceCheaplyTo)
        scaled = cheapJpegSize(stored, options.reduceCheaplyTo);
    if (scaled.isValid())
        reader.setScaledSize(scaled);
    DecodedImage decoded;
    decoded.format = format;
    decoded.image = reader.read();
    if (decoded.image.isNull()) {
        decoded.error = Damaged(format, reader.errorString());
        return decoded;
    }
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    decoded.size = !stored.isValid() ? decoded.image.size() : turned ? stored.transposed() : stored;
    return decoded;
}

DecodedImage decodeBytes(const QByteArray& bytes, const DecodeOptions& options) {
    if (bytes.isEmpty())
        return {{}, {}, {}, tr("The file is empty")};
    DecodedImage decoded;
    if (IsGzip(bytes)) {
        // Browsers take gzip data for an image only as a compressed SVG drawing.
        const std::optional<QByteArray> text = Gunzip(bytes, MaxImageFileBytes);
        if (!text)
            return {{},
                    {},
                    QStringLiteral("svgz"),
                    Damaged(QStringLiteral("svgz"), tr("its compressed data is not complete"))};
        decoded = decoding::DecodeSvg(*text, QStringLiteral("svgz"), options);
    } else if (decoding::IsAvif(bytes)) {
        decoded = decoding::DecodeAvif(bytes);
    } else if (decoding::IsSvg(bytes)) {
        decoded = decoding::DecodeSvg(bytes, QStringLiteral("svg"), options);
    } else {
        decoded = decodeWithQt(bytes, options);
    }
    // Kinds that cannot decode reduced are scaled once decoded.
    if (decoded.ok() && options.fitIn.isValid() &&
        (decoded.image.width() > options.fitIn.width() ||
         decoded.image.height() > options.fitIn.height()))
        decoded.image =
            decoded.image.scaled(options.fitIn, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return decoded;
}

} // namespace

DecodedImage DecodeImage(const QByteArray& bytes, const DecodeOptions& options) {
    DecodedImage decoded = decodeBytes(bytes, options);
    decoded.bytes = bytes.size();
    return decoded;
}

DecodedImage DecodeImageFile(const QByteArray& rawPath, const DecodeOptions& options) {
    // Only a regular file is opened: opening a named pipe would wait for a writer.
    const platform::FileStamp stamp = platform::fileStamp(rawPath);
    if (!stamp.exists)
        return {{}, {}, {}, platform::errorText(rawPath.isEmpty() ? ENOENT : errno)};
    if (!stamp.regular)
        return {{}, {}, {}, tr("Not a file")};
    if (stamp.size > MaxImageFileBytes)
        return {{}, {}, {}, tr("The file is too large"), stamp.size};
    QFile file;
    if (!platform::openForReading(file, rawPath))
        return {{}, {}, {}, platform::errorText(errno)};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {{}, {}, {}, file.errorString()};
    return DecodeImage(bytes, options);
}

} // namespace zelvorin

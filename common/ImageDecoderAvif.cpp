// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// AVIF through libavif, the distribution's decoder (Qt 6.4 has no AVIF reader). Only the
// calls that libavif 0.11 (Debian 12) and 1.x (Debian 13) share are used.
#include "ImageDecoderParts.h"

#include <QCoreApplication>
#include <QThread>
#include <QTransform>

#include <avif/avif.h>

#include <algorithm>
#include <memory>

namespace zelvorin::decoding {

namespace {

struct DecoderDeleter {
    void operator()(avifDecoder* decoder) const { avifDecoderDestroy(decoder); }
};

QString reasonOf(avifResult result) {
    return QString::fromUtf8(avifResultToString(result));
}

} // namespace

bool IsAvif(const QByteArray& bytes) {
    // The file type box comes first and names the brands; libavif knows which are its own.
    if (bytes.size() < 12 || bytes.mid(4, 4) != "ftyp")
        return false;
    const avifROData data{reinterpret_cast<const uint8_t*>(bytes.constData()),
                          size_t(bytes.size())};
    return avifPeekCompatibleFileType(&data) == AVIF_TRUE;
}

DecodedImage DecodeAvif(const QByteArray& bytes) {
    const QString format = QStringLiteral("avif");
    std::unique_ptr<avifDecoder, DecoderDeleter> decoder(avifDecoderCreate());
    if (!decoder)
        return {{}, {}, format, Damaged(format)};
    // AV1 decodes in tiles and rows that threads share: two cores halve the time of a
    // 512 x 512 tile, whose note should come at once.
    decoder->maxThreads = std::clamp(QThread::idealThreadCount(), 1, 4);
    decoder->imageSizeLimit =
        uint32_t(std::min<qint64>(PixelLimit(), AVIF_DEFAULT_IMAGE_SIZE_LIMIT));
    avifResult result = avifDecoderSetIOMemory(
        decoder.get(), reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    if (result == AVIF_RESULT_OK)
        result = avifDecoderParse(decoder.get());
    if (result != AVIF_RESULT_OK)
        return {{}, {}, format, Damaged(format, reasonOf(result))};
    const QSize stored(int(decoder->image->width), int(decoder->image->height));
    if (qint64(stored.width()) * stored.height() > PixelLimit())
        return {{}, stored, format, TooLarge(stored)};
    // The first picture: an image sequence shows it until it moves on.
    result = avifDecoderNextImage(decoder.get());
    if (result != AVIF_RESULT_OK)
        return {{}, stored, format, Damaged(format, reasonOf(result))};

    // BGRA in memory is Qt's ARGB32 on a little-endian machine; libavif fills the alpha of
    // an image without one with opaque.
    QImage image(stored, QImage::Format_ARGB32);
    if (image.isNull())
        return {{}, stored, format, TooLarge(stored)};
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, decoder->image);
    rgb.format = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? AVIF_RGB_FORMAT_BGRA : AVIF_RGB_FORMAT_ARGB;
    rgb.depth = 8;
    rgb.pixels = image.bits();
    rgb.rowBytes = uint32_t(image.bytesPerLine());
    result = avifImageYUVToRGB(decoder->image, &rgb);
    if (result != AVIF_RESULT_OK)
        return {{}, stored, format, Damaged(format, reasonOf(result))};
    if (!decoder->alphaPresent)
        image.reinterpretAsFormat(QImage::Format_RGB32);
    // A rotation property turns the picture as the file asks (in quarter turns
    // anticlockwise), as browsers do.
    if (decoder->image->transformFlags & AVIF_TRANSFORM_IROT) {
        const int quarters = decoder->image->irot.angle % 4;
        if (quarters != 0)
            image = image.transformed(QTransform().rotate(-90.0 * quarters));
    }
    return {image, image.size(), format, QString()};
}

} // namespace zelvorin::decoding

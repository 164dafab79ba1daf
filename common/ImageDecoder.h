// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One way from an image file of the web to its pixels, whatever its kind, for everything
// the program works out from an image itself (thumbnails, the tile analysis, a web copy).
// The kind is read from the bytes, as browsers do, never from the name: PNG, JPEG, GIF,
// BMP and ICO through Qt's own readers, WebP through Qt's image format plugins, SVG and
// gzip-compressed SVG through Qt SVG, AVIF through libavif. An image that cannot be
// decoded comes back with a reason fit to show, never as a crash: the files come from
// anywhere.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace zelvorin {

struct DecodedImage {
    QImage image;      // null when the image could not be decoded
    QSize size;        // the image's own size, upright: what a page shows it at, also when
                       // `image` came reduced; invalid when not known
    QString format;    // "png", "jpeg", "gif", "bmp", "ico", "webp", "svg", "svgz", "avif", ...
    QString error;     // when `image` is null: why, as a sentence to show
    qint64 bytes = -1; // how many bytes the file (or data) holds; -1 when not known

    bool ok() const { return !image.isNull(); }
};

struct DecodeOptions {
    // Kinds that can be decoded reduced at little cost are, to no fewer pixels than this:
    // JPEG at 1/2, 1/4 or 1/8 of its size (its decoder then skips most of its work), SVG
    // drawn right at the smaller size. 0 keeps the image's own size.
    qint64 reduceCheaplyTo = 0;
    // When valid, the image comes scaled down to fit in it, its proportions kept; a
    // smaller one keeps its size.
    QSize fitIn;
};

// An SVG drawing with no size of its own (neither a width and height in absolute units
// nor a viewBox) is drawn at 300 x 150, the size CSS gives a replaced element that has
// none.
inline constexpr QSize UnsizedDrawingSize{300, 150};

// Bytes larger than this are not read as an image (nor gzip data that unpacks to more):
// no image of a web page comes near it.
inline constexpr qsizetype MaxImageFileBytes = 256 * 1024 * 1024;

DecodedImage DecodeImage(const QByteArray& bytes, const DecodeOptions& options = {});
// Reads the file at a raw path (its name's bytes) and decodes it; a file that cannot be
// read gets the system's reason.
DecodedImage DecodeImageFile(const QByteArray& rawPath, const DecodeOptions& options = {});

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A small GIF89a encoder. Qt reads GIF but cannot write it, and the shipped sample
// backgrounds include GIF tiles, so the program makes its own: the image is reduced to a
// palette of at most 256 colours (exactly, when it has no more than that; by median cut
// otherwise), and the indices are LZW-compressed as the GIF format requires.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

namespace zelvorin {

// An image as palette indices, one byte per pixel, rows without padding.
struct PaletteImage {
    int width = 0;
    int height = 0;
    QList<QRgb> palette;       // opaque colours, at most 256 entries
    int transparentIndex = -1; // palette entry drawn as transparent, or -1
    QByteArray indices;        // width * height entries
};

// Reduces an image to at most 256 colours. Pixels with alpha below 128 share one
// transparent entry; all others are treated as opaque. An image with few enough colours
// keeps every colour exactly.
PaletteImage QuantizeImage(const QImage& image);

// The LZW code stream of GIF image data (without the sub-block framing) for the given
// indices; every index must be below 2^minimumCodeSize.
QByteArray LzwCompress(const QByteArray& indices, int minimumCodeSize);

// The complete GIF89a file for the image; empty for a null or empty image.
QByteArray EncodeGif(const QImage& image);

// Writes EncodeGif(image) to the file at `path`, replacing it.
bool WriteGif(const QImage& image, const QString& path, QString* error = nullptr);

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One background tile in every image format of the web, and a damaged file of each: the
// folder the tests of decoding, thumbnails, galleries and backgrounds walk through.
#pragma once

#include <QImage>
#include <QList>
#include <QString>

namespace zelvorin::test {

// 32 x 32 pixels of four flat 16 x 16 squares: every format keeps it exactly (JPEG's
// blocks of 16 x 16 each hold one colour), so each decodes, and shows, like the PNG.
QImage FormatTile();

struct FormatFile {
    QString name;   // "tile.webp"
    QString format; // what the decoder names it: "webp"
    int tolerance;  // how far a channel may stray from the PNG's after decoding
};

// Writes "tile.png", "tile.jpg", "tile.gif", "tile.bmp", "tile.webp" (lossless),
// "tile.avif" (lossless), "tile.svg", "tile.svgz", "tile.ico" and "tile.apng" (one frame)
// into `folder`, the PNG first; an empty list when one cannot be written.
QList<FormatFile> WriteTileInEveryFormat(const QString& folder);

// Writes "broken.png", "broken.jpg", ... one a format, each starting as the format does
// and damaged after; returns their names.
QStringList WriteBrokenFiles(const QString& folder);

// The image as AVIF: lossless at quality 100 (as the tile above), else lossy, the higher
// the quality the finer; empty when libavif cannot encode it.
QByteArray EncodeAvif(const QImage& image, int quality);

// Every pixel drawn at random: a photograph as far as compression can tell.
QImage RandomPixels(int width, int height, unsigned seed);

// The greatest difference of a channel between two images of one size (alpha counts);
// 256 when their sizes differ.
int LargestDifference(const QImage& a, const QImage& b);

} // namespace zelvorin::test

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The background tiles shipped in the Samples folder, drawn by code so that the program
// carries no third-party artwork. Every tile repeats without a visible seam: each pattern
// is built from functions whose periods divide the tile's width and height.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

namespace zelvorin {

struct SampleTile {
    QString fileName;           // its extension names the file format
    QImage (*make)() = nullptr; // the tile's pixels (a drawing's as drawn at its own size)
    // A drawing's SVG text; null for a tile of pixels.
    QByteArray (*drawing)() = nullptr;
};

// Every tile, in a fixed order.
const QList<SampleTile>& SampleTiles();

} // namespace zelvorin

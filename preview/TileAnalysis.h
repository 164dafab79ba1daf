// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Judging a background tile before the user settles on it: how readable the page's text is
// on it, which single colour stands in for it, and whether it repeats without visible
// seams. Pure functions over QImage, plus one entry point that reads a file;
// TileAnalysisRunner calls that entry point off the UI thread.
#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

#include <bitset>
#include <optional>

namespace zelvorin::preview {

// WCAG 2 relative luminance of an sRGB colour: 0 (black) .. 1 (white).
double RelativeLuminance(QRgb colour);
// WCAG 2 contrast ratio of two relative luminances, in either order: 1 .. 21.
double ContrastRatio(double luminanceA, double luminanceB);

// How the step over one pair of opposite edges compares with the tile's own steps.
// A step is the mean difference in luma (Y' = 0.299 R' + 0.587 G' + 0.114 B', 0 .. 255)
// between the pixels of two neighbouring lines.
struct EdgeSeam {
    double edge = 0;  // last line against the first: where a copy meets the next one
    double inner = 0; // the largest step between two neighbouring lines inside the tile
    // What the edge adds over the tile's own texture. Judged against the largest inner
    // step, not against zero or the typical one: busy textures have large steps
    // everywhere, and stripes or checks drawn from the tile's corner rightly put one of
    // their boundaries on the edge.
    double excess() const { return edge > inner ? edge - inner : 0.0; }
};

// An edge whose step stands out from the tile's own steps by more than this shows as a
// seam. The tests place it between seamless tiles of many kinds (smooth, busy, hard
// edged, stored as JPEG, which stay under 2) and tiles cut short or drawn to break at
// the edge (5 and up).
inline constexpr double SeamThreshold = 3.5;

struct TileAnalysis {
    QSize size;                // the image's own size, also when a reduced copy was analysed
    QColor average;            // mean of the pixels' sRGB values
    double darkLuminance = 0;  // 5th percentile of the pixels' relative luminance
    double lightLuminance = 0; // 95th percentile
    EdgeSeam across;           // right column against the left
    EdgeSeam down;             // bottom row against the top
    bool reduced = false;      // a bounded sample of a large image was analysed
    // Which luminance levels occur between the two percentiles; the levels cut the range
    // black .. white into steps of equal contrast ratio. Text whose luminance falls
    // inside the tile's range is only as readable as the nearest of them.
    static constexpr int LevelCount = 4096;
    std::bitset<LevelCount> levels;
};

// More pixels than this are analysed on an even grid of at most this many.
inline constexpr qint64 MaxAnalysedPixels = 1024 * 1024;

// The analysis of an image; transparent parts count as the backdrop (the page colour
// behind the tile). Nothing for a null image.
std::optional<TileAnalysis> AnalyseTile(const QImage& image, const QColor& backdrop = Qt::white);

struct TileFileAnalysis {
    std::optional<TileAnalysis> analysis;
    QString error;     // why the file could not be read, when it could not
    qint64 bytes = -1; // the file's size; -1 when not known
};
// Reads and decodes the file once (any image of the web, see common/ImageDecoder.h) and
// analyses it. `path` is a path text (see platform/LosslessNames.h).
TileFileAnalysis AnalyseTileFile(const QString& path, const QColor& backdrop = Qt::white);

// The contrast of text of colour `text` against the tile where it is worst: against the
// 5th or 95th luminance percentile when the text is darker or lighter than both, and
// against the nearest level in between when the text's luminance lies between them.
double WorstTextContrast(const TileAnalysis& analysis, const QColor& text);

// Whether copies of the tile placed side by side (across) or one below the other (down)
// meet in a visible seam.
bool SeamVisibleAcross(const TileAnalysis& analysis);
bool SeamVisibleDown(const TileAnalysis& analysis);

} // namespace zelvorin::preview

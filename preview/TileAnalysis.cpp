// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "TileAnalysis.h"

#include "ImageDecoder.h"
#include "LosslessNames.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace zelvorin::preview {

namespace {

constexpr int LevelCount = TileAnalysis::LevelCount;

// Each channel's share of the WCAG 2 relative luminance, by its sRGB value: linearised,
// then weighted. (WCAG's cut-off 0.03928 and the sRGB standard's 0.04045 give the same
// result for every 8-bit value.)
struct LuminanceTables {
    std::array<double, 256> red{}, green{}, blue{};
};

const LuminanceTables& luminanceTables() {
    static const LuminanceTables tables = [] {
        LuminanceTables t;
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            const double linear = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
            t.red[size_t(i)] = 0.2126 * linear;
            t.green[size_t(i)] = 0.7152 * linear;
            t.blue[size_t(i)] = 0.0722 * linear;
        }
        return t;
    }();
    return tables;
}

double luminance(const LuminanceTables& t, QRgb c) {
    return t.red[size_t(qRed(c))] + t.green[size_t(qGreen(c))] + t.blue[size_t(qBlue(c))];
}

// Luminance mapped so that equal distances are equal contrast ratios: 0 for black, 1 for
// white, and a contrast of 21^d between two points d apart. Levels cut this scale into
// LevelCount equal bands.
double contrastScale(double luminance) {
    static const double range = std::log(21.0);
    return std::log((luminance + 0.05) / 0.05) / range;
}

// The level of a luminance without a logarithm per pixel: a coarse table gives the level
// at the bottom of a narrow luminance bucket, and since buckets are narrower than the
// narrowest level, one comparison with the next level's start finishes the job.
class LevelTable {
public:
    LevelTable() : m_coarse(CoarseSteps) {
        for (int i = 0; i <= LevelCount; ++i)
            m_start[size_t(i)] = 0.05 * std::pow(21.0, double(i) / LevelCount) - 0.05;
        int level = 0;
        for (int k = 0; k < CoarseSteps; ++k) {
            const double bottom = double(k) / CoarseSteps;
            while (level + 1 < LevelCount && m_start[size_t(level + 1)] <= bottom)
                ++level;
            m_coarse[size_t(k)] = quint16(level);
        }
    }
    int of(double luminance) const {
        const int k = std::clamp(int(luminance * CoarseSteps), 0, CoarseSteps - 1);
        int level = m_coarse[size_t(k)];
        while (level + 1 < LevelCount && m_start[size_t(level + 1)] <= luminance)
            ++level;
        return level;
    }

private:
    static constexpr int CoarseSteps = 1 << 16;
    std::array<double, LevelCount + 1> m_start{};
    std::vector<quint16> m_coarse;
};

const LevelTable& levelTable() {
    static const LevelTable table;
    return table;
}

// The difference of two colours in luma (Y' = 0.299 R' + 0.587 G' + 0.114 B'), in
// thousandths of a level. Luma, not the three channels apiece: seams show through
// lightness, while JPEG keeps colour at half resolution and decodes the outermost
// columns and rows of an image with colour fringes of several levels, which made
// seamless JPEG tiles look seamed (up to 10 levels at quality 75, 7 at 95, against under
// 2 in luma at any quality).
int difference(QRgb a, QRgb b) {
    return std::abs((qRed(a) - qRed(b)) * 299 + (qGreen(a) - qGreen(b)) * 587 +
                    (qBlue(a) - qBlue(b)) * 114);
}

// A pixel as it shows over the page colour.
QRgb over(QRgb pixel, QRgb backdrop) {
    const int a = qAlpha(pixel);
    if (a == 255)
        return pixel;
    auto blend = [a](int top, int bottom) { return (top * a + bottom * (255 - a) + 127) / 255; };
    return qRgb(blend(qRed(pixel), qRed(backdrop)), blend(qGreen(pixel), qGreen(backdrop)),
                blend(qBlue(pixel), qBlue(backdrop)));
}

// Index of the nearest-rank percentile `percent` among `count` sorted values.
qsizetype percentileIndex(qsizetype count, int percent) {
    return std::max<qsizetype>(0, (count * percent + 99) / 100 - 1);
}

} // namespace

double RelativeLuminance(QRgb colour) {
    return luminance(luminanceTables(), colour);
}

double ContrastRatio(double luminanceA, double luminanceB) {
    const double lighter = std::max(luminanceA, luminanceB);
    const double darker = std::min(luminanceA, luminanceB);
    return (lighter + 0.05) / (darker + 0.05);
}

std::optional<TileAnalysis> AnalyseTile(const QImage& source, const QColor& backdrop) {
    if (source.isNull())
        return std::nullopt;
    const bool alpha = source.hasAlphaChannel();
    const QImage::Format wanted = alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    const QImage image = source.format() == wanted ? source : source.convertToFormat(wanted);
    const int width = image.width();
    const int height = image.height();
    const QRgb back = backdrop.isValid() ? backdrop.rgb() : qRgb(255, 255, 255);

    // A large image is read on an even grid: every `step`-th pixel of every `step`-th row,
    // so the cost stays near MaxAnalysedPixels whatever the image's size (plus one line
    // of neighbour steps per grid line, see below). Colour and luminance spread are
    // properties of the whole surface, which such a grid keeps; the steps between
    // neighbours are still taken between adjacent pixels, so they stay comparable with
    // the step over the edge.
    const qint64 pixels = qint64(width) * height;
    int step = 1;
    while (pixels / (qint64(step) * step) > MaxAnalysedPixels)
        ++step;

    const LuminanceTables& tables = luminanceTables();
    const LevelTable& levels = levelTable();
    auto row = [&](int y) { return reinterpret_cast<const QRgb*>(image.constScanLine(y)); };
    auto shown = [&](const QRgb* line, int x) { return alpha ? over(line[x], back) : line[x]; };

    const size_t read = size_t((width + step - 1) / step) * size_t((height + step - 1) / step);
    std::vector<float> luminances;
    std::vector<quint16> levelOf; // of each luminance, for the percentiles below
    luminances.reserve(read);
    levelOf.reserve(read);
    std::vector<qsizetype> levelCounts(LevelCount, 0);
    quint64 red = 0, green = 0, blue = 0;
    // Sums of the steps between each column and the next (over the rows read), between
    // each row read and the one below it (over the columns read), and over the edges.
    std::vector<quint64> columnSteps(size_t(width), 0);
    std::vector<quint64> rowSteps(size_t(height), 0);
    quint64 edgeAcross = 0, edgeDown = 0;
    qint64 rowsRead = 0, columnsRead = 0;
    const QRgb* bottom = row(height - 1);
    for (int y = 0; y < height; y += step) {
        const QRgb* line = row(y);
        const QRgb* next = y + 1 < height ? row(y + 1) : nullptr;
        ++rowsRead;
        edgeAcross += quint64(difference(shown(line, width - 1), shown(line, 0)));
        quint64 below = 0;
        for (int x = 0; x < width; x += step) {
            const QRgb p = shown(line, x);
            red += quint64(qRed(p));
            green += quint64(qGreen(p));
            blue += quint64(qBlue(p));
            const double l = luminance(tables, p);
            const int level = levels.of(l);
            luminances.push_back(float(l));
            levelOf.push_back(quint16(level));
            ++levelCounts[size_t(level)];
            if (step == 1 && x + 1 < width)
                columnSteps[size_t(x)] += quint64(difference(p, shown(line, x + 1)));
            if (step == 1 && next)
                below += quint64(difference(p, shown(next, x)));
            if (y == 0) {
                edgeDown += quint64(difference(shown(bottom, x), p));
                ++columnsRead;
            }
        }
        rowSteps[size_t(y)] = below;
    }
    if (step > 1) {
        // On a grid the steps to the next column are still taken at every column (on the
        // rows read), and those to the next row at every row (on the columns read): a
        // sharp line inside the image falls between two grid points more often than not,
        // and missing it would make the tile's own edges stand out as seams.
        for (int y = 0; y < height; y += step) {
            const QRgb* line = row(y);
            for (int x = 0; x + 1 < width; ++x)
                columnSteps[size_t(x)] += quint64(difference(shown(line, x), shown(line, x + 1)));
        }
        for (int y = 0; y + 1 < height; ++y) {
            const QRgb* line = row(y);
            const QRgb* next = row(y + 1);
            quint64 below = 0;
            for (int x = 0; x < width; x += step)
                below += quint64(difference(shown(line, x), shown(next, x)));
            rowSteps[size_t(y)] = below;
        }
    }

    TileAnalysis result;
    result.size = image.size();
    result.reduced = step > 1;
    const auto count = qsizetype(luminances.size());
    result.average = QColor(int((red + quint64(count) / 2) / quint64(count)),
                            int((green + quint64(count) / 2) / quint64(count)),
                            int((blue + quint64(count) / 2) / quint64(count)));
    // Sums are of thousandths of a level over a number of pixels.
    auto mean = [](quint64 sum, qint64 n) { return double(sum) / double(n) / 1000.0; };
    const quint64 largestColumnStep = *std::max_element(columnSteps.begin(), columnSteps.end());
    const quint64 largestRowStep = *std::max_element(rowSteps.begin(), rowSteps.end());
    result.across = {mean(edgeAcross, rowsRead), mean(largestColumnStep, rowsRead)};
    result.down = {mean(edgeDown, columnsRead), mean(largestRowStep, columnsRead)};

    // The value of a rank: the level counts say which level holds it, and only that
    // level's values need ordering.
    auto valueAt = [&](qsizetype rank) {
        int level = 0;
        while (rank >= levelCounts[size_t(level)])
            rank -= levelCounts[size_t(level++)];
        std::vector<float> inLevel;
        inLevel.reserve(size_t(levelCounts[size_t(level)]));
        for (size_t i = 0; i < luminances.size(); ++i) {
            if (levelOf[i] == level)
                inLevel.push_back(luminances[i]);
        }
        std::nth_element(inLevel.begin(), inLevel.begin() + rank, inLevel.end());
        return inLevel[size_t(rank)];
    };
    result.darkLuminance = valueAt(percentileIndex(count, 5));
    result.lightLuminance = valueAt(percentileIndex(count, 95));
    const int darkLevel = levels.of(result.darkLuminance);
    const int lightLevel = levels.of(result.lightLuminance);
    for (int level = darkLevel; level <= lightLevel; ++level) {
        if (levelCounts[size_t(level)] > 0)
            result.levels.set(size_t(level));
    }
    return result;
}

TileFileAnalysis AnalyseTileFile(const QString& path, const QColor& backdrop) {
    // A large JPEG is decoded reduced straight away and a large drawing drawn smaller;
    // other kinds have no cheap reduced decode: they are decoded in full and sampled.
    const DecodedImage decoded =
        DecodeImageFile(platform::encodePath(path), {MaxAnalysedPixels, QSize()});
    if (!decoded.ok())
        return {std::nullopt,
                decoded.error.isEmpty() ? QStringLiteral("Unknown error") : decoded.error,
                decoded.bytes};
    std::optional<TileAnalysis> analysis = AnalyseTile(decoded.image, backdrop);
    if (analysis && decoded.size != decoded.image.size()) {
        analysis->size = decoded.size;
        analysis->reduced = true;
    }
    return {analysis, QString(), decoded.bytes};
}

double WorstTextContrast(const TileAnalysis& analysis, const QColor& text) {
    const double luminance = RelativeLuminance(text.rgb());
    if (luminance <= analysis.darkLuminance)
        return ContrastRatio(luminance, analysis.darkLuminance);
    if (luminance >= analysis.lightLuminance)
        return ContrastRatio(luminance, analysis.lightLuminance);
    // The text's luminance lies within the tile's own range: the worst place is the pixel
    // level nearest to it. A level is a band of the contrast scale; the distance is taken
    // to the band's near end, so the figure errs, by under 0.1 %, on the low side.
    const double position = contrastScale(luminance) * LevelCount;
    double nearest = LevelCount;
    for (int level = 0; level < LevelCount; ++level) {
        if (!analysis.levels.test(size_t(level)))
            continue;
        const double distance =
            position < level ? level - position : std::max(0.0, position - (level + 1));
        nearest = std::min(nearest, distance);
    }
    return std::pow(21.0, nearest / LevelCount);
}

bool SeamVisibleAcross(const TileAnalysis& analysis) {
    return analysis.across.excess() > SeamThreshold;
}

bool SeamVisibleDown(const TileAnalysis& analysis) {
    return analysis.down.excess() > SeamThreshold;
}

} // namespace zelvorin::preview

#include "TileAnalysis.h"

#include <QImageReader>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace zelvorin::preview {

namespace {

// sRGB channel value -> linear light, as WCAG 2 defines it. (WCAG's cut-off 0.03928 and
// the sRGB standard's 0.04045 give the same result for every 8-bit value.)
const std::array<double, 256>& linearTable() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            t[size_t(i)] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return t;
    }();
    return table;
}

double luminance(const std::array<double, 256>& linear, QRgb c) {
    return 0.2126 * linear[size_t(qRed(c))] + 0.7152 * linear[size_t(qGreen(c))] +
           0.0722 * linear[size_t(qBlue(c))];
}

// Luminance mapped so that equal distances are equal contrast ratios: 0 for black, 1 for
// white, and a contrast of 21^d between two points d apart.
double contrastScale(double luminance) {
    static const double range = std::log(21.0);
    return std::log((luminance + 0.05) / 0.05) / range;
}

int levelOf(double luminance) {
    const int level = int(contrastScale(luminance) * TileAnalysis::LevelCount);
    return std::clamp(level, 0, TileAnalysis::LevelCount - 1);
}

int difference(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
           std::abs(qBlue(a) - qBlue(b));
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
    return luminance(linearTable(), colour);
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
    // so the cost stays near MaxAnalysedPixels whatever the image's size. Colour,
    // luminance spread and seams are properties of the whole surface, which such a grid
    // keeps; the neighbour steps are still taken between adjacent pixels, so they stay
    // comparable with the step over the edge.
    const qint64 pixels = qint64(width) * height;
    int step = 1;
    while (pixels / (qint64(step) * step) > MaxAnalysedPixels)
        ++step;

    const auto& linear = linearTable();
    auto at = [&](int x, int y) {
        const QRgb p = reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
        return alpha ? over(p, back) : p;
    };

    std::vector<float> luminances;
    luminances.reserve(size_t((width + step - 1) / step) * size_t((height + step - 1) / step));
    quint64 red = 0, green = 0, blue = 0;
    // Sums of the steps between each column and the next (over the rows read), between
    // each row read and the one below it (over the columns read), and over the edges.
    std::vector<quint64> columnSteps(size_t(width), 0);
    std::vector<quint64> rowSteps(size_t(height), 0);
    quint64 edgeAcross = 0, edgeDown = 0;
    qint64 rowsRead = 0, columnsRead = 0;
    for (int y = 0; y < height; y += step) {
        ++rowsRead;
        edgeAcross += quint64(difference(at(width - 1, y), at(0, y)));
        quint64 below = 0;
        for (int x = 0; x < width; x += step) {
            const QRgb p = at(x, y);
            red += quint64(qRed(p));
            green += quint64(qGreen(p));
            blue += quint64(qBlue(p));
            luminances.push_back(float(luminance(linear, p)));
            if (x + 1 < width)
                columnSteps[size_t(x)] += quint64(difference(p, at(x + 1, y)));
            if (y + 1 < height)
                below += quint64(difference(p, at(x, y + 1)));
            if (y == 0) {
                edgeDown += quint64(difference(at(x, height - 1), p));
                ++columnsRead;
            }
        }
        rowSteps[size_t(y)] = below;
    }

    TileAnalysis result;
    result.size = image.size();
    result.reduced = step > 1;
    const auto count = qsizetype(luminances.size());
    result.average = QColor(int((red + quint64(count) / 2) / quint64(count)),
                            int((green + quint64(count) / 2) / quint64(count)),
                            int((blue + quint64(count) / 2) / quint64(count)));
    // Sums are of three channels over a number of pixels; a difference is the mean per
    // channel.
    auto mean = [](quint64 sum, qint64 n) { return double(sum) / double(n) / 3.0; };
    const quint64 largestColumnStep = *std::max_element(columnSteps.begin(), columnSteps.end());
    const quint64 largestRowStep = *std::max_element(rowSteps.begin(), rowSteps.end());
    result.across = {mean(edgeAcross, rowsRead), mean(largestColumnStep, rowsRead)};
    result.down = {mean(edgeDown, columnsRead), mean(largestRowStep, columnsRead)};

    const qsizetype dark = percentileIndex(count, 5);
    const qsizetype light = percentileIndex(count, 95);
    std::nth_element(luminances.begin(), luminances.begin() + dark, luminances.end());
    const float darkValue = luminances[size_t(dark)];
    if (light > dark)
        std::nth_element(luminances.begin() + dark + 1, luminances.begin() + light,
                         luminances.end());
    const float lightValue = luminances[size_t(light)];
    result.darkLuminance = darkValue;
    result.lightLuminance = lightValue;
    for (const float value : luminances) {
        if (value >= darkValue && value <= lightValue)
            result.levels.set(size_t(levelOf(value)));
    }
    return result;
}

TileFileAnalysis AnalyseTileFile(const QString& path, const QColor& backdrop) {
    QImageReader reader(path);
    // Browsers turn photos upright by their orientation tag for backgrounds too; which
    // edges meet depends on it.
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    const qint64 pixels = stored.isValid() ? qint64(stored.width()) * stored.height() : 0;
    // A large JPEG is decoded at a reduced scale straight away: the decoder then skips
    // most of its work (a 6000 x 4000 photo decodes in a fraction of the full time), and
    // the analysis would sample the full image down to about this size anyway. Other
    // formats have no cheap reduced decode; they are decoded in full and sampled.
    if (pixels > MaxAnalysedPixels && reader.format() == "jpeg") {
        const double factor = std::sqrt(double(MaxAnalysedPixels) / double(pixels));
        reader.setScaledSize(QSize(std::max(1, int(stored.width() * factor)),
                                   std::max(1, int(stored.height() * factor))));
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        const QString reason = reader.errorString();
        return {std::nullopt, reason.isEmpty() ? QStringLiteral("Unknown error") : reason};
    }
    std::optional<TileAnalysis> analysis = AnalyseTile(image, backdrop);
    if (analysis && reader.scaledSize().isValid()) {
        const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
        analysis->size = turned ? stored.transposed() : stored;
        analysis->reduced = true;
    }
    return {analysis, QString()};
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
    const double position = contrastScale(luminance) * TileAnalysis::LevelCount;
    double nearest = TileAnalysis::LevelCount;
    for (int level = 0; level < TileAnalysis::LevelCount; ++level) {
        if (!analysis.levels.test(size_t(level)))
            continue;
        const double distance =
            position < level ? level - position : std::max(0.0, position - (level + 1));
        nearest = std::min(nearest, distance);
    }
    return std::pow(21.0, nearest / TileAnalysis::LevelCount);
}

bool SeamVisibleAcross(const TileAnalysis& analysis) {
    return analysis.across.excess() > SeamThreshold;
}

bool SeamVisibleDown(const TileAnalysis& analysis) {
    return analysis.down.excess() > SeamThreshold;
}

} // namespace zelvorin::preview

#include "GradBtnArithmetic.h"

#include <cmath>
#include <limits>

namespace zelvorin::gradient {

namespace {

// Index of a system colour value to the palette role that stands in for it on this desktop.
QPalette::ColorRole systemColorRole(quint32 index) {
    switch (index) {
    case 5: // window background
        return QPalette::Base;
    case 7:  // menu text
    case 8:  // window text
    case 9:  // caption text
    case 19: // inactive caption text
        return QPalette::WindowText;
    case 13:
        return QPalette::Highlight;
    case 14:
        return QPalette::HighlightedText;
    case 15: // button face
        return QPalette::Button;
    case 16: // button shadow
        return QPalette::Dark;
    case 18:
        return QPalette::ButtonText;
    case 20: // button highlight
        return QPalette::Light;
    case 21: // 3D dark shadow
        return QPalette::Shadow;
    case 22: // 3D light
        return QPalette::Midlight;
    case 23:
        return QPalette::ToolTipText;
    case 24:
        return QPalette::ToolTipBase;
    case 26:
        return QPalette::Link;
    default:
        return QPalette::Window;
    }
}

int channelStep(int begin, int delta, int step, int lastStep) {
    return (begin + MulDiv(step, delta, lastStep)) & 0xFF;
}

// Without an outline a shape stops one pixel short of its box's right and bottom, which
// is why the boxes start two pixels beyond the face.
GradientFill outlineFreeShape(double left, double top, double right, double bottom, quint32 color,
                              bool ellipse) {
    return {int(std::trunc(left)),
            int(std::trunc(top)),
            int(std::trunc(right)) - 1,
            int(std::trunc(bottom)) - 1,
            color,
            ellipse};
}

} // namespace

QColor toQColor(quint32 value, const QPalette& palette) {
    if (value & SystemColorFlag) {
        if (value == 0x80000011u) // grey text
            return palette.color(QPalette::Disabled, QPalette::Text);
        return palette.color(systemColorRole(value & 0xFFu));
    }
    return QColor(redOf(value), greenOf(value), blueOf(value));
}

quint32 fromQColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return colorValue(rgb.red(), rgb.green(), rgb.blue());
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0)
        return -1;
    qint64 a = number;
    qint64 d = denominator;
    if (d < 0) {
        a = -a;
        d = -d;
    }
    const qint64 product = a * qint64(numerator);
    const qint64 result = product >= 0 ? (product + d / 2) / d : (product - d / 2) / d;
    if (result > std::numeric_limits<int>::max() || result < -std::numeric_limits<int>::max())
        return -1;
    return int(result);
}

quint32 gradientStepColor(quint32 beginColor, quint32 endColor, int step, int lastStep) {
    const int r0 = redOf(beginColor), g0 = greenOf(beginColor), b0 = blueOf(beginColor);
    const int dr = redOf(endColor) - r0;
    const int dg = greenOf(endColor) - g0;
    const int db = blueOf(endColor) - b0;
    return colorValue(channelStep(r0, dr, step, lastStep), channelStep(g0, dg, step, lastStep),
                      channelStep(b0, db, step, lastStep));
}

std::vector<GradientFill> gradientFills(TGradientStyle style, int width, int height,
                                        quint32 beginColor, quint32 endColor) {
    std::vector<GradientFill> fills;
    auto color = [&](int step, int lastStep) {
        return gradientStepColor(beginColor, endColor, step, lastStep);
    };
    switch (style) {
    case TGradientStyle::gsHorizontal:
        fills.reserve(256);
        for (int i = 0; i <= 255; ++i)
            fills.push_back(
                {bandEdge(i, width), 0, bandEdge(i + 1, width), height, color(i, 255), false});
        break;
    case TGradientStyle::gsVertical:
        fills.reserve(256);
        for (int i = 0; i <= 255; ++i)
            fills.push_back(
                {0, bandEdge(i, height), width, bandEdge(i + 1, height), color(i, 255), false});
        break;
    case TGradientStyle::gsElliptic: {
        // The box starts a quarter outside the face and closes in on its centre (plus the
        // two pixels the shape's exclusive edges take off).
        double left = -width / 4.0, top = -height / 4.0;
        double right = width + width / 4.0 + 4, bottom = height + height / 4.0 + 4;
        const double dx = 0.75 * width / 155, dy = 0.75 * height / 155;
        fills.reserve(156);
        for (int i = 0; i <= 155; ++i) {
            left += dx;
            top += dy;
            right -= dx;
            bottom -= dy;
            fills.push_back(outlineFreeShape(left, top, right, bottom, color(i, 155), true));
        }
        break;
    }
    case TGradientStyle::gsRectangle: {
        double left = 0, top = 0, right = width + 2, bottom = height + 2;
        const double dx = 0.5 * width / 255, dy = 0.5 * height / 255;
        fills.reserve(256);
        for (int i = 0; i <= 255; ++i) {
            left += dx;
            top += dy;
            right -= dx;
            bottom -= dy;
            fills.push_back(outlineFreeShape(left, top, right, bottom, color(i, 255), false));
        }
        break;
    }
    case TGradientStyle::gsVertCenter: {
        const int half = height / 2;
        for (int i = 0; i <= half; ++i) {
            const quint32 c = color(i, half);
            fills.push_back({0, i, width, i + 1, c, false});
            fills.push_back({0, height - i - 1, width, height - i, c, false});
        }
        break;
    }
    case TGradientStyle::gsHorizCenter: {
        const int half = width / 2;
        for (int i = 0; i <= half; ++i) {
            const quint32 c = color(i, half);
            fills.push_back({i, 0, i + 1, height, c, false});
            fills.push_back({width - i - 1, 0, width - i, height, c, false});
        }
        break;
    }
    }
    return fills;
}

bool frameSizeAllowed(int frameSize, int width, int height) {
    return frameSize <= width / 2 - 5 && frameSize <= height / 2 - 5;
}

QString stripAccelerators(const QString& caption) {
    QString stripped;
    if (caption.isEmpty())
        return stripped;
    stripped.reserve(caption.size());
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) == u'&' && caption.at(i + 1) != u'&')
            continue;
        stripped.append(caption.at(i));
    }
    stripped.append(caption.back());
    return stripped;
}

} // namespace zelvorin::gradient

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "GradientArithmetic.h"

#include <cmath>
#include <limits>

namespace zelvorin::gradient {

namespace {

int channelStep(int begin, int delta, int step, int lastStep) {
    return (begin + MulDiv(step, delta, lastStep)) & 0xFF;
}

// Without an outline a shape stops one pixel short of its box's right and bottom, which
// is why the boxes start two pixels beyond the face.
GradientFill outlineFreeShape(double left, double top, double right, double bottom,
                              const QColor& color, bool ellipse) {
    return {int(std::trunc(left)),
            int(std::trunc(top)),
            int(std::trunc(right)) - 1,
            int(std::trunc(bottom)) - 1,
            color,
            ellipse};
}

} // namespace

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

QColor gradientStepColor(const QColor& beginColor, const QColor& endColor, int step, int lastStep) {
    const int r0 = beginColor.red(), g0 = beginColor.green(), b0 = beginColor.blue();
    const int dr = endColor.red() - r0;
    const int dg = endColor.green() - g0;
    const int db = endColor.blue() - b0;
    return QColor(channelStep(r0, dr, step, lastStep), channelStep(g0, dg, step, lastStep),
                  channelStep(b0, db, step, lastStep));
}

std::vector<GradientFill> gradientFills(GradientStyle style, int width, int height,
                                        const QColor& beginColor, const QColor& endColor) {
    std::vector<GradientFill> fills;
    auto color = [&](int step, int lastStep) {
        return gradientStepColor(beginColor, endColor, step, lastStep);
    };
    switch (style) {
    case GradientStyle::Horizontal:
        fills.reserve(256);
        for (int i = 0; i <= 255; ++i)
            fills.push_back(
                {bandEdge(i, width), 0, bandEdge(i + 1, width), height, color(i, 255), false});
        break;
    case GradientStyle::Vertical:
        fills.reserve(256);
        for (int i = 0; i <= 255; ++i)
            fills.push_back(
                {0, bandEdge(i, height), width, bandEdge(i + 1, height), color(i, 255), false});
        break;
    case GradientStyle::Elliptic: {
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
    case GradientStyle::Rectangle: {
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
    case GradientStyle::VerticalCenter: {
        const int half = height / 2;
        for (int i = 0; i <= half; ++i) {
            const QColor c = color(i, half);
            fills.push_back({0, i, width, i + 1, c, false});
            fills.push_back({0, height - i - 1, width, height - i, c, false});
        }
        break;
    }
    case GradientStyle::HorizontalCenter: {
        const int half = width / 2;
        for (int i = 0; i <= half; ++i) {
            const QColor c = color(i, half);
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

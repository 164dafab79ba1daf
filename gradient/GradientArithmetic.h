// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The arithmetic behind the gradient button's face, kept apart from any drawing so that
// band edges, step colours, the frame size rule and the caption handling can be checked
// directly.
#pragma once

#include <QColor>
#include <QString>

#include <vector>

namespace zelvorin::gradient {

// The shape the gradient runs in: across, down, in rings of ellipses or rectangles toward
// the centre, or from both edges toward the middle line (down or across).
enum class GradientStyle {
    Horizontal,
    Vertical,
    Elliptic,
    Rectangle,
    VerticalCenter,
    HorizontalCenter
};
// A caption drawn flat, raised out of the face or pressed into it.
enum class CaptionStyle { Normal, Raised, Inset };
// A light shade draws the caption's highlight only, a heavy one its shadow too.
enum class ShadeType { Light, Heavy };
// The looks a form designer can pick in one go.
enum class Preset { None, GoldCoast, LimeBox, Aluminum, SunRise };

// Multiply, then divide, rounding half away from zero, with a 64-bit intermediate: the
// rounding that the band edges and step colours were designed around. A zero divisor or
// a result beyond the int range gives -1.
int MulDiv(int number, int numerator, int denominator);

// Colour of gradient step i of n: each channel is begin + MulDiv(i, end - begin, n), kept
// to its low byte (so a zero last step, whose MulDiv is -1, wraps to 255).
QColor gradientStepColor(const QColor& beginColor, const QColor& endColor, int step, int lastStep);

// Start of band i (of 256) across an extent; band i ends where band i + 1 starts.
inline int bandEdge(int band, int extent) {
    return MulDiv(band, extent, 256);
}

// One fill of the gradient: the pixels [left, right) x [top, bottom), or the ellipse
// inscribed in them.
struct GradientFill {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    QColor color;
    bool ellipse = false;
};

// Every fill of a style on a face of width by height, in drawing order. A style outside
// the known ones gives none.
std::vector<GradientFill> gradientFills(GradientStyle style, int width, int height,
                                        const QColor& beginColor, const QColor& endColor);

// The frame may take at most width div 2 - 5 and height div 2 - 5 pixels.
bool frameSizeAllowed(int frameSize, int width, int height);

// The caption without its accelerator markers: a single "&" before a character is
// dropped, "&&" keeps its first "&", and the last character always stays.
QString stripAccelerators(const QString& caption);

} // namespace zelvorin::gradient

// The arithmetic behind the gradient button's face, kept apart from any drawing so that
// band edges, step colours, the frame size rule and the caption handling can be checked
// directly.
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

#include <vector>

enum class TGradientStyle {
    gsHorizontal,
    gsVertical,
    gsElliptic,
    gsRectangle,
    gsVertCenter,
    gsHorizCenter
};
enum class TTextStyle { tsNormal, tsRaised, tsInset };
enum class TShadeType { stLight, stHeavy };
enum class TPreset { None, GoldCoast, LimeBox, Aluminum, SunRise };

namespace zelvorin::gradient {

// Colour values are 0x00BBGGRR (red in the low byte) or system colours 0x80000000 + index.
inline constexpr quint32 SystemColorFlag = 0x80000000u;
inline constexpr quint32 clBtnHighlight = 0x80000014u;
inline constexpr quint32 clBtnShadow = 0x80000010u;
inline constexpr quint32 clWindowText = 0x80000008u;

inline constexpr int redOf(quint32 value) {
    return int(value & 0xFF);
}
inline constexpr int greenOf(quint32 value) {
    return int((value >> 8) & 0xFF);
}
inline constexpr int blueOf(quint32 value) {
    return int((value >> 16) & 0xFF);
}
inline constexpr quint32 colorValue(int red, int green, int blue) {
    return quint32(red & 0xFF) | (quint32(green & 0xFF) << 8) | (quint32(blue & 0xFF) << 16);
}

// A colour value as Qt sees it; system colours come from the palette.
QColor toQColor(quint32 value, const QPalette& palette);
// The nearest colour value of a Qt colour (alpha dropped).
quint32 fromQColor(const QColor& color);

// Multiply, then divide, rounding half away from zero, with a 64-bit intermediate: the
// rounding that the band edges and step colours were designed around. A zero divisor or
// a result beyond the int range gives -1.
int MulDiv(int number, int numerator, int denominator);

// Colour of gradient step i of n: each channel is begin + MulDiv(i, end - begin, n),
// kept to its low byte. The channels are read straight from the low three bytes, so a
// system colour contributes its index bytes, not the colour it stands for.
quint32 gradientStepColor(quint32 beginColor, quint32 endColor, int step, int lastStep);

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
    quint32 color = 0;
    bool ellipse = false;
};

// Every fill of a style on a face of width by height, in drawing order. A style outside
// the known ones gives none.
std::vector<GradientFill> gradientFills(TGradientStyle style, int width, int height,
                                        quint32 beginColor, quint32 endColor);

// The frame may take at most width div 2 - 5 and height div 2 - 5 pixels.
bool frameSizeAllowed(int frameSize, int width, int height);

// The caption without its accelerator markers: a single "&" before a character is
// dropped, "&&" keeps its first "&", and the last character always stays.
QString stripAccelerators(const QString& caption);

} // namespace zelvorin::gradient

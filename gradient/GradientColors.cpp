// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "GradientColors.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zelvorin::gradient {

int roundHalfUp(double value) {
    // Out-of-range and NaN inputs are clamped rather than left undefined.
    if (std::isnan(value))
        return 0;
    if (value >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    const double truncated = std::trunc(value);
    int result = static_cast<int>(truncated);
    if (value - truncated >= 0.5)
        ++result;
    return result;
}

std::vector<QString> splitLetters(const QString& text) {
    std::vector<QString> letters;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        letters.push_back(text.mid(i, pair ? 2 : 1));
        if (pair)
            ++i;
    }
    return letters;
}

std::vector<QColor> letterColors(const QColor& from, const QColor& to, int count) {
    std::vector<QColor> colors;
    if (count <= 0)
        return colors;
    colors.reserve(count);
    const double stepRed = double(to.red() - from.red()) / count;
    const double stepGreen = double(to.green() - from.green()) / count;
    const double stepBlue = double(to.blue() - from.blue()) / count;
    auto next = [](int channel, double step) {
        return std::clamp(roundHalfUp(channel + step), 0, 255);
    };
    int red = from.red(), green = from.green(), blue = from.blue();
    for (int i = 0; i < count; ++i) {
        colors.push_back(QColor(red, green, blue));
        red = next(red, stepRed);
        green = next(green, stepGreen);
        blue = next(blue, stepBlue);
    }
    return colors;
}

std::vector<ColoredLetter> colorLetters(const QString& text, const QColor& from, const QColor& to) {
    const std::vector<QString> letters = splitLetters(text);
    const std::vector<QColor> colors = letterColors(from, to, int(letters.size()));
    std::vector<ColoredLetter> result;
    result.reserve(letters.size());
    for (size_t i = 0; i < letters.size(); ++i)
        result.push_back({letters[i], colors[i]});
    return result;
}

QString htmlColorDigits(const QColor& color) {
    return QStringLiteral("%1%2%3")
        .arg(color.red(), 2, 16, QLatin1Char('0'))
        .arg(color.green(), 2, 16, QLatin1Char('0'))
        .arg(color.blue(), 2, 16, QLatin1Char('0'))
        .toUpper();
}

std::vector<HtmlCodePiece> htmlCodePieces(const std::vector<ColoredLetter>& letters) {
    std::vector<HtmlCodePiece> pieces;
    pieces.reserve(letters.size() * 3);
    for (const ColoredLetter& l : letters) {
        pieces.push_back({QStringLiteral("<font color=\"#") + htmlColorDigits(l.color) +
                              QStringLiteral("\"\r\n>"),
                          QColor(), false});
        pieces.push_back({l.letter.toHtmlEscaped(), l.color, true});
        pieces.push_back({QStringLiteral("</font>"), QColor(), false});
    }
    return pieces;
}

QString htmlCodeText(const std::vector<ColoredLetter>& letters) {
    QString text;
    for (const HtmlCodePiece& piece : htmlCodePieces(letters))
        text += piece.text;
    return text;
}

} // namespace zelvorin::gradient

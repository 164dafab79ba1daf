// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RtfWriter.h"

#include <algorithm>
#include <cmath>

namespace zelvorin::gradient {

namespace {

// RTF is 7-bit: other characters go out as \uN (signed 16-bit units) with "?" for
// readers that do not know them.
void appendEscaped(QByteArray& out, const QString& text) {
    for (const QChar ch : text) {
        const char16_t unit = ch.unicode();
        if (unit == u'\\' || unit == u'{' || unit == u'}') {
            out += '\\';
            out += char(unit);
        } else if (unit == u'\t') {
            out += "\\tab ";
        } else if (unit >= 0x20 && unit < 0x80) {
            out += char(unit);
        } else {
            out += "\\u" + QByteArray::number(int(qint16(unit))) + '?';
        }
    }
}

// Half-points, as RTF measures font sizes.
int halfPoints(const QFont& font) {
    double points = font.pointSizeF();
    if (points <= 0)
        points = font.pixelSize() * 72.0 / 96.0;
    if (points <= 0)
        points = 8;
    return std::max(1, int(std::lround(points * 2)));
}

} // namespace

QByteArray coloredLettersRtf(const QFont& font, const std::vector<ColoredLetter>& letters) {
    std::vector<QColor> table;
    for (const ColoredLetter& l : letters)
        if (std::find(table.begin(), table.end(), l.color) == table.end())
            table.push_back(l.color);

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1";
    out += "{\\fonttbl{\\f0\\fnil\\fcharset0 ";
    appendEscaped(out, font.family());
    out += ";}}\r\n";
    out += "{\\colortbl ;";
    for (const QColor& color : table) {
        out += "\\red" + QByteArray::number(color.red()) + "\\green" +
               QByteArray::number(color.green()) + "\\blue" + QByteArray::number(color.blue()) +
               ';';
    }
    out += "}\r\n";
    out += "\\pard\\plain\\f0\\fs" + QByteArray::number(halfPoints(font));
    if (font.bold())
        out += "\\b";
    if (font.italic())
        out += "\\i";
    for (const ColoredLetter& l : letters) {
        const auto index = std::find(table.begin(), table.end(), l.color) - table.begin() + 1;
        out += "\\cf" + QByteArray::number(qsizetype(index)) + ' ';
        appendEscaped(out, l.letter);
    }
    out += "\\par\r\n}";
    return out;
}

} // namespace zelvorin::gradient

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RtfColorReader.h"

#include <cctype>

namespace zelvorin::test {

namespace {

struct Control {
    QByteArray word;
    int parameter = 0;
    bool hasParameter = false;
};

// Reads a control word at rtf[pos] == '\\'; pos ends after it (and its delimiting blank).
Control readControl(const QByteArray& rtf, qsizetype& pos) {
    Control c;
    ++pos;
    while (pos < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[pos])))
        c.word += rtf[pos++];
    if (c.word.isEmpty()) { // control symbol such as \\ \{ \}
        c.word = QByteArray(1, rtf[pos++]);
        return c;
    }
    QByteArray digits;
    if (pos < rtf.size() && rtf[pos] == '-')
        digits += rtf[pos++];
    while (pos < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[pos])))
        digits += rtf[pos++];
    if (!digits.isEmpty()) {
        c.parameter = digits.toInt();
        c.hasParameter = true;
    }
    if (pos < rtf.size() && rtf[pos] == ' ')
        ++pos;
    return c;
}

} // namespace

RtfLetters readRtfLetters(const QByteArray& rtf) {
    RtfLetters result;
    if (!rtf.startsWith("{\\rtf1"))
        return result;
    enum class Place { Body, FontTable, ColorTable };
    Place place = Place::Body;
    int depth = 0;
    int tableDepth = 0;
    int red = 0, green = 0, blue = 0;
    bool colourSeen = false;
    int current = 0;
    int skipAfterUnicode = 0;
    for (qsizetype pos = 0; pos < rtf.size();) {
        const char ch = rtf[pos];
        if (ch == '{') {
            ++depth;
            ++pos;
        } else if (ch == '}') {
            if (place != Place::Body && depth == tableDepth)
                place = Place::Body;
            --depth;
            ++pos;
        } else if (ch == '\\') {
            const Control c = readControl(rtf, pos);
            if (c.word == "fonttbl") {
                place = Place::FontTable;
                tableDepth = depth;
            } else if (c.word == "colortbl") {
                place = Place::ColorTable;
                tableDepth = depth;
            } else if (c.word == "red") {
                red = c.parameter;
                colourSeen = true;
            } else if (c.word == "green") {
                green = c.parameter;
            } else if (c.word == "blue") {
                blue = c.parameter;
            } else if (c.word == "cf") {
                current = c.parameter;
            } else if (c.word == "u" && c.hasParameter) {
                result.text += QChar(char16_t(quint16(qint16(c.parameter))));
                result.letterColors.append(result.colorTable.value(current));
                skipAfterUnicode = 1;
            } else if (c.word == "\\" || c.word == "{" || c.word == "}") {
                result.text += QLatin1Char(c.word[0]);
                result.letterColors.append(result.colorTable.value(current));
            }
        } else if (ch == '\r' || ch == '\n') {
            ++pos;
        } else {
            ++pos;
            if (place == Place::FontTable) {
                if (ch != ';')
                    result.fontName += QLatin1Char(ch);
            } else if (place == Place::ColorTable) {
                // An entry without colour words is the "auto" colour.
                if (ch == ';') {
                    result.colorTable.append(colourSeen ? QColor(red, green, blue) : QColor());
                    colourSeen = false;
                }
            } else if (skipAfterUnicode > 0) {
                --skipAfterUnicode;
            } else {
                result.text += QLatin1Char(ch);
                result.letterColors.append(result.colorTable.value(current));
            }
        }
    }
    result.valid = depth == 0;
    return result;
}

} // namespace zelvorin::test

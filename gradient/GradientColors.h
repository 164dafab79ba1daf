// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The colours of a gradient text: letter by letter from one colour value toward another,
// each letter's colour stepped on from the rounded colour of the letter before it.
#pragma once

#include <QColor>
#include <QString>

#include <vector>

namespace zelvorin::gradient {

// The integer part of a value, plus one when its fraction is one half or more (so -2.5
// gives -2): the rounding the letter colours were designed around.
int roundHalfUp(double value);

struct ColoredLetter {
    QString letter; // one character (a surrogate pair stays whole)
    QColor color;
};

// The characters of a text, every one counted, blanks and punctuation included.
std::vector<QString> splitLetters(const QString& text);

// The colour of each of `count` letters from `from` toward `to`: the steps are
// (to - from) / count per channel, so the last letter stays one step short of `to`.
std::vector<QColor> letterColors(const QColor& from, const QColor& to, int count);

std::vector<ColoredLetter> colorLetters(const QString& text, const QColor& from, const QColor& to);

// "#"-less colour text, six upper-case digits, red first: yellow gives "FFFF00".
QString htmlColorDigits(const QColor& color);

// One font element per letter as it appears in the code box; the box shows the letter
// part bold and coloured. The letter is HTML-escaped so that "<", "&" and quotes show as
// themselves.
struct HtmlCodePiece {
    QString text;
    QColor color;
    bool letter = false;
};
std::vector<HtmlCodePiece> htmlCodePieces(const std::vector<ColoredLetter>& letters);
// The pieces joined: lines separated by "\r\n".
QString htmlCodeText(const std::vector<ColoredLetter>& letters);

} // namespace zelvorin::gradient

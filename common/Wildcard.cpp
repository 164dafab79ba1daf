// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Wildcard.h"

#include <QList>

#include <vector>

namespace zelvorin {

bool matchesWildcard(const QString& name, const QString& pattern) {
    // Dynamic programming over the recursive rules, from the ends of both texts: at[j]
    // answers "does name[i..] match pattern[j..]" for the current i. Time is the product
    // of the two lengths; the literal recursion is exponential on patterns of many stars.
    // Both texts are compared in full (no length cut), so "?" matches one whole character
    // and a long name never matches by a cut-off prefix. Each character is lower-cased on
    // its own: lower-casing the whole text can make one character two ("\u0130" becomes
    // "i" and a combining dot), and "?" stands for one character of the name as shown.
    const auto lowered = [](const QString& text) {
        QList<uint> points = text.toUcs4();
        for (uint& point : points)
            point = QChar::toLower(char32_t(point));
        return points;
    };
    const QList<uint> n = lowered(name);
    const QList<uint> p = lowered(pattern);
    const qsizetype nameLength = n.size();
    const qsizetype patternLength = p.size();
    const bool endsInLoneStar = patternLength > 0 && p.at(patternLength - 1) == uint('*');

    // Row for i == nameLength (the name used up): only the used-up pattern, or a pattern
    // rest of exactly "*", matches.
    std::vector<char> next(size_t(patternLength) + 1, 0);
    next[size_t(patternLength)] = 1;
    if (endsInLoneStar)
        next[size_t(patternLength - 1)] = 1;
    std::vector<char> at(size_t(patternLength) + 1, 0);
    for (qsizetype i = nameLength - 1; i >= 0; --i) {
        at[size_t(patternLength)] = 0;
        for (qsizetype j = patternLength - 1; j >= 0; --j) {
            const uint c = p.at(j);
            bool match = false;
            if (j == patternLength - 1 && c == uint('*'))
                match = true;
            else if (c == uint('*'))
                match = at[size_t(j + 1)] || next[size_t(j)];
            else if (c == uint('?') || c == n.at(i))
                match = next[size_t(j + 1)];
            at[size_t(j)] = match ? 1 : 0;
        }
        std::swap(at, next);
    }
    return next[0] != 0;
}

} // namespace zelvorin

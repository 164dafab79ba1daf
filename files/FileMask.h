// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A file mask ("*.jpg;*.gif") prepared once for matching many names. Gives the results of
// matchesWildcard piece by piece, with quick paths for the common piece shapes ("*",
// "*.ext", a plain name) on ASCII names; everything else goes to matchesWildcard itself.
#pragma once

#include <QString>
#include <QStringList>

#include <string_view>
#include <vector>

namespace zelvorin {

class FileMask {
public:
    FileMask() = default;
    explicit FileMask(const QString& mask);

    // True when some piece matches by matchesWildcard.
    bool matches(const QString& name) const;
    // As a folder search finds names: a piece "*.*" takes every name, as on Windows.
    bool found(const QString& name) const;
    // found() on a raw name: ASCII names are matched on their bytes without decoding.
    bool foundRaw(std::string_view raw) const;
    bool isEmpty() const { return m_pieces.empty(); }
    const QString& text() const { return m_text; }

private:
    enum class Shape { Any, Suffix, Exact, General };
    struct Piece {
        QString pattern;
        QByteArray lowerLiteral; // for Suffix and Exact: the ASCII literal, lower case
        Shape shape = Shape::General;
    };
    bool pieceMatches(const Piece& piece, const QString& name, bool asciiName) const;

    QString m_text;
    std::vector<Piece> m_pieces;
    bool m_anyPieceFindsAll = false;
    bool m_allQuick = true; // every piece has a quick shape
};

} // namespace zelvorin

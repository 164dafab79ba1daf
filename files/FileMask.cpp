// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileMask.h"

#include "Wildcard.h"

namespace zelvorin {

namespace {

bool isAscii(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

char lowerAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char(c - u'A' + 'a') : char(c);
}

} // namespace

FileMask::FileMask(const QString& mask) : m_text(mask) {
    if (mask.isEmpty())
        return;
    for (const QString& pattern : mask.split(QLatin1Char(';'))) {
        Piece piece;
        piece.pattern = pattern;
        if (pattern == QStringLiteral("*.*"))
            m_anyPieceFindsAll = true;
        const bool wild = pattern.contains(QLatin1Char('*')) || pattern.contains(QLatin1Char('?'));
        const QString rest = pattern.mid(1);
        if (pattern == QStringLiteral("*")) {
            piece.shape = Shape::Any;
        } else if (isAscii(pattern) && !wild) {
            piece.shape = Shape::Exact;
            piece.lowerLiteral = pattern.toLower().toLatin1();
        } else if (isAscii(pattern) && pattern.startsWith(QLatin1Char('*')) &&
                   !rest.contains(QLatin1Char('*')) && !rest.contains(QLatin1Char('?'))) {
            piece.shape = Shape::Suffix;
            piece.lowerLiteral = rest.toLower().toLatin1();
        }
        if (piece.shape == Shape::General)
            m_allQuick = false;
        m_pieces.push_back(std::move(piece));
    }
}

bool FileMask::pieceMatches(const Piece& piece, const QString& name, bool asciiName) const {
    if (piece.shape == Shape::Any)
        return true;
    if (piece.shape == Shape::General || !asciiName)
        return matchesWildcard(name, piece.pattern);
    const QByteArray& literal = piece.lowerLiteral;
    if (piece.shape == Shape::Exact && name.size() != literal.size())
        return false;
    if (name.size() < literal.size())
        return false;
    const char16_t* tail =
        reinterpret_cast<const char16_t*>(name.constData()) + (name.size() - literal.size());
    for (qsizetype i = 0; i < literal.size(); ++i) {
        if (lowerAscii(tail[i]) != literal[i])
            return false;
    }
    return true;
}

bool FileMask::matches(const QString& name) const {
    const bool ascii = isAscii(name);
    for (const Piece& piece : m_pieces) {
        if (pieceMatches(piece, name, ascii))
            return true;
    }
    return false;
}

bool FileMask::found(const QString& name) const {
    return m_anyPieceFindsAll || matches(name);
}

bool FileMask::foundRaw(std::string_view raw) const {
    if (m_anyPieceFindsAll)
        return true;
    bool ascii = true;
    for (const char c : raw) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (!ascii || !m_allQuick)
        return matches(QString::fromUtf8(raw.data(), qsizetype(raw.size())));
    for (const Piece& piece : m_pieces) {
        if (piece.shape == Shape::Any)
            return true;
        const QByteArray& literal = piece.lowerLiteral;
        if (raw.size() < size_t(literal.size()) ||
            (piece.shape == Shape::Exact && raw.size() != size_t(literal.size())))
            continue;
        const char* tail = raw.data() + (raw.size() - size_t(literal.size()));
        bool same = true;
        for (qsizetype i = 0; i < literal.size() && same; ++i)
            same = lowerAscii(char16_t(tail[i])) == literal[i];
        if (same)
            return true;
    }
    return false;
}

} // namespace zelvorin

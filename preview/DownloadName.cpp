// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DownloadName.h"

namespace zelvorin {

namespace {

// The longest name most Linux file systems take, in bytes.
constexpr int MostNameBytes = 255;

bool isSeparator(QChar c) {
    return c == u'/' || c == u'\\';
}

// Characters that are not shown as themselves: controls, format characters (the
// direction overrides and isolates, zero-width characters), and separators of lines and
// paragraphs.
bool isHidden(QChar::Category category) {
    switch (category) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_NotAssigned:
    case QChar::Other_PrivateUse:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

QString visibleText(const QString& text) {
    QString visible;
    visible.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text.at(i).unicode();
        qsizetype length = 1;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() &&
            text.at(i + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            length = 2;
        }
        const QChar::Category category = QChar::category(code);
        if (code == u'\t' || code == u'\n' || code == u'\r' || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            visible += QLatin1Char(' ');
        else if (!isHidden(category))
            visible += text.mid(i, length);
        i += length - 1;
    }
    return visible;
}

// Cuts the part before the extension so that the whole name fits, never within a
// character.
QString fitted(const QString& name) {
    if (name.toUtf8().size() <= MostNameBytes)
        return name;
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString extension = dot > 0 && name.size() - dot <= 16 ? name.mid(dot) : QString();
    QString stem = name.left(name.size() - extension.size());
    while (!stem.isEmpty() && (stem + extension).toUtf8().size() > MostNameBytes) {
        stem.chop(1);
        if (!stem.isEmpty() && stem.back().isHighSurrogate())
            stem.chop(1);
    }
    return stem + extension;
}

} // namespace

QString PlainDownloadName(const QString& proposed) {
    qsizetype start = proposed.size();
    while (start > 0 && !isSeparator(proposed.at(start - 1)))
        --start;
    QString name = visibleText(proposed.mid(start));
    qsizetype lead = 0;
    while (lead < name.size() && (name.at(lead) == u'.' || name.at(lead).isSpace()))
        ++lead;
    name = fitted(name.mid(lead).trimmed());
    return name.isEmpty() ? QStringLiteral("download") : name;
}

} // namespace zelvorin

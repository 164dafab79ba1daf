// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ImageFormats.h"

#include <algorithm>

namespace zelvorin {

const QStringList& WebImageSuffixes() {
    static const QStringList suffixes{
        QStringLiteral(".jpg"),  QStringLiteral(".gif"),  QStringLiteral(".png"),
        QStringLiteral(".bmp"),  QStringLiteral(".jpeg"), QStringLiteral(".webp"),
        QStringLiteral(".avif"), QStringLiteral(".svg"),  QStringLiteral(".svgz"),
        QStringLiteral(".ico"),  QStringLiteral(".apng")};
    return suffixes;
}

const QString& WebImageMask() {
    static const QString mask = [] {
        QStringList patterns;
        for (const QString& suffix : WebImageSuffixes())
            patterns << QLatin1Char('*') + suffix;
        return patterns.join(QLatin1Char(';'));
    }();
    return mask;
}

bool IsWebImageName(QStringView name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    // A separator after the dot ends up inside the suffix, which then matches none.
    const QStringView suffix = name.mid(dot);
    // Folders of 100,000 names pass through here for every gallery page, so plain ASCII
    // suffixes are compared in place; others take the full lower-casing, under which a
    // letter outside ASCII may still turn into one of the suffixes.
    const bool ascii =
        std::all_of(suffix.begin(), suffix.end(), [](QChar c) { return c.unicode() < 0x80; });
    const QStringList& suffixes = WebImageSuffixes();
    if (ascii) {
        return std::any_of(suffixes.begin(), suffixes.end(), [suffix](const QString& known) {
            return suffix.compare(known, Qt::CaseInsensitive) == 0;
        });
    }
    return suffixes.contains(suffix.toString().toLower());
}

bool IsWebImageName(const QByteArray& rawName) {
    const qsizetype dot = rawName.lastIndexOf('.');
    if (dot < 0)
        return false;
    // Every suffix is ASCII: a byte outside it matches none.
    return IsWebImageName(QString::fromLatin1(rawName.mid(dot)));
}

} // namespace zelvorin

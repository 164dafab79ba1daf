// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "BackgroundCss.h"

#include <QList>

namespace zelvorin::preview {

namespace {

bool unreserved(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

void appendEncoded(QString& out, const QByteArray& name) {
    static const char hex[] = "0123456789ABCDEF";
    for (const char c : name) {
        if (unreserved(c)) {
            out += QLatin1Char(c);
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out += QLatin1Char('%');
            out += QLatin1Char(hex[byte >> 4]);
            out += QLatin1Char(hex[byte & 0xF]);
        }
    }
}

// The names of an absolute path, with empty names (from "//") and "." dropped and ".."
// taking the name before it away.
QList<QByteArray> names(const QByteArray& path) {
    QList<QByteArray> parts;
    for (const QByteArray& part : path.split('/')) {
        if (part == "..") {
            if (!parts.isEmpty())
                parts.removeLast();
        } else if (!part.isEmpty() && part != ".") {
            parts.append(part);
        }
    }
    return parts;
}

// The folder of a local page as raw bytes, or nothing for any other page. A file URL
// keeps the bytes of the path percent-encoded, so names that are not UTF-8 survive.
std::optional<QByteArray> localPageFolder(const QUrl& pageUrl) {
    if (!pageUrl.isValid() || !pageUrl.isLocalFile())
        return std::nullopt;
    const QString host = pageUrl.host();
    if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const QUrl clean = pageUrl.adjusted(QUrl::NormalizePathSegments);
    const QByteArray path =
        QByteArray::fromPercentEncoding(clean.path(QUrl::FullyEncoded).toLatin1());
    const qsizetype slash = path.lastIndexOf('/');
    if (!path.startsWith('/') || slash < 0)
        return std::nullopt;
    return path.left(slash + 1);
}

} // namespace

QString ImageAddress(const QByteArray& rawImagePath, const QUrl& pageUrl) {
    if (!rawImagePath.startsWith('/'))
        return QString();
    const QList<QByteArray> image = names(rawImagePath);
    QString address;
    if (const std::optional<QByteArray> folder = localPageFolder(pageUrl)) {
        const QList<QByteArray> base = names(*folder);
        // The image's last name is its file name, never a folder in common.
        qsizetype common = 0;
        while (common < base.size() && common + 1 < image.size() && base[common] == image[common])
            ++common;
        for (qsizetype i = common; i < base.size(); ++i)
            address += QStringLiteral("../");
        for (qsizetype i = common; i < image.size(); ++i) {
            if (i > common)
                address += QLatin1Char('/');
            appendEncoded(address, image[i]);
        }
        return address;
    }
    address = QStringLiteral("file://");
    for (const QByteArray& name : image) {
        address += QLatin1Char('/');
        appendEncoded(address, name);
    }
    return address;
}

QString CssString(const QString& text) {
    QString quoted = QStringLiteral("\"");
    quoted.reserve(text.size() + 2);
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\')) {
            quoted += QLatin1Char('\\');
            quoted += c;
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char('<')) {
            // A hex escape ends at the next blank, which is part of the escape.
            quoted += QStringLiteral("\\%1 ").arg(c.unicode(), 0, 16);
        } else {
            quoted += c;
        }
    }
    quoted += QLatin1Char('"');
    return quoted;
}

QString CopyCssText(const QColor& colour, const QString& imageAddress,
                    const BackgroundLayout& layout, const QString& doubleDensityAddress) {
    QStringList words;
    if (colour.isValid())
        words << colour.name(QColor::HexRgb);
    if (!imageAddress.isEmpty())
        words << QStringLiteral("url(%1)").arg(CssString(imageAddress))
              << CssShorthandWords(layout);
    if (words.isEmpty())
        return QString();
    QString rule;
    if (!imageAddress.isEmpty() && CssValues(layout).rootFillsView)
        rule = QStringLiteral("html { min-height: 100%; }\n");
    rule += QStringLiteral("body { background: %1; ").arg(words.join(QLatin1Char(' ')));
    if (!imageAddress.isEmpty() && !doubleDensityAddress.isEmpty())
        rule += QStringLiteral("background-image: image-set(%1 1x, %2 2x); ")
                    .arg(CssString(imageAddress), CssString(doubleDensityAddress));
    return rule + QLatin1Char('}');
}

} // namespace zelvorin::preview

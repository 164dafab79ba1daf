// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The image files of web pages, by name: the kinds every browser shows as an image and a
// background, which the filters list, the galleries show and the program decodes. Today's
// web keeps WebP, AVIF and SVG beside the JPEG, GIF, PNG and BMP of old; the older five
// come first in every mask, in their old order, so a mask still reads as it always did.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zelvorin {

// ".jpg", ".gif", ".png", ".bmp", ".jpeg", ".webp", ".avif", ".svg", ".svgz", ".ico",
// ".apng", lower case.
const QStringList& WebImageSuffixes();

// "*.jpg;*.gif;*.png;*.bmp;*.jpeg;*.webp;*.avif;*.svg;*.svgz;*.ico;*.apng"
const QString& WebImageMask();

// Whether a file name ends in one of the suffixes, in any letter case. The suffix is the
// text from the last "." on; a name with a "/" after its last dot has none.
bool IsWebImageName(QStringView name);
bool IsWebImageName(const QByteArray& rawName);

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A web copy of an image: the same picture as a WebP beside it, which every browser shows
// and which weighs a fraction of a PNG or BMP. Drawings and flat colours are kept exactly
// (lossless: WebP's lossless mode beats PNG), photographs and textures at quality 90,
// where the loss does not show on a page.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace zelvorin {

inline constexpr int WebCopyQuality = 90;

struct WebCopySettings {
    bool lossless = false;
    int quality = WebCopyQuality; // 1 .. 99, for a lossy copy
    bool operator==(const WebCopySettings&) const = default;
};

// Lossless for a drawing or flat colours: at most 256 colours, or most pixels the same as
// the one beside them (diagrams, screenshots, patterns drawn with smoothed edges).
// Otherwise, and always for a JPEG (`format` as DecodedImage names it), which is a
// photograph already stored with loss, quality 90.
WebCopySettings SuggestedWebCopy(const QImage& image, const QString& format);

// The WebP bytes of the image; empty when it cannot be encoded (no WebP plugin).
QByteArray EncodeWebCopy(const QImage& image, const WebCopySettings& settings);

// Where the copy of the image at a raw path goes: beside it, its suffix made ".webp"
// ("paper.png" -> "paper.webp"; a name without one gets ".webp" added).
QByteArray WebCopyPath(const QByteArray& rawImagePath);

// "paper.png 412 KB \u2192 paper.webp 61 KB"
QString WebCopySizesText(const QByteArray& imagePath, qint64 imageBytes, const QByteArray& copyPath,
                         qint64 copyBytes);

} // namespace zelvorin

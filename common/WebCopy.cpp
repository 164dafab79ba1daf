// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "WebCopy.h"

#include "ImageWeight.h"
#include "LosslessNames.h"

#include <QBuffer>
#include <QImageWriter>

#include <algorithm>
#include <unordered_set>

namespace zelvorin {

namespace {

QByteArray nameOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

} // namespace

WebCopySettings SuggestedWebCopy(const QImage& source, const QString& format) {
    if (format == QLatin1String("jpeg") || source.isNull())
        return {};
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    // A large image is judged on a grid of rows, enough to tell a drawing from a photo.
    const int rowStep = std::max(1, image.height() / 512);
    std::unordered_set<QRgb> colours;
    qint64 pixels = 0;
    qint64 likeTheLast = 0;
    for (int y = 0; y < image.height(); y += rowStep) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (colours.size() <= 256)
                colours.insert(line[x]);
            if (x > 0 && line[x] == line[x - 1])
                ++likeTheLast;
            ++pixels;
        }
    }
    const bool drawing = colours.size() <= 256 || likeTheLast * 2 >= pixels;
    return drawing ? WebCopySettings{true, WebCopyQuality} : WebCopySettings{};
}

QByteArray EncodeWebCopy(const QImage& image, const WebCopySettings& settings) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "webp");
    // Qt's WebP writer goes lossless at quality 100 and lossy below.
    writer.setQuality(settings.lossless ? 100 : std::clamp(settings.quality, 1, 99));
    return writer.write(image) ? bytes : QByteArray();
}

QByteArray WebCopyPath(const QByteArray& rawImagePath) {
    const qsizetype slash = rawImagePath.lastIndexOf('/');
    const qsizetype dot = rawImagePath.lastIndexOf('.');
    // A dot that starts the name (".png") is no suffix.
    const bool suffixed = dot > slash + 1;
    return (suffixed ? rawImagePath.left(dot) : rawImagePath) + ".webp";
}

QString WebCopySizesText(const QByteArray& imagePath, qint64 imageBytes, const QByteArray& copyPath,
                         qint64 copyBytes) {
    return QStringLiteral("%1 %2 \u2192 %3 %4")
        .arg(platform::displayName(nameOf(imagePath)), ByteSizeText(imageBytes),
             platform::displayName(nameOf(copyPath)), ByteSizeText(copyBytes));
}

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "HighDensityImage.h"

#include "FileStamp.h"

namespace zelvorin::preview {

QByteArray HighDensityName(const QByteArray& rawImagePath) {
    const qsizetype slash = rawImagePath.lastIndexOf('/');
    const qsizetype dot = rawImagePath.lastIndexOf('.');
    // A dot that starts the name (".png") is no suffix.
    const qsizetype end = dot > slash + 1 ? dot : rawImagePath.size();
    const QByteArray stem = rawImagePath.left(end);
    if (stem.size() <= slash + 1 || stem.endsWith("@2x"))
        return QByteArray();
    return stem + "@2x" + rawImagePath.mid(end);
}

QByteArray HighDensityPartner(const QByteArray& rawImagePath) {
    const QByteArray partner = HighDensityName(rawImagePath);
    return !partner.isEmpty() && platform::fileStamp(partner).regular ? partner : QByteArray();
}

} // namespace zelvorin::preview

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ImageWeight.h"

#include <QCoreApplication>

#include <cmath>

namespace zelvorin {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("ImageWeight", text);
}

} // namespace

QString ByteSizeText(qint64 bytes) {
    if (bytes < 0)
        return QString();
    if (bytes < 1024)
        return tr("%1 bytes").arg(bytes);
    const qint64 kilobytes = std::llround(double(bytes) / 1024);
    if (kilobytes < 1024)
        return tr("%1 KB").arg(kilobytes);
    const double megabytes = double(bytes) / (1024 * 1024);
    if (megabytes < 1023.95)
        return tr("%1 MB").arg(megabytes, 0, 'f', 1);
    return tr("%1 GB").arg(megabytes / 1024, 0, 'f', 1);
}

QString ImageWeightText(const QString& name, qint64 bytes, const QSize& size) {
    QString text = name;
    if (bytes >= 0)
        text += QLatin1Char(' ') + ByteSizeText(bytes);
    if (size.isValid())
        text += QStringLiteral(", %1 x %2").arg(size.width()).arg(size.height());
    return text;
}

} // namespace zelvorin

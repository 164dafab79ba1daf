// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What an image weighs, as the program tells it: "linen.jpg 24 KB, 256 x 256".
#pragma once

#include <QSize>
#include <QString>

namespace zelvorin {

// "740 bytes", "24 KB", "1.4 MB", "2.1 GB" (1 KB = 1024 bytes, rounded); empty for a
// negative count.
QString ByteSizeText(qint64 bytes);

// "linen.jpg 24 KB, 256 x 256"; without the size when it is not valid, without the
// bytes when they are not known.
QString ImageWeightText(const QString& name, qint64 bytes, const QSize& size);

} // namespace zelvorin

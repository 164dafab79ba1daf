// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Secrets.h"

#include <QRandomGenerator>

namespace zelvorin {

QString RandomSecret() {
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    QString secret;
    for (quint32 word : words)
        secret += QStringLiteral("%1").arg(word, 8, 16, QLatin1Char('0'));
    return secret;
}

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "OnceWarning.h"

#include <QtGlobal>

namespace zelvorin {

void OnceWarning::warn(const QString& text) {
    if (m_given)
        return;
    m_given = true;
    if (m_sink)
        m_sink(text);
    else
        qWarning("%s", qPrintable(text));
}

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "BrowserVersion.h"

namespace zelvorin {

namespace {
int numberOrZero(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : 0;
}
} // namespace

bool CheckBrowserVersion(const QString& versionText) {
    if (versionText.isEmpty())
        return false;
    QString rest = versionText;
    int dot = rest.indexOf('.');
    // With no dot at all the text before it counts as empty, so the major number is 0.
    const int major = dot < 0 ? 0 : numberOrZero(rest.left(dot));
    rest = dot < 0 ? rest : rest.mid(dot + 1);
    dot = rest.indexOf('.');
    const int minor = dot < 0 ? 0 : numberOrZero(rest.left(dot));
    return (major == 4 && minor > 70) || major > 4;
}

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the program asks of the desktop: to open a file with the program the user chose for
// files of its kind, and to show a file's properties in the file manager. The owner above
// the windows keeps one set for the run and hands it down; tests give their own to stand
// in for a desktop.
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace zelvorin::platform {

struct DesktopServices {
    // Opens the address with the desktop's program for it; whether a program took it. Null:
    // the desktop's own handler.
    std::function<bool(const QUrl& url)> openUrl;
    // Shows the file manager's properties window for a path text (see LosslessNames.h);
    // whether a file manager answered. Null: the file manager over D-Bus.
    std::function<bool(const QString& path)> showItemProperties;
};

} // namespace zelvorin::platform

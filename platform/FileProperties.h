// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the system knows about files beyond their contents: whether two paths lie on one
// file system (the Linux sense of "the same drive"), and the desktop file manager's own
// properties window, asked for over D-Bus.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "DesktopServices.h"

namespace zelvorin::platform {

// What the system keeps about a file or folder, read by its raw path (links followed; a
// dangling link describes the link itself).
struct FileDetails {
    int error = 0; // 0, or the errno value when the path cannot be looked at
    bool folder = false;
    qint64 size = 0;
    qint64 entries = 0; // a folder's entries, hidden ones included ("." and ".." not)
    QDateTime modified;
    QDateTime accessed;
    uint permissions = 0; // the mode's permission bits (0777)
    QString owner;        // the user's name, or the number when it has none
    QString group;
};
FileDetails fileDetails(const QByteArray& path);

// True when both raw paths exist and lie on the same file system (the same device
// number); false otherwise, including when either cannot be examined.
bool onSameFileSystem(const QByteArray& first, const QByteArray& second);

// Asks the desktop's file manager (org.freedesktop.FileManager1.ShowItemProperties on the
// session bus, unless `desktop` stands in for it) to show its properties window for a raw
// absolute path. True only when a file manager answered the request; false when none runs
// or it refused.
bool showItemPropertiesInFileManager(const QByteArray& path, const DesktopServices& desktop);

} // namespace zelvorin::platform

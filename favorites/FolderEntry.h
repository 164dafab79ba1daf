// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One entry of a folder list: the folder's path and an opaque value that travels with it
// through adding, moving, the menus and the favorites dialog but is never stored.
#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace zelvorin {

struct FolderEntry {
    QString path;
    quintptr data = 0;

    bool operator==(const FolderEntry&) const = default;
};

using FolderList = QList<FolderEntry>;

// Whether two folder texts name the same list entry: on Linux, whose file systems tell
// names apart by case, equal texts only; on Windows, a locale-aware comparison that ignores
// case.
bool sameFolderText(const QString& a, const QString& b);

// Index of the entry whose path equals `path` by sameFolderText, or -1.
qsizetype indexOfFolder(const FolderList& list, const QString& path);

// The paths of a list, in order.
QStringList folderPaths(const FolderList& list);

// Entries with the given paths and data 0, in order.
FolderList folderEntries(const QStringList& paths);

} // namespace zelvorin

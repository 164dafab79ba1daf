// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Paths.h"

#include "FileAttributes.h"
#include "FolderSearch.h"

namespace zelvorin {

namespace {
constexpr QChar Separator = u'/';
} // namespace

QString stripTrailingSlashes(const QString& path) {
    qsizetype end = path.size();
    while (end > 0 && path.at(end - 1) == Separator)
        --end;
    // The root stays the root: "///" is "/", never an empty folder name.
    if (end == 0 && !path.isEmpty())
        return QString(Separator);
    return path.left(end);
}

QString withTrailingSlash(const QString& path) {
    const QString stripped = stripTrailingSlashes(path);
    if (stripped == Separator)
        return stripped;
    return stripped + Separator;
}

QString parentPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(Separator);
    if (slash < 0)
        return {};
    // A name directly below the root has the root as its parent ("/a" gives "/"), as a
    // Windows path's drive ("C:\a" gives "C:"): a file there is never a bare name.
    if (slash == 0)
        return QString(Separator);
    return path.left(slash);
}

QString lastPathPart(const QString& path) {
    // Only "/" ends a folder part: "a:b.jpg" and "a\b.jpg" are whole Linux file names.
    return path.mid(path.lastIndexOf(Separator) + 1);
}

bool folderExists(const QString& path) {
    const QString stripped = stripTrailingSlashes(path);
    if (stripped.isEmpty())
        return false;
    platform::FolderEntry entry;
    return platform::readFolderEntry(stripped, entry) == 0 &&
           (entry.attributes & FileAttribute::Directory) != 0;
}

} // namespace zelvorin

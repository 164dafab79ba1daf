// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Listing one folder for the names a filter accepts, with each entry's attributes, size
// and time: the Linux side of the helpers' folder search (FindFirstEntry and friends).
#pragma once

#include "FileAttributes.h"

#include <QDateTime>
#include <QString>

#include <dirent.h>
#include <functional>
#include <memory>
#include <sys/types.h>
#include <vector>

namespace zelvorin::platform {

struct FolderEntry {
    QString name; // a path text (LosslessNames.h): encodePath gives its bytes
    quint32 attributes = 0;
    qint64 size = 0;    // bytes; 0 for folders
    QDateTime modified; // in UTC
};

// Reads one path's entry (following symbolic links; a dangling link is a System entry).
// 0 on success, otherwise an errno value.
int readFolderEntry(const QString& path, FolderEntry& entry);

// An open listing of one folder. Entries come in the folder's own order, "." and ".."
// included (as folders, not hidden), like the Windows search the callers were written
// for; callers skip them.
class FolderSearch {
public:
    using NameFilter = std::function<bool(const QString& name)>;

    // Opens `folder` ("" is the current folder). `filter` decides by name (null accepts
    // every name). `attributeMask` works as the Windows search's: an entry that is a
    // folder, hidden or system is found only when the mask holds that bit; read-only and
    // archive entries are always found. Returns null and sets *error on failure.
    static std::unique_ptr<FolderSearch> open(const QString& folder, NameFilter filter,
                                              quint32 attributeMask, int* error);
    ~FolderSearch();
    FolderSearch(const FolderSearch&) = delete;
    FolderSearch& operator=(const FolderSearch&) = delete;

    // The next entry: 0, or ENOENT when there is none left, or another errno value.
    int next(FolderEntry& entry);

private:
    FolderSearch() = default;
    bool excluded(quint32 attributes) const;

    DIR* m_dir = nullptr;
    NameFilter m_filter;
    quint32 m_excludedBits = 0;
};

} // namespace zelvorin::platform

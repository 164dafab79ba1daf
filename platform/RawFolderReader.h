// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One pass over a folder that keeps every name as the kernel spells it (raw bytes) and
// works out only the attribute bits a caller asks for, so that a folder of 100,000
// entries costs one getdents walk and no system call per entry in the common case.
#pragma once

#include "FileAttributes.h"

#include <QByteArray>

#include <functional>
#include <string_view>
#include <vector>

namespace zelvorin::platform {

enum class ReadOnlyCheck { Skip, Check };

// Set beside the FileAttribute bits on an entry that is a symbolic link: what it is
// described as depends on something outside the entry itself.
inline constexpr quint32 LinkAttribute = 0x40000000;

// Calls `visit` for every entry of `folder` except "." and "..", with the name as the
// folder holds it (valid only during the call) and its attributes: Directory, System
// (anything neither a regular file nor a folder, a dangling link included), Archive (a
// regular file) and Hidden (a leading ".") are always filled; a symbolic link is described
// by what it points at and marked with LinkAttribute. ReadOnly is filled only when asked.
// Nothing is copied, so a caller that already knows most names pays only for the walk.
// Returns 0 or an errno value.
int visitRawFolder(const QByteArray& folder, ReadOnlyCheck readOnly,
                   const std::function<void(std::string_view name, quint32 attributes)>& visit);

// A folder read a part at a time: opened by one thread, read on by another (never by two at
// once), so that the first entries can be shown before a large folder is read to its end.
class FolderStream {
public:
    using Visit = std::function<void(std::string_view name, quint32 attributes)>;

    explicit FolderStream(const QByteArray& folder);
    ~FolderStream();
    FolderStream(const FolderStream&) = delete;
    FolderStream& operator=(const FolderStream&) = delete;

    // 0 while the folder reads, else the errno value that stopped it (opening included).
    int error() const { return m_error; }
    // Reads up to `limit` entries and describes each as visitRawFolder does. True while
    // the folder has more; false at its end or on an error.
    bool read(int limit, ReadOnlyCheck readOnly, const Visit& visit);
    // A rough count of the folder's entries from its size on its file system, given the
    // average length of the names seen so far; 0 when the file system does not tell.
    qint64 estimatedEntries(double averageNameLength) const;

private:
    void* m_dir = nullptr;
    int m_error = 0;
    qint64 m_size = 0;
    quint64 m_fileSystem = 0;
};

// Single entries of one folder, each described exactly as visitRawFolder describes it,
// for a caller that knows which few names to look at.
class FolderProbe {
public:
    explicit FolderProbe(const QByteArray& folder);
    ~FolderProbe();
    FolderProbe(const FolderProbe&) = delete;
    FolderProbe& operator=(const FolderProbe&) = delete;

    // 0 when the folder could be opened for reading (as a listing opens it), else errno.
    int error() const { return m_error; }
    // 0 with the attributes; ENOENT when the folder holds no such entry; another errno
    // value when the entry cannot be looked at.
    int lookUp(const QByteArray& name, ReadOnlyCheck readOnly, quint32* attributes) const;

private:
    int m_folder = -1;
    int m_error = 0;
};

// True when both raw paths name the same folder (equal, or the same device and inode).
bool sameFolderBytes(const QByteArray& a, const QByteArray& b);

// The subfolders of `folder` by raw name; symbolic links to folders count as folders
// when `followLinks` is true. Returns 0 or an errno value.
int readRawSubfolders(const QByteArray& folder, bool followLinks, std::vector<QByteArray>& names);

// The process's current folder as raw bytes (empty when it cannot be read, for
// example when it was deleted).
QByteArray currentFolderBytes();

// Makes a raw path the current folder; 0 or an errno value.
int changeFolderBytes(const QByteArray& path);

// True when the raw path is an existing folder (links followed).
bool folderExistsBytes(const QByteArray& path);

// True when the raw path exists as anything but a folder (links followed).
bool fileExistsBytes(const QByteArray& path);
// True while anything is at the raw path, a link included (even a dangling one), and
// when the system cannot tell: only a name known to be gone gives false.
bool entryMayExistBytes(const QByteArray& path);

} // namespace zelvorin::platform

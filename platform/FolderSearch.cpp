// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FolderSearch.h"

#include "FileStamp.h"
#include "LosslessNames.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelvorin::platform {

namespace {

bool isDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// "Not writable by the user" from the mode bits, without a second system call per entry.
bool writableByUser(const struct stat& info) {
    static const uid_t user = geteuid();
    static const std::vector<gid_t> groups = [] {
        std::vector<gid_t> list(size_t(std::max(0, getgroups(0, nullptr))));
        list.resize(size_t(std::max(0, getgroups(int(list.size()), list.data()))));
        list.push_back(getegid());
        return list;
    }();
    if (user == 0)
        return true;
    if (info.st_uid == user)
        return (info.st_mode & S_IWUSR) != 0;
    for (const gid_t group : groups) {
        if (info.st_gid == group)
            return (info.st_mode & S_IWGRP) != 0;
    }
    return (info.st_mode & S_IWOTH) != 0;
}

void fillFromStat(const char* name, const struct stat& info, FolderEntry& entry) {
    quint32 attributes = 0;
    if (S_ISDIR(info.st_mode))
        attributes |= FileAttribute::Directory;
    else if (S_ISREG(info.st_mode))
        attributes |= FileAttribute::Archive;
    else
        attributes |= FileAttribute::System;
    if (name[0] == '.' && !isDotEntry(name))
        attributes |= FileAttribute::Hidden;
    if (!writableByUser(info))
        attributes |= FileAttribute::ReadOnly;
    entry.attributes = attributes;
    entry.size = S_ISREG(info.st_mode) ? qint64(info.st_size) : 0;
    entry.modified = utcDateTime(info.st_mtim);
}

// Follows a symbolic link; a dangling one is described by the link itself.
int statAt(int folder, const char* name, struct stat& info) {
    if (fstatat(folder, name, &info, 0) == 0)
        return 0;
    const int error = errno;
    if (fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0)
        return 0;
    return error;
}

} // namespace

int readFolderEntry(const QString& path, FolderEntry& entry) {
    const QByteArray encoded = encodePath(path);
    struct stat info {};
    if (const int error = statAt(AT_FDCWD, encoded.constData(), info); error != 0)
        return error;
    const qsizetype slash = encoded.lastIndexOf('/');
    const QByteArray name = slash < 0 ? encoded : encoded.mid(slash + 1);
    entry.name = openablePath(name);
    fillFromStat(name.constData(), info, entry);
    return 0;
}

std::unique_ptr<FolderSearch> FolderSearch::open(const QString& folder, NameFilter filter,
                                                 quint32 attributeMask, int* error) {
    const QByteArray encoded = folder.isEmpty() ? QByteArrayLiteral(".") : encodePath(folder);
    DIR* dir = opendir(encoded.constData());
    if (dir == nullptr) {
        if (error != nullptr)
            *error = errno;
        return nullptr;
    }
    std::unique_ptr<FolderSearch> search(new FolderSearch);
    search->m_dir = dir;
    search->m_filter = std::move(filter);
    search->m_excludedBits =
        ~attributeMask & (FileAttribute::Hidden | FileAttribute::System | FileAttribute::Directory);
    if (error != nullptr)
        *error = 0;
    return search;
}

FolderSearch::~FolderSearch() {
    if (m_dir != nullptr)
        closedir(m_dir);
}

bool FolderSearch::excluded(quint32 attributes) const {
    return (attributes & m_excludedBits) != 0;
}

int FolderSearch::next(FolderEntry& entry) {
    const int folder = dirfd(m_dir);
    for (;;) {
        errno = 0;
        const dirent* found = readdir(m_dir);
        if (found == nullptr)
            return errno != 0 ? errno : ENOENT;
        const char* name = found->d_name;
        // Cheap refusals first: by name, then by the entry type the folder already knows;
        // only entries that may be returned cost a stat.
        const bool hidden = name[0] == '.' && !isDotEntry(name);
        if (hidden && (m_excludedBits & FileAttribute::Hidden) != 0)
            continue;
        if (found->d_type == DT_DIR && (m_excludedBits & FileAttribute::Directory) != 0)
            continue;
        const bool special = found->d_type != DT_UNKNOWN && found->d_type != DT_DIR &&
                             found->d_type != DT_REG && found->d_type != DT_LNK;
        if (special && (m_excludedBits & FileAttribute::System) != 0)
            continue;
        const QString decoded = openablePath(QByteArray(name));
        if (m_filter && !m_filter(decoded))
            continue;
        struct stat info {};
        if (statAt(folder, name, info) != 0)
            continue; // removed while we listed it
        FolderEntry candidate;
        candidate.name = decoded;
        fillFromStat(name, info, candidate);
        if (excluded(candidate.attributes))
            continue;
        entry = std::move(candidate);
        return 0;
    }
}

} // namespace zelvorin::platform

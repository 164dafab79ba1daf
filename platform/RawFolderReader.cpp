// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RawFolderReader.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace zelvorin::platform {

namespace {

bool isDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

quint32 targetBits(int folder, const char* name) {
    struct stat info {};
    if (fstatat(folder, name, &info, 0) != 0)
        return FileAttribute::System; // dangling link, or gone while listed
    if (S_ISDIR(info.st_mode))
        return FileAttribute::Directory;
    if (S_ISREG(info.st_mode))
        return FileAttribute::Archive;
    return FileAttribute::System;
}

quint32 modeBits(int folder, const char* name, mode_t mode) {
    if (S_ISDIR(mode))
        return FileAttribute::Directory;
    if (S_ISREG(mode))
        return FileAttribute::Archive;
    if (S_ISLNK(mode))
        return LinkAttribute | targetBits(folder, name);
    return FileAttribute::System;
}

quint32 typeBits(int folder, const char* name, unsigned char type) {
    if (type == DT_DIR)
        return FileAttribute::Directory;
    if (type == DT_REG)
        return FileAttribute::Archive;
    if (type == DT_LNK)
        return LinkAttribute | targetBits(folder, name);
    if (type != DT_UNKNOWN)
        return FileAttribute::System;
    struct stat info {};
    if (fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return FileAttribute::System; // gone while listed
    return modeBits(folder, name, info.st_mode);
}

quint32 nameBits(int folder, const char* name, ReadOnlyCheck readOnly) {
    quint32 attributes = 0;
    if (name[0] == '.')
        attributes |= FileAttribute::Hidden;
    if (readOnly == ReadOnlyCheck::Check && faccessat(folder, name, W_OK, AT_EACCESS) != 0)
        attributes |= FileAttribute::ReadOnly;
    return attributes;
}

struct DirCloser {
    DIR* dir;
    ~DirCloser() {
        if (dir != nullptr)
            closedir(dir);
    }
};

} // namespace

namespace {
// Calls `each` with the open folder's descriptor and every entry but "." and "..".
// Returns 0 or an errno value.
template <typename Each> int walkFolder(const QByteArray& folder, Each each) {
    DirCloser closer{opendir(folder.isEmpty() ? "." : folder.constData())};
    if (closer.dir == nullptr)
        return errno;
    const int fd = dirfd(closer.dir);
    for (;;) {
        errno = 0;
        const dirent* found = readdir(closer.dir);
        if (found == nullptr)
            return errno;
        if (!isDotEntry(found->d_name))
            each(fd, found);
    }
}
} // namespace

int visitRawFolder(const QByteArray& folder, ReadOnlyCheck readOnly,
                   const std::function<void(std::string_view name, quint32 attributes)>& visit) {
    return walkFolder(folder, [&](int fd, const dirent* found) {
        const char* name = found->d_name;
        visit(std::string_view(name),
              typeBits(fd, name, found->d_type) | nameBits(fd, name, readOnly));
    });
}

FolderStream::FolderStream(const QByteArray& folder) {
    DIR* dir = opendir(folder.isEmpty() ? "." : folder.constData());
    if (dir == nullptr) {
        m_error = errno;
        return;
    }
    m_dir = dir;
    struct stat info {};
    if (fstat(dirfd(dir), &info) == 0)
        m_size = info.st_size;
    struct statfs volume {};
    if (fstatfs(dirfd(dir), &volume) == 0)
        m_fileSystem = quint64(volume.f_type);
}

FolderStream::~FolderStream() {
    if (m_dir != nullptr)
        closedir(static_cast<DIR*>(m_dir));
}

bool FolderStream::read(int limit, ReadOnlyCheck readOnly, const Visit& visit) {
    if (m_dir == nullptr)
        return false;
    DIR* dir = static_cast<DIR*>(m_dir);
    const int fd = dirfd(dir);
    for (int done = 0; done < limit;) {
        errno = 0;
        const dirent* found = readdir(dir);
        if (found == nullptr) {
            m_error = errno;
            closedir(dir);
            m_dir = nullptr;
            return false;
        }
        if (isDotEntry(found->d_name))
            continue;
        const char* name = found->d_name;
        visit(std::string_view(name),
              typeBits(fd, name, found->d_type) | nameBits(fd, name, readOnly));
        ++done;
    }
    return true;
}

qint64 FolderStream::estimatedEntries(double averageNameLength) const {
    // What a folder's size says differs by file system: tmpfs counts 20 bytes an entry,
    // btrfs twice the length of every name; block-based ones (ext4 and most others) hold
    // records of 8 bytes plus the name in blocks about three quarters full.
    constexpr quint64 Tmpfs = 0x01021994;
    constexpr quint64 Btrfs = 0x9123683E;
    if (m_size <= 0)
        return 0;
    if (m_fileSystem == Tmpfs)
        return m_size / 20;
    const double name = std::max(1.0, averageNameLength);
    if (m_fileSystem == Btrfs)
        return qint64(double(m_size) / (2 * name));
    const double record = double((8 + qint64(name) + 3) & ~qint64(3));
    return qint64(double(m_size) * 0.75 / record);
}

FolderProbe::FolderProbe(const QByteArray& folder) {
    m_folder =
        ::open(folder.isEmpty() ? "." : folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    m_error = m_folder < 0 ? errno : 0;
}

FolderProbe::~FolderProbe() {
    if (m_folder >= 0)
        ::close(m_folder);
}

int FolderProbe::lookUp(const QByteArray& name, ReadOnlyCheck readOnly, quint32* attributes) const {
    if (m_folder < 0)
        return m_error;
    // A listing never holds these, nor names with a separator.
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/'))
        return ENOENT;
    struct stat info {};
    if (fstatat(m_folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    *attributes = modeBits(m_folder, name.constData(), info.st_mode) |
                  nameBits(m_folder, name.constData(), readOnly);
    return 0;
}

bool sameFolderBytes(const QByteArray& a, const QByteArray& b) {
    if (a == b)
        return true;
    struct stat first {};
    struct stat second {};
    return stat(a.isEmpty() ? "." : a.constData(), &first) == 0 &&
           stat(b.isEmpty() ? "." : b.constData(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

int readRawSubfolders(const QByteArray& folder, bool followLinks, std::vector<QByteArray>& names) {
    names.clear();
    return walkFolder(folder, [&](int fd, const dirent* found) {
        const char* name = found->d_name;
        bool isFolder = found->d_type == DT_DIR;
        if (found->d_type == DT_UNKNOWN || (followLinks && found->d_type == DT_LNK)) {
            struct stat info {};
            const int flags = followLinks ? 0 : AT_SYMLINK_NOFOLLOW;
            isFolder = fstatat(fd, name, &info, flags) == 0 && S_ISDIR(info.st_mode);
        }
        if (isFolder)
            names.emplace_back(name);
    });
}

QByteArray currentFolderBytes() {
    QByteArray buffer(4096, Qt::Uninitialized);
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (getcwd(buffer.data(), size_t(buffer.size())) != nullptr)
            return QByteArray(buffer.constData());
        if (errno != ERANGE)
            return QByteArray();
        buffer.resize(buffer.size() * 4);
    }
    return QByteArray();
}

int changeFolderBytes(const QByteArray& path) {
    if (path.isEmpty())
        return ENOENT;
    return chdir(path.constData()) == 0 ? 0 : errno;
}

bool folderExistsBytes(const QByteArray& path) {
    struct stat info {};
    return !path.isEmpty() && stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool fileExistsBytes(const QByteArray& path) {
    struct stat info {};
    return !path.isEmpty() && stat(path.constData(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool entryMayExistBytes(const QByteArray& path) {
    struct stat info {};
    return lstat(path.constData(), &info) == 0 || errno != ENOENT;
}

} // namespace zelvorin::platform

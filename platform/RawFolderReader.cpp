#include "RawFolderReader.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelvorin::platform {

namespace {

bool isDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

quint32 typeBits(int folder, const char* name, unsigned char type) {
    if (type == DT_DIR)
        return FileAttribute::Directory;
    if (type == DT_REG)
        return FileAttribute::Archive;
    if (type != DT_LNK && type != DT_UNKNOWN)
        return FileAttribute::System;
    struct stat info {};
    if (fstatat(folder, name, &info, 0) != 0)
        return FileAttribute::System; // dangling link, or gone while listed
    if (S_ISDIR(info.st_mode))
        return FileAttribute::Directory;
    if (S_ISREG(info.st_mode))
        return FileAttribute::Archive;
    return FileAttribute::System;
}

struct DirCloser {
    DIR* dir;
    ~DirCloser() {
        if (dir != nullptr)
            closedir(dir);
    }
};

} // namespace

int readRawFolder(const QByteArray& folder, ReadOnlyCheck readOnly, std::vector<RawEntry>& entries,
                  const std::function<bool(const RawEntry&)>& keep) {
    entries.clear();
    DirCloser closer{opendir(folder.isEmpty() ? "." : folder.constData())};
    if (closer.dir == nullptr)
        return errno;
    const int fd = dirfd(closer.dir);
    for (;;) {
        errno = 0;
        const dirent* found = readdir(closer.dir);
        if (found == nullptr)
            return errno;
        const char* name = found->d_name;
        if (isDotEntry(name))
            continue;
        RawEntry entry;
        entry.name = QByteArray(name);
        entry.attributes = typeBits(fd, name, found->d_type);
        if (name[0] == '.')
            entry.attributes |= FileAttribute::Hidden;
        if (readOnly == ReadOnlyCheck::Check && faccessat(fd, name, W_OK, AT_EACCESS) != 0)
            entry.attributes |= FileAttribute::ReadOnly;
        if (keep && !keep(entry))
            continue;
        entries.push_back(std::move(entry));
    }
}

int visitRawFolder(const QByteArray& folder, ReadOnlyCheck readOnly,
                   const std::function<void(std::string_view name, quint32 attributes)>& visit) {
    DirCloser closer{opendir(folder.isEmpty() ? "." : folder.constData())};
    if (closer.dir == nullptr)
        return errno;
    const int fd = dirfd(closer.dir);
    for (;;) {
        errno = 0;
        const dirent* found = readdir(closer.dir);
        if (found == nullptr)
            return errno;
        const char* name = found->d_name;
        if (isDotEntry(name))
            continue;
        quint32 attributes = typeBits(fd, name, found->d_type);
        if (name[0] == '.')
            attributes |= FileAttribute::Hidden;
        if (readOnly == ReadOnlyCheck::Check && faccessat(fd, name, W_OK, AT_EACCESS) != 0)
            attributes |= FileAttribute::ReadOnly;
        visit(std::string_view(name), attributes);
    }
}

int readRawSubfolders(const QByteArray& folder, bool followLinks, std::vector<QByteArray>& names) {
    names.clear();
    DirCloser closer{opendir(folder.isEmpty() ? "." : folder.constData())};
    if (closer.dir == nullptr)
        return errno;
    const int fd = dirfd(closer.dir);
    for (;;) {
        errno = 0;
        const dirent* found = readdir(closer.dir);
        if (found == nullptr)
            return errno;
        const char* name = found->d_name;
        if (isDotEntry(name))
            continue;
        bool isFolder = found->d_type == DT_DIR;
        if (found->d_type == DT_UNKNOWN || (followLinks && found->d_type == DT_LNK)) {
            struct stat info {};
            const int flags = followLinks ? 0 : AT_SYMLINK_NOFOLLOW;
            isFolder = fstatat(fd, name, &info, flags) == 0 && S_ISDIR(info.st_mode);
        }
        if (isFolder)
            names.emplace_back(name);
    }
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

} // namespace zelvorin::platform

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PrivateFiles.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelvorin::platform {

QByteArray cacheHome() {
    // A relative value is invalid by the base directory rules and is ignored.
    const QByteArray configured = qgetenv("XDG_CACHE_HOME");
    if (configured.startsWith('/'))
        return configured;
    return qgetenv("HOME") + "/.cache";
}

int openForReading(const QByteArray& rawPath, QFile& file) {
    const int fd = ::open(rawPath.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return EIO;
    }
    return 0;
}

int makePrivateFolders(const QByteArray& rawPath) {
    QByteArray path = rawPath;
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    if (path.isEmpty())
        return ENOENT;
    struct stat info {};
    if (::stat(path.constData(), &info) == 0)
        return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    const qsizetype slash = path.lastIndexOf('/');
    if (slash > 0) {
        if (const int error = makePrivateFolders(path.left(slash)); error != 0)
            return error;
    }
    // Another thread or program may have made it meanwhile.
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return errno;
    return 0;
}

int writePrivateFile(const QByteArray& rawPath, const QByteArray& bytes) {
    const qsizetype slash = rawPath.lastIndexOf('/');
    if (slash > 0) {
        if (const int error = makePrivateFolders(rawPath.left(slash)); error != 0)
            return error;
    }
    // mkstemp makes the file with mode 0600 and a name no other writer uses, so several
    // programs making the same thumbnail at once each rename a whole file.
    QByteArray temporary = rawPath + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return errno;
    int error = 0;
    for (qsizetype done = 0; done < bytes.size() && error == 0;) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno != EINTR)
            error = errno;
        else if (written > 0)
            done += written;
    }
    // Flushed before the rename, so that after a power cut the name never holds a file
    // whose bytes did not reach the disk.
    if (error == 0)
        error = flushToDisk(fd);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), rawPath.constData()) != 0)
        error = errno;
    if (error != 0)
        ::unlink(temporary.constData());
    return error;
}

void removeStaleTemporaries(const QByteArray& folder, const QByteArray& targetSuffix) {
    // mkstemp's six letters and digits follow the target's name and a dot.
    constexpr qsizetype Random = 6;
    const auto isTemporary = [&targetSuffix](const QByteArray& name) {
        const qsizetype stem = name.size() - Random - 1;
        if (stem <= targetSuffix.size() || name.at(stem) != '.' ||
            !name.left(stem).endsWith(targetSuffix))
            return false;
        for (qsizetype i = stem + 1; i < name.size(); ++i) {
            const char c = name.at(i);
            if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
                return false;
        }
        return true;
    };
    DIR* dir = ::opendir(folder.constData());
    if (dir == nullptr)
        return;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!isTemporary(name))
            continue;
        const QByteArray path = folder + '/' + name;
        struct stat info {};
        if (::lstat(path.constData(), &info) == 0 && S_ISREG(info.st_mode) &&
            now - info.st_mtime >= 60)
            ::unlink(path.constData());
    }
    ::closedir(dir);
}

int flushToDisk(int fd) {
    return ::fsync(fd) == 0 ? 0 : errno;
}

} // namespace zelvorin::platform

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Files made and read by the bytes of their paths, for names that are not valid text.
#pragma once

#include <QByteArray>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelvorin::test {

inline bool makeFile(const QByteArray& path, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && written;
}

inline QByteArray contents(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return QByteArray("<missing>");
    QByteArray all;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof(buffer))) > 0)
        all.append(buffer, got);
    ::close(fd);
    return all;
}

// True when the path names an entry, a link that leads nowhere included.
inline bool exists(const QByteArray& path) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0;
}

} // namespace zelvorin::test

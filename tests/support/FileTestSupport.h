// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Small helpers shared by the file column's tests: folders of files made on disk, and
// waiting for a condition.
#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelvorin::test {

// Runs the event loop until `done` holds; false after the time limit. Tests wait for a
// condition, never for a time that a busy machine may overrun.
template <typename Condition> bool waitUntil(Condition done, int timeoutMs = 15000) {
    for (QDeadlineTimer deadline(timeoutMs); !done(); QTest::qWait(5)) {
        if (deadline.hasExpired())
            return false;
    }
    return true;
}

inline bool touch(const QString& path, const QByteArray& bytes = QByteArray()) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size();
}

inline void touchAll(const QString& folder, const QStringList& names) {
    for (const QString& name : names)
        touch(folder + QLatin1Char('/') + name);
}

// Creates a file whose name is the given raw bytes (not necessarily UTF-8).
inline bool touchRaw(const QByteArray& folder, const QByteArray& name, const QByteArray& bytes) {
    const QByteArray path = folder + '/' + name;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    ::close(fd);
    return ok;
}

// A fresh, empty folder of that name below `base`.
inline QString freshFolder(const QTemporaryDir& base, const QString& name) {
    const QString path = base.path() + QLatin1Char('/') + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

// The process's current folder is shared by every test case and read by the lists when
// they are made: each case starts from the test's own empty one (see TestEnvironment).
inline void resetCurrentFolder() {
    QDir::setCurrent(QDir::homePath() + QStringLiteral("/../current"));
}

} // namespace zelvorin::test

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What a file is at one moment as far as a cache or a watcher needs to know: whether it
// is there, which file it is (device and inode, so a file saved by writing a new one and
// renaming it over the old counts as changed), its size and when it was last written.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QtGlobal>
#include <ctime>

namespace zelvorin::platform {

struct FileStamp {
    bool exists = false;
    bool regular = false; // a regular file (links followed)
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedSeconds = 0;     // since the epoch
    qint64 modifiedNanoseconds = 0; // the part below the second

    bool operator==(const FileStamp&) const = default;
};

// The stamp of a raw path, links followed; `exists` is false when it cannot be looked at.
FileStamp fileStamp(const QByteArray& rawPath);

// A file time (st_mtim and the like) as a date and time in UTC, to the millisecond.
QDateTime utcDateTime(const struct timespec& time);

} // namespace zelvorin::platform

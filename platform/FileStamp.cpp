// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileStamp.h"

#include <QTimeZone>
#include <sys/stat.h>

namespace zelvorin::platform {

FileStamp fileStamp(const QByteArray& rawPath) {
    FileStamp stamp;
    struct stat info {};
    if (rawPath.isEmpty() || ::stat(rawPath.constData(), &info) != 0)
        return stamp;
    stamp.exists = true;
    stamp.regular = S_ISREG(info.st_mode);
    stamp.device = quint64(info.st_dev);
    stamp.inode = quint64(info.st_ino);
    stamp.size = qint64(info.st_size);
    stamp.modifiedSeconds = qint64(info.st_mtim.tv_sec);
    stamp.modifiedNanoseconds = qint64(info.st_mtim.tv_nsec);
    return stamp;
}

QDateTime utcDateTime(const struct timespec& time) {
    const qint64 milliseconds = qint64(time.tv_sec) * 1000 + time.tv_nsec / 1000000;
    // Qt 6.5 replaced the time spec by a time zone (the spec is deprecated from 6.8 on).
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    return QDateTime::fromMSecsSinceEpoch(milliseconds, QTimeZone(QTimeZone::UTC));
#else
    return QDateTime::fromMSecsSinceEpoch(milliseconds, Qt::UTC);
#endif
}

} // namespace zelvorin::platform

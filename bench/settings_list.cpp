// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Reading a numbered list (LastFolders, ten entries) from the settings store after the
// file refused 1, 10 and 50 writes of that list, beside the same read from the store
// before any write was refused, medians of runs measured in one process. The store holds
// a list of its own throughout, so every read also asks the file. Target: the same cost
// however many writes were refused (each refused write of the list used to double it).
//   bench_settings_list [REPETITIONS]
#include "BenchFigures.h"
#include "SettingsStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

const QString kHistory = QStringLiteral("Software\\Morvenkast\\Zelvorin\\History");

QStringList folders(int round) {
    QStringList list;
    for (int n = 0; n < 10; ++n)
        list << QStringLiteral("/home/user/Pictures/%1/%2").arg(round).arg(n);
    return list;
}

// Microseconds of one read of the list from each store, reads taking turns, the medians of
// `repetitions`.
std::pair<double, double> readMicroseconds(zelvorin::SettingsStore& first,
                                           zelvorin::SettingsStore& second, int repetitions) {
    std::vector<double> times[2];
    for (int i = 0; i < repetitions; ++i) {
        for (int which = 0; which < 2; ++which) {
            QStringList list;
            QElapsedTimer clock;
            clock.start();
            (which == 0 ? first : second).readStringList(kHistory, "LastFolders", &list, 1);
            times[which].push_back(double(clock.nsecsElapsed()) / 1e3);
            if (list.size() != 10)
                std::fprintf(stderr, "the list read has %d entries, not 10\n", int(list.size()));
        }
    }
    return {median(times[0]), median(times[1])};
}

// Makes the file unwritable for anyone (root included) or writable again: its mode, and
// the immutable attribute where the file system has one.
bool setWritable(const QString& file, bool writable) {
    const QByteArray path = QFile::encodeName(file);
    ::chmod(path.constData(), writable ? 0644 : 0444);
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = writable ? flags & ~FS_IMMUTABLE_FL : flags | FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        ::close(fd);
    }
    return (::access(path.constData(), W_OK) == 0) == writable;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    QTemporaryDir folder;
    const QString file = folder.filePath("refusing/registry.db");
    const QString baselineFile = folder.filePath("taking/registry.db");
    for (const QString& path : {file, baselineFile}) {
        zelvorin::SettingsStore setup(path);
        const QStringList stored = folders(-1);
        setup.writeStringList(kHistory, "LastFolders", &stored, 1);
    }
    if (!setWritable(file, false)) {
        std::fprintf(stderr, "the store cannot be made unwritable here\n");
        return 1;
    }
    zelvorin::SettingsStore baseline(baselineFile);
    zelvorin::SettingsStore store(file);
    std::printf("list of 10 read, medians of %d reads taking turns; baseline: the same read from "
                "a store that refused no write\n",
                repetitions);
    int refused = 0;
    for (const int target : {0, 1, 10, 50}) {
        for (; refused < target; ++refused) {
            const QStringList written = folders(refused);
            store.writeStringList(kHistory, "LastFolders", &written, 1);
        }
        const auto [taking, refusing] = readMicroseconds(baseline, store, repetitions);
        std::printf("  after %2d refused writes: %8.1f us   baseline %8.1f us\n", refused, refusing,
                    taking);
    }
    setWritable(file, true);
    return 0;
}

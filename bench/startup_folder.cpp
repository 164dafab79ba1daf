// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up of zelvorin to its first page loaded and its file list painted, started on a
// folder of 100,000 files and on an empty one, beside the floor of a minimal one-view
// program, alternating runs in one session. Goal: the large folder adds under 100 ms.
//   bench_startup_folder FOLDER [REPETITIONS]
// FOLDER: a folder of about 100,000 files (bench_folder_read leaves one behind).
#include "BenchFigures.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

QProcessEnvironment environmentFor(const QString& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    env.insert("XDG_DATA_HOME", home + "/.local/share");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ZELVORIN_QUIT_AFTER_FIRST_PAGE", "list");
    if (geteuid() == 0)
        env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    return env;
}

// The time until the program has printed every line it is awaited for; -1 on failure.
double runOnce(const QString& program, const QString& home, int lines) {
    QProcess process;
    process.setProcessEnvironment(environmentFor(home));
    process.setWorkingDirectory(home);
    QElapsedTimer clock;
    clock.start();
    process.start(program, {});
    QByteArray output;
    double ms = -1;
    while (process.waitForReadyRead(60000)) {
        output += process.readAllStandardOutput();
        if (output.count('\n') >= lines) {
            ms = double(clock.nsecsElapsed()) / 1e6;
            break;
        }
    }
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return -1;
    return ms;
}

// A home whose settings start the program in `folder`.
bool startIn(const QString& tools, const QString& home, const QString& folder) {
    QProcess reg;
    reg.setProcessEnvironment(environmentFor(home));
    reg.start(tools + "/zelvorin-reg", {"add", "HKCU\\Software\\Morvenkast\\Zelvorin\\History",
                                        "/v", "LastFolder", "/d", folder, "/f"});
    return reg.waitForFinished(10000) && reg.exitCode() == 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_startup_folder FOLDER [REPETITIONS]\n");
        return 2;
    }
    const QString large = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const int repetitions = argc > 2 ? std::max(1, atoi(argv[2])) : 11;
    const QString bin = QCoreApplication::applicationDirPath();
    const QString zelvorin = bin + "/zelvorin";
    const QString floor = bin + "/bench_startup_floor";
    QTemporaryDir root;
    const QString emptyHome = root.path() + "/empty-home";
    const QString largeHome = root.path() + "/large-home";
    const QString empty = root.path() + "/empty";
    for (const QString& folder : {emptyHome, largeHome, empty})
        QDir().mkpath(folder);
    if (!startIn(bin, emptyHome, empty) || !startIn(bin, largeHome, large)) {
        std::fprintf(stderr, "cannot write the starting folders\n");
        return 1;
    }
    const qsizetype files = QDir(large).entryList(QDir::Files).size();
    // One unmeasured run each warms the caches.
    runOnce(floor, emptyHome, 1);
    runOnce(zelvorin, emptyHome, 2);
    runOnce(zelvorin, largeHome, 2);
    std::vector<double> floors, emptyRuns, largeRuns;
    for (int i = 0; i < repetitions; ++i) {
        const double f = runOnce(floor, emptyHome, 1);
        const double e = runOnce(zelvorin, emptyHome, 2);
        const double l = runOnce(zelvorin, largeHome, 2);
        if (f < 0 || e < 0 || l < 0) {
            std::fprintf(stderr, "a run failed (floor %.0f, empty %.0f, large %.0f)\n", f, e, l);
            return 1;
        }
        floors.push_back(f);
        emptyRuns.push_back(e);
        largeRuns.push_back(l);
    }
    const double f = median(floors), e = median(emptyRuns), l = median(largeRuns);
    std::printf("start-up to first page loaded and file list painted, median of %d runs\n",
                repetitions);
    std::printf("  floor (one window, one web view, first page): %8.1f ms\n", f);
    std::printf("  zelvorin on an empty folder:                  %8.1f ms\n", e);
    std::printf("  zelvorin on %lld files:                    %8.1f ms\n", qlonglong(files), l);
    std::printf("  the folder adds %.1f ms (goal under 100); zelvorin on it is %.2f times the "
                "floor\n",
                l - e, l / f);
    return 0;
}

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up time of zelvorin to its main window with the first page loaded, side by side with
// the floor of a minimal one-view program, alternating runs in one session.
//   bench_startup [REPETITIONS]
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
double runOnce(const QString& program, const QString& home) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    env.insert("XDG_DATA_HOME", home + "/.local/share");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ZELVORIN_QUIT_AFTER_FIRST_PAGE", "1");
    if (geteuid() == 0)
        env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    process.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    process.start(program, {});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return -1;
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    const QString folder = QCoreApplication::applicationDirPath();
    const QString zelvorin = folder + "/zelvorin";
    const QString floor = folder + "/bench_startup_floor";
    QTemporaryDir home;
    std::vector<double> ours, base;
    // One unmeasured run each warms the disk cache for both.
    runOnce(zelvorin, home.path());
    runOnce(floor, home.path());
    for (int i = 0; i < repetitions; ++i) {
        const double b = runOnce(floor, home.path());
        const double z = runOnce(zelvorin, home.path());
        if (b < 0 || z < 0) {
            std::fprintf(stderr, "a run failed (floor %.0f, zelvorin %.0f)\n", b, z);
            return 1;
        }
        base.push_back(b);
        ours.push_back(z);
    }
    const double m0 = median(base), m1 = median(ours);
    std::printf("start-up to first page loaded, median of %d runs\n", repetitions);
    std::printf("  floor (one window, one web view): %8.1f ms\n", m0);
    std::printf("  zelvorin main window:             %8.1f ms\n", m1);
    std::printf("  ratio: %.2f (target at most 1.25)\n", m1 / m0);
    return 0;
}

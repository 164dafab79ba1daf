// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up time of zelvorin to its main window with the first page loaded, side by side with
// the floor of a minimal one-view program, alternating runs in one session. The floor runs
// twice: with a blank page, and with zelvorin's own first page (the welcome page), whose
// fonts and layout cost the engine the same whichever program shows it. The time to the end
// of the process, the profile written back, is shown apart: it is no part of start-up.
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

struct Run {
    double firstPage = -1; // until the program says its first page has loaded
    double exit = -1;      // until the process has ended
};

Run runOnce(const QString& program, const QStringList& arguments, const QString& home) {
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
    process.start(program, arguments);
    Run run;
    QByteArray output;
    while (run.firstPage < 0 && process.waitForReadyRead(60000)) {
        output += process.readAllStandardOutput();
        if (output.contains("first page loaded"))
            run.firstPage = double(clock.nsecsElapsed()) / 1e6;
    }
    if (!process.waitForFinished(60000) || process.exitCode() != 0 || run.firstPage < 0)
        return {};
    run.exit = double(clock.nsecsElapsed()) / 1e6;
    return run;
}

struct Series {
    const char* name;
    QString program;
    QStringList arguments;
    std::vector<double> firstPage, exit;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    const QString folder = QCoreApplication::applicationDirPath();
    const QString floor = folder + "/bench_startup_floor";
    QTemporaryDir home;
    std::vector<Series> series{
        {"floor, blank page", floor, {}, {}, {}},
        {"floor, welcome page", floor, {QStringLiteral(WELCOME_PAGE)}, {}, {}},
        {"zelvorin main window", folder + "/zelvorin", {}, {}, {}},
    };
    // One unmeasured run each warms the disk cache.
    for (const Series& one : series)
        runOnce(one.program, one.arguments, home.path());
    for (int i = 0; i < repetitions; ++i) {
        for (Series& one : series) {
            const Run run = runOnce(one.program, one.arguments, home.path());
            if (run.exit < 0) {
                std::fprintf(stderr, "a run of %s failed\n", one.name);
                return 1;
            }
            one.firstPage.push_back(run.firstPage);
            one.exit.push_back(run.exit);
        }
    }
    std::printf("start-up to first page loaded (to the end of the process), median of %d runs\n",
                repetitions);
    for (const Series& one : series)
        std::printf("  %-22s %8.1f ms  (%6.1f ms)\n", one.name, median(one.firstPage),
                    median(one.exit));
    const double ours = median(series[2].firstPage);
    std::printf("  ratio to the blank floor: %.2f; to the floor with the same page: %.2f (target "
                "at most 1.25)\n",
                ours / median(series[0].firstPage), ours / median(series[1].firstPage));
    return 0;
}

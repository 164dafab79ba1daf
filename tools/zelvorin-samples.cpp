// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Writes the sample backgrounds and pages into the folder named on the command line,
// leaving every file that is already there untouched.
#include "SampleMaker.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: zelvorin-samples <folder>\n");
        return 2;
    }
    QString error;
    if (!zelvorin::MakeSamples(arguments.at(1), &error)) {
        std::fprintf(stderr, "zelvorin-samples: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

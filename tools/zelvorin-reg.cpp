// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// zelvorin-reg: the settings hives from the command line (see RegTool.h).
#include "LosslessNames.h"
#include "RegTool.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    // The arguments' own bytes, in lossless form: QCoreApplication::arguments() would drop a
    // leading U+FEFF and turn bytes that are not UTF-8 into U+FFFD.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << zelvorin::platform::losslessText(QByteArray(argv[i]));
    QCoreApplication app(argc, argv);
    QTextStream in(stdin);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int code = zelvorin::tools::runRegTool(arguments, zelvorin::tools::defaultRegToolFiles(),
                                                 in, out, err);
    out.flush();
    err.flush();
    return code;
}

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// zelvorin-reg: query, add, delete, export and import values of the settings hives from
// the command line, in the manner of reg.exe. The whole tool is this one function so that
// tests can run it without starting a process.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace zelvorin::tools {

struct RegToolFiles {
    QString currentUser;  // the hive behind HKEY_CURRENT_USER
    QString localMachine; // the hive behind HKEY_LOCAL_MACHINE
};

// The hives used when no --hive / --machine-hive option is given.
RegToolFiles defaultRegToolFiles();

// Runs one command (the arguments after the program name). `in` answers the Yes/No
// questions asked when /f or /y is missing. Gives the exit code: 0 on success, 1 on any
// error.
int runRegTool(const QStringList& arguments, const RegToolFiles& files, QTextStream& in,
               QTextStream& out, QTextStream& err);

} // namespace zelvorin::tools

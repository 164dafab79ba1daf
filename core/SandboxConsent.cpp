// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SandboxConsent.h"

#include <QtGlobal>

namespace zelvorin {

namespace {
constexpr char EngineSeparator[] = "--webengineargs";

// Qt WebEngine finds its separator by a whole, case-insensitive match.
qsizetype separatorIndex(const QByteArrayList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (arguments[i].toLower() == EngineSeparator)
            return i;
    return -1;
}
} // namespace

bool NoSandboxFlagGiven(const QByteArrayList& arguments) {
    // The first argument is the program's own name, never a flag.
    return arguments.indexOf(QByteArray(NoSandboxFlag), 1) > 0;
}

bool SandboxConsentGiven(const QByteArrayList& arguments) {
    return NoSandboxFlagGiven(arguments) ||
           qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX") ||
           qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").contains(NoSandboxFlag);
}

QString SandboxProblem(bool runningAsRoot, const QByteArrayList& arguments) {
    if (!runningAsRoot || SandboxConsentGiven(arguments))
        return {};
    return QStringLiteral(
        "Zelvorin is running as root. Its web engine (Chromium) refuses to start as root "
        "with its sandbox on, and Zelvorin never turns the sandbox off by itself.\n\n"
        "Start Zelvorin as a normal user. If you accept the risk of showing web pages "
        "without the sandbox, start it with the flag --no-sandbox (zelvorin --no-sandbox), "
        "or set QTWEBENGINE_DISABLE_SANDBOX=1 before starting it.");
}

QByteArrayList EngineArguments(const QByteArrayList& arguments) {
    QByteArrayList result = arguments;
    if (!NoSandboxFlagGiven(arguments))
        return result;
    const qsizetype separator = separatorIndex(arguments);
    if (separator < 0) {
        result << QByteArray("--webEngineArgs") << QByteArray(NoSandboxFlag);
    } else if (arguments.indexOf(QByteArray(NoSandboxFlag), separator + 1) < 0) {
        result.insert(separator + 1, QByteArray(NoSandboxFlag));
    }
    return result;
}

void AddConsentToEngineFlags(const QByteArrayList& arguments) {
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (NoSandboxFlagGiven(arguments) && qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS") &&
        !flags.contains(NoSandboxFlag))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + " " + NoSandboxFlag);
}

} // namespace zelvorin

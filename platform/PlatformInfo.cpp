// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PlatformInfo.h"

#include <QDir>
#include <QFile>
#include <QtGlobal>
#include <unistd.h>

namespace zelvorin::platform {

namespace {
QString xdgFolder(const char* variable, const QString& fallbackBelowHome) {
    QString base = QFile::decodeName(qgetenv(variable));
    // A relative XDG folder is invalid by the standard and must be ignored.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + "/" + fallbackBelowHome;
    return QDir::cleanPath(base) + "/zelvorin";
}
} // namespace

bool displayAvailable() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.startsWith("offscreen") || platform.startsWith("minimal") ||
        platform.startsWith("vnc"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool runningAsRoot() {
    return geteuid() == 0;
}

bool standardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

QString userConfigFolder() {
    return xdgFolder("XDG_CONFIG_HOME", ".config");
}

QString userDataFolder() {
    return xdgFolder("XDG_DATA_HOME", ".local/share");
}

} // namespace zelvorin::platform

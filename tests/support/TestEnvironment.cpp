// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
#include <ftw.h>
#include <unistd.h>

namespace zelvorin::test {

TestEnvironment::TestEnvironment() : m_root(QDir::tempPath() + "/zelvorin-test-XXXXXX") {
    const QString base = m_root.path();
    const auto setFolder = [&](const char* variable, const QString& name) {
        const QString path = base + "/" + name;
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(variable, QFile::encodeName(path));
    };
    setFolder("HOME", "home");
    setFolder("XDG_CONFIG_HOME", "home/.config");
    setFolder("XDG_DATA_HOME", "home/.local/share");
    setFolder("XDG_CACHE_HOME", "home/.cache");
    setFolder("XDG_RUNTIME_DIR", "runtime");
    // The file lists read the current folder when they are made: an empty one of the
    // test's own, whatever else lies in the machine's temporary folder.
    const QString current = base + "/current";
    QDir().mkpath(current);
    QDir::setCurrent(current);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The engine refuses to start as root with its sandbox on; tests only.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking "
                                          "--disable-component-update --disable-sync");
}

TestEnvironment::~TestEnvironment() {
    // QTemporaryDir cannot remove a name that is not UTF-8; the tests make such names.
    removeTree(QFile::encodeName(m_root.path()));
}

QString TestEnvironment::home() const {
    return root() + "/home";
}
QString TestEnvironment::configHome() const {
    return home() + "/.config";
}
QString TestEnvironment::dataHome() const {
    return home() + "/.local/share";
}

QString TestEnvironment::makeFolder(const QString& name) const {
    const QString path = root() + "/work/" + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

bool removeTree(const QByteArray& path) {
    const auto removeOne = [](const char* entry, const struct stat*, int, struct FTW*) {
        return std::remove(entry) == 0 ? 0 : -1;
    };
    return ::nftw(path.constData(), removeOne, 32, FTW_DEPTH | FTW_PHYS) == 0;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size();
}

bool mountNamespaceAvailable() {
    static const bool available = [] {
        QProcess probe;
        probe.start(QStringLiteral("unshare"), {QStringLiteral("-rm"), QStringLiteral("true")});
        return probe.waitForFinished() && probe.exitStatus() == QProcess::NormalExit &&
               probe.exitCode() == 0;
    }();
    return available;
}

} // namespace zelvorin::test

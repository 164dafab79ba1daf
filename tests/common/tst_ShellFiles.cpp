// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The file operations that stand in for the shell's, on raw paths, as the file column
// calls them.
#include "LosslessNames.h"
#include "ShellFiles.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>

using zelvorin::test::writeFile;

namespace {

QByteArray raw(const QString& path) {
    return zelvorin::platform::encodePath(path);
}

bool trash(const QString& path) {
    return zelvorin::moveToTrashWithShell({raw(path)}, false, nullptr).ok();
}

} // namespace

class ShellFilesTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void moveToTrashWithoutQuestion();
    void openWithShellRefusesMissingFiles();

private:
    QString m_folder;
};

void ShellFilesTest::init() {
    m_folder = qEnvironmentVariable("HOME") + QStringLiteral("/shellfiles");
    QDir(m_folder).removeRecursively();
    QVERIFY(QDir().mkpath(m_folder));
}

void ShellFilesTest::moveToTrashWithoutQuestion() {
    const QString path = m_folder + QStringLiteral("/doomed.txt");
    QVERIFY(writeFile(path, "bye"));
    QVERIFY(trash(path));
    QVERIFY(!QFile::exists(path));
    QVERIFY(!trash(path));
}

void ShellFilesTest::openWithShellRefusesMissingFiles() {
    QVERIFY(!zelvorin::openWithShell(raw(m_folder + QStringLiteral("/missing.html")), {}).ok());
    QVERIFY(!zelvorin::openWithShell(QByteArray(), {}).ok());
}

ZELVORIN_TEST_MAIN(ShellFilesTest)
#include "tst_ShellFiles.moc"

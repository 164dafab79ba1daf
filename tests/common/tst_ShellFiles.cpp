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

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray raw(const QString& path) {
    return zelvorin::platform::encodePath(path);
}

bool copyFile(const QString& source, const QString& destination, bool confirm, bool progress,
              QWidget* owner) {
    return zelvorin::copyFileWithShell(raw(source), raw(destination), confirm, progress, owner)
        .ok();
}

bool moveFile(const QString& source, const QString& destination, bool confirm, bool progress,
              QWidget* owner) {
    return zelvorin::moveFileWithShell(raw(source), raw(destination), confirm, progress, owner)
        .ok();
}

bool trash(const QString& path) {
    return zelvorin::moveToTrashWithShell({raw(path)}, false, nullptr).ok();
}

} // namespace

class ShellFilesTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void copyAndMoveRefuseBareNames();
    void copyAndMoveWithoutQuestions();
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

void ShellFilesTest::copyAndMoveRefuseBareNames() {
    const QString source = m_folder + QStringLiteral("/source.txt");
    QVERIFY(writeFile(source, "data"));
    QVERIFY(QDir::setCurrent(m_folder));
    QVERIFY(!copyFile(QStringLiteral("source.txt"), m_folder + QStringLiteral("/c.txt"), false,
                      false, nullptr));
    QVERIFY(!copyFile(source, QStringLiteral("c.txt"), false, false, nullptr));
    QVERIFY(!moveFile(QStringLiteral("source.txt"), m_folder + QStringLiteral("/m.txt"), false,
                      false, nullptr));
    QVERIFY(!moveFile(source, QStringLiteral("m.txt"), false, false, nullptr));
    QCOMPARE(QDir(m_folder).entryList(QDir::Files), QStringList{QStringLiteral("source.txt")});
}

void ShellFilesTest::copyAndMoveWithoutQuestions() {
    const QString source = m_folder + QStringLiteral("/source.txt");
    const QString copy = m_folder + QStringLiteral("/copy.txt");
    const QString moved = m_folder + QStringLiteral("/moved.txt");
    QVERIFY(writeFile(source, "new data"));
    QVERIFY(writeFile(copy, "old"));
    QVERIFY(copyFile(source, copy, false, false, nullptr));
    QCOMPARE(readAll(copy), QByteArray("new data"));
    QCOMPARE(readAll(source), QByteArray("new data"));
    QVERIFY(moveFile(source, moved, false, true, nullptr));
    QVERIFY(!QFile::exists(source));
    QCOMPARE(readAll(moved), QByteArray("new data"));
    QVERIFY(!copyFile(source, copy, false, false, nullptr)); // gone now
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

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Copy and move as the program does them in place of the Windows shell: questions,
// cancelling and failures never leave a partial file or lose the source, and a failure
// comes with the system's reason.
#include "ShellOperations.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace zelvorin;
using zelvorin::test::writeFile;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray raw(const QString& path) {
    return QFile::encodeName(path);
}

QByteArray bigData() {
    QByteArray data(3 * 1024 * 1024 + 123, '\0');
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = char(i * 31 % 251);
    return data;
}

struct stat statOf(const QString& path) {
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info;
}

// Every name in the folder, hidden ones included: a leftover temporary file shows here.
QStringList allNames(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

} // namespace

class TestShellOperations : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void replacesOnlyAfterYes_data();
    void replacesOnlyAfterYes();
    void noQuestionWithoutConfirmOrConflict();
    void newFileReplacesOnlyAfterYes_data();
    void newFileReplacesOnlyAfterYes();
    void refusals_data();
    void refusals();
    void copyKeepsPermissionsAndTime();
    void progressSeesEveryByte();
    void cancelledCopyLeavesNoPartialFile();
    void copyInProgressIsInvisible();
    void cancelledReplaceKeepsTheOldDestination();
    void failureHalfWayLeavesSourceWhole();
    void moveOnOneFileSystemIsARename();
    void moveAcrossFileSystems();
    void cancelledMoveAcrossFileSystemsKeepsSource();

private:
    QString m_folder;
    QString m_otherDevice;
};

void TestShellOperations::init() {
    m_folder = qEnvironmentVariable("HOME") + QStringLiteral("/shell");
    QDir(m_folder).removeRecursively();
    QVERIFY(QDir().mkpath(m_folder));
}

void TestShellOperations::cleanup() {
    if (!m_otherDevice.isEmpty())
        QDir(m_otherDevice).removeRecursively();
    m_otherDevice.clear();
}

void TestShellOperations::replacesOnlyAfterYes_data() {
    QTest::addColumn<bool>("move");
    QTest::addColumn<bool>("answer");
    QTest::newRow("copy, no") << false << false;
    QTest::newRow("copy, yes") << false << true;
    QTest::newRow("move, no") << true << false;
    QTest::newRow("move, yes") << true << true;
}

void TestShellOperations::replacesOnlyAfterYes() {
    QFETCH(bool, move);
    QFETCH(bool, answer);
    const QString source = m_folder + QStringLiteral("/a.txt");
    const QString destination = m_folder + QStringLiteral("/b.txt");
    QVERIFY(writeFile(source, "new"));
    QVERIFY(writeFile(destination, "old"));
    int questions = 0;
    platform::TransferOptions options;
    options.title = QStringLiteral(" Zelvorin");
    options.ask = [&](QWidget*, const QString& title, const QString& question) {
        ++questions;
        [&] {
            QCOMPARE(title, QStringLiteral(" Zelvorin"));
            QVERIFY(question.contains(destination));
        }();
        return answer;
    };
    const bool done = (move ? platform::moveFile(raw(source), raw(destination), options)
                            : platform::copyFile(raw(source), raw(destination), options))
                          .ok();
    QCOMPARE(done, answer);
    QCOMPARE(questions, 1);
    QCOMPARE(readAll(destination), answer ? QByteArray("new") : QByteArray("old"));
    QCOMPARE(QFile::exists(source), !(move && answer));
    QCOMPARE(allNames(m_folder).size(), move && answer ? 1 : 2);
}

void TestShellOperations::noQuestionWithoutConfirmOrConflict() {
    const QString source = m_folder + QStringLiteral("/a.txt");
    QVERIFY(writeFile(source, "data"));
    QVERIFY(writeFile(m_folder + QStringLiteral("/old.txt"), "old"));
    platform::TransferOptions options;
    options.ask = [](QWidget*, const QString&, const QString&) {
        [] { QFAIL("asked"); }();
        return false;
    };
    QVERIFY(platform::copyFile(raw(source), raw(m_folder + QStringLiteral("/new.txt")), options));
    options.confirmReplace = false;
    QVERIFY(platform::copyFile(raw(source), raw(m_folder + QStringLiteral("/old.txt")), options));
    QCOMPARE(readAll(m_folder + QStringLiteral("/old.txt")), QByteArray("data"));
}

void TestShellOperations::newFileReplacesOnlyAfterYes_data() {
    QTest::addColumn<QByteArray>("existing"); // what the name holds before; empty: nothing
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("a new name") << QByteArray() << false << QByteArray("new");
    QTest::newRow("taken, no") << QByteArray("old") << false << QByteArray("old");
    QTest::newRow("taken, yes") << QByteArray("old") << true << QByteArray("new");
}

void TestShellOperations::newFileReplacesOnlyAfterYes() {
    QFETCH(QByteArray, existing);
    QFETCH(bool, answer);
    QFETCH(QByteArray, after);
    const QString destination = m_folder + QStringLiteral("/copy.webp");
    if (!existing.isEmpty())
        QVERIFY(writeFile(destination, existing));
    int questions = 0;
    platform::TransferOptions options;
    options.ask = [&](QWidget*, const QString&, const QString& question) {
        ++questions;
        [&] { QVERIFY(question.contains(destination + QStringLiteral("\" already exists"))); }();
        return answer;
    };
    const mode_t umask = ::umask(022);
    const platform::FileResult result = platform::writeNewFile(raw(destination), "new", options);
    ::umask(umask);
    QCOMPARE(result.ok(), after == "new");
    QCOMPARE(result.failed(), false);
    QCOMPARE(questions, existing.isEmpty() ? 0 : 1);
    QCOMPARE(readAll(destination), after);
    // The user's own file, as any program writes one; nothing left beside it.
    if (existing.isEmpty())
        QCOMPARE(statOf(destination).st_mode & 0777, 0644u);
    QCOMPARE(allNames(m_folder), QStringList{"copy.webp"});
    // A folder is never replaced.
    QVERIFY(QDir().mkpath(m_folder + QStringLiteral("/folder.webp")));
    options.ask = [](QWidget*, const QString&, const QString&) { return true; };
    QCOMPARE(
        platform::writeNewFile(raw(m_folder + QStringLiteral("/folder.webp")), "x", options).error,
        EISDIR);
}

void TestShellOperations::refusals_data() {
    QTest::addColumn<bool>("move");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("error"); // 0: the program's own reason
    for (const bool move : {false, true}) {
        const char* kind = move ? "move: " : "copy: ";
        QTest::addRow("%smissing source", kind) << move << "missing"
                                                << "x" << ENOENT;
        QTest::addRow("%sa folder as source", kind) << move << "sub"
                                                    << "x" << EISDIR;
        QTest::addRow("%sa folder as destination", kind) << move << "a.txt"
                                                         << "sub" << EISDIR;
        QTest::addRow("%sonto itself", kind) << move << "a.txt"
                                             << "a.txt" << 0;
        QTest::addRow("%sinto a missing folder", kind) << move << "a.txt"
                                                       << "nofolder/x" << ENOENT;
        QTest::addRow("%sthrough a file", kind) << move << "a.txt"
                                                << "a.txt/x" << ENOTDIR;
    }
}

void TestShellOperations::refusals() {
    QFETCH(bool, move);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, error);
    const QString source = m_folder + QStringLiteral("/a.txt");
    QVERIFY(writeFile(source, "data"));
    QVERIFY(QDir().mkpath(m_folder + QStringLiteral("/sub")));
    platform::TransferOptions options;
    options.confirmReplace = false;
    const QByteArray fromPath = raw(m_folder + u'/' + from);
    const QByteArray toPath = raw(m_folder + u'/' + to);
    const platform::FileResult result = move ? platform::moveFile(fromPath, toPath, options)
                                             : platform::copyFile(fromPath, toPath, options);
    QVERIFY(result.failed());
    QCOMPARE(result.error, error);
    // The reason the user reads is the system's own text for the error.
    if (error != 0)
        QCOMPARE(result.reason, QString::fromLocal8Bit(std::strerror(error)));
    else
        QVERIFY(!result.reason.isEmpty());
    QCOMPARE(readAll(source), QByteArray("data"));
    QCOMPARE(allNames(m_folder), (QStringList{QStringLiteral("a.txt"), QStringLiteral("sub")}));
    QVERIFY(allNames(m_folder + QStringLiteral("/sub")).isEmpty());
}

void TestShellOperations::copyKeepsPermissionsAndTime() {
    const QString source = m_folder + QStringLiteral("/a.sh");
    const QString destination = m_folder + QStringLiteral("/b.sh");
    QVERIFY(writeFile(source, "#!/bin/sh\n"));
    QVERIFY(::chmod(QFile::encodeName(source).constData(), 0751) == 0);
    const struct timespec times[2] = {{1000000000, 0}, {1200000000, 500}};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(source).constData(), times, 0) == 0);
    platform::TransferOptions options;
    QVERIFY(platform::copyFile(raw(source), raw(destination), options));
    const struct stat info = statOf(destination);
    QCOMPARE(info.st_mode & 0777, mode_t(0751));
    QCOMPARE(qint64(info.st_mtim.tv_sec), qint64(1200000000));
}

void TestShellOperations::progressSeesEveryByte() {
    const QByteArray data = bigData();
    const QString source = m_folder + QStringLiteral("/big.bin");
    QVERIFY(writeFile(source, data));
    qint64 last = -1;
    int calls = 0;
    platform::TransferOptions options;
    options.progress = [&](qint64 copied, qint64 total) {
        ++calls;
        [&] {
            QCOMPARE(total, qint64(data.size()));
            QVERIFY(copied > last);
        }();
        last = copied;
        return true;
    };
    QVERIFY(platform::copyFile(raw(source), raw(m_folder + QStringLiteral("/copy.bin")), options));
    QCOMPARE(last, qint64(data.size()));
    QVERIFY(calls >= 2);
    QCOMPARE(readAll(m_folder + QStringLiteral("/copy.bin")), data);

    // An empty file still reports once, so it can be cancelled like any other.
    QVERIFY(writeFile(m_folder + QStringLiteral("/empty"), ""));
    calls = 0;
    last = -1;
    options.progress = [&](qint64, qint64) { return ++calls, true; };
    QVERIFY(platform::copyFile(raw(m_folder + QStringLiteral("/empty")),
                               raw(m_folder + QStringLiteral("/e2")), options));
    QCOMPARE(calls, 1);
}

void TestShellOperations::cancelledCopyLeavesNoPartialFile() {
    const QByteArray data = bigData();
    const QString source = m_folder + QStringLiteral("/big.bin");
    const QString target = m_folder + QStringLiteral("/target");
    QVERIFY(writeFile(source, data));
    QVERIFY(QDir().mkpath(target));
    platform::TransferOptions options;
    options.progress = [](qint64 copied, qint64) { return copied < 1024 * 1024; };
    // A cancel is the user's own choice: nothing to tell.
    QVERIFY(
        platform::copyFile(raw(source), raw(target + QStringLiteral("/big.bin")), options).kind ==
        platform::FileResult::Kind::Declined);
    QVERIFY(allNames(target).isEmpty());
    QCOMPARE(readAll(source), data);
}

void TestShellOperations::copyInProgressIsInvisible() {
    const QString target = m_folder + QStringLiteral("/target");
    QVERIFY(QDir().mkpath(target));
    const int probe = ::open(QFile::encodeName(target).constData(), O_TMPFILE | O_WRONLY, 0600);
    if (probe < 0)
        QSKIP("this file system has no unnamed files");
    ::close(probe);
    const QString source = m_folder + QStringLiteral("/big.bin");
    QVERIFY(writeFile(source, bigData()));
    QStringList seen;
    platform::TransferOptions options;
    options.progress = [&](qint64, qint64) {
        seen += allNames(target);
        return true;
    };
    QVERIFY(platform::copyFile(raw(source), raw(target + QStringLiteral("/big.bin")), options));
    QVERIFY(seen.isEmpty());
    QCOMPARE(allNames(target), QStringList{QStringLiteral("big.bin")});
}

void TestShellOperations::cancelledReplaceKeepsTheOldDestination() {
    const QString source = m_folder + QStringLiteral("/big.bin");
    const QString destination = m_folder + QStringLiteral("/old.bin");
    QVERIFY(writeFile(source, bigData()));
    QVERIFY(writeFile(destination, "old"));
    platform::TransferOptions options;
    options.ask = [](QWidget*, const QString&, const QString&) { return true; };
    options.progress = [](qint64, qint64) { return false; };
    QVERIFY(!platform::copyFile(raw(source), raw(destination), options));
    QCOMPARE(readAll(destination), QByteArray("old"));
    QCOMPARE(allNames(m_folder).size(), 2);
}

void TestShellOperations::failureHalfWayLeavesSourceWhole() {
    // A file size limit makes the write fail after the first megabyte, as a full disk would.
    const QByteArray data = bigData();
    const QString source = m_folder + QStringLiteral("/big.bin");
    const QString target = m_folder + QStringLiteral("/target");
    QVERIFY(writeFile(source, data));
    QVERIFY(QDir().mkpath(target));
    struct rlimit saved {};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &saved) == 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 1024 * 1024 + 17;
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &limited) == 0);
    platform::TransferOptions options;
    const platform::FileResult copied =
        platform::copyFile(raw(source), raw(target + QStringLiteral("/big.bin")), options);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    QVERIFY(copied.failed());
    QCOMPARE(copied.error, EFBIG);
    QVERIFY(allNames(target).isEmpty());
    QCOMPARE(readAll(source), data);
}

void TestShellOperations::moveOnOneFileSystemIsARename() {
    const QString source = m_folder + QStringLiteral("/a.bin");
    const QString destination = m_folder + QStringLiteral("/sub/b.bin");
    QVERIFY(writeFile(source, "data"));
    QVERIFY(QDir().mkpath(m_folder + QStringLiteral("/sub")));
    const ino_t inode = statOf(source).st_ino;
    platform::TransferOptions options;
    options.progress = [](qint64, qint64) {
        [] { QFAIL("a rename copies nothing"); }();
        return true;
    };
    QVERIFY(platform::moveFile(raw(source), raw(destination), options));
    QVERIFY(!QFile::exists(source));
    QCOMPARE(statOf(destination).st_ino, inode);
}

void TestShellOperations::moveAcrossFileSystems() {
    m_otherDevice =
        QStringLiteral("/dev/shm/zelvorin-move-%1").arg(QCoreApplication::applicationPid());
    if (!QDir().mkpath(m_otherDevice) || statOf(m_otherDevice).st_dev == statOf(m_folder).st_dev)
        QSKIP("no second file system to move to");
    const QByteArray data = bigData();
    const QString source = m_folder + QStringLiteral("/big.bin");
    const QString destination = m_otherDevice + QStringLiteral("/big.bin");
    QVERIFY(writeFile(source, data));
    platform::TransferOptions options;
    QVERIFY(platform::moveFile(raw(source), raw(destination), options));
    QVERIFY(!QFile::exists(source));
    QCOMPARE(readAll(destination), data);
    QCOMPARE(allNames(m_otherDevice), QStringList{QStringLiteral("big.bin")});

    // And back, over an existing file, after a yes.
    QVERIFY(writeFile(source, "old"));
    options.ask = [](QWidget*, const QString&, const QString&) { return true; };
    QVERIFY(platform::moveFile(raw(destination), raw(source), options));
    QCOMPARE(readAll(source), data);
    QVERIFY(allNames(m_otherDevice).isEmpty());
}

void TestShellOperations::cancelledMoveAcrossFileSystemsKeepsSource() {
    m_otherDevice =
        QStringLiteral("/dev/shm/zelvorin-cancel-%1").arg(QCoreApplication::applicationPid());
    if (!QDir().mkpath(m_otherDevice) || statOf(m_otherDevice).st_dev == statOf(m_folder).st_dev)
        QSKIP("no second file system to move to");
    const QByteArray data = bigData();
    const QString source = m_folder + QStringLiteral("/big.bin");
    QVERIFY(writeFile(source, data));
    platform::TransferOptions options;
    options.progress = [](qint64 copied, qint64 total) { return copied < total; };
    const QByteArray destination = raw(m_otherDevice + QStringLiteral("/big.bin"));
    QVERIFY(!platform::moveFile(raw(source), destination, options));
    QCOMPARE(readAll(source), data);
    QVERIFY(allNames(m_otherDevice).isEmpty());

    // A move asked to be a rename only refuses before it copies anything.
    options.renameOnly = true;
    options.progress = [](qint64, qint64) {
        [] { QFAIL("a rename-only move copies nothing"); }();
        return true;
    };
    QCOMPARE(platform::moveFile(raw(source), destination, options).error, EXDEV);
    QCOMPARE(readAll(source), data);
    QVERIFY(allNames(m_otherDevice).isEmpty());
}

ZELVORIN_TEST_MAIN(TestShellOperations)
#include "test_shelloperations.moc"

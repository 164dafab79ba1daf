// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileTestSupport.h"
#include "FolderMonitor.h"
#include "FolderMonitorThread.h"
#include "OnceWarning.h"
#include "TestEnvironment.h"

#include <QSignalSpy>
#include <QtTest>

using namespace zelvorin;

namespace {

constexpr FolderChanges FileChanges =
    FolderChange::FileName | FolderChange::Size | FolderChange::LastWrite;

// Waits for the worker to have its watches in place (it adds the subtree's itself) and
// every change before to be dealt with.
bool settle(const FolderMonitor& monitor) {
    return zelvorin::test::waitUntil([&] { return monitor.isSettled(); });
}

} // namespace

class FolderMonitorTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString folder(const QString& name) { return zelvorin::test::freshFolder(m_dir, name); }

private slots:
    void init() { zelvorin::test::resetCurrentFolder(); }

    void defaults() {
        FolderMonitor monitor(this);
        QVERIFY(!monitor.isActive());
        QCOMPARE(monitor.delayTime(), 0);
        QCOMPARE(monitor.filter(), FolderChange::FileName | FolderChange::FolderName |
                                       FolderChange::Size | FolderChange::LastWrite);
        QVERIFY(monitor.watchesSubtree());
        QVERIFY(monitor.folder().isEmpty());
        monitor.setActive(true); // no folder: stays inactive, no error
        QVERIFY(!monitor.isActive());
    }

    void burstOfFilesGivesOneChange() {
        const QString path = folder("burst");
        FolderMonitor monitor(this);
        monitor.setDelayTime(500);
        monitor.setFilter(FileChanges);
        monitor.setWatchesSubtree(false);
        monitor.setFolder(path);
        monitor.setActive(true);
        QVERIFY(monitor.isActive());
        QSignalSpy changes(&monitor, &FolderMonitor::changed);
        for (int i = 0; i < 10; ++i)
            zelvorin::test::touch(path + QStringLiteral("/copy%1.jpg").arg(i), "data");
        QTRY_COMPARE(changes.count(), 1);
        QVERIFY(settle(monitor));
        QCOMPARE(changes.count(), 1);
    }

    void filesAndFoldersAreToldApart() {
        const QString path = folder("apart");
        FolderMonitor files(this);
        files.setFilter(FileChanges);
        files.setWatchesSubtree(false);
        files.setFolder(path);
        files.setActive(true);
        FolderMonitor folders(this);
        folders.setFilter(FolderChange::FolderName);
        folders.setFolder(path);
        folders.setActive(true);
        QVERIFY(settle(files) && settle(folders));
        QSignalSpy fileChanges(&files, &FolderMonitor::changed);
        QSignalSpy folderChanges(&folders, &FolderMonitor::changed);

        QVERIFY(QDir().mkdir(path + "/sub"));
        QTRY_VERIFY(folderChanges.count() >= 1);
        QCOMPARE(fileChanges.count(), 0);

        // A file in a subfolder: not for a monitor of the folder itself.
        QVERIFY(settle(files) && settle(folders));
        folderChanges.clear();
        zelvorin::test::touch(path + "/sub/inner.txt");
        QVERIFY(settle(files) && settle(folders));
        QCOMPARE(fileChanges.count(), 0);

        zelvorin::test::touch(path + "/top.txt");
        QTRY_VERIFY(fileChanges.count() >= 1);
        fileChanges.clear();
        QVERIFY(QFile::rename(path + "/top.txt", path + "/renamed.txt"));
        QTRY_VERIFY(fileChanges.count() >= 1);
        fileChanges.clear();
        zelvorin::test::touch(path + "/renamed.txt", "longer content");
        QTRY_VERIFY(fileChanges.count() >= 1);
        fileChanges.clear();
        QVERIFY(QFile::remove(path + "/renamed.txt"));
        QTRY_VERIFY(fileChanges.count() >= 1);
        QCOMPARE(folderChanges.count(), 0);
    }

    void foldersAppearingBelowAreWatched() {
        const QString path = folder("deep");
        FolderMonitor monitor(this);
        monitor.setDelayTime(100);
        monitor.setFilter(FolderChange::FolderName);
        monitor.setFolder(path);
        monitor.setActive(true);
        QVERIFY(settle(monitor));
        QSignalSpy changes(&monitor, &FolderMonitor::changed);
        QVERIFY(QDir().mkdir(path + "/a"));
        QTRY_COMPARE(changes.count(), 1);
        QVERIFY(settle(monitor));
        QVERIFY(QDir().mkdir(path + "/a/b")); // two levels below: a new watch saw it
        QTRY_COMPARE(changes.count(), 2);
        QVERIFY(settle(monitor));
        QVERIFY(QDir().mkdir(path + "/a/b/c"));
        QTRY_COMPARE(changes.count(), 3);
    }

    void zeroDelayDropsThePendingChange() {
        const QString path = folder("drop");
        FolderMonitor monitor(this);
        monitor.setDelayTime(400);
        monitor.setFolder(path);
        monitor.setActive(true);
        QVERIFY(settle(monitor));
        QSignalSpy changes(&monitor, &FolderMonitor::changed);
        zelvorin::test::touch(path + "/a.txt");
        QTRY_VERIFY(monitor.hasPendingChange());
        QCOMPARE(monitor.delayTime(), 400); // the pending timer's interval
        monitor.setDelayTime(0);
        QVERIFY(settle(monitor));
        QCOMPARE(changes.count(), 0);
    }

    void vanishedFolderLeavesMonitorInactive() {
        const QString path = folder("vanish");
        FolderMonitor monitor(this);
        monitor.setFolder(path);
        monitor.setActive(true);
        QVERIFY(monitor.isActive());
        QVERIFY(QDir(path).removeRecursively());
        monitor.setActive(false);
        monitor.setActive(true); // no error
        QVERIFY(!monitor.isActive());
    }

    void sameFolderNameDoesNotRestart() {
        const QString path = folder("same");
        FolderMonitor monitor(this);
        monitor.setFolder(path);
        monitor.setActive(true);
        FolderMonitorThread* thread = monitor.worker();
        QVERIFY(thread != nullptr);
        monitor.setFolder(path);
        QCOMPARE(monitor.worker(), thread);
        monitor.setWatchesSubtree(false);
        QVERIFY(monitor.worker() != thread);
    }

    void restartFromInsideChange() {
        const QString path = folder("inside");
        FolderMonitor monitor(this);
        monitor.setFilter(FileChanges);
        monitor.setWatchesSubtree(false);
        monitor.setFolder(path);
        monitor.setActive(true);
        int handled = 0;
        connect(&monitor, &FolderMonitor::changed, this, [&] {
            monitor.setActive(false);
            ++handled;
            monitor.setActive(true);
        });
        QVERIFY(settle(monitor));
        zelvorin::test::touch(path + "/one.txt");
        QTRY_VERIFY(handled >= 1);
        QVERIFY(monitor.isActive());
        const int before = handled;
        QVERIFY(settle(monitor));
        zelvorin::test::touch(path + "/two.txt");
        QTRY_VERIFY(handled > before);
    }

    void watchLimitIsReportedOnce() {
        const QString path = folder("limit");
        for (int i = 0; i < 10; ++i)
            QDir().mkpath(path + QStringLiteral("/d%1/e").arg(i));
        int warnings = 0;
        // One warning shared by both monitors, as the file column shares the program's.
        const auto warning = std::make_shared<zelvorin::OnceWarning>([&](const QString& text) {
            QVERIFY(text.contains("inotify"));
            ++warnings;
        });
        FolderMonitor folders(this, warning);
        folders.setWatchBudget(12);
        folders.setFilter(FolderChange::FolderName);
        folders.setFolder(path);
        folders.setActive(true);
        QTRY_COMPARE(warnings, 1);
        QVERIFY(folders.worker()->limitReached());
        // The shown folder itself is still followed.
        QSignalSpy changes(&folders, &FolderMonitor::changed);
        QVERIFY(QDir().mkdir(path + "/new"));
        QTRY_VERIFY(changes.count() >= 1);
        // Restarting meets the limit again without a second warning.
        folders.setActive(false);
        folders.setActive(true);
        QVERIFY(settle(folders));
        QCOMPARE(warnings, 1);
        // No watch at all for the folder: inactive, still no second warning, no error.
        FolderMonitor none(this, warning);
        none.setWatchBudget(0);
        none.setFolder(path);
        none.setActive(true);
        QVERIFY(!none.isActive());
        QCOMPARE(warnings, 1);
    }

    void linkLoopsAreNotFollowed() {
        const QString path = folder("loops");
        QDir().mkpath(path + "/a/b");
        QVERIFY(QFile::link(path, path + "/a/b/up"));
        QVERIFY(QFile::link(path + "/a", path + "/a/side"));
        FolderMonitor monitor(this);
        monitor.setFilter(FolderChange::FolderName);
        monitor.setFolder(path);
        monitor.setActive(true);
        QTRY_COMPARE(monitor.worker()->watchCount(), 3); // the folder, a and a/b
    }

    void errorMessage() {
        const zelvorin::FolderMonitorError error(ENOENT);
        QCOMPARE(error.message(),
                 QStringLiteral("inotify error.  Code: 2.\nNo such file or directory"));
        QCOMPARE(error.code(), ENOENT);
    }

    void destroyedWhilePendingRaisesNothing() {
        const QString path = folder("destroyed");
        int changes = 0;
        {
            FolderMonitor monitor(this);
            monitor.setDelayTime(300);
            monitor.setFolder(path);
            monitor.setActive(true);
            connect(&monitor, &FolderMonitor::changed, this, [&] { ++changes; });
            QVERIFY(settle(monitor));
            zelvorin::test::touch(path + "/x.txt");
            QTRY_VERIFY(monitor.hasPendingChange());
        }
        // Whatever the destroyed monitor had posted runs now, and raises nothing.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCOMPARE(changes, 0);
    }
};

ZELVORIN_TEST_MAIN(FolderMonitorTest)
#include "tst_FolderMonitor.moc"

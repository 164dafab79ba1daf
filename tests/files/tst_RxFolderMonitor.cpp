#include "FileTestSupport.h"
#include "RxNotify.h"
#include "TestEnvironment.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

constexpr TFileChangeFilters FileChanges =
    TFileChangeFilter::fnFileName | TFileChangeFilter::fnSize | TFileChangeFilter::fnLastWrite;

// Waits for the worker to have its watches in place (it adds the subtree's itself) and
// every change before to be dealt with.
bool settle(const TRxFolderMonitor& monitor) {
    return zelvorin::test::waitUntil([&] { return monitor.Settled(); });
}

} // namespace

class RxFolderMonitorTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString folder(const QString& name) { return zelvorin::test::freshFolder(m_dir, name); }

private slots:
    void init() {
        zelvorin::test::resetCurrentFolder();
        TRxFolderMonitor::ResetLimitWarningForTest();
    }

    void defaults() {
        TRxFolderMonitor monitor(this);
        QVERIFY(!monitor.Active());
        QCOMPARE(monitor.DelayTime(), 0);
        QCOMPARE(monitor.Filter(), TFileChangeFilter::fnFileName | TFileChangeFilter::fnDirName |
                                       TFileChangeFilter::fnSize | TFileChangeFilter::fnLastWrite);
        QVERIFY(monitor.MonitorSubtree());
        QVERIFY(monitor.FolderName().isEmpty());
        monitor.SetActive(true); // no folder: stays inactive, no error
        QVERIFY(!monitor.Active());
    }

    void burstOfFilesGivesOneChange() {
        const QString path = folder("burst");
        TRxFolderMonitor monitor(this);
        monitor.SetDelayTime(500);
        monitor.SetFilter(FileChanges);
        monitor.SetMonitorSubtree(false);
        monitor.SetFolderName(path);
        monitor.SetActive(true);
        QVERIFY(monitor.Active());
        QSignalSpy changes(&monitor, &TRxFolderMonitor::Change);
        for (int i = 0; i < 10; ++i)
            zelvorin::test::touch(path + QStringLiteral("/copy%1.jpg").arg(i), "data");
        QTRY_COMPARE(changes.count(), 1);
        QVERIFY(settle(monitor));
        QCOMPARE(changes.count(), 1);
    }

    void filesAndFoldersAreToldApart() {
        const QString path = folder("apart");
        TRxFolderMonitor files(this);
        files.SetFilter(FileChanges);
        files.SetMonitorSubtree(false);
        files.SetFolderName(path);
        files.SetActive(true);
        TRxFolderMonitor folders(this);
        folders.SetFilter(TFileChangeFilter::fnDirName);
        folders.SetFolderName(path);
        folders.SetActive(true);
        QVERIFY(settle(files) && settle(folders));
        QSignalSpy fileChanges(&files, &TRxFolderMonitor::Change);
        QSignalSpy folderChanges(&folders, &TRxFolderMonitor::Change);

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
        TRxFolderMonitor monitor(this);
        monitor.SetDelayTime(100);
        monitor.SetFilter(TFileChangeFilter::fnDirName);
        monitor.SetFolderName(path);
        monitor.SetActive(true);
        QVERIFY(settle(monitor));
        QSignalSpy changes(&monitor, &TRxFolderMonitor::Change);
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
        TRxFolderMonitor monitor(this);
        monitor.SetDelayTime(400);
        monitor.SetFolderName(path);
        monitor.SetActive(true);
        QVERIFY(settle(monitor));
        QSignalSpy changes(&monitor, &TRxFolderMonitor::Change);
        zelvorin::test::touch(path + "/a.txt");
        QTRY_VERIFY(monitor.HasPendingChange());
        QCOMPARE(monitor.DelayTime(), 400); // the pending timer's interval
        monitor.SetDelayTime(0);
        QVERIFY(settle(monitor));
        QCOMPARE(changes.count(), 0);
    }

    void vanishedFolderLeavesMonitorInactive() {
        const QString path = folder("vanish");
        TRxFolderMonitor monitor(this);
        monitor.SetFolderName(path);
        monitor.SetActive(true);
        QVERIFY(monitor.Active());
        QVERIFY(QDir(path).removeRecursively());
        monitor.SetActive(false);
        monitor.SetActive(true); // no error
        QVERIFY(!monitor.Active());
    }

    void sameFolderNameDoesNotRestart() {
        const QString path = folder("same");
        TRxFolderMonitor monitor(this);
        monitor.SetFolderName(path);
        monitor.SetActive(true);
        TNotifyThread* thread = monitor.Thread();
        QVERIFY(thread != nullptr);
        monitor.SetFolderName(path);
        QCOMPARE(monitor.Thread(), thread);
        monitor.SetMonitorSubtree(false);
        QVERIFY(monitor.Thread() != thread);
    }

    void restartFromInsideChange() {
        const QString path = folder("inside");
        TRxFolderMonitor monitor(this);
        monitor.SetFilter(FileChanges);
        monitor.SetMonitorSubtree(false);
        monitor.SetFolderName(path);
        monitor.SetActive(true);
        int handled = 0;
        connect(&monitor, &TRxFolderMonitor::Change, this, [&] {
            monitor.SetActive(false);
            ++handled;
            monitor.SetActive(true);
        });
        QVERIFY(settle(monitor));
        zelvorin::test::touch(path + "/one.txt");
        QTRY_VERIFY(handled >= 1);
        QVERIFY(monitor.Active());
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
        const auto previous = TRxFolderMonitor::SetLimitWarningHandler([&](const QString& text) {
            QVERIFY(text.contains("inotify"));
            ++warnings;
        });
        TRxFolderMonitor folders(this);
        folders.SetWatchBudget(12);
        folders.SetFilter(TFileChangeFilter::fnDirName);
        folders.SetFolderName(path);
        folders.SetActive(true);
        QTRY_COMPARE(warnings, 1);
        QVERIFY(folders.Thread()->LimitReached());
        // The shown folder itself is still followed.
        QSignalSpy changes(&folders, &TRxFolderMonitor::Change);
        QVERIFY(QDir().mkdir(path + "/new"));
        QTRY_VERIFY(changes.count() >= 1);
        // Restarting meets the limit again without a second warning.
        folders.SetActive(false);
        folders.SetActive(true);
        QVERIFY(settle(folders));
        QCOMPARE(warnings, 1);
        // No watch at all for the folder: inactive, still no second warning, no error.
        TRxFolderMonitor none(this);
        none.SetWatchBudget(0);
        none.SetFolderName(path);
        none.SetActive(true);
        QVERIFY(!none.Active());
        QCOMPARE(warnings, 1);
        TRxFolderMonitor::SetLimitWarningHandler(previous);
    }

    void linkLoopsAreNotFollowed() {
        const QString path = folder("loops");
        QDir().mkpath(path + "/a/b");
        QVERIFY(QFile::link(path, path + "/a/b/up"));
        QVERIFY(QFile::link(path + "/a", path + "/a/side"));
        TRxFolderMonitor monitor(this);
        monitor.SetFilter(TFileChangeFilter::fnDirName);
        monitor.SetFolderName(path);
        monitor.SetActive(true);
        QTRY_COMPARE(monitor.Thread()->WatchCount(), 3); // the folder, a and a/b
    }

    void errorMessage() {
        const zelvorin::FolderMonitorError error(ENOENT);
        QCOMPARE(error.message(),
                 QStringLiteral("inotify error.  Code: 2.\nNo such file or directory"));
        QCOMPARE(error.code(), ENOENT);
    }

    void activationWaitsForLoading() {
        const QString path = folder("loading");
        TRxFolderMonitor monitor(this);
        monitor.BeginLoading();
        monitor.SetFolderName(path);
        monitor.SetActive(true);
        QVERIFY(!monitor.Active());
        monitor.Loaded();
        QVERIFY(monitor.Active());
    }

    void destroyedWhilePendingRaisesNothing() {
        const QString path = folder("destroyed");
        int changes = 0;
        {
            TRxFolderMonitor monitor(this);
            monitor.SetDelayTime(300);
            monitor.SetFolderName(path);
            monitor.SetActive(true);
            connect(&monitor, &TRxFolderMonitor::Change, this, [&] { ++changes; });
            QVERIFY(settle(monitor));
            zelvorin::test::touch(path + "/x.txt");
            QTRY_VERIFY(monitor.HasPendingChange());
        }
        // Whatever the destroyed monitor had posted runs now, and raises nothing.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCOMPARE(changes, 0);
    }
};

ZELVORIN_TEST_MAIN(RxFolderMonitorTest)
#include "tst_RxFolderMonitor.moc"

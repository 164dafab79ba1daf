// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The file list's refresh by changed names: it must always end where a full read of the
// folder ends, keep the selection as the full refresh does, and fall back to the full
// read whenever the monitor cannot name every change.
#include "FileListModel.h"
#include "FilePanel.h"
#include "FileTestSupport.h"
#include "FolderFiles.h"
#include "FolderMonitor.h"
#include "FolderSession.h"
#include "FolderWatcher.h"
#include "TestEnvironment.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

#include <cstdio>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zelvorin;

namespace {

const FileKinds MainFileType =
    FileKind::ReadOnly | FileKind::Hidden | FileKind::System | FileKind::Archive | FileKind::Normal;

// Names met in real folders: mixed case, hidden, without extension, not UTF-8.
const QList<QByteArray> Pool = {
    "a.jpg",        "B.JPG",  "c.png",    "d.txt", ".hidden.jpg", "e.gif", "plain", "caf\xe9.jpg",
    "\xff\xfe.png", "Q.jpeg", "link.jpg", "x.JPG", "sub.jpg",     "A.jpg", "m.png", "\xc3\x28.jpg"};

QList<QByteArray> rawItems(const FolderFiles& files) {
    QList<QByteArray> items;
    for (int row = 0; row < files.count(); ++row)
        items.append(files.model()->at(row).raw);
    return items;
}

QList<QByteArray> freshRead(const QString& path, FileKinds type, const QString& mask) {
    FolderSession session;
    FolderFiles& fresh = *session.files();
    fresh.setKinds(type);
    fresh.setMask(mask);
    session.setFolder(path);
    fresh.reread();
    // A folder of more than a few thousand entries is read on in the background.
    if (!test::waitUntil([&] { return !fresh.isReading(); }))
        return {};
    return rawItems(fresh);
}

int removeEntry(const char* path, const struct stat*, int, FTW*) {
    return ::remove(path);
}

bool removeAny(const QByteArray& path) {
    return ::unlink(path.constData()) == 0 || ::rmdir(path.constData()) == 0;
}

// Random changes to a folder, each noting the names of the folder it touched (what the
// system reports for that folder). A sibling folder serves for moves in and out and as
// the target of links that change without the folder hearing of it.
class Changer {
public:
    Changer(const QString& folder, const QString& outside, quint32 seed)
        : m_folder(QFile::encodeName(folder)), m_outside(QFile::encodeName(outside)),
          m_random(seed) {}

    QSet<QByteArray> touched;

    void step() {
        const QByteArray name = pick();
        const QByteArray path = m_folder + '/' + name;
        const quint32 op = m_random.bounded(11);
        switch (op) {
        case 0:
        case 1: { // writing through a link to a name of the folder creates that name
            char target[256] = {};
            if (::readlink(path.constData(), target, sizeof(target) - 1) > 0 &&
                !QByteArray(target).contains('/'))
                touched.insert(QByteArray(target));
            test::touchRaw(m_folder, name, "x");
            break;
        }
        case 2:
            removeAny(path);
            break;
        case 3: { // a rename within the folder, possibly over another name
            const QByteArray other = pick();
            if (::rename(path.constData(), (m_folder + '/' + other).constData()) == 0)
                touched.insert(other);
            break;
        }
        case 4: { // out of the folder
            const QByteArray target = m_outside + "/out" + QByteArray::number(m_count++);
            ::rename(path.constData(), target.constData());
            break;
        }
        case 5: { // into the folder
            const QByteArray source = m_outside + "/in" + QByteArray::number(m_count++);
            test::touchRaw(m_outside, source.mid(m_outside.size() + 1), "y");
            removeAny(path);
            ::rename(source.constData(), path.constData());
            break;
        }
        case 6: { // a link's mode is its target's: leave links alone
            struct stat info {};
            if (::lstat(path.constData(), &info) == 0 && !S_ISLNK(info.st_mode))
                ::chmod(path.constData(), m_random.bounded(2) ? 0444 : 0644);
            break;
        }
        case 7:
            removeAny(path);
            ::mkdir(path.constData(), 0755);
            break;
        case 8: { // a link to a name of the folder, which may not exist
            removeAny(path);
            if (::symlink(pick().constData(), path.constData()) != 0)
                return;
            break;
        }
        case 9: { // a link to a file outside
            removeAny(path);
            const QByteArray target =
                m_outside + "/target" + QByteArray::number(m_random.bounded(3));
            if (::symlink(target.constData(), path.constData()) != 0)
                return;
            break;
        }
        default: { // outside only: the targets of links come and go unheard
            const QByteArray target = "target" + QByteArray::number(m_random.bounded(3));
            const QByteArray full = m_outside + '/' + target;
            if (m_random.bounded(2))
                test::touchRaw(m_outside, target, "t");
            else if (!removeAny(full))
                ::mkdir(full.constData(), 0755);
            return;
        }
        }
        touched.insert(name);
    }

private:
    QByteArray pick() { return Pool.at(int(m_random.bounded(quint32(Pool.size())))); }

    QByteArray m_folder;
    QByteArray m_outside;
    QRandomGenerator m_random;
    int m_count = 0;
};

// Lets every queued notification and merge timer of the panel run.
bool waitUntilQuiet(const FilePanel& panel) {
    return test::waitUntil([&] { return panel.session()->isSettled(); });
}

} // namespace

class FileListRefreshTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString folder(const QString& name) { return test::freshFolder(m_dir, name); }
    std::unique_ptr<FilePanel> makePanel(const QString& path, int delay) {
        auto panel = std::make_unique<FilePanel>(nullptr);
        panel->resize(170, 500);
        panel->show();
        panel->session()->fileMonitor()->setDelayTime(delay);
        panel->showStartingFolder(path);
        panel->restoreFilter(4);
        return panel;
    }

private slots:
    void init() { test::resetCurrentFolder(); }
    // QDir cannot remove names it cannot spell.
    void cleanupTestCase() {
        test::resetCurrentFolder();
        ::nftw(QFile::encodeName(m_dir.path()).constData(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    }

    void namesGiveTheFullReadsResult_data() {
        QTest::addColumn<FileKinds>("type");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("main list, images") << MainFileType << "*.jpg;*.png;*.jpeg" << 1u;
        QTest::newRow("main list, all") << MainFileType << "*.*" << 2u;
        QTest::newRow("normal files") << FileKinds(FileKind::Normal) << "*.*" << 3u;
        QTest::newRow("read-only and folders")
            << (FileKind::ReadOnly | FileKind::Directory) << "*" << 4u;
        QTest::newRow("system and hidden") << (FileKind::System | FileKind::Hidden) << "*.*" << 5u;
        QTest::newRow("folders, hidden, normal")
            << (FileKind::Directory | FileKind::Hidden | FileKind::Normal) << "*.JPG" << 6u;
        QTest::newRow("empty mask") << MainFileType << "" << 7u;
    }

    // The same random changes, one list refreshed by names and one by the full re-read:
    // entries, selection, file edit and change notifications agree, and both equal a
    // fresh read of the folder.
    void namesGiveTheFullReadsResult() {
        QFETCH(FileKinds, type);
        QFETCH(QString, mask);
        QFETCH(quint32, seed);
        const QString path = folder(QStringLiteral("equal%1").arg(seed));
        const QString outside = folder(QStringLiteral("outside%1").arg(seed));
        Changer changer(path, outside, seed);
        for (int i = 0; i < 30; ++i)
            changer.step();
        const auto make = [&] {
            auto session = std::make_unique<FolderSession>();
            session->files()->setKinds(type);
            session->files()->setMask(mask);
            session->setFolder(path);
            session->files()->reread();
            return session;
        };
        auto byNamesSession = make();
        auto byReadingSession = make();
        FolderFiles* byNames = byNamesSession->files();
        FolderFiles* byReading = byReadingSession->files();
        const int reads = byNames->readCount();
        QSignalSpy namesChanges(byNames, &FolderFiles::selectionTold);
        QSignalSpy readChanges(byReading, &FolderFiles::selectionTold);
        QRandomGenerator random(seed);
        for (int round = 0; round < 60; ++round) {
            if (byNames->count() > 0 && random.bounded(3) != 0) {
                const int row = int(random.bounded(quint32(byNames->count())));
                byNames->selectRowTold(row);
                byReading->selectRowTold(row);
            }
            changer.touched.clear();
            const int steps = 1 + int(random.bounded(6u));
            for (int i = 0; i < steps; ++i)
                changer.step();
            const int rechecks = byNames->recheckCount();
            byNames->refreshNamesKeepingSelection(QFile::encodeName(path), changer.touched);
            byReading->refreshKeepingSelection();
            QCOMPARE(byNames->recheckCount(), rechecks + 1);
            const QList<QByteArray> items = rawItems(*byNames);
            QCOMPARE(items, rawItems(*byReading));
            QCOMPARE(items, freshRead(path, type, mask));
            QCOMPARE(byNames->selectedRow(), byReading->selectedRow());
            QCOMPARE(byNames->selectedPathBytes(), byReading->selectedPathBytes());
            QCOMPARE(namesChanges.count(), readChanges.count());
        }
        QCOMPARE(byNames->readCount(), reads); // never fell back to reading it all
    }

    void namesThatDoNotApplyReadEverything() {
        const QString path = folder("apply");
        const QString other = folder("apply-other");
        test::touchAll(path, {"a.jpg", "b.jpg"});
        FolderSession session;
        FolderFiles* box = session.files();
        box->setKinds(MainFileType);
        box->setMask("*.jpg");
        session.setFolder(path);
        const int reads = box->readCount();
        test::touch(path + "/c.jpg");
        // Names of another folder say nothing about this one.
        box->refreshNamesKeepingSelection(QFile::encodeName(other), {"c.jpg"});
        QCOMPARE(box->readCount(), reads + 1);
        QCOMPARE(box->recheckCount(), 0);
        // The same folder by another spelling is still the same folder.
        test::touch(path + "/d.jpg");
        box->refreshNamesKeepingSelection(QFile::encodeName(path + "/."), {"d.jpg"});
        QCOMPARE(box->recheckCount(), 1);
        QCOMPARE(box->names(), QStringList({"a.jpg", "b.jpg", "c.jpg", "d.jpg"}));
        // A folder that went away lists nothing, as its re-read does.
        QVERIFY(QDir(path).removeRecursively());
        box->refreshNamesKeepingSelection(QFile::encodeName(path), {"a.jpg"});
        QCOMPARE(box->readCount(), reads + 2);
        QCOMPARE(box->count(), 0);
    }

    void watcherNamesAndOverflow() {
        const QString path = folder("watcher");
        const QByteArray raw = QFile::encodeName(path);
        platform::FolderWatcher watcher;
        QCOMPARE(watcher.open(raw, false, platform::ChangeKind::FileName), 0);
        QVERIFY(watcher.collectsNames());
        watcher.setNameBound(1 << 30);
        test::touch(path + "/one.jpg");
        QVERIFY(test::touchRaw(raw, "t\xe9st.png", "x"));
        QVERIFY(QFile::rename(path + "/one.jpg", path + "/two.jpg"));
        QVERIFY(QDir().mkdir(path + "/folder"));
        ::chmod((raw + "/two.jpg").constData(), 0444);
        platform::ChangedNames names = watcher.takeNames();
        QVERIFY(!names.everything);
        QCOMPARE(names.names, QSet<QByteArray>({"one.jpg", "t\xe9st.png", "two.jpg", "folder"}));
        QVERIFY(watcher.takeNames().isEmpty());

        // More events than the system queues: the names cannot be complete.
        int limit = 16384;
        if (FILE* file = std::fopen("/proc/sys/fs/inotify/max_queued_events", "r")) {
            if (std::fscanf(file, "%d", &limit) != 1)
                limit = 16384;
            std::fclose(file);
        }
        for (int i = 0; i < limit + 100; ++i)
            test::touchRaw(raw, "many" + QByteArray::number(i), QByteArray());
        QVERIFY(watcher.takeNames().everything);
        test::touch(path + "/after.jpg");
        QCOMPARE(watcher.takeNames().names, QSet<QByteArray>({"after.jpg"}));

        // Past the bound of pending names.
        watcher.setNameBound(10);
        for (int i = 0; i < 11; ++i)
            test::touch(path + QStringLiteral("/bound%1").arg(i));
        QVERIFY(watcher.takeNames().everything);

        // The folder itself changing.
        QVERIFY(QDir().rename(path, path + "-moved"));
        QVERIFY(watcher.takeNames().everything);

        platform::FolderWatcher subtree;
        QCOMPARE(subtree.open(raw + "-moved", true, platform::ChangeKind::DirName), 0);
        QVERIFY(!subtree.collectsNames());
        QVERIFY(subtree.takeNames().everything);
    }

    void monitorNamesAcrossRestarts() {
        const QString path = folder("monitor");
        FolderMonitor monitor(this);
        monitor.setFilter(FolderChange::FileName | FolderChange::Size | FolderChange::LastWrite);
        monitor.setWatchesSubtree(false);
        monitor.setFolder(path);
        QVERIFY(!monitor.takeChangedNames()); // never watched: nothing can be told
        monitor.setActive(true);
        // A fresh start cannot know what happened before it.
        QVERIFY(!monitor.takeChangedNames());
        QCOMPARE(*monitor.takeChangedNames(), QSet<QByteArray>());
        QSignalSpy changes(&monitor, &FolderMonitor::changed);
        test::touch(path + "/a.jpg");
        QTRY_VERIFY(changes.count() >= 1);
        QVERIFY(test::waitUntil([&] { return monitor.isSettled(); }));
        int count = changes.count();
        // The handler's own restart loses nothing, also what happens while it is off.
        monitor.setActive(false);
        test::touch(path + "/b.jpg");
        QCOMPARE(*monitor.takeChangedNames(), QSet<QByteArray>({"a.jpg", "b.jpg"}));
        test::touch(path + "/c.jpg");
        monitor.setActive(true);
        // Made while the monitor was off: no change of its own, but the next change
        // carries it.
        QVERIFY(test::waitUntil([&] { return monitor.isSettled(); }));
        QCOMPARE(changes.count(), count);
        test::touch(path + "/e.jpg");
        QTRY_VERIFY(changes.count() > count);
        count = changes.count();
        QCOMPARE(*monitor.takeChangedNames(), QSet<QByteArray>({"c.jpg", "e.jpg"}));
        // Another folder: the names start over.
        const QString other = folder("monitor-other");
        monitor.setFolder(other);
        QVERIFY(!monitor.takeChangedNames());
        // A subtree monitor never tells names.
        monitor.setWatchesSubtree(true);
        QVERIFY(!monitor.takeChangedNames());
        test::touch(other + "/d.jpg");
        QTRY_VERIFY(changes.count() > count);
        QVERIFY(!monitor.takeChangedNames());
    }

    // The panel's real path: changes on disk, the monitor's notification, the refresh.
    void panelFollowsRandomChanges() {
        const QString path = folder("panel");
        const QString outside = folder("panel-outside");
        test::touchAll(path, {"start.jpg", "m.jpg"});
        auto panel = makePanel(path, 50);
        panel->session()->files()->setMask("*.*");
        FolderFiles* files = panel->session()->files();
        Changer changer(path, outside, 11);
        QRandomGenerator random(11);
        for (int round = 0; round < 12; ++round) {
            for (int i = 0; i < 1 + int(random.bounded(8u)); ++i)
                changer.step();
            // The last change is one the monitor counts.
            if (round % 2 == 0)
                test::touch(path + "/tick.jpg");
            else
                QVERIFY(QFile::remove(path + "/tick.jpg"));
            QVERIFY(waitUntilQuiet(*panel));
            QCOMPARE(rawItems(*files), freshRead(path, files->kinds(), files->mask()));
        }
        QVERIFY2(files->recheckCount() >= 6, qPrintable(QString::number(files->recheckCount())));
        QVERIFY(panel->session()->fileMonitor()->isActive());
    }

    void burstGivesOneRefresh() {
        const QString path = folder("burst");
        test::touchAll(path, {"first.jpg"});
        // A long merge time, so that a slow machine still finishes the burst within it.
        auto panel = makePanel(path, 4000);
        FolderFiles* files = panel->session()->files();
        files->setMask("*.*");
        const int before = files->readCount() + files->recheckCount();
        const QByteArray raw = QFile::encodeName(path);
        for (int i = 0; i < 10000; ++i)
            test::touchRaw(raw, "burst" + QByteArray::number(i) + ".jpg", QByteArray());
        QTRY_VERIFY_WITH_TIMEOUT(files->readCount() + files->recheckCount() > before, 10000);
        QVERIFY(waitUntilQuiet(*panel));
        QCOMPARE(files->readCount() + files->recheckCount(), before + 1);
        QCOMPARE(files->count(), 10001);
        QCOMPARE(rawItems(*files), freshRead(path, files->kinds(), files->mask()));
    }

    void selectionAcrossRefreshes() {
        const QString path = folder("selection");
        test::touchAll(path, {"a.jpg", "m.jpg", "z.jpg"});
        auto panel = makePanel(path, 50);
        FolderFiles* files = panel->session()->files();
        // The first change after the monitor started is read in full.
        test::touch(path + "/warm.jpg");
        QTRY_COMPARE(files->count(), 4);
        QVERIFY(waitUntilQuiet(*panel));
        files->selectFile("m.jpg");
        QSignalSpy changes(panel->session(), &FolderSession::fileChosen);
        const int rechecks = files->recheckCount();
        test::touchAll(path, {"b.jpg", "n.jpg"});
        QTRY_COMPARE(files->count(), 6);
        QVERIFY(waitUntilQuiet(*panel));
        QVERIFY(files->recheckCount() > rechecks);
        QCOMPARE(files->selectedPath(), path + "/m.jpg");
        QVERIFY(changes.count() >= 1);

        // The selected file deleted: no selection, and the preview hears of it.
        changes.clear();
        QVERIFY(QFile::remove(path + "/m.jpg"));
        QTRY_COMPARE(files->count(), 5);
        QVERIFY(waitUntilQuiet(*panel));
        QCOMPARE(files->selectedRow(), -1);
        QVERIFY(files->selectedPath().isEmpty());
        QVERIFY(changes.count() >= 1);
        QCOMPARE(files->names(), QStringList({"a.jpg", "b.jpg", "n.jpg", "warm.jpg", "z.jpg"}));
    }
};

ZELVORIN_TEST_MAIN(FileListRefreshTest)
#include "tst_FileListRefresh.moc"

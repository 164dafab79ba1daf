// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "EnablingPanel.h"
#include "FileListView.h"
#include "FileMessages.h"
#include "FileTestSupport.h"
#include "FolderFiles.h"
#include "FolderSession.h"
#include "FolderTreeView.h"
#include "LosslessNames.h"
#include "TestEnvironment.h"
#include "VolumeBox.h"

#include <QSignalSpy>
#include <QtTest>

using namespace zelvorin;
using platform::Volume;
using platform::VolumeKind;

Q_DECLARE_METATYPE(VolumeKind)

class FolderSessionTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_messages;

    QString folder(const QString& name) { return test::freshFolder(m_dir, name); }
    // What the session tells of failures is kept instead of shown.
    void keepMessages(FolderSession& session) {
        connect(&session, &FolderSession::failed, this,
                [this](const QString& text) { m_messages.append(text); });
    }
    static int rowOf(FolderTreeView& box, const QString& text) {
        for (int row = 0; row < box.count(); ++row) {
            if (box.item(row)->text() == text)
                return row;
        }
        return -1;
    }
    static void doubleClickRow(FolderTreeView& box, int row) {
        const QRect rect = box.visualItemRect(box.item(row));
        QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, rect.center());
    }

private slots:
    void init() {
        test::resetCurrentFolder();
        m_messages.clear();
    }

    void listsAncestorsThenSortedSubfolders() {
        const QString path = folder("pics");
        for (const char* name : {"b", "A", "c", ".hidden"})
            QDir().mkpath(path + "/" + name);
        test::touch(path + "/file.txt");
        FolderSession session;
        FolderTreeView box(&session);
        session.setFolder(path);
        QCOMPARE(session.folder(), path);
        QCOMPARE(QDir::currentPath(), path);
        const QStringList parts = path.split('/', Qt::SkipEmptyParts);
        QCOMPARE(box.count(), 1 + parts.size() + 4);
        QCOMPARE(box.item(0)->text(), QStringLiteral("/"));
        QCOMPARE(box.itemPath(0), QStringLiteral("/"));
        const int current = parts.size();
        QCOMPARE(box.currentRow(), current);
        QCOMPARE(box.item(current)->text(), QStringLiteral("pics"));
        QCOMPARE(box.itemPath(current), path + "/");
        QCOMPARE(box.item(current + 1)->text(), QStringLiteral(".hidden"));
        QCOMPARE(box.item(current + 2)->text(), QStringLiteral("A"));
        QCOMPARE(box.item(current + 3)->text(), QStringLiteral("b"));
        QCOMPARE(box.item(current + 4)->text(), QStringLiteral("c"));
        QCOMPARE(box.itemPath(current + 2), path + "/A/");
        QVERIFY(box.item(current + 2)->data(FolderTreeView::SubfolderRole).toBool());
        QVERIFY(!box.item(current)->data(FolderTreeView::SubfolderRole).toBool());
        QCOMPARE(box.itemPath(-1), QString());
        QCOMPARE(box.itemPath(box.count()), QString());
    }

    void fileListFollowsAndSameFolderDoesNothing() {
        const QString path = folder("follow");
        QDir().mkpath(path + "/sub");
        test::touch(path + "/sub/inner.txt");
        FolderSession session;
        keepMessages(session);
        FolderTreeView box(&session);
        FileListView files(&session);
        QSignalSpy changes(&session, &FolderSession::folderChanged);
        session.setFolder(path + "/sub");
        QCOMPARE(changes.count(), 1);
        QCOMPARE(session.files()->folder(), path + "/sub");
        QCOMPARE(session.files()->names(), QStringList({"inner.txt"}));
        QCOMPARE(box.item(box.currentRow())->text(), QStringLiteral("sub"));
        session.setFolder(path + "/sub/");
        session.setFolder(path + "/sub");
        QCOMPARE(changes.count(), 1);
        // A folder that is not there: told, and nothing else changes.
        session.setFolder(path + "/missing");
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().startsWith(QStringLiteral("Cannot open the folder")));
        QCOMPARE(session.folder(), path + "/sub");
        QCOMPARE(changes.count(), 1);
        // Passed over without a word when asked so.
        session.setFolder(path + "/missing", FolderSession::IfMissing::PassOver);
        QCOMPARE(m_messages.size(), 1);
        // A file's path shows the folder that holds it.
        session.setFolder(path + "/sub/inner.txt");
        QCOMPARE(session.folder(), path + "/sub");
        session.setFolder(QStringLiteral(".."));
        QCOMPARE(session.folder(), path);
        QCOMPARE(QDir::currentPath(), path);
    }

    void opensByDoubleClickAndEnter() {
        const QString path = folder("open");
        QDir().mkpath(path + "/one/two");
        FolderSession session;
        keepMessages(session);
        FolderTreeView box(&session);
        box.resize(300, 400);
        session.setFolder(path);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        doubleClickRow(box, rowOf(box, "one"));
        QCOMPARE(session.folder(), path + "/one");
        box.setCurrentRow(rowOf(box, "two"));
        QTest::keyClick(box.viewport(), Qt::Key_Return);
        QCOMPARE(session.folder(), path + "/one/two");
        // An ancestor row opens the ancestor.
        box.setCurrentRow(rowOf(box, "open"));
        QTest::keyClick(box.viewport(), Qt::Key_Enter);
        QCOMPARE(session.folder(), path);
        QVERIFY(m_messages.isEmpty());
    }

    void deletedFolderLeadsToNearestAncestor() {
        const QString path = folder("gone");
        QDir().mkpath(path + "/a/b/c");
        FolderSession session;
        keepMessages(session);
        FolderTreeView box(&session);
        box.resize(300, 400);
        session.setFolder(path + "/a/b");
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const int row = rowOf(box, "c");
        QVERIFY(QDir(path + "/a").removeRecursively());
        doubleClickRow(box, row);
        QCOMPARE(m_messages, QStringList({"Directory not found"}));
        QCOMPARE(session.folder(), path);
        QCOMPARE(QDir::currentPath(), path);
    }

    void vanishedShownFolderFallsBackOnRefresh() {
        const QString path = folder("vanished");
        QDir().mkpath(path + "/shown");
        FolderSession session;
        keepMessages(session);
        session.setFolder(path + "/shown");
        QVERIFY(QDir(path + "/shown").removeRecursively());
        session.refreshFolders();
        QCOMPARE(session.folder(), path);
        QCOMPARE(session.files()->folder(), path);
        QVERIFY(m_messages.isEmpty());
    }

    void foldersThatAreNotUtf8() {
        const QString path = folder("rawfolders");
        const QByteArray raw = QFile::encodeName(path) + "/bad\xfe\xfd";
        QVERIFY(::mkdir(raw.constData(), 0755) == 0);
        QVERIFY(test::touchRaw(raw, "inner.txt", "inside"));
        FolderSession session;
        FolderTreeView box(&session);
        FolderFiles& files = *session.files();
        files.setKinds(FileKind::Normal | FileKind::Archive);
        session.setFolder(path);
        const int row = box.count() - 1;
        QCOMPARE(box.itemPathBytes(row), raw + '/');
        QVERIFY(!platform::roundTrips(box.itemPathBytes(row)));
        QVERIFY(!box.item(row)->data(Qt::ToolTipRole).toString().isEmpty());
        box.setCurrentRow(row);
        box.openCurrentRow();
        QCOMPARE(session.folderBytes(), raw);
        QCOMPARE(files.names(), QStringList({"inner.txt"}));
        files.selectRow(0);
        QCOMPARE(platform::encodePath(files.selectedPath()), raw + "/inner.txt");
        QFile file;
        QVERIFY(platform::openForReading(file, files.selectedPathBytes()));
        QCOMPARE(file.readAll(), QByteArray("inside"));
        test::resetCurrentFolder();
        QCOMPARE(::unlink((raw + "/inner.txt").constData()), 0);
        QCOMPARE(::rmdir(raw.constData()), 0);
    }

    void driveItemTexts_data() {
        QTest::addColumn<VolumeKind>("kind");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        QTest::newRow("fixed, label as it is") << VolumeKind::Fixed << "SYSTEM"
                                               << "/ [SYSTEM]";
        QTest::newRow("mixed case") << VolumeKind::Fixed << "My Photos"
                                    << "/ [My Photos]";
        QTest::newRow("no label") << VolumeKind::Fixed << ""
                                  << "/";
        QTest::newRow("removable") << VolumeKind::Removable << "STICK"
                                   << "/";
        QTest::newRow("network") << VolumeKind::Network << "Srv:/Export"
                                 << "/ [Srv:/Export]";
        QTest::newRow("ram without label") << VolumeKind::Ram << ""
                                           << "/";
        QTest::newRow("optical") << VolumeKind::Optical << "DISC_1"
                                 << "/ [DISC_1]";
        QTest::newRow("unknown") << VolumeKind::Unknown << "x"
                                 << "/";
    }
    void driveItemTexts() {
        QFETCH(VolumeKind, kind);
        QFETCH(QString, label);
        QFETCH(QString, text);
        Volume volume;
        volume.rootPath = "/";
        volume.kind = kind;
        volume.label = label;
        QCOMPARE(VolumeBox::volumeText(volume), text);
    }

    void volumeBoxShowsAndChoosesVolumes() {
        const QString path = folder("drives");
        FolderSession session;
        session.setFolder(folder("elsewhere"));
        VolumeBox drives(&session);
        std::vector<Volume> volumes(2);
        volumes[0].rootPath = session.volume();
        volumes[0].kind = VolumeKind::Fixed;
        volumes[0].label = "Root";
        volumes[1].rootPath = path;
        volumes[1].kind = VolumeKind::Removable;
        drives.setVolumesForTest(volumes);
        QCOMPARE(drives.count(), 2);
        QCOMPARE(drives.itemText(0), session.volume() + " [Root]");
        QCOMPARE(drives.itemText(1), path);
        QCOMPARE(drives.currentIndex(), 0); // the shown folder's volume
        QSignalSpy changes(&session, &FolderSession::folderChanged);
        emit drives.activated(0); // the volume shown: nothing
        QCOMPARE(changes.count(), 0);
        // Another volume shows the folder last shown on it, or its root.
        emit drives.activated(1);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(session.folder(), path);
        QCOMPARE(drives.currentIndex(), drives.findData(session.volume(), VolumeBox::RootRole));
    }

    void mountInfo_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("root");
        QTest::addColumn<VolumeKind>("kind");
        QTest::newRow("ext4") << QByteArray("27 1 254:0 / / rw - ext4 /dev/vda rw") << "/"
                              << VolumeKind::Fixed;
        QTest::newRow("blank escaped")
            << QByteArray("40 27 8:17 / /media/My\\040Stick rw - vfat /dev/sdb1 rw")
            << "/media/My Stick" << VolumeKind::Removable;
        QTest::newRow("nfs") << QByteArray("41 27 0:50 / /mnt/net rw - nfs4 srv:/export rw")
                             << "/mnt/net" << VolumeKind::Network;
        QTest::newRow("cd") << QByteArray("42 27 11:0 / /mnt/cd ro - iso9660 /dev/sr0 ro")
                            << "/mnt/cd" << VolumeKind::Optical;
        QTest::newRow("tmp") << QByteArray("43 27 0:60 / /tmp rw - tmpfs tmpfs rw") << "/tmp"
                             << VolumeKind::Ram;
        QTest::newRow("proc left out")
            << QByteArray("22 27 0:21 / /proc rw - proc proc rw") << "" << VolumeKind::Unknown;
        QTest::newRow("dev shm left out")
            << QByteArray("25 24 0:23 / /dev/shm rw - tmpfs tmpfs rw") << "" << VolumeKind::Unknown;
    }
    void mountInfo() {
        QFETCH(QByteArray, line);
        QFETCH(QString, root);
        QFETCH(VolumeKind, kind);
        const std::vector<Volume> volumes = platform::parseMountInfo(line, {});
        if (root.isEmpty()) {
            QVERIFY(volumes.empty());
            return;
        }
        QCOMPARE(int(volumes.size()), 1);
        QCOMPARE(volumes[0].rootPath, root);
        QCOMPARE(volumes[0].kind, kind);
        if (kind == VolumeKind::Network)
            QCOMPARE(volumes[0].label, QStringLiteral("srv:/export"));
    }

    void volumeOfPath() {
        const std::vector<Volume> volumes = platform::parseMountInfo(
            "1 0 1:1 / / rw - ext4 /dev/a rw\n2 1 1:2 / /mnt/data rw - ext4 /dev/b rw\n"
            "3 1 1:3 / /mnt/data rw - xfs /dev/c rw\n",
            {});
        QCOMPARE(int(volumes.size()), 2); // the later mount on /mnt/data hides the earlier
        QCOMPARE(platform::volumeOf("/mnt/data/x", volumes).fileSystem, QStringLiteral("xfs"));
        QCOMPARE(platform::volumeOf("/mnt/database", volumes).rootPath, QStringLiteral("/"));
    }

    // The root folder is a volume whatever the mount table shows of it, once.
    void rootIsAlwaysAVolume_data() {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("volume");
        QTest::addColumn<int>("count");
        const QByteArray chroot = "40 39 0:50 / /proc rw - proc proc rw\n"
                                  "41 39 0:51 / /tmp rw - tmpfs tmp rw\n";
        QTest::newRow("chroot: a folder of the root") << chroot << "/src/x"
                                                      << "/" << 2;
        QTest::newRow("chroot: its own mount") << chroot << "/tmp/x"
                                               << "/tmp" << 2;
        QTest::newRow("no table") << QByteArray() << "/home"
                                  << "/" << 1;
        QTest::newRow("live system's squashfs root")
            << QByteArray("1 0 7:0 / / ro - squashfs /dev/loop0 ro\n") << "/etc"
            << "/" << 1;
        QTest::newRow("root listed") << QByteArray("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n") << "/etc"
                                     << "/" << 1;
    }
    void rootIsAlwaysAVolume() {
        QFETCH(QByteArray, table);
        QFETCH(QString, path);
        QFETCH(QString, volume);
        QFETCH(int, count);
        const std::vector<Volume> volumes = platform::visibleVolumes(table, {});
        QCOMPARE(int(volumes.size()), count);
        QCOMPARE(volumes.front().rootPath, QStringLiteral("/"));
        QCOMPARE(platform::volumeOf(path, volumes).rootPath, volume);
    }

    void panelPassesEnabledState() {
        EnablingPanel panel;
        auto* child = new QWidget(&panel);
        panel.setEnabled(false);
        QVERIFY(!child->isEnabled());
        panel.setEnabled(true);
        QVERIFY(child->isEnabled());
        QVERIFY(!child->testAttribute(Qt::WA_Disabled));
    }
};

ZELVORIN_TEST_MAIN(FolderSessionTest)
#include "tst_FolderSession.moc"

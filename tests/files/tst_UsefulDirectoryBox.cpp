#include "FileMessages.h"
#include "FileTestSupport.h"
#include "LosslessNames.h"
#include "TestEnvironment.h"
#include "UsefulFileControls.h"

#include <QSignalSpy>
#include <QtTest>

using namespace zelvorin;
using platform::Volume;
using platform::VolumeKind;

Q_DECLARE_METATYPE(VolumeKind)

class UsefulDirectoryBoxTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_messages;
    FileMessageHandler m_previous;

    QString folder(const QString& name) { return test::freshFolder(m_dir, name); }
    static int rowOf(TUsefulDirectoryBox& box, const QString& text) {
        for (int row = 0; row < box.count(); ++row) {
            if (box.item(row)->text() == text)
                return row;
        }
        return -1;
    }
    static void doubleClickRow(TUsefulDirectoryBox& box, int row) {
        const QRect rect = box.visualItemRect(box.item(row));
        QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, rect.center());
    }

private slots:
    void initTestCase() {
        m_previous =
            setFileErrorHandler([this](QWidget*, const QString& text) { m_messages.append(text); });
    }
    void cleanupTestCase() { setFileErrorHandler(m_previous); }
    void init() {
        test::resetCurrentFolder();
        m_messages.clear();
    }

    void listsAncestorsThenSortedSubfolders() {
        const QString path = folder("pics");
        for (const char* name : {"b", "A", "c", ".hidden"})
            QDir().mkpath(path + "/" + name);
        test::touch(path + "/file.txt");
        TUsefulDirectoryBox box;
        box.SetDirectory(path);
        QCOMPARE(box.Directory(), path);
        QCOMPARE(QDir::currentPath(), path);
        const QStringList parts = path.split('/', Qt::SkipEmptyParts);
        QCOMPARE(box.count(), 1 + parts.size() + 4);
        QCOMPARE(box.item(0)->text(), QStringLiteral("/"));
        QCOMPARE(box.ItemPath(0), QStringLiteral("/"));
        const int current = parts.size();
        QCOMPARE(box.currentRow(), current);
        QCOMPARE(box.item(current)->text(), QStringLiteral("pics"));
        QCOMPARE(box.ItemPath(current), path + "/");
        QCOMPARE(box.item(current + 1)->text(), QStringLiteral(".hidden"));
        QCOMPARE(box.item(current + 2)->text(), QStringLiteral("A"));
        QCOMPARE(box.item(current + 3)->text(), QStringLiteral("b"));
        QCOMPARE(box.item(current + 4)->text(), QStringLiteral("c"));
        QCOMPARE(box.ItemPath(current + 2), path + "/A/");
        QVERIFY(box.item(current + 2)->data(TUsefulDirectoryBox::SubfolderRole).toBool());
        QVERIFY(!box.item(current)->data(TUsefulDirectoryBox::SubfolderRole).toBool());
        QCOMPARE(box.ItemPath(-1), QString());
        QCOMPARE(box.ItemPath(box.count()), QString());
    }

    void fileListFollowsAndSameFolderDoesNothing() {
        const QString path = folder("follow");
        QDir().mkpath(path + "/sub");
        test::touch(path + "/sub/inner.txt");
        TUsefulDirectoryBox box;
        TUsefulFileBox files;
        box.SetFileList(&files);
        QCOMPARE(files.DirList(), &box);
        QSignalSpy changes(&box, &TUsefulDirectoryBox::Change);
        box.SetDirectory(path + "/sub");
        QCOMPARE(changes.count(), 1);
        QCOMPARE(files.Directory(), path + "/sub");
        QCOMPARE(files.Items(), QStringList({"inner.txt"}));
        box.SetDirectory(path + "/sub/");
        box.SetDirectory(path + "/sub");
        QCOMPARE(changes.count(), 1);
        QVERIFY_THROWS_EXCEPTION(FileControlError, box.SetDirectory(path + "/missing"));
        QCOMPARE(box.Directory(), path + "/sub");
    }

    void opensByDoubleClickAndEnter() {
        const QString path = folder("open");
        QDir().mkpath(path + "/one/two");
        TUsefulDirectoryBox box;
        box.resize(300, 400);
        box.SetDirectory(path);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        doubleClickRow(box, rowOf(box, "one"));
        QCOMPARE(box.Directory(), path + "/one");
        box.setCurrentRow(rowOf(box, "two"));
        QTest::keyClick(box.viewport(), Qt::Key_Return);
        QCOMPARE(box.Directory(), path + "/one/two");
        // An ancestor row opens the ancestor.
        box.setCurrentRow(rowOf(box, "open"));
        QTest::keyClick(box.viewport(), Qt::Key_Enter);
        QCOMPARE(box.Directory(), path);
        QVERIFY(m_messages.isEmpty());
    }

    void deletedFolderLeadsToNearestAncestor() {
        const QString path = folder("gone");
        QDir().mkpath(path + "/a/b/c");
        TUsefulDirectoryBox box;
        box.resize(300, 400);
        box.SetDirectory(path + "/a/b");
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const int row = rowOf(box, "c");
        QVERIFY(QDir(path + "/a").removeRecursively());
        doubleClickRow(box, row);
        QCOMPARE(m_messages, QStringList({"Directory not found"}));
        QCOMPARE(box.Directory(), path);
        QCOMPARE(QDir::currentPath(), path);
    }

    void vanishedShownFolderFallsBackOnRefresh() {
        const QString path = folder("vanished");
        QDir().mkpath(path + "/shown");
        TUsefulDirectoryBox box;
        TUsefulFileBox files;
        box.SetFileList(&files);
        box.SetDirectory(path + "/shown");
        QVERIFY(QDir(path + "/shown").removeRecursively());
        box.Refresh();
        QCOMPARE(box.Directory(), path);
        QCOMPARE(files.Directory(), path);
        QVERIFY(m_messages.isEmpty());
    }

    void foldersThatAreNotUtf8() {
        const QString path = folder("rawfolders");
        const QByteArray raw = QFile::encodeName(path) + "/bad\xfe\xfd";
        QVERIFY(::mkdir(raw.constData(), 0755) == 0);
        QVERIFY(test::touchRaw(raw, "inner.txt", "inside"));
        TUsefulDirectoryBox box;
        TUsefulFileBox files;
        files.SetFileType(TFileAttr::ftNormal | TFileAttr::ftArchive);
        box.SetFileList(&files);
        box.SetDirectory(path);
        const int row = box.count() - 1;
        QCOMPARE(box.ItemPathBytes(row), raw + '/');
        box.setCurrentRow(row);
        box.OpenCurrent();
        QCOMPARE(box.DirectoryBytes(), raw);
        QCOMPARE(files.Items(), QStringList({"inner.txt"}));
        files.SetItemIndex(0);
        QCOMPARE(platform::encodePath(files.FileName()), raw + "/inner.txt");
        QFile file;
        QVERIFY(platform::openForReading(file, files.FileNameBytes()));
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
        QCOMPARE(TUsefulDriveBox::ItemText(volume), text);
    }

    void driveBoxSelectsAndPassesOn() {
        const QString path = folder("drives");
        std::vector<Volume> volumes(2);
        volumes[0].rootPath = "/";
        volumes[0].kind = VolumeKind::Fixed;
        volumes[0].label = "Root";
        volumes[1].rootPath = path;
        volumes[1].kind = VolumeKind::Removable;
        TUsefulDriveBox drives;
        drives.SetVolumesForTest(volumes);
        QCOMPARE(drives.count(), 2);
        QCOMPARE(drives.itemText(0), QStringLiteral("/ [Root]"));
        drives.SetTextCase(TTextCase::tcUpperCase);
        QCOMPARE(drives.itemText(0), QStringLiteral("/ [Root]"));
        QCOMPARE(drives.itemText(1), path);
        QSignalSpy changes(&drives, &TUsefulDriveBox::Change);
        drives.SetDrive(path);
        QCOMPARE(drives.currentIndex(), 1);
        QCOMPARE(changes.count(), 1);
        drives.SetDrive(path); // the same drive again: nothing
        QCOMPARE(changes.count(), 1);
        drives.SetDrive(QString());
        QCOMPARE(drives.currentIndex(), -1);
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
        TUsefulPanel panel;
        auto* child = new QWidget(&panel);
        panel.setEnabled(false);
        QVERIFY(!child->isEnabled());
        panel.setEnabled(true);
        QVERIFY(child->isEnabled());
        QVERIFY(!child->testAttribute(Qt::WA_Disabled));
    }
};

ZELVORIN_TEST_MAIN(UsefulDirectoryBoxTest)
#include "tst_UsefulDirectoryBox.moc"

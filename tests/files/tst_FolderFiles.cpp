// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileListModel.h"
#include "FileTestSupport.h"
#include "LosslessNames.h"
#include "ShownList.h"
#include "TestEnvironment.h"

#include <QSignalSpy>
#include <QtTest>

using namespace zelvorin;

namespace {

const FileKinds MainFileType =
    FileKind::ReadOnly | FileKind::Hidden | FileKind::System | FileKind::Archive | FileKind::Normal;

QStringList names(int count, const QString& suffix) {
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QStringLiteral("file%1%2").arg(i, 4, 10, QLatin1Char('0')).arg(suffix);
    return list;
}

} // namespace

class FolderFilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString folder(const QString& name) { return test::freshFolder(m_dir, name); }
    std::unique_ptr<test::ShownList> makeBox(const QString& path, const QString& mask) {
        auto box = std::make_unique<test::ShownList>();
        box->files.setKinds(MainFileType);
        box->files.setMask(mask);
        box->session.setFolder(path);
        box->view.resize(200, 300);
        box->view.show();
        return box;
    }

private slots:
    void init() { test::resetCurrentFolder(); }

    void listsSortedWithoutRegardToCase() {
        const QString path = folder("sorted");
        test::touchAll(path, {"b.jpg", "A.jpg", "c.JPG", "a.gif", "Z.png", "notes.txt"});
        auto box = makeBox(path, "*.jpg;*.gif;*.png");
        QCOMPARE(box->files.names(), QStringList({"a.gif", "A.jpg", "b.jpg", "c.JPG", "Z.png"}));
        QCOMPARE(box->session.folder(), path);
        QCOMPARE(QDir::currentPath(), path);
    }

    void reReadKeepsPlacesAndDropsRenamed() {
        const QString path = folder("renamed");
        test::touchAll(path, {"a.jpg", "b.gif", "c.png", "d.jpg"});
        auto box = makeBox(path, "*.jpg;*.gif;*.png");
        QCOMPARE(box->files.count(), 4);
        box->files.reread();
        QCOMPARE(box->files.names(), QStringList({"a.jpg", "b.gif", "c.png", "d.jpg"}));
        QVERIFY(QFile::rename(path + "/a.jpg", path + "/a.txt"));
        box->files.selectRow(2);
        box->files.reread();
        QCOMPARE(box->files.names(), QStringList({"b.gif", "c.png", "d.jpg"}));
        QCOMPARE(box->files.selectedPath(), path + "/c.png"); // the selected entry stays selected
    }

    void emptyMaskListsNothingAndSameMaskDoesNotReRead() {
        const QString path = folder("masks");
        test::touchAll(path, {"a.jpg", "b.txt", "readme"});
        auto box = makeBox(path, "*.*");
        // A folder search takes "*.*" as every name, dotless ones included.
        QCOMPARE(box->files.names(), QStringList({"a.jpg", "b.txt", "readme"}));
        box->files.setMask(QString());
        QCOMPARE(box->files.count(), 0);
        box->files.setMask("*.txt");
        const int reads = box->files.readCount();
        box->files.setMask("*.txt");
        QCOMPARE(box->files.readCount(), reads);
        QCOMPARE(box->files.names(), QStringList({"b.txt"}));
    }

    void busyCursorOnlyForLongListings() {
        const QString small = folder("fifty");
        test::touchAll(small, names(50, ".jpg"));
        auto box = makeBox(small, "*.jpg");
        QCOMPARE(box->files.count(), 50);
        QCOMPARE(box->files.busyCursorCount(), 0);

        const QString large = folder("many");
        test::touchAll(large, names(150, ".jpg"));
        box->session.setFolder(large);
        QCOMPARE(box->files.count(), 150);
        QCOMPARE(box->files.busyCursorCount(), 1);
        QVERIFY(QApplication::overrideCursor() == nullptr); // restored at the end

        // A re-read that adds one entry to a long list is not a long listing.
        test::touch(large + "/extra.jpg");
        box->files.reread();
        QCOMPARE(box->files.busyCursorCount(), 1);

        // A re-read that ends by a vanished folder still restores the cursor.
        QVERIFY(QDir(large).removeRecursively());
        box->files.reread();
        QCOMPARE(box->files.count(), 0);
        QVERIFY(box->files.lastReadError() != 0);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void fileTypeDecidesHiddenAndFolders() {
        const QString path = folder("types");
        test::touchAll(path, {"a.txt", ".hidden.txt"});
        QDir().mkpath(path + "/sub.txt");
        auto box = std::make_unique<test::ShownList>();
        box->files.setKinds(FileKind::Normal | FileKind::Archive);
        box->session.setFolder(path);
        QCOMPARE(box->files.names(), QStringList({"a.txt"}));
        box->files.setKinds(MainFileType);
        QCOMPARE(box->files.names(), QStringList({".hidden.txt", "a.txt"}));
        box->files.setKinds(MainFileType | FileKind::Directory);
        QCOMPARE(box->files.names(), QStringList({".hidden.txt", "a.txt", "sub.txt"}));
    }

    void changeNotificationOnClickOnlyWhenMoved() {
        const QString path = folder("clicks");
        test::touchAll(path, {"a.jpg", "b.jpg", "c.jpg"});
        auto box = makeBox(path, "*.jpg");
        QVERIFY(QTest::qWaitForWindowExposed(&box->view));
        QSignalSpy changes(&box->files, &FolderFiles::selectionTold);
        const QRect second = box->view.visualRect(box->view.model()->index(1, 0));
        QTest::mouseClick(box->view.viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(changes.count(), 1);
        QCOMPARE(box->files.selectedPath(), path + "/b.jpg");
        QTest::mouseClick(box->view.viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(changes.count(), 1);
        QTest::keyClick(box->view.viewport(), Qt::Key_Down);
        QCOMPARE(changes.count(), 2);
        QCOMPARE(box->files.selectedPath(), path + "/c.jpg");
        box->files.selectRow(-1);
        box->files.reread();
        QCOMPARE(box->files.selectedPath(), QString());
    }

    void refreshKeepsSelectionAndSelectFile() {
        const QString path = folder("keep");
        test::touchAll(path, {"a.jpg", "m.jpg", "z.jpg"});
        auto box = makeBox(path, "*.jpg");
        QSignalSpy changes(&box->files, &FolderFiles::selectionTold);
        box->files.selectFile("M.JPG");
        QCOMPARE(changes.count(), 1);
        QCOMPARE(box->files.selectedPath(), path + "/m.jpg");
        box->files.selectFile("m.jpg"); // already selected: nothing
        QCOMPARE(changes.count(), 1);
        test::touchAll(path, {"b.jpg", "c.jpg"});
        box->files.refreshKeepingSelection();
        QCOMPARE(box->files.names(), QStringList({"a.jpg", "b.jpg", "c.jpg", "m.jpg", "z.jpg"}));
        QCOMPARE(box->files.selectedPath(), path + "/m.jpg");
        QFile::remove(path + "/m.jpg");
        box->files.refreshKeepingSelection();
        QCOMPARE(box->files.selectedRow(), -1);
        box->files.selectFile("absent.jpg");
        QCOMPARE(box->files.selectedRow(), -1);
    }

    void namesThatAreNotUtf8KeepTheirBytes() {
        const QString path = folder("bytes");
        const QByteArray raw("caf\xe9-\xff.jpg"); // Latin-1 bytes: not valid UTF-8
        QVERIFY(test::touchRaw(QFile::encodeName(path), raw, "image bytes"));
        test::touch(path + "/plain.jpg", "plain");
        auto box = makeBox(path, "*.jpg");
        QCOMPARE(box->files.count(), 2);
        const int row = box->files.names().indexOf("plain.jpg") == 0 ? 1 : 0;
        box->files.selectRow(row);
        QCOMPARE(box->files.selectedPathBytes(), QFile::encodeName(path) + '/' + raw);
        // The path text gives the very bytes back; the name shows readably.
        QCOMPARE(platform::encodePath(box->files.selectedPath()), box->files.selectedPathBytes());
        QCOMPARE(box->files.names().at(row), QString::fromUtf8("caf\uFFFD-\uFFFD.jpg"));
        QFile file;
        QVERIFY(platform::openForReading(file, box->files.selectedPathBytes()));
        QCOMPARE(file.readAll(), QByteArray("image bytes"));
        QVERIFY(box->files.selectedPath().endsWith(".jpg"));
        // A re-read finds the same raw name again and keeps the entry.
        box->files.reread();
        QCOMPARE(box->files.count(), 2);
        QCOMPARE(box->files.selectedRow(), row);
        // QDir cannot remove a name it cannot spell.
        QCOMPARE(::unlink((QFile::encodeName(path) + '/' + raw).constData()), 0);
    }

    void reReadTouchesOnlyWhatChanged() {
        const QString path = folder("incremental");
        test::touchAll(path, names(300, ".jpg"));
        auto box = makeBox(path, "*.jpg");
        QSignalSpy removed(box->view.model(), &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(box->view.model(), &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(box->view.model(), &QAbstractItemModel::modelReset);
        box->files.reread();
        QCOMPARE(removed.count() + inserted.count() + reset.count(), 0);
        test::touch(path + "/new.jpg");
        QFile::remove(path + "/file0007.jpg");
        box->files.refreshKeepingSelection();
        QCOMPARE(removed.count(), 1);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(reset.count(), 0);
        QCOMPARE(box->files.count(), 300);

        // A new mask that drops entries all over the list.
        const QStringList gifs = names(40, ".gif");
        test::touchAll(path, gifs);
        box->files.setMask("*.jpg;*.gif");
        QCOMPARE(box->files.count(), 340);
        box->files.selectFile(gifs.at(5));
        box->files.setMask("*.gif");
        QCOMPARE(box->files.names(), gifs);
        QCOMPARE(box->files.selectedPath(), path + "/" + gifs.at(5));
    }

    void sameDirectoryDoesNotReRead() {
        const QString path = folder("same");
        auto box = makeBox(path, "*.*");
        const int reads = box->files.readCount();
        box->session.setFolder(path + "/");
        box->session.setFolder(path);
        QCOMPARE(box->files.readCount(), reads);
    }

    void iconsAreLookedUpForDrawnRowsOnly() {
        const QString path = folder("icons");
        test::touchAll(path, names(500, ".png"));
        auto box = makeBox(path, "*.png");
        QVERIFY(QTest::qWaitForWindowExposed(&box->view));
        box->view.viewport()->repaint();
        int looked = 0;
        for (int row = 0; row < box->files.count(); ++row)
            looked += box->files.model()->at(row).iconLooked ? 1 : 0;
        QVERIFY(looked > 0);
        QVERIFY2(looked < 100, qPrintable(QString::number(looked)));
        box->view.setShowsIcons(false);
        QVERIFY(!box->view.showsIcons());
        QVERIFY(box->view.itemHeight() >= 17);
    }
};

ZELVORIN_TEST_MAIN(FolderFilesTest)
#include "tst_FolderFiles.moc"

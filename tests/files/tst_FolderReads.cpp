// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Folders read in the background: the list ends as a read on the spot would leave it, a
// selection asked for during the read is made when its name arrives, and entries removed
// while the read goes on neither come back nor take others with them.
#include "FileListModel.h"
#include "FileTestSupport.h"
#include "FolderListing.h"
#include "FolderPaths.h"
#include "ShownList.h"
#include "TestEnvironment.h"

#include <QSignalSpy>
#include <QtTest>

using namespace zelvorin;

namespace {

const FileKinds MainFileType =
    FileKind::ReadOnly | FileKind::Hidden | FileKind::System | FileKind::Archive | FileKind::Normal;

// Names made in an order unlike the list's, in upper and lower case, some not UTF-8; every
// fifth one a ".png".
QList<QByteArray> makeFiles(const QString& folder, int count) {
    const QByteArray raw = QFile::encodeName(folder);
    QList<QByteArray> names;
    for (int i = 0; i < count; ++i) {
        QByteArray name = (i % 3 == 0 ? "Img" : "img") + QByteArray::number((i * 7919) % count);
        if (i % 97 == 0)
            name += "\xE9";
        names << name + (i % 5 == 0 ? ".png" : ".jpg");
        if (!test::touchRaw(raw, names.last(), QByteArray()))
            return {};
    }
    return names;
}

bool isPng(const QString& name) {
    return name.endsWith(QLatin1String(".png"));
}

struct Read {
    QList<QByteArray> raw;
    QList<QByteArray> marked;
};

Read listed(const FolderFiles& files) {
    Read read;
    for (int row = 0; row < files.count(); ++row)
        read.raw << files.model()->rawName(row);
    const auto marked = files.markedNames();
    for (qint64 i = 0; i < marked->count(); ++i)
        read.marked << marked->rawName(i);
    return read;
}

} // namespace

class FolderReadsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString folder(const QString& name) { return test::freshFolder(m_dir, name); }

    // A list that reads `head` entries on the spot before a worker takes over.
    std::unique_ptr<test::ShownList> makeBox(int head = Head) {
        FolderAccess access;
        access.headLimit = head;
        auto box = std::make_unique<test::ShownList>(access);
        box->files.setKinds(MainFileType);
        box->files.setMarkRule(&isPng);
        box->files.setMask(QStringLiteral("*.*"));
        box->view.resize(200, 300);
        box->view.show();
        return box;
    }
    // The same folder read on the spot, as a short folder always is.
    Read readOnTheSpot(const QString& path) {
        auto box = makeBox(DefaultFolderHeadLimit * 1024);
        box->session.setFolder(path);
        [&] { QVERIFY(!box->files.isReading()); }();
        return listed(box->files);
    }
    // Few entries read before the worker takes over, so a small folder reads as a large one.
    static constexpr int Head = 32;
    static constexpr int Files = 2000;
    // Made once (files are slow to make) for the cases that only read it.
    QString m_shared;
    QList<QByteArray> m_made;

private slots:
    void initTestCase() {
        m_shared = folder(QStringLiteral("shared"));
        m_made = makeFiles(m_shared, Files);
        QCOMPARE(m_made.size(), Files);
    }
    void init() { test::resetCurrentFolder(); }
    // QTemporaryDir cannot remove names that are not UTF-8.
    void cleanupTestCase() { test::removeTree(QFile::encodeName(m_dir.path())); }

    void backgroundReadEndsAsAReadOnTheSpot_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("startsEmpty");
        QTest::newRow("into an empty list") << Files << true;
        QTest::newRow("over an old list") << Files << false;
        QTest::newRow("a few past the head") << Head + 3 << true;
    }
    void backgroundReadEndsAsAReadOnTheSpot() {
        QFETCH(int, files);
        QFETCH(bool, startsEmpty);
        const QString path =
            startsEmpty && files == Files ? m_shared : folder(QTest::currentDataTag());
        const QList<QByteArray> made = path == m_shared ? m_made : makeFiles(path, files);
        QCOMPARE(made.size(), files);
        auto box = makeBox();
        if (!startsEmpty) {
            // A re-read of a changed folder: the list merges the names itself.
            box->session.setFolder(path);
            QVERIFY(test::waitUntil([&] { return !box->files.isReading(); }));
            QVERIFY(QFile::remove(path + '/' + made.at(1)));
            test::touch(path + "/new.png");
        }
        QSignalSpy progress(&box->files, &FolderFiles::readProgress);
        QSignalSpy finished(&box->files, &FolderFiles::readFinished);
        startsEmpty ? box->session.setFolder(path) : box->files.reread();
        QVERIFY(box->files.isReading());
        QVERIFY(finished.wait() || finished.count() == 1);
        QVERIFY(!box->files.isReading());
        QVERIFY(!progress.isEmpty());
        QCOMPARE(progress.last().at(0).toLongLong(), qint64(files));

        const Read background = listed(box->files);
        const Read spot = readOnTheSpot(path);
        QCOMPARE(background.raw.size(), files);
        QCOMPARE(background.raw, spot.raw);
        QCOMPARE(background.marked, spot.marked);
        QCOMPARE(background.marked.size(), (files + 4) / 5 + (startsEmpty ? 0 : 1));
    }

    void selectionAskedDuringReadIsMadeOnArrival_data() {
        QTest::addColumn<bool>("present");
        QTest::newRow("selected by name") << true;
        QTest::newRow("name that never arrives") << false;
    }
    void selectionAskedDuringReadIsMadeOnArrival() {
        QFETCH(bool, present);
        const QString path = m_shared;
        const QList<QByteArray> made = m_made;
        auto box = makeBox();
        box->session.setFolder(path);
        QVERIFY(box->files.isReading());
        // A name the list does not hold yet (the head holds a few).
        QString wanted = QStringLiteral("missing.jpg");
        for (qsizetype i = made.size() - 1; present && i >= 0; --i) {
            if (i % 97 != 0 && box->files.model()->findRaw(made.at(i)) < 0) {
                wanted = QString::fromUtf8(made.at(i));
                break;
            }
        }
        QStringList told; // the chosen file at each change notification
        connect(&box->files, &FolderFiles::selectionTold, this,
                [&] { told << box->files.selectedPath(); });
        box->files.selectFile(wanted);
        QCOMPARE(box->files.selectedRow(), -1);
        QVERIFY(test::waitUntil([&] { return !box->files.isReading(); }));
        if (present) {
            QCOMPARE(box->files.selectedPath(), path + '/' + wanted);
            // Told once, when it arrived: a page chosen so is loaded once.
            QCOMPARE(told, QStringList{path + '/' + wanted});
            QCOMPARE(box->files.count(), Files); // nothing was read again for it
        } else {
            QCOMPARE(box->files.selectedRow(), -1);
        }
    }

    void entryRemovedDuringReadStaysAway() {
        const QString path = folder("removed");
        QCOMPARE(makeFiles(path, Files).size(), Files);
        auto box = makeBox();
        box->session.setFolder(path);
        QVERIFY(box->files.isReading());
        QVERIFY(box->files.count() > 0);
        // As the trash command does: the file goes from the disk and its row from the list.
        const QByteArray gone = box->files.model()->rawName(0);
        QCOMPARE(::unlink((QFile::encodeName(path) + '/' + gone).constData()), 0);
        box->files.model()->removeRows({0});
        QVERIFY(test::waitUntil([&] { return !box->files.isReading(); }));
        const Read background = listed(box->files);
        QVERIFY(!background.raw.contains(gone));
        QCOMPARE(background.raw, readOnTheSpot(path).raw);
    }

    // A row removed while the reader's rows are on their way: the names handed over since
    // its last rows, and those still to come, are merged by the list itself.
    void removalBetweenReaderRowsKeepsTheNamesWithoutRows() {
        FileListModel model(nullptr);
        const quint32 generation = model.nextGeneration();
        const auto batchOf = [](const QList<QByteArray>& names) {
            NameBatch batch;
            for (const QByteArray& name : names)
                batch.add(name.toStdString(), 0, name.startsWith('m'));
            batch.sort();
            return batch;
        };
        const NameBatch first = batchOf({"d", "B", "m1", "a"});
        QVERIFY(model.appendBatch(first, generation, 0));
        auto rows = std::make_unique<std::vector<NameRow>>();
        auto marked = std::make_unique<std::vector<NameRow>>();
        for (quint32 i = 0; i < first.size(); ++i) {
            const NameBatch::Name& name = first.names()[i];
            rows->push_back({name.prefix.high, name.prefix.low, i});
            if (name.marked)
                marked->push_back(rows->back());
        }
        QVERIFY(model.adoptRows(std::move(rows), std::move(marked)));
        QCOMPARE(model.names(), QStringList({"a", "B", "d", "m1"}));
        // Handed over without rows (they come a few times a second).
        QVERIFY(model.appendBatch(batchOf({"c", "m0", "e"}), generation, 4));
        model.removeRows({model.findRaw("d")});
        const NameBatch last = batchOf({"m2", "b2"});
        QVERIFY(!model.appendBatch(last, generation, 7));
        model.stageUnrowed();
        model.addBatch(last, generation);
        model.commitStaged();
        model.removeUnseen(generation);
        QCOMPARE(model.names(), QStringList({"a", "B", "b2", "c", "e", "m0", "m1", "m2"}));
        const auto names = model.markedNames();
        QCOMPARE(names->count(), 3);
        QCOMPARE(names->rawName(0) + names->rawName(1) + names->rawName(2), QByteArray("m0m1m2"));
    }

    // Removed entries are dropped from the store only when no name waits to become a row:
    // a name staged then is still listed once committed.
    void storeMadeAnewKeepsStagedNames() {
        FileListModel model(nullptr);
        NameBatch first;
        for (int i = 0; i < 8190; ++i)
            first.add(("old" + QByteArray::number(i)).toStdString(), 0, false);
        first.sort();
        model.addBatch(first, model.nextGeneration());
        model.commitStaged();
        std::vector<int> rows;
        for (int row = 0; row < 4095; ++row)
            rows.push_back(row * 2);
        model.removeRows(rows);
        NameBatch added;
        added.add("new-a", 0, false);
        added.add("new-b", 0, true);
        added.sort();
        QCOMPARE(model.addBatch(added, model.nextGeneration()), 2);
        model.removeRows({0}); // the removal that makes half the store removed entries
        model.commitStaged();
        QCOMPARE(model.count(), 8190 - 4096 + 2);
        QVERIFY(model.findRaw("new-a") >= 0);
        QCOMPARE(model.markedNames()->count(), 1);
        QCOMPARE(model.markedNames()->rawName(0), QByteArray("new-b"));
        const QStringList names = model.names();
        QVERIFY(std::is_sorted(names.begin(), names.end(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        }));
    }
};

ZELVORIN_TEST_MAIN(FolderReadsTest)
#include "tst_FolderReads.moc"

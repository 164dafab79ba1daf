#include "FileListModel.h"
#include "FileTestSupport.h"
#include "LosslessNames.h"
#include "TestEnvironment.h"
#include "UsefulFileControls.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

using namespace zelvorin;

namespace {

const TFileType MainFileType = TFileAttr::ftReadOnly | TFileAttr::ftHidden | TFileAttr::ftSystem |
                               TFileAttr::ftArchive | TFileAttr::ftNormal;

QStringList names(int count, const QString& suffix) {
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QStringLiteral("file%1%2").arg(i, 4, 10, QLatin1Char('0')).arg(suffix);
    return list;
}

} // namespace

class UsefulFileBoxTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString folder(const QString& name) { return test::freshFolder(m_dir, name); }
    std::unique_ptr<TUsefulFileBox> makeBox(const QString& path, const QString& mask) {
        auto box = std::make_unique<TUsefulFileBox>();
        box->SetFileType(MainFileType);
        box->SetMask(mask);
        box->SetDirectory(path);
        box->resize(200, 300);
        box->show();
        return box;
    }

private slots:
    void init() { test::resetCurrentFolder(); }

    void listsSortedWithoutRegardToCase() {
        const QString path = folder("sorted");
        test::touchAll(path, {"b.jpg", "A.jpg", "c.JPG", "a.gif", "Z.png", "notes.txt"});
        auto box = makeBox(path, "*.jpg;*.gif;*.png");
        QCOMPARE(box->Items(), QStringList({"a.gif", "A.jpg", "b.jpg", "c.JPG", "Z.png"}));
        QCOMPARE(box->Directory(), path);
        QCOMPARE(QDir::currentPath(), path);
    }

    void reReadKeepsPlacesAndDropsRenamed() {
        const QString path = folder("renamed");
        test::touchAll(path, {"a.jpg", "b.gif", "c.png", "d.jpg"});
        auto box = makeBox(path, "*.jpg;*.gif;*.png");
        QCOMPARE(box->Count(), 4);
        box->Update();
        QCOMPARE(box->Items(), QStringList({"a.jpg", "b.gif", "c.png", "d.jpg"}));
        QVERIFY(QFile::rename(path + "/a.jpg", path + "/a.txt"));
        box->SetItemIndex(2);
        box->Update();
        QCOMPARE(box->Items(), QStringList({"b.gif", "c.png", "d.jpg"}));
        QCOMPARE(box->FileName(), path + "/c.png"); // the selected entry stays selected
    }

    void emptyMaskListsNothingAndSameMaskDoesNotReRead() {
        const QString path = folder("masks");
        test::touchAll(path, {"a.jpg", "b.txt", "readme"});
        auto box = makeBox(path, "*.*");
        // A folder search takes "*.*" as every name, dotless ones included.
        QCOMPARE(box->Items(), QStringList({"a.jpg", "b.txt", "readme"}));
        box->SetMask(QString());
        QCOMPARE(box->Count(), 0);
        box->SetMask("*.txt");
        const int reads = box->ReadCount();
        box->SetMask("*.txt");
        QCOMPARE(box->ReadCount(), reads);
        QCOMPARE(box->Items(), QStringList({"b.txt"}));
    }

    void busyCursorOnlyForLongListings() {
        const QString small = folder("fifty");
        test::touchAll(small, names(50, ".jpg"));
        auto box = makeBox(small, "*.jpg");
        QCOMPARE(box->Count(), 50);
        QCOMPARE(box->BusyCursorCount(), 0);

        const QString large = folder("many");
        test::touchAll(large, names(150, ".jpg"));
        box->SetDirectory(large);
        QCOMPARE(box->Count(), 150);
        QCOMPARE(box->BusyCursorCount(), 1);
        QVERIFY(QApplication::overrideCursor() == nullptr); // restored at the end

        // A re-read that adds one entry to a long list is not a long listing.
        test::touch(large + "/extra.jpg");
        box->Update();
        QCOMPARE(box->BusyCursorCount(), 1);

        // A re-read that ends by a vanished folder still restores the cursor.
        QVERIFY(QDir(large).removeRecursively());
        box->Update();
        QCOMPARE(box->Count(), 0);
        QVERIFY(box->LastReadError() != 0);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void fileTypeDecidesHiddenAndFolders() {
        const QString path = folder("types");
        test::touchAll(path, {"a.txt", ".hidden.txt"});
        QDir().mkpath(path + "/sub.txt");
        auto box = std::make_unique<TUsefulFileBox>();
        box->SetFileType(TFileAttr::ftNormal | TFileAttr::ftArchive);
        box->SetDirectory(path);
        QCOMPARE(box->Items(), QStringList({"a.txt"}));
        box->SetFileType(MainFileType);
        QCOMPARE(box->Items(), QStringList({".hidden.txt", "a.txt"}));
        box->SetFileType(MainFileType | TFileAttr::ftDirectory);
        QCOMPARE(box->Items(), QStringList({".hidden.txt", "a.txt", "sub.txt"}));
    }

    void changeNotificationOnClickOnlyWhenMoved() {
        const QString path = folder("clicks");
        test::touchAll(path, {"a.jpg", "b.jpg", "c.jpg"});
        auto box = makeBox(path, "*.jpg");
        QLineEdit edit;
        box->SetFileEdit(&edit);
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QSignalSpy changes(box.get(), &TUsefulFileBox::Change);
        const QRect second = box->visualRect(box->model()->index(1, 0));
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(changes.count(), 1);
        QCOMPARE(box->FileName(), path + "/b.jpg");
        QCOMPARE(edit.text(), QStringLiteral("b.jpg"));
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(changes.count(), 1);
        QTest::keyClick(box->viewport(), Qt::Key_Down);
        QCOMPARE(changes.count(), 2);
        QCOMPARE(box->FileName(), path + "/c.jpg");
        box->SetItemIndex(-1);
        box->Update();
        QCOMPARE(edit.text(), QStringLiteral("*.jpg"));
        QCOMPARE(box->FileName(), QString());
    }

    void refreshKeepsSelectionAndSelectFile() {
        const QString path = folder("keep");
        test::touchAll(path, {"a.jpg", "m.jpg", "z.jpg"});
        auto box = makeBox(path, "*.jpg");
        QSignalSpy changes(box.get(), &TUsefulFileBox::Change);
        box->SelectFile("M.JPG");
        QCOMPARE(changes.count(), 1);
        QCOMPARE(box->FileName(), path + "/m.jpg");
        box->SelectFile("m.jpg"); // already selected: nothing
        QCOMPARE(changes.count(), 1);
        test::touchAll(path, {"b.jpg", "c.jpg"});
        box->RefreshKeepingSelection();
        QCOMPARE(box->Items(), QStringList({"a.jpg", "b.jpg", "c.jpg", "m.jpg", "z.jpg"}));
        QCOMPARE(box->FileName(), path + "/m.jpg");
        QFile::remove(path + "/m.jpg");
        box->RefreshKeepingSelection();
        QCOMPARE(box->ItemIndex(), -1);
        box->SelectFile("absent.jpg");
        QCOMPARE(box->ItemIndex(), -1);
    }

    void namesThatAreNotUtf8KeepTheirBytes() {
        const QString path = folder("bytes");
        const QByteArray raw("caf\xe9-\xff.jpg"); // Latin-1 bytes: not valid UTF-8
        QVERIFY(test::touchRaw(QFile::encodeName(path), raw, "image bytes"));
        test::touch(path + "/plain.jpg", "plain");
        auto box = makeBox(path, "*.jpg");
        QCOMPARE(box->Count(), 2);
        const int row = box->Items().indexOf("plain.jpg") == 0 ? 1 : 0;
        box->SetItemIndex(row);
        QCOMPARE(box->FileNameBytes(), QFile::encodeName(path) + '/' + raw);
        // The path text gives the very bytes back; the name shows readably.
        QCOMPARE(platform::encodePath(box->FileName()), box->FileNameBytes());
        QCOMPARE(box->Items().at(row), QString::fromUtf8("caf\uFFFD-\uFFFD.jpg"));
        QFile file;
        QVERIFY(platform::openForReading(file, box->FileNameBytes()));
        QCOMPARE(file.readAll(), QByteArray("image bytes"));
        QVERIFY(box->FileName().endsWith(".jpg"));
        // A re-read finds the same raw name again and keeps the entry.
        box->Update();
        QCOMPARE(box->Count(), 2);
        QCOMPARE(box->ItemIndex(), row);
        // QDir cannot remove a name it cannot spell.
        QCOMPARE(::unlink((QFile::encodeName(path) + '/' + raw).constData()), 0);
    }

    void applyFilePath() {
        const QString path = folder("typed");
        QDir().mkpath(path + "/sub");
        test::touchAll(path, {"a.jpg", "b.gif", "notes.txt"});
        test::touchAll(path + "/sub", {"s.jpg"});
        auto box = makeBox(path, "*.jpg");
        box->ApplyFilePath(path + "/*.gif");
        QCOMPARE(box->Mask(), QStringLiteral("*.gif"));
        QCOMPARE(box->Items(), QStringList({"b.gif"}));
        box->SetMask("*.jpg");
        box->ApplyFilePath("a.jpg");
        QCOMPARE(box->FileName(), path + "/a.jpg");
        // An existing file that the mask hides becomes the mask and is selected.
        box->ApplyFilePath(path + "/notes.txt");
        QCOMPARE(box->Mask(), QStringLiteral("notes.txt"));
        QCOMPARE(box->FileName(), path + "/notes.txt");
        box->ApplyFilePath("sub");
        QCOMPARE(box->Directory(), path + "/sub");
        try {
            box->ApplyFilePath(path + "/sub/missing.jpg");
            QFAIL("a missing file must raise");
        } catch (const FileControlError& error) {
            // A name that is neither a file nor a folder fails as a folder first.
            QVERIFY(!error.message().isEmpty());
        }
        QVERIFY_THROWS_EXCEPTION(FileControlError, box->SetDirectory(path + "/nowhere"));
        QCOMPARE(box->Directory(), path + "/sub");
    }

    void reReadTouchesOnlyWhatChanged() {
        const QString path = folder("incremental");
        test::touchAll(path, names(300, ".jpg"));
        auto box = makeBox(path, "*.jpg");
        QSignalSpy removed(box->model(), &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(box->model(), &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(box->model(), &QAbstractItemModel::modelReset);
        box->Update();
        QCOMPARE(removed.count() + inserted.count() + reset.count(), 0);
        test::touch(path + "/new.jpg");
        QFile::remove(path + "/file0007.jpg");
        box->RefreshKeepingSelection();
        QCOMPARE(removed.count(), 1);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(reset.count(), 0);
        QCOMPARE(box->Count(), 300);

        // A new mask that drops entries all over the list.
        const QStringList gifs = names(40, ".gif");
        test::touchAll(path, gifs);
        box->SetMask("*.jpg;*.gif");
        QCOMPARE(box->Count(), 340);
        box->SelectFile(gifs.at(5));
        box->SetMask("*.gif");
        QCOMPARE(box->Items(), gifs);
        QCOMPARE(box->FileName(), path + "/" + gifs.at(5));
    }

    void sameDirectoryDoesNotReRead() {
        const QString path = folder("same");
        auto box = makeBox(path, "*.*");
        const int reads = box->ReadCount();
        box->SetDirectory(path + "/");
        box->SetDirectory(path);
        QCOMPARE(box->ReadCount(), reads);
    }

    void iconsAreLookedUpForDrawnRowsOnly() {
        const QString path = folder("icons");
        test::touchAll(path, names(500, ".png"));
        auto box = makeBox(path, "*.png");
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        box->viewport()->repaint();
        int looked = 0;
        for (int row = 0; row < box->Count(); ++row)
            looked += box->Model()->at(row).iconLooked ? 1 : 0;
        QVERIFY(looked > 0);
        QVERIFY2(looked < 100, qPrintable(QString::number(looked)));
        box->SetShowGlyphs(false);
        QVERIFY(!box->ShowGlyphs());
        QVERIFY(box->ItemHeight() >= 17);
    }
};

ZELVORIN_TEST_MAIN(UsefulFileBoxTest)
#include "tst_UsefulFileBox.moc"

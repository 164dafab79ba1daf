// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FavoriteFolders.h"
#include "SettingsStore.h"
#include "SettingsTable.h"
#include "TestEnvironment.h"

#include <QApplication>

using zelvorin::FolderEntry;
using zelvorin::FolderList;

using namespace zelvorin;

namespace {

const QString Root = QStringLiteral("Software\\Morvenkast\\Zelvorin");

#ifdef Q_OS_WIN
constexpr bool CaseBlindFolders = true;
#else
constexpr bool CaseBlindFolders = false;
#endif

FolderList entries(const QStringList& paths) {
    return zelvorin::folderEntries(paths);
}

QStringList numbered(const QString& prefix, int count) {
    QStringList paths;
    for (int i = 1; i <= count; ++i)
        paths.append(prefix + QString::number(i));
    return paths;
}

} // namespace

class TestFavoriteFolders : public QObject {
    Q_OBJECT

private slots:
    void defaults();
    void normalizeFolderPath_data();
    void normalizeFolderPath();
    void sameFolderText_data();
    void sameFolderText();
    void emptyPathChangesNothing_data();
    void emptyPathChangesNothing();
    void addMovesExistingEntryKeepingItsText_data();
    void addMovesExistingEntryKeepingItsText();
    void addGivesTheFrontEntryTheNewData();
    void lastFoldersKeepTenFavoritesGrow();
    void limitZeroOrLessMeansNoLimit_data();
    void limitZeroOrLessMeansNoLimit();
    void moveFolderToFront();
    void persistenceRoundTrip();
    void loadingKeepsValuesAsStored();
    void gapEndsTheLoadedList();
    void elevenStoredValuesLoadAndAreCutAtNextAddition();
    void writingRemovesOlderLongerList();
    void nothingStoredReadsEmpty();

private:
    QString hiveFile(const QString& name) const { return m_hives.filePath(name); }

    QTemporaryDir m_hives;
};

void TestFavoriteFolders::defaults() {
    FavoriteFolders folders(nullptr);
    QVERIFY(folders.lastFolders().isEmpty());
    QVERIFY(folders.favoriteFolders().isEmpty());
    QCOMPARE(folders.lastFoldersLimit(), 10);
    QCOMPARE(folders.favoriteFoldersLimit(), 0);
    QCOMPARE(folders.dialogCaption(), QStringLiteral(" Favorite Folders"));
    QVERIFY(!folders.folderAddedHandler());
    QCOMPARE(folders.property("lastFoldersLimit").toInt(), 10);
    QVERIFY(folders.setProperty("favoriteFoldersLimit", 3));
    QCOMPARE(folders.favoriteFoldersLimit(), 3);
}

void TestFavoriteFolders::normalizeFolderPath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("trailing slash removed") << "/home/a/"
                                            << "/home/a";
    QTest::newRow("several trailing slashes") << "/home/a///"
                                              << "/home/a";
    QTest::newRow("plain folder unchanged") << "/home/a"
                                            << "/home/a";
    QTest::newRow("root keeps its slash") << "/"
                                          << "/";
    QTest::newRow("repeated root is the root") << "///"
                                               << "/";
    QTest::newRow("blank root is the root") << "  / "
                                            << "/";
    QTest::newRow("blanks trimmed") << "  /srv/pics  "
                                    << "/srv/pics";
    QTest::newRow("controls trimmed") << "\t/srv/pics/\r\n"
                                      << "/srv/pics";
    QTest::newRow("control char below blank") << QString(QChar(1)) + "/x/"
                                              << "/x";
    QTest::newRow("inner blanks kept") << "/my pics/a b/"
                                       << "/my pics/a b";
    QTest::newRow("backslash is a name character") << "/a\\"
                                                   << "/a\\";
    QTest::newRow("ampersand kept") << "/Tom & Jerry/"
                                    << "/Tom & Jerry";
    QTest::newRow("relative kept relative") << "pics/"
                                            << "pics";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("blank") << "   "
                           << "";
    QTest::newRow("controls only") << "\t\r\n"
                                   << "";
}

void TestFavoriteFolders::normalizeFolderPath() {
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(zelvorin::normalizeFolderPath(path), expected);
}

void TestFavoriteFolders::sameFolderText_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    QTest::newRow("identical") << "/srv/a"
                               << "/srv/a" << true;
    // Linux file systems tell names apart by case: these are two folders.
    QTest::newRow("ascii case") << "/SRV/Images"
                                << "/srv/images" << CaseBlindFolders;
    QTest::newRow("non-ascii case") << "/Bilder/\u00c4rger"
                                    << "/bilder/\u00e4rger" << CaseBlindFolders;
    QTest::newRow("accent differs") << "/caf\u00e9"
                                    << "/cafe" << false;
    QTest::newRow("other name") << "/a"
                                << "/b" << false;
    QTest::newRow("trailing slash differs") << "/a"
                                            << "/a/" << false;
    QTest::newRow("prefix") << "/a"
                            << "/ab" << false;
}

void TestFavoriteFolders::sameFolderText() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    QCOMPARE(zelvorin::sameFolderText(a, b), same);
    QCOMPARE(zelvorin::sameFolderText(b, a), same);
}

void TestFavoriteFolders::emptyPathChangesNothing_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("empty") << QString();
    QTest::newRow("blank") << QStringLiteral("   ");
    QTest::newRow("tab and newline") << QStringLiteral("\t\n");
}

void TestFavoriteFolders::emptyPathChangesNothing() {
    QFETCH(QString, path);
    FavoriteFolders folders(nullptr);
    folders.lastFolders() = entries({"/a", "/b"});
    const FolderList before = folders.lastFolders();
    QVERIFY(!folders.addLastFolder(path, 7));
    QCOMPARE(folders.lastFolders(), before);
    QVERIFY(!folders.addFavoriteFolder(path, 7));
    QVERIFY(folders.favoriteFolders().isEmpty());
}

void TestFavoriteFolders::addMovesExistingEntryKeepingItsText_data() {
    QTest::addColumn<QString>("added");
    QTest::addColumn<QStringList>("expected");
    const QStringList moved{"/srv/Images", "/a", "/b"};
    QTest::newRow("same text") << "/srv/Images" << moved;
    QTest::newRow("blanks around") << " /srv/Images " << moved;
    QTest::newRow("trailing slashes") << "/srv/Images//" << moved;
    const QStringList other{"/srv/images", "/a", "/srv/Images", "/b"};
    QTest::newRow("other case") << "/srv/images" << (CaseBlindFolders ? moved : other);
    QTest::newRow("upper case with slash")
        << "/SRV/IMAGES/"
        << (CaseBlindFolders ? moved : QStringList{"/SRV/IMAGES", "/a", "/srv/Images", "/b"});
}

void TestFavoriteFolders::addMovesExistingEntryKeepingItsText() {
    QFETCH(QString, added);
    QFETCH(QStringList, expected);
    FolderList list = entries({"/a", "/srv/Images", "/b"});
    QVERIFY(FavoriteFolders::addFolderToList(list, added, 10, 0));
    QCOMPARE(zelvorin::folderPaths(list), expected);
}

void TestFavoriteFolders::addGivesTheFrontEntryTheNewData() {
    FolderList list;
    QVERIFY(FavoriteFolders::addFolderToList(list, "/a/", 0, 5));
    QCOMPARE(list, FolderList({FolderEntry{"/a", 5}}));
    QVERIFY(FavoriteFolders::addFolderToList(list, "/b", 0, 6));
    QVERIFY(FavoriteFolders::addFolderToList(list, "/a//", 0, 9));
    QCOMPARE(list, FolderList({FolderEntry{"/a", 9}, FolderEntry{"/b", 6}}));
}

void TestFavoriteFolders::lastFoldersKeepTenFavoritesGrow() {
    FavoriteFolders folders(nullptr);
    for (const QString& path : numbered("/f", 10)) {
        QVERIFY(folders.addLastFolder(path, 0));
        QVERIFY(folders.addFavoriteFolder(path, 0));
    }
    QCOMPARE(folders.lastFolders().size(), 10);
    QVERIFY(folders.addLastFolder("/f11", 0));
    QCOMPARE(folders.lastFolders().size(), 10);
    QCOMPARE(folders.lastFolders().first().path, QStringLiteral("/f11"));
    QCOMPARE(folders.lastFolders().last().path, QStringLiteral("/f2"));
    QCOMPARE(zelvorin::indexOfFolder(folders.lastFolders(), "/f1"), -1);

    // Re-adding a folder already held neither grows nor drops anything.
    QVERIFY(folders.addLastFolder("/f2", 0));
    QCOMPARE(folders.lastFolders().size(), 10);
    QCOMPARE(folders.lastFolders().first().path, QStringLiteral("/f2"));
    QCOMPARE(folders.lastFolders().last().path, QStringLiteral("/f3"));

    for (const QString& path : numbered("/g", 30))
        QVERIFY(folders.addFavoriteFolder(path, 0));
    QCOMPARE(folders.favoriteFolders().size(), 40);
    QCOMPARE(folders.favoriteFolders().first().path, QStringLiteral("/g30"));
}

void TestFavoriteFolders::limitZeroOrLessMeansNoLimit_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("expected");
    QTest::newRow("zero") << 0 << 15;
    QTest::newRow("negative") << -3 << 15;
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("five") << 5 << 5;
}

void TestFavoriteFolders::limitZeroOrLessMeansNoLimit() {
    QFETCH(int, limit);
    QFETCH(int, expected);
    FavoriteFolders folders(nullptr);
    folders.setLastFoldersLimit(limit);
    for (const QString& path : numbered("/d", 15))
        QVERIFY(folders.addLastFolder(path, 0));
    QCOMPARE(folders.lastFolders().size(), expected);
    QCOMPARE(folders.lastFolders().first().path, QStringLiteral("/d15"));
}

void TestFavoriteFolders::moveFolderToFront() {
    FolderList list = {{"/a", 1}, {"/B", 2}, {"/b", 4}, {"/c", 3}};
    QVERIFY(FavoriteFolders::moveFolderToFront(list, "/b"));
    const FolderList lowerFirst{{"/b", 4}, {"/a", 1}, {"/B", 2}, {"/c", 3}};
    const FolderList upperFirst{{"/B", 2}, {"/a", 1}, {"/b", 4}, {"/c", 3}};
    QCOMPARE(list, CaseBlindFolders ? upperFirst : lowerFirst);
    QVERIFY(!FavoriteFolders::moveFolderToFront(list, "/d"));
    QCOMPARE(list.size(), 4);
}

void TestFavoriteFolders::persistenceRoundTrip() {
    zelvorin::SettingsStore store(hiveFile("roundtrip.db"));
    const zelvorin::settings::SettingsAccess settings(&store, Root);
    FavoriteFolders saved(nullptr);
    saved.addLastFolder("/one", 4);
    saved.addLastFolder("/Tom & Jerry", 0);
    saved.addFavoriteFolder("/fav/x", 0);
    saved.addFavoriteFolder("/", 0);
    QVERIFY(saved.writeFolderLists(settings));
    QCOMPARE(store.readString(Root + "\\History", "LastFolders1", QString()),
             QStringLiteral("/Tom & Jerry"));
    QCOMPARE(store.readString(Root + "\\History", "FavoriteFolders2", QString()),
             QStringLiteral("/fav/x"));

    FavoriteFolders loaded(nullptr);
    QVERIFY(loaded.readFolderLists(settings));
    // Data values are not stored: they come back as 0.
    QCOMPARE(loaded.lastFolders(), FolderList({{"/Tom & Jerry", 0}, {"/one", 0}}));
    QCOMPARE(loaded.favoriteFolders(), FolderList({{"/", 0}, {"/fav/x", 0}}));
}

void TestFavoriteFolders::loadingKeepsValuesAsStored() {
    zelvorin::SettingsStore store(hiveFile("asstored.db"));
    const QString key = Root + "\\History";
    store.writeString(key, "LastFolders1", "/x/");
    store.writeString(key, "LastFolders2", "/X");
    store.writeString(key, "LastFolders3", "  ");
    FavoriteFolders folders(nullptr);
    folders.lastFolders() = entries({"/old"});
    QVERIFY(folders.readFolderLists(zelvorin::settings::SettingsAccess(&store, Root)));
    QCOMPARE(zelvorin::folderPaths(folders.lastFolders()), QStringList({"/x/", "/X", "  "}));
    QVERIFY(folders.favoriteFolders().isEmpty());
}

void TestFavoriteFolders::gapEndsTheLoadedList() {
    zelvorin::SettingsStore store(hiveFile("gap.db"));
    const QString key = Root + "\\History";
    store.writeString(key, "FavoriteFolders1", "/first");
    store.writeString(key, "FavoriteFolders3", "/third");
    store.writeString(key, "LastFolders2", "/second");
    FavoriteFolders folders(nullptr);
    QVERIFY(folders.readFolderLists(zelvorin::settings::SettingsAccess(&store, Root)));
    QCOMPARE(zelvorin::folderPaths(folders.favoriteFolders()), QStringList({"/first"}));
    QVERIFY(folders.lastFolders().isEmpty());
}

void TestFavoriteFolders::elevenStoredValuesLoadAndAreCutAtNextAddition() {
    zelvorin::SettingsStore store(hiveFile("eleven.db"));
    const QString key = Root + "\\History";
    const QStringList stored = numbered("/s", 11);
    for (int i = 0; i < stored.size(); ++i)
        store.writeString(key, "LastFolders" + QString::number(i + 1), stored.at(i));
    FavoriteFolders folders(nullptr);
    QVERIFY(folders.readFolderLists(zelvorin::settings::SettingsAccess(&store, Root)));
    QCOMPARE(zelvorin::folderPaths(folders.lastFolders()), stored);

    QVERIFY(folders.addLastFolder("/new", 0));
    QCOMPARE(folders.lastFolders().size(), 10);
    QCOMPARE(folders.lastFolders().first().path, QStringLiteral("/new"));
    QCOMPARE(folders.lastFolders().last().path, QStringLiteral("/s9"));
}

void TestFavoriteFolders::writingRemovesOlderLongerList() {
    zelvorin::SettingsStore store(hiveFile("shorter.db"));
    const zelvorin::settings::SettingsAccess settings(&store, Root);
    FavoriteFolders folders(nullptr);
    folders.favoriteFolders() = entries(numbered("/p", 5));
    QVERIFY(folders.writeFolderLists(settings));
    folders.favoriteFolders() = entries({"/only"});
    folders.lastFolders().clear();
    QVERIFY(folders.writeFolderLists(settings));
    const QString key = Root + "\\History";
    QVERIFY(!store.valueExists(key, "FavoriteFolders2"));
    QVERIFY(!store.valueExists(key, "FavoriteFolders5"));
    FavoriteFolders loaded(nullptr);
    QVERIFY(loaded.readFolderLists(settings));
    QCOMPARE(zelvorin::folderPaths(loaded.favoriteFolders()), QStringList({"/only"}));
    QVERIFY(loaded.lastFolders().isEmpty());
}

void TestFavoriteFolders::nothingStoredReadsEmpty() {
    zelvorin::SettingsStore store(hiveFile("empty.db"));
    FavoriteFolders folders(nullptr);
    folders.lastFolders() = entries({"/stale"});
    QVERIFY(!folders.readFolderLists(zelvorin::settings::SettingsAccess(&store, Root)));
    QVERIFY(folders.lastFolders().isEmpty());
    // Without a store nothing is read and writing reports failure.
    QVERIFY(!folders.readFolderLists(zelvorin::settings::SettingsAccess(nullptr, Root)));
    QVERIFY(!folders.writeFolderLists(zelvorin::settings::SettingsAccess(nullptr, Root)));
}

ZELVORIN_TEST_MAIN(TestFavoriteFolders)
#include "tst_FavoriteFolders.moc"

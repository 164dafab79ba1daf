#include "FavoriteItems.h"
#include "NeededRegistryLib.h"
#include "SettingsTable.h"
#include "TestEnvironment.h"

#include <QApplication>

using zelvorin::FolderEntry;
using zelvorin::FolderList;

namespace {

const QString Root = QStringLiteral("Software\\Morvenkast\\Zelvorin");

#ifdef Q_OS_WIN
constexpr bool CaseBlindFolders = true;
#else
constexpr bool CaseBlindFolders = false;
#endif

FolderList entries(const QStringList& paths) {
    return zelvorin::FolderEntries(paths);
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
    TFavoriteFolders folders(nullptr);
    QVERIFY(folders.LastFolders().isEmpty());
    QVERIFY(folders.FavoriteFolders().isEmpty());
    QCOMPARE(folders.LastFoldersLimit(), 10);
    QCOMPARE(folders.FavoriteFoldersLimit(), 0);
    QCOMPARE(folders.DialogCaption(), QStringLiteral(" Favorite Folders"));
    QVERIFY(!folders.OnAddFolderFromDialog());
    QCOMPARE(folders.property("LastFoldersLimit").toInt(), 10);
    QVERIFY(folders.setProperty("FavoriteFoldersLimit", 3));
    QCOMPARE(folders.FavoriteFoldersLimit(), 3);
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
    QCOMPARE(NormalizeFolderPath(path), expected);
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
    QCOMPARE(zelvorin::SameFolderText(a, b), same);
    QCOMPARE(zelvorin::SameFolderText(b, a), same);
}

void TestFavoriteFolders::emptyPathChangesNothing_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("empty") << QString();
    QTest::newRow("blank") << QStringLiteral("   ");
    QTest::newRow("tab and newline") << QStringLiteral("\t\n");
}

void TestFavoriteFolders::emptyPathChangesNothing() {
    QFETCH(QString, path);
    TFavoriteFolders folders(nullptr);
    folders.LastFolders() = entries({"/a", "/b"});
    const FolderList before = folders.LastFolders();
    QVERIFY(!folders.AddLastFolder(path, 7));
    QCOMPARE(folders.LastFolders(), before);
    QVERIFY(!folders.AddFavoriteFolder(path, 7));
    QVERIFY(folders.FavoriteFolders().isEmpty());
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
    QVERIFY(TFavoriteFolders::AddFolderToList(list, added, 10, 0));
    QCOMPARE(zelvorin::FolderPaths(list), expected);
}

void TestFavoriteFolders::addGivesTheFrontEntryTheNewData() {
    FolderList list;
    QVERIFY(TFavoriteFolders::AddFolderToList(list, "/a/", 0, 5));
    QCOMPARE(list, FolderList({FolderEntry{"/a", 5}}));
    QVERIFY(TFavoriteFolders::AddFolderToList(list, "/b", 0, 6));
    QVERIFY(TFavoriteFolders::AddFolderToList(list, "/a//", 0, 9));
    QCOMPARE(list, FolderList({FolderEntry{"/a", 9}, FolderEntry{"/b", 6}}));
}

void TestFavoriteFolders::lastFoldersKeepTenFavoritesGrow() {
    TFavoriteFolders folders(nullptr);
    for (const QString& path : numbered("/f", 10)) {
        QVERIFY(folders.AddLastFolder(path, 0));
        QVERIFY(folders.AddFavoriteFolder(path, 0));
    }
    QCOMPARE(folders.LastFolders().size(), 10);
    QVERIFY(folders.AddLastFolder("/f11", 0));
    QCOMPARE(folders.LastFolders().size(), 10);
    QCOMPARE(folders.LastFolders().first().path, QStringLiteral("/f11"));
    QCOMPARE(folders.LastFolders().last().path, QStringLiteral("/f2"));
    QCOMPARE(zelvorin::IndexOfFolder(folders.LastFolders(), "/f1"), -1);

    // Re-adding a folder already held neither grows nor drops anything.
    QVERIFY(folders.AddLastFolder("/f2", 0));
    QCOMPARE(folders.LastFolders().size(), 10);
    QCOMPARE(folders.LastFolders().first().path, QStringLiteral("/f2"));
    QCOMPARE(folders.LastFolders().last().path, QStringLiteral("/f3"));

    for (const QString& path : numbered("/g", 30))
        QVERIFY(folders.AddFavoriteFolder(path, 0));
    QCOMPARE(folders.FavoriteFolders().size(), 40);
    QCOMPARE(folders.FavoriteFolders().first().path, QStringLiteral("/g30"));
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
    TFavoriteFolders folders(nullptr);
    folders.SetLastFoldersLimit(limit);
    for (const QString& path : numbered("/d", 15))
        QVERIFY(folders.AddLastFolder(path, 0));
    QCOMPARE(folders.LastFolders().size(), expected);
    QCOMPARE(folders.LastFolders().first().path, QStringLiteral("/d15"));
}

void TestFavoriteFolders::moveFolderToFront() {
    FolderList list = {{"/a", 1}, {"/B", 2}, {"/b", 4}, {"/c", 3}};
    QVERIFY(TFavoriteFolders::MoveFolderToFront(list, "/b"));
    const FolderList lowerFirst{{"/b", 4}, {"/a", 1}, {"/B", 2}, {"/c", 3}};
    const FolderList upperFirst{{"/B", 2}, {"/a", 1}, {"/b", 4}, {"/c", 3}};
    QCOMPARE(list, CaseBlindFolders ? upperFirst : lowerFirst);
    QVERIFY(!TFavoriteFolders::MoveFolderToFront(list, "/d"));
    QCOMPARE(list.size(), 4);
}

void TestFavoriteFolders::persistenceRoundTrip() {
    TUsefulRegistry store(hiveFile("roundtrip.db"));
    const zelvorin::settings::SettingsAccess settings(&store, Root);
    TFavoriteFolders saved(nullptr);
    saved.AddLastFolder("/one", 4);
    saved.AddLastFolder("/Tom & Jerry", 0);
    saved.AddFavoriteFolder("/fav/x", 0);
    saved.AddFavoriteFolder("/", 0);
    QVERIFY(saved.WriteFolderLists(settings));
    QCOMPARE(store.ReadString(Root + "\\History", "LastFolders1", QString()),
             QStringLiteral("/Tom & Jerry"));
    QCOMPARE(store.ReadString(Root + "\\History", "FavoriteFolders2", QString()),
             QStringLiteral("/fav/x"));

    TFavoriteFolders loaded(nullptr);
    QVERIFY(loaded.ReadFolderLists(settings));
    // Data values are not stored: they come back as 0.
    QCOMPARE(loaded.LastFolders(), FolderList({{"/Tom & Jerry", 0}, {"/one", 0}}));
    QCOMPARE(loaded.FavoriteFolders(), FolderList({{"/", 0}, {"/fav/x", 0}}));
}

void TestFavoriteFolders::loadingKeepsValuesAsStored() {
    TUsefulRegistry store(hiveFile("asstored.db"));
    const QString key = Root + "\\History";
    store.WriteString(key, "LastFolders1", "/x/");
    store.WriteString(key, "LastFolders2", "/X");
    store.WriteString(key, "LastFolders3", "  ");
    TFavoriteFolders folders(nullptr);
    folders.LastFolders() = entries({"/old"});
    QVERIFY(folders.ReadFolderLists(zelvorin::settings::SettingsAccess(&store, Root)));
    QCOMPARE(zelvorin::FolderPaths(folders.LastFolders()), QStringList({"/x/", "/X", "  "}));
    QVERIFY(folders.FavoriteFolders().isEmpty());
}

void TestFavoriteFolders::gapEndsTheLoadedList() {
    TUsefulRegistry store(hiveFile("gap.db"));
    const QString key = Root + "\\History";
    store.WriteString(key, "FavoriteFolders1", "/first");
    store.WriteString(key, "FavoriteFolders3", "/third");
    store.WriteString(key, "LastFolders2", "/second");
    TFavoriteFolders folders(nullptr);
    QVERIFY(folders.ReadFolderLists(zelvorin::settings::SettingsAccess(&store, Root)));
    QCOMPARE(zelvorin::FolderPaths(folders.FavoriteFolders()), QStringList({"/first"}));
    QVERIFY(folders.LastFolders().isEmpty());
}

void TestFavoriteFolders::elevenStoredValuesLoadAndAreCutAtNextAddition() {
    TUsefulRegistry store(hiveFile("eleven.db"));
    const QString key = Root + "\\History";
    const QStringList stored = numbered("/s", 11);
    for (int i = 0; i < stored.size(); ++i)
        store.WriteString(key, "LastFolders" + QString::number(i + 1), stored.at(i));
    TFavoriteFolders folders(nullptr);
    QVERIFY(folders.ReadFolderLists(zelvorin::settings::SettingsAccess(&store, Root)));
    QCOMPARE(zelvorin::FolderPaths(folders.LastFolders()), stored);

    QVERIFY(folders.AddLastFolder("/new", 0));
    QCOMPARE(folders.LastFolders().size(), 10);
    QCOMPARE(folders.LastFolders().first().path, QStringLiteral("/new"));
    QCOMPARE(folders.LastFolders().last().path, QStringLiteral("/s9"));
}

void TestFavoriteFolders::writingRemovesOlderLongerList() {
    TUsefulRegistry store(hiveFile("shorter.db"));
    const zelvorin::settings::SettingsAccess settings(&store, Root);
    TFavoriteFolders folders(nullptr);
    folders.FavoriteFolders() = entries(numbered("/p", 5));
    QVERIFY(folders.WriteFolderLists(settings));
    folders.FavoriteFolders() = entries({"/only"});
    folders.LastFolders().clear();
    QVERIFY(folders.WriteFolderLists(settings));
    const QString key = Root + "\\History";
    QVERIFY(!store.ValueExists(key, "FavoriteFolders2"));
    QVERIFY(!store.ValueExists(key, "FavoriteFolders5"));
    TFavoriteFolders loaded(nullptr);
    QVERIFY(loaded.ReadFolderLists(settings));
    QCOMPARE(zelvorin::FolderPaths(loaded.FavoriteFolders()), QStringList({"/only"}));
    QVERIFY(loaded.LastFolders().isEmpty());
}

void TestFavoriteFolders::nothingStoredReadsEmpty() {
    TUsefulRegistry store(hiveFile("empty.db"));
    TFavoriteFolders folders(nullptr);
    folders.LastFolders() = entries({"/stale"});
    QVERIFY(!folders.ReadFolderLists(zelvorin::settings::SettingsAccess(&store, Root)));
    QVERIFY(folders.LastFolders().isEmpty());
    // Without a store nothing is read and writing reports failure.
    QVERIFY(!folders.ReadFolderLists(zelvorin::settings::SettingsAccess(nullptr, Root)));
    QVERIFY(!folders.WriteFolderLists(zelvorin::settings::SettingsAccess(nullptr, Root)));
}

ZELVORIN_TEST_MAIN(TestFavoriteFolders)
#include "tst_FavoriteFolders.moc"

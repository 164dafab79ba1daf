// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FavoriteFolders.h"
#include "FolderMenuItems.h"
#include "FolderMenus.h"
#include "TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>

using zelvorin::FolderEntry;
using zelvorin::FolderList;

using namespace zelvorin;

namespace {

QStringList texts(const QMenu& menu) {
    QStringList result;
    for (const QAction* action : menu.actions())
        result.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return result;
}

QAction* actionWithText(const QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

} // namespace

class TestFolderMenus : public QObject {
    Q_OBJECT

private slots:
    void init();
    void missingMenuIsRefused();
    void emptyListShowsDisabledNone();
    void entriesCarryPathAndTag();
    void menuIsRebuiltFromScratch();
    void shownTextEscapesAmpersands_data();
    void shownTextEscapesAmpersands();
    void submenusEndWithTheirCommand();
    void emptySubmenusStillEndWithTheirCommand();
    void ampersandFolderOpensExactlyTheStoredPath();
    void existingFolderOpensAndMovesToFront();
    void missingFolderIsNotOpenedButMoves();
    void foldersDifferingInCaseStayTwo();
    void chosenFavoriteLeadsTheMenuNextTime();
    void resetEmptiesOnlyTheLastFolders();
    void addToFavoritesUsesTheCurrentFolder();
    void noneAndCommandEntriesOpenNothing();

private:
    QString makeFolder(const QString& name) {
        const QString path = m_root.filePath(name);
        QDir().mkpath(path);
        return path;
    }

    QTemporaryDir m_root;
    QStringList m_opened;
};

void TestFolderMenus::init() {
    m_opened.clear();
}

void TestFolderMenus::missingMenuIsRefused() {
    QObject context;
    QVERIFY(!zelvorin::fillMenuFromList(nullptr, {}, &context, {}));
    QVERIFY(!zelvorin::fillFolderSubmenu(nullptr, {}, &context, {}, "x", {}));
}

void TestFolderMenus::emptyListShowsDisabledNone() {
    QMenu menu;
    QObject context;
    QVERIFY(zelvorin::fillMenuFromList(&menu, {}, &context, {}));
    QCOMPARE(menu.actions().size(), 1);
    QAction* none = menu.actions().first();
    QCOMPARE(none->text(), QStringLiteral("(none)"));
    QVERIFY(!none->isEnabled());
    QCOMPARE(zelvorin::folderMenuItemTag(none), quintptr(0));
    QVERIFY(zelvorin::folderMenuItemPath(none).isEmpty());
}

void TestFolderMenus::entriesCarryPathAndTag() {
    QMenu menu;
    QObject context;
    QList<QAction*> clicked;
    const FolderList list = {{"/a", 3}, {"/b/c", 0}};
    QVERIFY(
        zelvorin::fillMenuFromList(&menu, list, &context, [&](QAction* a) { clicked.append(a); }));
    QCOMPARE(texts(menu), QStringList({"/a", "/b/c"}));
    QCOMPARE(zelvorin::folderMenuItemPath(menu.actions().at(1)), QStringLiteral("/b/c"));
    QCOMPARE(zelvorin::folderMenuItemTag(menu.actions().at(0)), quintptr(3));
    QVERIFY(menu.actions().at(0)->isEnabled());
    menu.actions().at(1)->trigger();
    QCOMPARE(clicked, QList<QAction*>({menu.actions().at(1)}));
}

void TestFolderMenus::menuIsRebuiltFromScratch() {
    QMenu menu;
    QObject context;
    menu.addAction("left over");
    QVERIFY(zelvorin::fillMenuFromList(&menu, {{"/a", 0}, {"/b", 0}}, &context, {}));
    const QPointer<QAction> old = menu.actions().first();
    QCOMPARE(texts(menu), QStringList({"/a", "/b"}));
    QVERIFY(zelvorin::fillMenuFromList(&menu, {{"/c", 0}}, &context, {}));
    QCOMPARE(texts(menu), QStringList({"/c"}));
    QVERIFY(old.isNull());
    QVERIFY(zelvorin::fillMenuFromList(&menu, {}, &context, {}));
    QCOMPARE(texts(menu), QStringList({"(none)"}));
    // Nothing of the earlier fillings is left behind (the menu's own action aside).
    QList<QAction*> owned = menu.findChildren<QAction*>(Qt::FindDirectChildrenOnly);
    owned.removeAll(menu.menuAction());
    QCOMPARE(owned.size(), 1);
}

void TestFolderMenus::shownTextEscapesAmpersands_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("shown");
    QTest::newRow("none") << "/plain"
                          << "/plain";
    QTest::newRow("one") << "/Tom & Jerry"
                         << "/Tom && Jerry";
    QTest::newRow("leading") << "/&x"
                             << "/&&x";
    QTest::newRow("double") << "/a&&b"
                            << "/a&&&&b";
    QTest::newRow("trailing") << "/a&"
                              << "/a&&";
    QTest::newRow("tab") << "/a\tb"
                         << "/a b";
}

void TestFolderMenus::shownTextEscapesAmpersands() {
    QFETCH(QString, path);
    QFETCH(QString, shown);
    QMenu menu;
    QObject context;
    QVERIFY(zelvorin::fillMenuFromList(&menu, {{path, 0}}, &context, {}));
    QCOMPARE(menu.actions().first()->text(), shown);
    QCOMPARE(zelvorin::folderMenuItemPath(menu.actions().first()), path);
}

void TestFolderMenus::submenusEndWithTheirCommand() {
    FavoriteFolders folders(nullptr);
    folders.lastFolders() = {{"/l1", 0}, {"/l2", 0}};
    folders.favoriteFolders() = {{"/f1", 0}};
    zelvorin::FolderMenus menus(&folders, nullptr);
    QMenu last;
    QMenu favorites;
    menus.fillFolderMenus(&last, &favorites);
    QCOMPARE(texts(last), QStringList({"/l1", "/l2", "-", "&Reset the list"}));
    QCOMPARE(texts(favorites), QStringList({"/f1", "-", "&Edit Favorite Folders..."}));
    // Opening the menu again gives the same menu, not a longer one.
    menus.fillFolderMenus(&last, &favorites);
    QCOMPARE(texts(last), QStringList({"/l1", "/l2", "-", "&Reset the list"}));
    QCOMPARE(texts(favorites), QStringList({"/f1", "-", "&Edit Favorite Folders..."}));
}

void TestFolderMenus::emptySubmenusStillEndWithTheirCommand() {
    FavoriteFolders folders(nullptr);
    zelvorin::FolderMenus menus(&folders, nullptr);
    QMenu last;
    QMenu favorites;
    menus.fillFolderMenus(&last, &favorites);
    QCOMPARE(texts(last), QStringList({"(none)", "-", "&Reset the list"}));
    QCOMPARE(texts(favorites), QStringList({"(none)", "-", "&Edit Favorite Folders..."}));
    QVERIFY(!last.actions().first()->isEnabled());
    QVERIFY(last.actions().last()->isEnabled());
    QVERIFY(favorites.actions().last()->isEnabled());
}

void TestFolderMenus::ampersandFolderOpensExactlyTheStoredPath() {
    const QString tricky = makeFolder("Tom & Jerry");
    makeFolder("Tom  Jerry");
    makeFolder("Tom Jerry");
    FavoriteFolders folders(nullptr);
    folders.addFavoriteFolder(m_root.path(), 0);
    folders.addFavoriteFolder(tricky, 0);
    zelvorin::FolderMenus menus(&folders, nullptr);
    menus.setOpenFolder([this](const QString& path) { m_opened.append(path); });

    // The menu is filled as it opens and the entry is clicked with the mouse, as a user does.
    // The pointer rests on a window when the menu opens, as a user's does: Qt 6.8 takes a
    // press in a menu for the one that opened it unless the pointer moved since, measured
    // from where it was, and a pointer never seen yet reads as not moved.
    QWidget window;
    window.setGeometry(0, 0, 100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseMove(&window, QPoint(5, 5));
    QMenu last;
    QMenu favorites;
    connect(&favorites, &QMenu::aboutToShow, &menus,
            [&] { menus.fillFolderMenus(&last, &favorites); });
    favorites.popup(QPoint(10, 10));
    QVERIFY(QTest::qWaitForWindowExposed(&favorites));
    QAction* entry = favorites.actions().first();
    QCOMPARE(zelvorin::folderMenuItemPath(entry), tricky);
    QTest::mouseClick(&favorites, Qt::LeftButton, {}, favorites.actionGeometry(entry).center());
    QCOMPARE(m_opened, QStringList({tricky}));
}

void TestFolderMenus::existingFolderOpensAndMovesToFront() {
    const QString a = makeFolder("a");
    const QString b = makeFolder("b");
    const QString c = makeFolder("c");
    FavoriteFolders folders(nullptr);
    folders.lastFolders() = {{a, 1}, {b, 2}, {c, 3}};
    folders.favoriteFolders() = {{c, 0}, {a, 0}};
    zelvorin::FolderMenus menus(&folders, nullptr);
    menus.setOpenFolder([this](const QString& path) { m_opened.append(path); });
    QMenu last;
    QMenu favorites;
    menus.fillFolderMenus(&last, &favorites);
    actionWithText(last, a)->trigger();
    QCOMPARE(m_opened, QStringList({a}));
    QCOMPARE(folders.lastFolders(), FolderList({{a, 1}, {b, 2}, {c, 3}}));
    QCOMPARE(zelvorin::folderPaths(folders.favoriteFolders()), QStringList({a, c}));

    actionWithText(last, c)->trigger();
    QCOMPARE(m_opened, QStringList({a, c}));
    QCOMPARE(folders.lastFolders(), FolderList({{c, 3}, {a, 1}, {b, 2}}));
    QCOMPARE(zelvorin::folderPaths(folders.favoriteFolders()), QStringList({c, a}));
}

void TestFolderMenus::missingFolderIsNotOpenedButMoves() {
    const QString gone = m_root.filePath("never-made");
    const QString kept = makeFolder("kept");
    FavoriteFolders folders(nullptr);
    folders.lastFolders() = {{kept, 0}, {gone, 0}};
    folders.favoriteFolders() = {{kept, 0}, {gone, 0}};
    zelvorin::FolderMenus menus(&folders, nullptr);
    menus.setOpenFolder([this](const QString& path) { m_opened.append(path); });
    QMenu last;
    QMenu favorites;
    menus.fillFolderMenus(&last, &favorites);
    actionWithText(last, gone)->trigger();
    QVERIFY(m_opened.isEmpty());
    QCOMPARE(zelvorin::folderPaths(folders.lastFolders()), QStringList({gone, kept}));
    QCOMPARE(zelvorin::folderPaths(folders.favoriteFolders()), QStringList({gone, kept}));
}

void TestFolderMenus::foldersDifferingInCaseStayTwo() {
#ifdef Q_OS_WIN
    QSKIP("folder names ignore case on Windows");
#endif
    const QString upper = makeFolder("Pics");
    const QString lower = makeFolder("pics");
    FavoriteFolders folders(nullptr);
    for (const QString& folder : {upper, lower, upper + "/", lower}) {
        QVERIFY(folders.addLastFolder(folder));
        QVERIFY(folders.addFavoriteFolder(folder));
    }
    QCOMPARE(zelvorin::folderPaths(folders.lastFolders()), QStringList({lower, upper}));
    zelvorin::FolderMenus menus(&folders, nullptr);
    menus.setOpenFolder([this](const QString& path) { m_opened.append(path); });
    QMenu last;
    QMenu favorites;
    menus.fillFolderMenus(&last, &favorites);
    QCOMPARE(texts(favorites), QStringList({lower, upper, "-", "&Edit Favorite Folders..."}));
    favorites.actions().at(1)->trigger();
    QCOMPARE(m_opened, QStringList({upper}));
    QCOMPARE(zelvorin::folderPaths(folders.lastFolders()), QStringList({upper, lower}));
    QCOMPARE(zelvorin::folderPaths(folders.favoriteFolders()), QStringList({upper, lower}));
}

void TestFolderMenus::chosenFavoriteLeadsTheMenuNextTime() {
    const QString first = makeFolder("first");
    const QString second = makeFolder("second");
    FavoriteFolders folders(nullptr);
    folders.favoriteFolders() = {{first, 0}, {second, 0}};
    zelvorin::FolderMenus menus(&folders, nullptr);
    menus.setOpenFolder([this](const QString& path) { m_opened.append(path); });
    QMenu last;
    QMenu favorites;
    menus.fillFolderMenus(&last, &favorites);
    favorites.actions().at(1)->trigger();
    QCOMPARE(m_opened, QStringList({second}));
    menus.fillFolderMenus(&last, &favorites);
    QCOMPARE(texts(favorites), QStringList({second, first, "-", "&Edit Favorite Folders..."}));
    // The last folders were not touched: the chosen folder was not in them.
    QVERIFY(folders.lastFolders().isEmpty());
}

void TestFolderMenus::resetEmptiesOnlyTheLastFolders() {
    FavoriteFolders folders(nullptr);
    folders.lastFolders() = {{"/l", 0}};
    folders.favoriteFolders() = {{"/f", 0}};
    zelvorin::FolderMenus menus(&folders, nullptr);
    QMenu last;
    QMenu favorites;
    menus.fillFolderMenus(&last, &favorites);
    actionWithText(last, "&Reset the list")->trigger();
    QVERIFY(folders.lastFolders().isEmpty());
    QCOMPARE(folders.favoriteFolders().size(), 1);
    menus.fillFolderMenus(&last, &favorites);
    QCOMPARE(texts(last), QStringList({"(none)", "-", "&Reset the list"}));
}

void TestFolderMenus::addToFavoritesUsesTheCurrentFolder() {
    FavoriteFolders folders(nullptr);
    folders.favoriteFolders() = {{"/x", 0}, {"/Current", 5}};
    zelvorin::FolderMenus menus(&folders, nullptr);
    menus.addCurrentFolderToFavorites(); // no current folder known: nothing happens
    QCOMPARE(folders.favoriteFolders().size(), 2);
    menus.setCurrentFolder([] { return QStringLiteral("/Current/"); });
    menus.addCurrentFolderToFavorites();
    QCOMPARE(folders.favoriteFolders(), FolderList({{"/Current", 0}, {"/x", 0}}));
    menus.setCurrentFolder([] { return QStringLiteral("/new/"); });
    menus.addCurrentFolderToFavorites();
    QCOMPARE(zelvorin::folderPaths(folders.favoriteFolders()),
             QStringList({"/new", "/Current", "/x"}));
}

void TestFolderMenus::noneAndCommandEntriesOpenNothing() {
    FavoriteFolders folders(nullptr);
    zelvorin::FolderMenus menus(&folders, nullptr);
    menus.setOpenFolder([this](const QString& path) { m_opened.append(path); });
    QMenu last;
    QMenu favorites;
    menus.fillFolderMenus(&last, &favorites);
    menus.openChosenFolder(last.actions().first());
    menus.openChosenFolder(last.actions().last());
    menus.openChosenFolder(nullptr);
    QVERIFY(m_opened.isEmpty());
}

ZELVORIN_TEST_MAIN(TestFolderMenus)
#include "tst_FolderMenus.moc"

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FolderMenus.h"

#include "FavoriteFolders.h"
#include "FolderMenuItems.h"
#include "Paths.h"

#include <QAction>
#include <QMenu>

namespace zelvorin {

FolderMenus::FolderMenus(FavoriteFolders* folders, QObject* parent)
    : QObject(parent), m_folders(folders) {}

void FolderMenus::fillFolderMenus(QMenu* lastFoldersMenu, QMenu* favoriteFoldersMenu) {
    const FolderItemHandler onFolder = [this](QAction* action) { openChosenFolder(action); };
    fillFolderSubmenu(lastFoldersMenu, m_folders->lastFolders(), this, onFolder,
                      ResetTheListCaption, [this] { clearLastFolders(); });
    fillFolderSubmenu(favoriteFoldersMenu, m_folders->favoriteFolders(), this, onFolder,
                      EditFavoriteFoldersCaption, [this] { editFavoriteFolders(); });
}

void FolderMenus::openChosenFolder(QAction* action) {
    if (!action)
        return;
    const QString path = folderMenuItemPath(action);
    if (path.isEmpty())
        return;
    // The folder can vanish between the test and the opening: the opener tells why it
    // could not, and the lists still follow the user's choice.
    if (folderExists(path) && m_openFolder)
        m_openFolder(path);
    FavoriteFolders::moveFolderToFront(m_folders->lastFolders(), path);
    FavoriteFolders::moveFolderToFront(m_folders->favoriteFolders(), path);
}

void FolderMenus::clearLastFolders() {
    m_folders->lastFolders().clear();
}

void FolderMenus::editFavoriteFolders() {
    m_folders->editFavoriteFolders();
}

void FolderMenus::addCurrentFolderToFavorites() {
    if (m_currentFolder)
        m_folders->addFavoriteFolder(m_currentFolder(), 0);
}

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The folder submenus' behaviour for the main window: rebuilding them when a menu opens,
// opening a chosen folder and the commands that follow each list.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QMenu;

namespace zelvorin {

class FavoriteFolders;

class FolderMenus : public QObject {
    Q_OBJECT

public:
    // `folders` must outlive this object (both are owned by the main window).
    FolderMenus(FavoriteFolders* folders, QObject* parent);

    // Shows `path` in the file column (telling the user when it cannot); called only for
    // existing folders.
    void setOpenFolder(std::function<void(const QString&)> open) { m_openFolder = std::move(open); }
    // The folder list's current folder, for "&Add to Favorite Folders".
    void setCurrentFolder(std::function<QString()> current) {
        m_currentFolder = std::move(current);
    }

    // Rebuilds the two submenus of the menu that is opening from the current lists.
    void fillFolderMenus(QMenu* lastFoldersMenu, QMenu* favoriteFoldersMenu);
    // Opens the entry's stored path when it is an existing folder; either way moves it to
    // the front of the last folders and of the favorites where it occurs.
    void openChosenFolder(QAction* action);
    void clearLastFolders();
    void editFavoriteFolders();
    void addCurrentFolderToFavorites();

private:
    FavoriteFolders* m_folders;
    std::function<void(const QString&)> m_openFolder;
    std::function<QString()> m_currentFolder;
};

} // namespace zelvorin

// The folder submenus' behaviour for the main window: rebuilding them when a menu opens,
// opening a chosen folder and the commands that follow each list.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class TFavoriteFolders;

namespace zelvorin {

class FolderMenus : public QObject {
    Q_OBJECT

public:
    // `folders` must outlive this object (both are owned by the main window).
    FolderMenus(TFavoriteFolders* folders, QObject* parent);

    // Makes `path` the folder list's current folder; called only for existing folders.
    void SetOpenFolder(std::function<void(const QString&)> open) { m_openFolder = std::move(open); }
    // The folder list's current folder, for "&Add to Favorite Folders".
    void SetCurrentFolder(std::function<QString()> current) {
        m_currentFolder = std::move(current);
    }

    // Rebuilds the two submenus of the menu that is opening from the current lists.
    void FillFolderListsMenu(QMenu* lastFoldersMenu, QMenu* favoriteFoldersMenu);
    // Opens the entry's stored path when it is an existing folder; either way moves it to
    // the front of the last folders and of the favorites where it occurs.
    void FolderMenuItemClick(QAction* action);
    void ResetTheListMenuItemClick();
    void EditFavoriteFolders1Click();
    void AddToFavoriteFoldersMenuItemClick();

private:
    TFavoriteFolders* m_folders;
    std::function<void(const QString&)> m_openFolder;
    std::function<QString()> m_currentFolder;
};

} // namespace zelvorin

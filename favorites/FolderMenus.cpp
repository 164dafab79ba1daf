#include "FolderMenus.h"

#include "FavoriteItems.h"
#include "NeededLib.h"
#include "NeededMenuLib.h"

#include <QAction>
#include <QMenu>
#include <exception>

namespace zelvorin {

FolderMenus::FolderMenus(TFavoriteFolders* folders, QObject* parent)
    : QObject(parent), m_folders(folders) {}

void FolderMenus::FillFolderListsMenu(QMenu* lastFoldersMenu, QMenu* favoriteFoldersMenu) {
    const FolderItemHandler onFolder = [this](QAction* action) { FolderMenuItemClick(action); };
    FillFolderSubmenu(lastFoldersMenu, m_folders->LastFolders(), this, onFolder,
                      ResetTheListCaption, [this] { ResetTheListMenuItemClick(); });
    FillFolderSubmenu(favoriteFoldersMenu, m_folders->FavoriteFolders(), this, onFolder,
                      EditFavoriteFoldersCaption, [this] { EditFavoriteFolders1Click(); });
}

void FolderMenus::FolderMenuItemClick(QAction* action) {
    if (!action)
        return;
    const QString path = FolderMenuItemPath(action);
    if (path.isEmpty())
        return;
    if (FolderExists(path) && m_openFolder) {
        // The folder can vanish between the test and the opening; the lists still follow
        // the user's choice.
        try {
            m_openFolder(path);
        } catch (const std::exception&) {
        }
    }
    TFavoriteFolders::MoveFolderToFront(m_folders->LastFolders(), path);
    TFavoriteFolders::MoveFolderToFront(m_folders->FavoriteFolders(), path);
}

void FolderMenus::ResetTheListMenuItemClick() {
    m_folders->LastFolders().clear();
}

void FolderMenus::EditFavoriteFolders1Click() {
    m_folders->EditFavoriteFolders();
}

void FolderMenus::AddToFavoriteFoldersMenuItemClick() {
    if (m_currentFolder)
        m_folders->AddFavoriteFolder(m_currentFolder(), 0);
}

} // namespace zelvorin

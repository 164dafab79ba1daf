// The folder history and the favorite folders: two ordered lists of folders kept by one
// non-visual component, offered in the File menu and the folder list's context menu,
// edited in a small modal dialog and kept across runs as numbered strings in the settings.
#pragma once

#include "FolderEntry.h"

#include <QObject>
#include <QString>
#include <functional>

namespace zelvorin::settings {
class SettingsAccess;
}
class TManageFoldersForm;

// Lets the owner veto (Cancel = true) or adjust a folder the dialog's Add is about to add.
using TAddItemToListEvent = std::function<void(QString& Name, quintptr& Data, bool& Cancel)>;

// The stored form of a folder path: trimmed of blanks and control characters, without
// trailing slashes, except that the root keeps its slash. Empty for an empty or blank path.
QString NormalizeFolderPath(const QString& path);

class TFavoriteFolders : public QObject {
    Q_OBJECT
    Q_PROPERTY(int LastFoldersLimit READ LastFoldersLimit WRITE SetLastFoldersLimit)
    Q_PROPERTY(int FavoriteFoldersLimit READ FavoriteFoldersLimit WRITE SetFavoriteFoldersLimit)
    Q_PROPERTY(QString DialogCaption READ DialogCaption WRITE SetDialogCaption)

public:
    explicit TFavoriteFolders(QObject* parent);
    ~TFavoriteFolders() override;

    // Index 0 is the most recent folder.
    zelvorin::FolderList& LastFolders() { return m_lastFolders; }
    const zelvorin::FolderList& LastFolders() const { return m_lastFolders; }
    // In the user's order; choosing or adding through the menu brings an entry to index 0.
    zelvorin::FolderList& FavoriteFolders() { return m_favoriteFolders; }
    const zelvorin::FolderList& FavoriteFolders() const { return m_favoriteFolders; }

    // 0 or less: no limit.
    int LastFoldersLimit() const { return m_lastFoldersLimit; }
    void SetLastFoldersLimit(int limit) { m_lastFoldersLimit = limit; }
    int FavoriteFoldersLimit() const { return m_favoriteFoldersLimit; }
    void SetFavoriteFoldersLimit(int limit) { m_favoriteFoldersLimit = limit; }
    QString DialogCaption() const { return m_dialogCaption; }
    void SetDialogCaption(const QString& caption) { m_dialogCaption = caption; }
    TAddItemToListEvent OnAddFolderFromDialog() const { return m_onAddFolderFromDialog; }
    void SetOnAddFolderFromDialog(TAddItemToListEvent handler) {
        m_onAddFolderFromDialog = std::move(handler);
    }

    bool AddLastFolder(const QString& path, quintptr data = 0);
    bool AddFavoriteFolder(const QString& path, quintptr data = 0);
    // Puts the normalized path at index 0 (an entry already there, the same folder by
    // zelvorin::SameFolderText, keeps its text), gives it `data` and cuts the list to
    // `limit` entries when limit > 0. False, with the list unchanged, for a path that
    // normalizes to nothing.
    static bool AddFolderToList(zelvorin::FolderList& list, const QString& path, int limit,
                                quintptr data);
    // Moves the entry for the same folder as `path` (zelvorin::SameFolderText) to index 0;
    // false when absent.
    static bool MoveFolderToFront(zelvorin::FolderList& list, const QString& path);

    // Shows the favorites dialog modally; true once it has closed.
    bool EditFavoriteFolders();
    // Called with each dialog before it is shown (tests give it their folder chooser).
    void SetDialogPreparer(std::function<void(TManageFoldersForm*)> prepare) {
        m_prepareDialog = std::move(prepare);
    }

    // Both lists from the settings exactly as stored (no normalization, no limit); true
    // when at least one value was found.
    bool ReadFolderLists(const zelvorin::settings::SettingsAccess& settings);
    // Both lists to the settings, replacing what was stored; data values are not kept.
    bool WriteFolderLists(const zelvorin::settings::SettingsAccess& settings) const;

private:
    zelvorin::FolderList m_lastFolders;
    zelvorin::FolderList m_favoriteFolders;
    int m_lastFoldersLimit = 10;
    int m_favoriteFoldersLimit = 0;
    QString m_dialogCaption = QStringLiteral(" Favorite Folders");
    TAddItemToListEvent m_onAddFolderFromDialog;
    std::function<void(TManageFoldersForm*)> m_prepareDialog;
};

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The folder history and the favorite folders: two ordered lists of folders kept by one
// non-visual component, offered in the File menu and the folder list's context menu,
// edited in a small modal dialog and kept across runs as numbered strings in the settings.
#pragma once

#include "FolderEntry.h"

#include <QObject>
#include <QString>
#include <functional>

namespace zelvorin {

namespace settings {
class SettingsAccess;
}
class ManageFoldersDialog;

// Lets the owner veto (Cancel = true) or adjust a folder the dialog's Add is about to add.
using FolderAddedHandler = std::function<void(QString& Name, quintptr& Data, bool& Cancel)>;

// The stored form of a folder path: trimmed of blanks and control characters, without
// trailing slashes, except that the root keeps its slash. Empty for an empty or blank path.
QString normalizeFolderPath(const QString& path);

class FavoriteFolders : public QObject {
    Q_OBJECT
    Q_PROPERTY(int lastFoldersLimit READ lastFoldersLimit WRITE setLastFoldersLimit)
    Q_PROPERTY(int favoriteFoldersLimit READ favoriteFoldersLimit WRITE setFavoriteFoldersLimit)
    Q_PROPERTY(QString dialogCaption READ dialogCaption WRITE setDialogCaption)

public:
    explicit FavoriteFolders(QObject* parent);
    ~FavoriteFolders() override;

    // Index 0 is the most recent folder.
    FolderList& lastFolders() { return m_lastFolders; }
    const FolderList& lastFolders() const { return m_lastFolders; }
    // In the user's order; choosing or adding through the menu brings an entry to index 0.
    FolderList& favoriteFolders() { return m_favoriteFolders; }
    const FolderList& favoriteFolders() const { return m_favoriteFolders; }

    // 0 or less: no limit.
    int lastFoldersLimit() const { return m_lastFoldersLimit; }
    void setLastFoldersLimit(int limit) { m_lastFoldersLimit = limit; }
    int favoriteFoldersLimit() const { return m_favoriteFoldersLimit; }
    void setFavoriteFoldersLimit(int limit) { m_favoriteFoldersLimit = limit; }
    QString dialogCaption() const { return m_dialogCaption; }
    void setDialogCaption(const QString& caption) { m_dialogCaption = caption; }
    FolderAddedHandler folderAddedHandler() const { return m_onAddFolderFromDialog; }
    void setFolderAddedHandler(FolderAddedHandler handler) {
        m_onAddFolderFromDialog = std::move(handler);
    }

    bool addLastFolder(const QString& path, quintptr data = 0);
    bool addFavoriteFolder(const QString& path, quintptr data = 0);
    // Puts the normalized path at index 0 (an entry already there, the same folder by
    // sameFolderText, keeps its text), gives it `data` and cuts the list to
    // `limit` entries when limit > 0. False, with the list unchanged, for a path that
    // normalizes to nothing.
    static bool addFolderToList(FolderList& list, const QString& path, int limit, quintptr data);
    // Moves the entry for the same folder as `path` (sameFolderText) to index 0;
    // false when absent.
    static bool moveFolderToFront(FolderList& list, const QString& path);

    // Shows the favorites dialog modally.
    void editFavoriteFolders();
    // Called with each dialog before it is shown (tests give it their folder chooser).
    void setDialogPreparer(std::function<void(ManageFoldersDialog*)> prepare) {
        m_prepareDialog = std::move(prepare);
    }

    // Both lists from the settings exactly as stored (no normalization, no limit); true
    // when at least one value was found.
    bool readFolderLists(const settings::SettingsAccess& settings);
    // Both lists to the settings, replacing what was stored; data values are not kept.
    bool writeFolderLists(const settings::SettingsAccess& settings) const;

private:
    FolderList m_lastFolders;
    FolderList m_favoriteFolders;
    int m_lastFoldersLimit = 10;
    int m_favoriteFoldersLimit = 0;
    QString m_dialogCaption = QStringLiteral(" Favorite Folders");
    FolderAddedHandler m_onAddFolderFromDialog;
    std::function<void(ManageFoldersDialog*)> m_prepareDialog;
};

} // namespace zelvorin

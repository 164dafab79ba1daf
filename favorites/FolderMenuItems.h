// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Turns a folder list into menu entries. Qt reads "&" in an entry's text as a mnemonic
// mark, so the path an entry opens is kept apart from its text (in QAction::data) and is
// always exactly the stored path.
#pragma once

#include "FolderEntry.h"

#include <QString>
#include <functional>

class QAction;
class QMenu;
class QObject;

namespace zelvorin {

inline const QString NoFoldersCaption = QStringLiteral("(none)");
inline const QString ResetTheListCaption = QStringLiteral("&Reset the list");
inline const QString EditFavoriteFoldersCaption = QStringLiteral("&Edit Favorite Folders...");

using FolderItemHandler = std::function<void(QAction*)>;

// The text a menu shows for a path: every "&" doubled so that it shows as itself.
QString folderMenuText(const QString& path);
// The path stored on a folder entry made by fillMenuFromList (empty for other actions).
QString folderMenuItemPath(const QAction* action);
// The entry's data value (0 for "(none)" and for other actions).
quintptr folderMenuItemTag(const QAction* action);

// Deletes every entry of `menu`, then adds one entry per list entry in order, each calling
// `onClick` with itself (within `context`'s lifetime), or one disabled "(none)" for an
// empty list. False when the menu is missing.
bool fillMenuFromList(QMenu* menu, const FolderList& list, QObject* context,
                      const FolderItemHandler& onClick);

// A folder submenu as the menus show it: the list's entries, a separator, then one command
// entry (`commandCaption`, calling `onCommand`).
bool fillFolderSubmenu(QMenu* menu, const FolderList& list, QObject* context,
                       const FolderItemHandler& onClick, const QString& commandCaption,
                       const std::function<void()>& onCommand);

} // namespace zelvorin

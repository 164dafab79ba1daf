// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window's menus: the menu bar's menus with their submenus, and the context menus
// of the folder list and the file list, laid out as the command table says and filled with
// the registry's actions. Looked up by name; the window connects the actions.
#pragma once

#include "CommandTable.h"

#include <vector>

class QMainWindow;
class QMenu;

namespace zelvorin {

class ActionRegistry;

class MainMenus {
public:
    // Builds every menu on the window's menu bar; the context menus belong to the window
    // too, so they close with it.
    MainMenus(QMainWindow* window, const ActionRegistry& actions);

    QMenu* menu(MenuId id) const;

private:
    std::vector<QMenu*> m_menus;
};

} // namespace zelvorin

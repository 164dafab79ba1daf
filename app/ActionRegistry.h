// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window's commands as actions: one QAction for each row of the command table, with
// its text, key, check mark, toolbar image and hint, looked up by the command's name or by
// its command word. The menus, the toolbar buttons and the command dispatcher use these
// same actions, so a check mark moved by one door shows at every other.
#pragma once

#include "CommandTable.h"

#include <QObject>
#include <vector>

class QAction;
class QActionGroup;

namespace zelvorin {

class ActionRegistry : public QObject {
    Q_OBJECT
public:
    explicit ActionRegistry(QObject* parent);

    QAction* action(Command command) const;
    // The action a command word stands for; null for a word no action answers.
    QAction* action(preview::CommandWord word) const;
    // The radio group of a menu; null for a menu without one.
    QActionGroup* group(MenuId menu) const;
    // Marks the entry of the menu's radio group that stands for `value`; a value no entry
    // stands for changes no mark.
    void markValue(MenuId menu, int value);

private:
    std::vector<QAction*> m_actions;
    std::vector<QActionGroup*> m_groups;
};

// The value a radio entry stands for (its row's value).
int actionValue(const QAction* action);

} // namespace zelvorin

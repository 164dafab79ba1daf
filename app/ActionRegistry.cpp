// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ActionRegistry.h"

#include "BackgroundPlacement.h"

#include <QAction>
#include <QActionGroup>

namespace zelvorin {

namespace {

// Rows whose text belongs to the placement rules (BackgroundPlacement.h).
QString textOf(const CommandRow& row) {
    if (*row.text != '\0')
        return QObject::tr(row.text);
    if (row.menu == MenuId::BackgroundPlacement && row.check == Check::Radio)
        return preview::PlacementMenuCaption(preview::PlacementFromStored(row.value));
    return preview::FixedMenuCaption();
}

std::size_t indexOf(Command command) {
    return std::size_t(command);
}

std::size_t indexOf(MenuId menu) {
    return std::size_t(menu);
}

} // namespace

ActionRegistry::ActionRegistry(QObject* parent) : QObject(parent) {
    for (const CommandRow& row : commandTable()) {
        if (row.kind != CommandRow::Kind::Entry)
            continue;
        auto* action = new QAction(textOf(row), this);
        action->setObjectName(QString::fromLatin1(row.name));
        if (*row.key != '\0')
            action->setShortcut(QKeySequence(QString::fromLatin1(row.key)));
        if (row.check != Check::None) {
            action->setCheckable(true);
            action->setChecked(row.checked);
        }
        action->setData(row.value);
        if (row.image != ToolbarImage::None) {
            action->setIcon(ToolbarIcon(row.image, row.imageSize));
            // The menus show no pictures; the picture is the toolbar button's.
            action->setIconVisibleInMenu(false);
            action->setToolTip(QString::fromLatin1(row.hint));
        }
        if (row.check == Check::Radio) {
            if (m_groups.size() <= indexOf(row.menu))
                m_groups.resize(indexOf(row.menu) + 1, nullptr);
            QActionGroup*& group = m_groups[indexOf(row.menu)];
            if (!group)
                group = new QActionGroup(this);
            group->addAction(action);
        }
        if (m_actions.size() <= indexOf(row.command))
            m_actions.resize(indexOf(row.command) + 1, nullptr);
        m_actions[indexOf(row.command)] = action;
    }
}

QAction* ActionRegistry::action(Command command) const {
    return m_actions.at(indexOf(command));
}

QAction* ActionRegistry::action(preview::CommandWord word) const {
    if (word == preview::CommandWord::None)
        return nullptr;
    for (const CommandRow& row : commandTable())
        if (row.kind == CommandRow::Kind::Entry && row.word == word)
            return action(row.command);
    return nullptr;
}

QActionGroup* ActionRegistry::group(MenuId menu) const {
    return indexOf(menu) < m_groups.size() ? m_groups[indexOf(menu)] : nullptr;
}

void ActionRegistry::markValue(MenuId menu, int value) {
    if (QActionGroup* radio = group(menu))
        for (QAction* entry : radio->actions())
            if (actionValue(entry) == value)
                entry->setChecked(true);
}

int actionValue(const QAction* action) {
    return action->data().toInt();
}

} // namespace zelvorin

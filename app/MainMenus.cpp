// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "MainMenus.h"

#include "ActionRegistry.h"
#include "BackgroundPlacement.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace zelvorin {

namespace {

std::size_t indexOf(MenuId id) {
    return std::size_t(id);
}

const MenuRow& rowOf(MenuId id) {
    for (const MenuRow& row : menuTable())
        if (row.id == id)
            return row;
    Q_UNREACHABLE();
}

QString titleOf(const MenuRow& row) {
    // The placement submenu's title is the placement rules' own.
    return *row.title != '\0' ? QObject::tr(row.title) : preview::PlacementMenuTitle();
}

} // namespace

MainMenus::MainMenus(QMainWindow* window, const ActionRegistry& actions) {
    QMenuBar* bar = window->menuBar();
    bar->setObjectName("MainMenu1");
    m_menus.resize(indexOf(MenuId::FileList) + 1, nullptr);
    for (const MenuRow& row : menuTable()) {
        if (row.parent != MenuId::None)
            continue;
        QMenu* menu = row.context ? new QMenu(window) : bar->addMenu(titleOf(row));
        menu->setObjectName(QString::fromLatin1(row.name));
        menu->menuAction()->setVisible(row.shown);
        m_menus[indexOf(row.id)] = menu;
    }
    for (const CommandRow& row : commandTable()) {
        QMenu* menu = row.menu == MenuId::None ? nullptr : m_menus[indexOf(row.menu)];
        if (!menu)
            continue;
        switch (row.kind) {
        case CommandRow::Kind::Entry:
            menu->addAction(actions.action(row.command));
            break;
        case CommandRow::Kind::Separator:
            menu->addSeparator()->setObjectName(QString::fromLatin1(row.name));
            break;
        case CommandRow::Kind::Submenu: {
            const MenuRow& opened = rowOf(row.submenu);
            QMenu* submenu = menu->addMenu(titleOf(opened));
            submenu->setObjectName(QString::fromLatin1(opened.name));
            submenu->menuAction()->setObjectName(QString::fromLatin1(opened.name) + "Action");
            m_menus[indexOf(row.submenu)] = submenu;
            break;
        }
        }
    }
}

QMenu* MainMenus::menu(MenuId id) const {
    return m_menus.at(indexOf(id));
}

} // namespace zelvorin

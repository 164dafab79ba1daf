// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FolderMenuItems.h"

#include <QAction>
#include <QMenu>

namespace zelvorin {

namespace {

// The data value rides on the action as a property; QAction::data holds the path.
constexpr char TagProperty[] = "zelvorinTag";
constexpr char FolderItemProperty[] = "zelvorinFolderItem";

} // namespace

QString folderMenuText(const QString& path) {
    QString text = path;
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    // A tab would split the text into a caption and a shortcut column.
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}

QString folderMenuItemPath(const QAction* action) {
    if (!action || !action->property(FolderItemProperty).toBool())
        return {};
    return action->data().toString();
}

quintptr folderMenuItemTag(const QAction* action) {
    return action ? quintptr(action->property(TagProperty).toULongLong()) : 0;
}

bool fillMenuFromList(QMenu* menu, const FolderList& list, QObject* context,
                      const FolderItemHandler& onClick) {
    if (!menu)
        return false;
    const QList<QAction*> old = menu->actions();
    for (qsizetype i = old.size() - 1; i >= 0; --i) {
        QAction* action = old.at(i);
        menu->removeAction(action);
        if (action->parent() == menu)
            delete action;
    }
    if (list.isEmpty()) {
        QAction* none = menu->addAction(NoFoldersCaption);
        none->setProperty(TagProperty, 0ULL);
        none->setEnabled(false);
        return true;
    }
    for (const FolderEntry& entry : list) {
        QAction* item = menu->addAction(folderMenuText(entry.path));
        item->setData(entry.path);
        item->setProperty(FolderItemProperty, true);
        item->setProperty(TagProperty, qulonglong(entry.data));
        if (onClick && context) {
            QObject::connect(item, &QAction::triggered, context,
                             [onClick, item] { onClick(item); });
        }
    }
    return true;
}

bool fillFolderSubmenu(QMenu* menu, const FolderList& list, QObject* context,
                       const FolderItemHandler& onClick, const QString& commandCaption,
                       const std::function<void()>& onCommand) {
    if (!fillMenuFromList(menu, list, context, onClick))
        return false;
    menu->addSeparator();
    QAction* command = menu->addAction(commandCaption);
    if (onCommand && context)
        QObject::connect(command, &QAction::triggered, context, [onCommand] { onCommand(); });
    return true;
}

} // namespace zelvorin

#include "NeededMenuLib.h"

#include <QAction>
#include <QMenu>
#include <exception>

namespace {

// The data value rides on the action as a property; QAction::data holds the path.
constexpr char TagProperty[] = "zelvorinTag";
constexpr char FolderItemProperty[] = "zelvorinFolderItem";

} // namespace

namespace zelvorin {

QString FolderMenuText(const QString& path) {
    QString text = path;
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    // A tab would split the text into a caption and a shortcut column.
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}

QString FolderMenuItemPath(const QAction* action) {
    if (!action || !action->property(FolderItemProperty).toBool())
        return {};
    return action->data().toString();
}

quintptr FolderMenuItemTag(const QAction* action) {
    return action ? quintptr(action->property(TagProperty).toULongLong()) : 0;
}

} // namespace zelvorin

bool FillMenuFromList(QMenu* menu, const zelvorin::FolderList& list, QObject* context,
                      const zelvorin::FolderItemHandler& onClick) {
    if (!menu)
        return false;
    try {
        const QList<QAction*> old = menu->actions();
        for (qsizetype i = old.size() - 1; i >= 0; --i) {
            QAction* action = old.at(i);
            menu->removeAction(action);
            if (action->parent() == menu)
                delete action;
        }
        if (list.isEmpty()) {
            QAction* none = menu->addAction(zelvorin::NoFoldersCaption);
            none->setProperty(TagProperty, 0ULL);
            none->setEnabled(false);
            return true;
        }
        for (const zelvorin::FolderEntry& entry : list) {
            QAction* item = menu->addAction(zelvorin::FolderMenuText(entry.path));
            item->setData(entry.path);
            item->setProperty(FolderItemProperty, true);
            item->setProperty(TagProperty, qulonglong(entry.data));
            if (onClick && context) {
                QObject::connect(item, &QAction::triggered, context,
                                 [onClick, item] { onClick(item); });
            }
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

namespace zelvorin {

bool FillFolderSubmenu(QMenu* menu, const FolderList& list, QObject* context,
                       const FolderItemHandler& onClick, const QString& commandCaption,
                       const std::function<void()>& onCommand) {
    if (!FillMenuFromList(menu, list, context, onClick))
        return false;
    menu->addSeparator();
    QAction* command = menu->addAction(commandCaption);
    if (onCommand && context)
        QObject::connect(command, &QAction::triggered, context, [onCommand] { onCommand(); });
    return true;
}

} // namespace zelvorin

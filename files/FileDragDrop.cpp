// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileDragDrop.h"

#include "LosslessNames.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace zelvorin {

DropTargetError::DropTargetError(const QString& message)
    : std::runtime_error(message.toStdString()) {}

Qt::DropActions ToDropActions(DragEffects effects) {
    return Qt::DropActions(effects.toInt() & (Qt::CopyAction | Qt::MoveAction | Qt::LinkAction));
}

Qt::DropActions FileDropEffect(bool ownDrag, Qt::KeyboardModifiers modifiers, bool haveFiles,
                               bool sameFileSystem, Qt::DropActions offered) {
    if (ownDrag)
        return Qt::IgnoreAction;
    const bool keys = modifiers & (Qt::ControlModifier | Qt::ShiftModifier);
    if (!keys && haveFiles && (offered & (Qt::CopyAction | Qt::MoveAction)))
        return sameFileSystem ? Qt::MoveAction : Qt::CopyAction;
    return offered;
}

Qt::DropAction ChosenDropAction(Qt::DropActions effect, Qt::DropActions possible) {
    for (Qt::DropAction action : {Qt::CopyAction, Qt::MoveAction, Qt::LinkAction}) {
        if ((effect & action) && (possible & action))
            return action;
    }
    return Qt::IgnoreAction;
}

QList<QByteArray> DraggedLocalFiles(const QDropEvent* event) {
    QList<QByteArray> files;
    const QMimeData* data = event->mimeData();
    if (data == nullptr || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        // The bytes of the address, not its text: the text of a name that is not UTF-8
        // names no file.
        if (const QByteArray path = platform::rawPathOfUrl(url); !path.isEmpty())
            files.append(path);
    }
    return files;
}

} // namespace zelvorin

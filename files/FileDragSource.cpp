// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileDragSource.h"

#include "LosslessNames.h"

#include <QDrag>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace zelvorin {

FileDragSource::FileDragSource(QObject* parent) : QObject(parent) {}

Qt::DropAction FileDragSource::run(QWidget* source) {
    QList<QUrl> urls;
    for (const QByteArray& file : std::as_const(m_files))
        urls.append(platform::fileUrl(file));
    if (urls.isEmpty() || source == nullptr)
        return Qt::IgnoreAction;
    const Qt::DropActions offered = ToDropActions(m_dragEffects);
    // The platform's drag loop deletes the drag object itself when it ends.
    auto* drag = new QDrag(source);
    auto* data = new QMimeData;
    data->setUrls(urls);
    drag->setMimeData(data);
    Qt::DropAction result = Qt::IgnoreAction;
    if (m_runner) {
        result = m_runner(*drag, offered);
        drag->deleteLater();
    } else {
        result = drag->exec(offered, Qt::CopyAction);
    }
    DragEffect type;
    switch (result) {
    case Qt::CopyAction:
        type = DragEffect::Copy;
        break;
    case Qt::MoveAction:
    case Qt::TargetMoveAction:
        type = DragEffect::Move;
        break;
    case Qt::LinkAction:
        type = DragEffect::Link;
        break;
    default:
        return Qt::IgnoreAction;
    }
    if (m_dropHandler && m_dragEffects.testFlag(type)) {
        bool continueDrop = true;
        m_dropHandler(type, continueDrop);
    }
    return result;
}

} // namespace zelvorin

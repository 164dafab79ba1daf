// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileDropTarget.h"

#include <QAbstractScrollArea>
#include <QDropEvent>
#include <QScrollBar>

namespace zelvorin {

namespace {

// How close to the top or bottom edge a dragged pointer scrolls the list.
constexpr int ScrollMargin = 12;

} // namespace

FileDropTarget::FileDropTarget(QObject* parent) : QObject(parent) {}

FileDropTarget::~FileDropTarget() {
    unregisterControl();
}

void FileDropTarget::registerControl(QWidget* control) {
    if (control == nullptr)
        throw DropTargetError(QStringLiteral("Failed to Register "));
    unregisterControl();
    m_control = control;
    // Drags over a scroll area arrive at its viewport.
    auto* area = qobject_cast<QAbstractScrollArea*>(control);
    m_dropSite = area != nullptr ? area->viewport() : control;
    control->setAcceptDrops(true);
    m_dropSite->setAcceptDrops(true);
    m_dropSite->installEventFilter(this);
}

void FileDropTarget::unregisterControl() {
    if (m_dropSite) {
        m_dropSite->removeEventFilter(this);
        m_dropSite->setAcceptDrops(false);
    }
    if (m_control)
        m_control->setAcceptDrops(false);
    m_control = nullptr;
    m_dropSite = nullptr;
    m_files.clear();
}

Qt::DropActions FileDropTarget::decideEffect(QDropEvent* event) {
    Qt::DropActions effect = event->possibleActions() & ToDropActions(m_dragEffects);
    if (m_effectHandler)
        m_effectHandler(event->modifiers(), event->position().toPoint(), effect);
    return effect;
}

void FileDropTarget::scrollNearEdge(QPoint position) {
    auto* area = qobject_cast<QAbstractScrollArea*>(m_control.data());
    if (area == nullptr)
        return;
    QScrollBar* bar = area->verticalScrollBar();
    if (position.y() < ScrollMargin)
        bar->setValue(bar->value() - bar->singleStep());
    else if (position.y() > m_dropSite->height() - ScrollMargin)
        bar->setValue(bar->value() + bar->singleStep());
}

bool FileDropTarget::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_dropSite)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (event->type() == QEvent::DragEnter) {
            m_files = m_readsDataOnEnter ? DraggedLocalFiles(drag) : QList<QByteArray>();
            // A drag that carries no local files is not for this target.
            if (m_readsDataOnEnter && m_files.isEmpty()) {
                drag->ignore();
                return true;
            }
        } else {
            scrollNearEdge(drag->position().toPoint());
        }
        const Qt::DropAction action = ChosenDropAction(decideEffect(drag), drag->possibleActions());
        drag->setDropAction(action);
        if (action == Qt::IgnoreAction)
            drag->ignore();
        else
            drag->accept();
        return true;
    }
    case QEvent::DragLeave:
        m_files.clear();
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!m_readsDataOnEnter || m_files.isEmpty())
            m_files = DraggedLocalFiles(drop);
        Qt::DropActions effect = decideEffect(drop);
        if (m_dropHandler && effect != Qt::IgnoreAction)
            m_dropHandler(drop->modifiers(), drop->position().toPoint(), effect);
        const Qt::DropAction action = ChosenDropAction(effect, drop->possibleActions());
        drop->setDropAction(action);
        if (action == Qt::IgnoreAction)
            drop->ignore();
        else
            drop->accept();
        m_files.clear();
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// FileDragSource: drags a list of paths out of the program to any program that takes
// files.
#pragma once

#include "FileDragDrop.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>

class QDrag;
class QWidget;

namespace zelvorin {

class FileDragSource : public QObject {
    Q_OBJECT
public:
    explicit FileDragSource(QObject* parent);

    DragEffects dragEffects() const { return m_dragEffects; }
    void setDragEffects(DragEffects types) { m_dragEffects = types; }
    bool showsImage() const { return m_showsImage; }
    void setShowsImage(bool show) { m_showsImage = show; }

    // The full raw paths offered. MappedNames (other names for the same files) is kept
    // for the owner only: the desktops have no drop format for it, and the main window
    // leaves it empty.
    QList<QByteArray>& files() { return m_files; }
    QStringList& mappedNames() { return m_mappedNames; }

    // Raised once a target has taken the drop, with the effect it chose.
    using DropHandler = std::function<void(DragEffect, bool& continueDrop)>;
    void setDropHandler(DropHandler handler) { m_dropHandler = std::move(handler); }

    // Runs the drag until it is dropped or cancelled; IgnoreAction when nothing was
    // dropped (or there was nothing to drag).
    Qt::DropAction run(QWidget* source);

    // Runs a prepared drag in place of the platform's drag loop (tests).
    using DragRunner = std::function<Qt::DropAction(QDrag& drag, Qt::DropActions offered)>;
    void setDragRunner(DragRunner runner) { m_runner = std::move(runner); }

private:
    DragEffects m_dragEffects = DragEffect::Copy | DragEffect::Move | DragEffect::Link;
    bool m_showsImage = false;
    QList<QByteArray> m_files;
    QStringList m_mappedNames;
    DropHandler m_dropHandler;
    DragRunner m_runner;
};

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// FileDropTarget: makes a control accept dropped local files and leaves the choice of
// effect and the work of a drop to its owner's handlers.
#pragma once

#include "FileDragDrop.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>

class QWidget;

namespace zelvorin {

class FileDropTarget : public QObject {
    Q_OBJECT
public:
    explicit FileDropTarget(QObject* parent);
    ~FileDropTarget() override;

    DragEffects dragEffects() const { return m_dragEffects; }
    void setDragEffects(DragEffects types) { m_dragEffects = types; }
    bool readsDataOnEnter() const { return m_readsDataOnEnter; }
    void setReadsDataOnEnter(bool read) { m_readsDataOnEnter = read; }
    bool showsImage() const { return m_showsImage; }
    void setShowsImage(bool show) { m_showsImage = show; }

    // The dragged files (raw paths) while a drag is over the control; empty otherwise.
    const QList<QByteArray>& files() const { return m_files; }

    // Both handlers get the keys held, the pointer in the control's coordinates and the
    // effect; what the effect handler leaves is the answer to the source, what the drop
    // handler leaves is reported to the source as the outcome.
    using EffectHandler = std::function<void(Qt::KeyboardModifiers, QPoint, Qt::DropActions&)>;
    void setEffectHandler(EffectHandler handler) { m_effectHandler = std::move(handler); }
    void setDropHandler(EffectHandler handler) { m_dropHandler = std::move(handler); }

    // Makes the control (for a scroll area: its viewport) accept drops. Raises
    // DropTargetError "Failed to Register <name>" without a control.
    void registerControl(QWidget* control);
    // Ends the registration; nothing happens once the control is gone.
    void unregisterControl();
    bool isRegistered() const { return !m_control.isNull(); }
    QWidget* control() const { return m_control; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Qt::DropActions decideEffect(QDropEvent* event);
    void scrollNearEdge(QPoint position);

    DragEffects m_dragEffects = DragEffect::Copy | DragEffect::Move;
    bool m_readsDataOnEnter = true;
    bool m_showsImage = true;
    QList<QByteArray> m_files;
    EffectHandler m_effectHandler;
    EffectHandler m_dropHandler;
    QPointer<QWidget> m_control;
    QPointer<QWidget> m_dropSite;
};

} // namespace zelvorin

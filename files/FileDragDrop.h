// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Files given to and taken from other programs by drag and drop: the rules both ends
// share. FileDropTarget makes a control accept dropped local files (the "text/uri-list"
// format) and leaves the choice of effect and the work of a drop to its owner's handlers;
// FileDragSource drags a list of paths out to any program that takes files. Paths are raw
// bytes, carried in the file:// addresses %XX-escaped, so a name that is not UTF-8 travels
// as itself. Effects keep the platform's values: copy 1, move 2, link 4, none 0
// (Qt::DropAction has the same ones).
#pragma once

#include <QByteArray>
#include <QFlags>
#include <QList>
#include <QString>

#include <stdexcept>

class QDropEvent;

namespace zelvorin {

enum class DragEffect { Copy = 1, Move = 2, Link = 4 };
Q_DECLARE_FLAGS(DragEffects, DragEffect)
Q_DECLARE_OPERATORS_FOR_FLAGS(DragEffects)

// Raised when a control cannot be registered as a drop target or unregistered.
class DropTargetError : public std::runtime_error {
public:
    explicit DropTargetError(const QString& message);
    QString message() const { return QString::fromUtf8(what()); }
};

Qt::DropActions ToDropActions(DragEffects effects);

// The effect the file list answers to a drag over it, from the effects the source offers
// (already reduced to the accepted ones):
// - none while the drag is the list's own;
// - with neither Ctrl nor Shift held, files dragged and copy or move offered: move when
//   the first file lies on the same file system as the shown folder, else copy;
// - otherwise the offered effects as they are.
Qt::DropActions FileDropEffect(bool ownDrag, Qt::KeyboardModifiers modifiers, bool haveFiles,
                               bool sameFileSystem, Qt::DropActions offered);

// The single action answered to the source for an effect: copy before move before link,
// and only one the source offers; IgnoreAction when none fits.
Qt::DropAction ChosenDropAction(Qt::DropActions effect, Qt::DropActions possible);

// The local paths a drag carries, as raw bytes, in the source's order.
QList<QByteArray> DraggedLocalFiles(const QDropEvent* event);

} // namespace zelvorin

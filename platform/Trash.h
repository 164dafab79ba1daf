// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The desktop's trash as freedesktop.org describes it (its Trash standard, 1.0): a
// file on the user's own file system goes to the home trash ($XDG_DATA_HOME/Trash),
// a file on another volume to that volume's trash ($topdir/.Trash/$uid when the
// administrator made $topdir/.Trash, else $topdir/.Trash-$uid), with a .trashinfo file
// that names the original path, byte for byte, %XX-escaped. Files are moved by renaming,
// never copied and never deleted for good: a file whose volume has no trash that can be
// used stays where it is, and the caller hears why.
#pragma once

#include "ShellOperations.h"

#include <QList>

namespace zelvorin::platform {

// Moves each raw path to its trash, after asking when `confirm` is true (nothing is asked
// when a path is not there: that is the failure). Done only when every path went to the
// trash; declined when the user said No; otherwise failed, naming the first path that
// could not go and why (the others went).
FileResult moveToTrash(const QList<QByteArray>& paths, bool confirm, QWidget* owner,
                       const QString& title, const AskFunction& ask = {});

// The trash folder (holding files/ and info/) a raw path goes to, made when missing;
// empty with *error set when its volume has none that can be used. For tests.
QByteArray trashFolderFor(const QByteArray& path, int* error = nullptr);

} // namespace zelvorin::platform

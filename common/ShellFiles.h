// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// File operations that stand in for the desktop shell's, on raw paths (see
// platform/LosslessNames.h): open with the desktop's program, move to the trash, and the
// options of copies and moves, with the program's questions titled with the product title.
// Each tells what became of the operation: done, declined by the user, or failed with the reason
// the user is to hear.
#pragma once

#include "ShellOperations.h"

#include <QByteArray>
#include <QList>

class QWidget;

namespace zelvorin {

platform::FileResult openWithShell(const QByteArray& path,
                                   const platform::DesktopServices& desktop);
platform::FileResult moveToTrashWithShell(const QList<QByteArray>& paths, bool confirm,
                                          QWidget* owner);
// The options of the program's copies and moves: the user is asked before a file is
// replaced, in questions titled with the product title.
platform::TransferOptions shellTransferOptions(QWidget* owner);

} // namespace zelvorin

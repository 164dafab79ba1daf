// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ShellFiles.h"

#include "Trash.h"

namespace zelvorin {

using platform::FileResult;

namespace {

// The title of every question the program asks (the product title).
const QString QuestionTitle = QStringLiteral(" Zelvorin");

} // namespace

FileResult openWithShell(const QByteArray& path, const platform::DesktopServices& desktop) {
    return platform::openWithDesktop(path, desktop);
}

FileResult moveToTrashWithShell(const QList<QByteArray>& paths, bool confirm, QWidget* owner) {
    return platform::moveToTrash(paths, confirm, owner, QuestionTitle);
}

platform::TransferOptions shellTransferOptions(QWidget* owner) {
    platform::TransferOptions options;
    options.owner = owner;
    options.title = QuestionTitle;
    return options;
}

} // namespace zelvorin

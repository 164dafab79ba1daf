// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ShellFiles.h"

#include "Trash.h"

#include <cerrno>

namespace zelvorin {

using platform::FileResult;

namespace {

// The title of every question the program asks (the product title).
const QString QuestionTitle = QStringLiteral(" Zelvorin");

FileResult transfer(bool move, const QByteArray& source, const QByteArray& destination,
                    bool confirm, bool showProgress, QWidget* owner) {
    // A path without a parent part (a bare name) is refused, as parentPath says.
    if (source.lastIndexOf('/') <= 0 || destination.lastIndexOf('/') <= 0)
        return FileResult::failure(EINVAL);
    platform::TransferOptions options;
    options.confirmReplace = confirm;
    options.showProgress = showProgress;
    options.owner = owner;
    options.title = QuestionTitle;
    return move ? platform::moveFile(source, destination, options)
                : platform::copyFile(source, destination, options);
}

} // namespace

FileResult openWithShell(const QByteArray& path, const platform::DesktopServices& desktop) {
    return platform::openWithDesktop(path, desktop);
}

FileResult moveToTrashWithShell(const QList<QByteArray>& paths, bool confirm, QWidget* owner) {
    return platform::moveToTrash(paths, confirm, owner, QuestionTitle);
}

FileResult copyFileWithShell(const QByteArray& source, const QByteArray& destination, bool confirm,
                             bool showProgress, QWidget* owner) {
    return transfer(false, source, destination, confirm, showProgress, owner);
}

FileResult moveFileWithShell(const QByteArray& source, const QByteArray& destination, bool confirm,
                             bool showProgress, QWidget* owner) {
    return transfer(true, source, destination, confirm, showProgress, owner);
}

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the program's parts ask of the world outside them, set once by the owner above the
// windows (ProgramValues) and handed down through constructors: how folders are reached,
// the desktop's services, where error messages go and the one warning about the system's
// watch limit. The defaults are the real ones; tests replace a piece to stand in for a
// slow server, a desktop or a message box.
#pragma once

#include "DesktopServices.h"
#include "OnceWarning.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace zelvorin {

// How long a folder has to answer before it counts as not answering.
inline constexpr int DefaultFolderAnswerLimitMs = 3000;
// Entries of a folder read on the user-interface thread before a worker takes over.
inline constexpr int DefaultFolderHeadLimit = 4096;

// How the file column reaches folders.
struct FolderAccess {
    int answerLimitMs = DefaultFolderAnswerLimitMs;
    int headLimit = DefaultFolderHeadLimit;
    // Which (absolute, raw) paths count as possibly blocking; null: the volume decides.
    std::function<bool(const QByteArray& path)> mayBlock;
    // Called in the worker before it reads a path (to stand in for a slow server).
    std::function<void(const QByteArray& path)> beforeWorkerRead;
};

// Shows an error message over `parent`.
using ErrorMessenger = std::function<void(QWidget* parent, const QString& text)>;

struct ProgramServices {
    FolderAccess folders;
    platform::DesktopServices desktop;
    // Null: a message box titled with the product title, with an error icon.
    ErrorMessenger showError;
    std::shared_ptr<OnceWarning> watchLimitWarning = std::make_shared<OnceWarning>();
};

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The folder the file column opens at start: the last folder shown, else the default
// folder an installer or administrator set, else the Samples folder, which is made (and
// filled) when it is missing.
#pragma once

#include <QString>

namespace zelvorin {

struct StartingFolderChoice {
    QString lastFolder;    // "LastFolder"
    QString defaultFolder; // "DefaultFolder"
    QString programFolder; // with a trailing "/"
    QString userDataFolder;
};

// The folder to open, or an empty text when no usable folder exists or can be made (the
// folder list then keeps its own initial folder). When the Samples folder cannot be made in
// the program folder (an installation the user may not write to), it is made in the user's
// data folder instead.
QString ChooseStartingFolder(const StartingFolderChoice& choice);

} // namespace zelvorin

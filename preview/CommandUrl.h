// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Reading addresses of the program's own "zelvorin://" scheme: which of the seven commands
// an address names and, for "imglist", its first item number and items per page. Only the
// parsing lives here; carrying a command out is the main window's business.
#pragma once

#include "PreviewRules.h"

#include <QString>

namespace zelvorin::preview {

enum class CommandWord {
    None,
    ShowHelpManual,
    Contacts,
    ViewCleanBackgrounds,
    ViewLocalHtmlFiles,
    SetBackgroundsFilter,
    ImgList,
    SwitchWelcomePageView,
};

struct CommandUrl {
    CommandWord word = CommandWord::None;
    int first = 0;
    int perPage = 0;
    // False for an address that names no command and for an "imglist" whose two numbers
    // do not convert; such an address must do nothing.
    bool argumentsValid = false;
};

// Parses any text for which IsCommandUrl (PreviewRules.h) is true; other texts give
// CommandWord::None as well.
CommandUrl ParseCommandUrl(const QString& url);

// The word of a command as it is written in addresses ("imglist"); empty for None.
QString CommandWordText(CommandWord word);

} // namespace zelvorin::preview

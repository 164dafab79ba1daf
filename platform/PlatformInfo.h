// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Facts about the running system that several parts of the program need.
#pragma once

#include <QString>

namespace zelvorin::platform {

// True when a window system is reachable (an X11 or Wayland display, or a Qt platform
// plugin that needs none, such as offscreen).
bool displayAvailable();

// True when the process runs with root's rights (effective user id 0).
bool runningAsRoot();

// True when standard error is a terminal: someone started the program from one and reads
// what it prints there.
bool standardErrorIsTerminal();

// The user's settings folder for this program ($XDG_CONFIG_HOME/zelvorin).
QString userConfigFolder();

// The user's data folder for this program ($XDG_DATA_HOME/zelvorin).
QString userDataFolder();

} // namespace zelvorin::platform

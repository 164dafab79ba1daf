// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's entry: the checks that must pass before any window exists (a display to
// show windows on, a web engine that can start and is new enough), then the windows in
// their fixed order and the message loop.
#pragma once

#include <QString>

namespace zelvorin {

// The web engine's Chromium version, e.g. "102.0.5005.177".
QString InstalledBrowserVersion();

// The whole run, from the first check to the end of the message loop. The command line
// is read for one flag only: "--no-sandbox" (see SandboxConsent.h).
int RunProgram(int argc, char** argv);

} // namespace zelvorin

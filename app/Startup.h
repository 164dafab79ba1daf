// The program's entry: the checks that must pass before any window exists (a display to
// show windows on, a web engine that can start and is new enough), then the windows in
// their fixed order and the message loop.
#pragma once

#include <QString>

namespace zelvorin {

// The web engine's Chromium version, e.g. "102.0.5005.177".
QString InstalledBrowserVersion();

// Why the web engine cannot start in this process, or an empty text when it can. The
// engine refuses to run as root with its sandbox on; the program never turns the sandbox
// off by itself, so it says what the user can do instead.
QString SandboxProblem();

// The whole run, from the first check to the end of the message loop.
int RunProgram(int argc, char** argv);

} // namespace zelvorin

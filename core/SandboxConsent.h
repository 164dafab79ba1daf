// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The web engine's sandbox and root: Chromium refuses to run as root with its sandbox on,
// and the program never turns the sandbox off unless the user explicitly asks for it. The
// one flag the program reads from its command line is Chromium's own "--no-sandbox", taken
// as that consent and handed on to the engine.
#pragma once

#include <QByteArrayList>
#include <QString>

namespace zelvorin {

inline constexpr char NoSandboxFlag[] = "--no-sandbox";

// Whether "--no-sandbox" is among the program's arguments (after its own name).
bool NoSandboxFlagGiven(const QByteArrayList& arguments);

// Whether the user consented to running the engine without its sandbox: "--no-sandbox" on
// the command line, QTWEBENGINE_DISABLE_SANDBOX set, or "--no-sandbox" among
// QTWEBENGINE_CHROMIUM_FLAGS.
bool SandboxConsentGiven(const QByteArrayList& arguments);

// Why the web engine cannot start in this process, or an empty text when it can.
QString SandboxProblem(bool runningAsRoot, const QByteArrayList& arguments);

// The arguments for QApplication. Qt WebEngine hands Chromium only what follows its
// separator "--webEngineArgs", so a "--no-sandbox" given to the program is repeated there;
// every other argument stays as it was given.
QByteArrayList EngineArguments(const QByteArrayList& arguments);

// The engine ignores its command-line arguments while QTWEBENGINE_CHROMIUM_FLAGS is set, so
// a "--no-sandbox" given to the program is added to those flags, in this process only.
void AddConsentToEngineFlags(const QByteArrayList& arguments);

} // namespace zelvorin

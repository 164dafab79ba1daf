// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The scripts the preview runs in its pages, kept as files of the resources
// (preview/scripts; README.md there says what each is and how they report back): the frame
// library injected into every frame, the status hook of the pages' own world, and the
// tasks the program runs in the top document. Each file is a function expression; the
// program runs one by calling it with its arguments as JSON (or as the function of another
// file), and makes script text in no other way. The engine answers asynchronously: a
// script's value goes to a callback, never waited for.
#pragma once

#include <QJsonArray>
#include <QString>
#include <QtGlobal>

#include <functional>

class QObject;
class QVariant;
class QWebEnginePage;

namespace zelvorin::pagescripts {

// The most frames the scripts count below one window, and windows in one walk.
inline constexpr int MostFrames = 100;
inline constexpr int MostWindows = 1000;

// The text of a script file of the resources ("FrameMessages.js"); empty for none.
QString Source(const QString& file);

// The frame library with the run's key, for the profile to inject into every frame.
QString LibrarySource(const QString& key);
// The status hook, for the profile to inject into every frame's own world.
QString StatusHookSource();
// The mark the status hook's reports start with.
QString StatusMark();

// A script for the top document that calls the library's `method` with `arguments`,
// bringing the library along when the document lacks it; it evaluates to the method's
// value, null when it fails.
QString LibraryCall(const QString& key, const QString& method, const QJsonArray& arguments = {});
// The same for a task file: a function of the library and the arguments.
QString LibraryTask(const QString& key, const QString& file, const QJsonArray& arguments = {});
// A script calling the function of a file that needs no library.
QString Call(const QString& file, const QJsonArray& arguments = {});

// Runs `script` in the program's world of the page's top document and hands its value to
// `done`, unless `context` is gone by then.
void Run(QWebEnginePage* page, const QString& script, const QObject* context,
         std::function<void(const QVariant&)> done);

// Whether the engine runs a script in a frame the program chooses (Qt 6.8's frame API).
// With it, a change reaches every frame directly, each in its own process; before it, the
// top document hands the change to the frames of other origins by messages
// (FrameMessages.js). Chosen when the program is built.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#define ZELVORIN_REACHES_FRAMES 1
inline constexpr bool ReachesFramesDirectly = true;

// Calls the library's `method` with `arguments` in every frame of the page, the top one
// included (at most MostWindows), all at once; `done` follows when each has answered,
// unless `context` is gone by then. The library's text goes only to a frame that lacks it.
void CallInEveryFrame(QWebEnginePage* page, const QString& key, const QString& method,
                      const QJsonArray& arguments, const QObject* context,
                      std::function<void()> done);
#else
inline constexpr bool ReachesFramesDirectly = false;
#endif

} // namespace zelvorin::pagescripts

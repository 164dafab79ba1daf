// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The fixed line formats of the event log: one line per event the browser reports.
// Pure text formatting, so every format is testable without a browser.
#pragma once

#include <QString>

namespace zelvorin::eventlog {

enum class DragState { Enter = 0, Leave = 1, Move = 2 };

QString beforeNavigate(const QString& url, const QString& flags, const QString& targetFrame,
                       const QString& postData, const QString& headers);
QString navigateComplete(const QString& url);
QString documentComplete(const QString& url);
QString downloadBegin();
QString downloadComplete();
QString progress(qint64 progress, qint64 maximum);
QString statusText(const QString& text);
QString title(const QString& text);
QString commandState(int command, bool enable);
QString newWindow(bool cancel);
QString propertyChange(const QString& property);
QString quit();
QString visible(bool value);
QString toolBar(bool value);
QString menuBar(bool value);
QString statusBar(bool value);
QString fullScreen(bool value);
QString theaterMode(bool value);
QString enter();
QString exit();
QString startDrag(const QString& dragObjectName);
QString endDrag(int x, int y);
// `state` is the raw state number; numbers other than 0, 1 and 2 add no name.
QString dragOver(int x, int y, int state, bool accept);
QString dragDrop(int x, int y);
// A navigation the program refused: a command address that did not come from the user,
// or a program resource a page asked for.
QString refused(const QString& url);

// Not a browser event: the settings store could not save (see zelvorin::SettingsStore).
QString settingsNotSaved(const QString& file, const QString& reason);
// Not a browser event: a command failed; `message` says what and why.
QString commandFailed(const QString& message);

} // namespace zelvorin::eventlog

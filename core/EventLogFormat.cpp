// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "EventLogFormat.h"

namespace zelvorin::eventlog {

namespace {
const QString Q = QStringLiteral("\"");
const QString Indent = QStringLiteral("     ");

QString quoted(const QString& text) {
    return Q + text + Q;
}
QString boolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}
QString point(int x, int y) {
    return QStringLiteral("(X:%1,Y:%2)").arg(x).arg(y);
}
} // namespace

QString beforeNavigate(const QString& url, const QString& flags, const QString& targetFrame,
                       const QString& postData, const QString& headers) {
    return Indent + "BeforeNavigate2 - " + "URL: " + quoted(url) + " Flags: " + quoted(flags) +
           " TargetFrameName: " + quoted(targetFrame) + " PostData: " + quoted(postData) +
           " Headers: " + quoted(headers);
}

QString navigateComplete(const QString& url) {
    return Indent + "NavigateComplete -  URL: " + quoted(url);
}

QString documentComplete(const QString& url) {
    return Indent + "DocumentComplete -  URL: " + quoted(url);
}

QString downloadBegin() {
    return Indent + "DownloadBegin";
}
QString downloadComplete() {
    return Indent + "DownloadComplete";
}

QString progress(qint64 progress, qint64 maximum) {
    return QStringLiteral("Progress -  %1/%2").arg(progress).arg(maximum);
}

QString statusText(const QString& text) {
    return Indent + "OnStatusTextChange -  Text:" + quoted(text);
}

QString title(const QString& text) {
    return Indent + "OnTitleChange -  Text:" + quoted(text);
}

QString commandState(int command, bool enable) {
    return Indent + "OnCommandStateChange -  command = " +
           QStringLiteral("%1").arg(command, 2, 10, QLatin1Char(' ')) +
           "   enable: " + quoted(boolText(enable));
}

QString newWindow(bool cancel) {
    return Indent + "OnNewWindow -  Cancel: " + quoted(boolText(cancel));
}

QString propertyChange(const QString& property) {
    return Indent + "OnPropertyChange -  Property: " + quoted(property);
}

QString quit() {
    return Indent + "OnQuit";
}
QString visible(bool value) {
    return Indent + "OnVisible -  " + quoted(boolText(value));
}
QString toolBar(bool value) {
    return Indent + "OnToolBar -  " + quoted(boolText(value));
}
QString menuBar(bool value) {
    return Indent + "OnMenuBar -  MenuBar: " + quoted(boolText(value));
}
QString statusBar(bool value) {
    return Indent + "OnStatusBar -  " + quoted(boolText(value));
}

QString fullScreen(bool value) {
    return Indent + "OnFullScreen -  FullScreen: " + quoted(boolText(value));
}

QString theaterMode(bool value) {
    return Indent + "OnTheaterMode -  " + quoted(boolText(value));
}
QString enter() {
    return Indent + "OnEnter";
}
QString exit() {
    return Indent + "OnExit";
}

QString startDrag(const QString& dragObjectName) {
    return Indent + "OnStartDrag -  DragObject: " + quoted(dragObjectName);
}

QString endDrag(int x, int y) {
    return Indent + "OnEndDrag -  " + point(x, y);
}

QString dragOver(int x, int y, int state, bool accept) {
    static const char* const names[] = {"dsDragEnter", "dsDragLeave", "dsDragMove"};
    const QString name = state >= 0 && state <= 2 ? QString::fromLatin1(names[state]) : QString();
    return Indent + "DragOver -  " + " " + point(x, y) + "  DragSate: " + name +
           "  Accept: " + quoted(boolText(accept));
}

QString dragDrop(int x, int y) {
    return Indent + "OnDragDrop -  " + point(x, y);
}

QString refused(const QString& url) {
    return Indent + "Refused -  URL: " + quoted(url) + " (not asked for by the user)";
}

QString settingsNotSaved(const QString& file, const QString& reason) {
    return Indent + "SettingsNotSaved -  File: " + quoted(file) + " Reason: " + quoted(reason);
}

QString commandFailed(const QString& message) {
    return Indent + "CommandFailed -  " + quoted(message);
}

} // namespace zelvorin::eventlog

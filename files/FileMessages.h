// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The file column's own messages: their texts, and the box that shows them unless the
// program's services send them elsewhere (see FilePanel::showError).
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class QWidget;

namespace zelvorin {

// Shows an error message with the product title (" Zelvorin") and an error icon.
void showErrorBox(QWidget* parent, const QString& text);

// The status bar's note while a large folder is read: "Reading folder... N" with the
// entries read so far, and the gauge's position (0 to 99) from a rough count of all.
QString readingFolderText(qint64 entriesRead);
int readingFolderGauge(qint64 entriesRead, qint64 estimatedEntries);

// The tooltip of a name (or path) that is not UTF-8 text: what the shown text stands for,
// with the name's bytes written out ("caf\xE9.png").
QString NotTextNameTip(const QByteArray& raw);

// What the user asked for when a file action failed.
enum class FileAction { Open, Trash, Properties, Copy, Move };

// One file an action could not handle (its raw path) and why, in the system's words.
struct FileFailure {
    QByteArray path;
    QString reason;
};

// The message that tells of the failures of one action, as a file manager words it:
// 'Could not move "a.gif" to the trash: Permission denied.'; for several files of a drop
// one message that lists each with its reason. `folder` is where a copy or move went.
QString FileFailureMessage(FileAction action, const QList<FileFailure>& failures,
                           const QString& folder = QString());

} // namespace zelvorin

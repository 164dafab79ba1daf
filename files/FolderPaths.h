// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The path functions of the file column. The shown folder is also the process's current
// folder: every folder change goes through making the folder current and reading the
// current folder back, so that relative paths typed by the user resolve against what is
// shown. Names are kept as raw bytes beside their display text, so names that are not
// valid UTF-8 are listed and can be opened.
#pragma once

#include <QByteArray>
#include <QString>

#include <stdexcept>

namespace zelvorin {

// The errors of folder changes: a folder that cannot be made current, a typed name that
// does not exist.
class FileControlError : public std::runtime_error {
public:
    explicit FileControlError(const QString& message, int code = 0);
    QString message() const { return QString::fromUtf8(what()); }
    int code() const { return m_code; }

private:
    int m_code = 0;
};

// The parts of a typed path: the folder and the file name.
struct PathParts {
    QString folder;
    QString file;
};

// Makes a folder the current one; raises FileControlError when that fails, with the
// message below.
void changeCurrentFolder(const QString& path);
QString cannotOpenFolderText(const QString& path, int error);
// The current folder as a path text Qt can open (see platform/LosslessNames.h).
QString currentFolderText();

// folder + name, with exactly one "/" between them when the folder does not end in one.
QString joinFolderAndName(const QString& folder, const QString& name);
QByteArray joinFolderAndName(const QByteArray& folder, const QByteArray& name);
// The number of "/" in the path.
int folderDepth(const QString& path);
// A folder path without its trailing "/", the root as an empty text: the form in which
// folders are compared and counted.
QString strippedFolderPath(const QString& path);
// Splits a typed path into folder and file, resolving relative parts against the current
// folder; a last name that is neither an existing file nor a pattern is taken as
// a folder. Raises FileControlError when a folder part cannot be entered. The current
// folder is the same afterwards.
PathParts splitPath(const QString& text);

} // namespace zelvorin

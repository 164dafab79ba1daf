// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The user's cache folder and the file operations a cache shared with other programs
// needs: opening a file by its raw path, and writing a file only the user may read so
// that a reader (this program or another) sees either no file, the old one or the whole
// new one, never a part.
#pragma once

#include <QByteArray>

class QFile;

namespace zelvorin::platform {

// $XDG_CACHE_HOME when it is an absolute path, else $HOME/.cache, as raw bytes.
QByteArray cacheHome();

// Opens the raw path for reading as `file`; 0 or an errno value.
int openForReading(const QByteArray& rawPath, QFile& file);

// Creates the folder and every missing parent, the new ones with mode 0700; 0 or an
// errno value.
int makePrivateFolders(const QByteArray& rawPath);

// Writes `bytes` to a new file beside `rawPath` (mode 0600), flushes it to disk and renames
// it to `rawPath`, creating missing folders first; on any failure nothing is left behind.
// 0 or an errno value.
int writePrivateFile(const QByteArray& rawPath, const QByteArray& bytes);

// Flushes what was written to the open file `fd` to the disk, so that a rename after it
// never leaves the name on a file whose bytes a power cut lost; 0 or an errno value.
int flushToDisk(int fd);

// Removes what writePrivateFile leaves when it is stopped before its rename (a killed
// program): the files of the folder named as its temporary files are, after a target
// ending in `targetSuffix`, and older than a minute (a younger one may be a write under
// way in another program).
void removeStaleTemporaries(const QByteArray& folder, const QByteArray& targetSuffix);

} // namespace zelvorin::platform

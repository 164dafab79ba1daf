// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Path arithmetic on POSIX paths. "/" is the only separator and the root; a backslash or a
// colon is an ordinary character of a Linux file name, so neither ever splits a path.
// There are no drive letters; a root has no parent.
#pragma once

#include <QString>

namespace zelvorin {

// Without its trailing slashes; the root stays "/".
QString stripTrailingSlashes(const QString& path);
// With exactly one trailing slash.
QString withTrailingSlash(const QString& path);
// Everything before the last "/" ("/a" gives "/"); empty for a bare name.
QString parentPath(const QString& path);
// Everything after the last "/".
QString lastPathPart(const QString& path);
// Whether the path names an existing folder.
bool folderExists(const QString& path);

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Whether the web engine is new enough to run the preview: the version text is read as
// "major.minor..." and passes from 4.71 on.
#pragma once

#include <QString>

namespace zelvorin {

// The pass rule on a version text such as "4.71.1712.6": an empty text fails; the major
// number is the text before the first ".", the minor number the text before the next
// "." of the rest, each 0 when it is not a number.
bool CheckBrowserVersion(const QString& versionText);

} // namespace zelvorin

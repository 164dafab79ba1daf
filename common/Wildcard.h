// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Matching a name against a wildcard pattern: "*" any run of characters, "?" one
// character, letter case ignored. The same results as the literal recursive rules, in
// time bounded by name length times pattern length.
#pragma once

#include <QString>

namespace zelvorin {

bool matchesWildcard(const QString& name, const QString& pattern);

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Unguessable texts: 128 random bits from the system's generator, as 32 hexadecimal
// digits. Pages never learn them, so nothing a page writes can pass for the program.
#pragma once

#include <QString>

namespace zelvorin {

QString RandomSecret();

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The address box's drop-down history: most recent first, at most 20 entries, no two
// equal without regard to case; it starts with "about:blank".
#pragma once

#include <QString>
#include <QStringList>

namespace zelvorin::preview {

inline constexpr int AddressHistorySize = 20;
inline const QString BlankAddress = QStringLiteral("about:blank");

QStringList InitialAddressHistory();
// The text the Go command opens: blanks only (or nothing) become "about:blank".
QString AddressToGo(const QString& boxText);
// The history after going to `address`: an entry equal to it in any letter case is
// removed, the address as typed goes to the top, the oldest entries beyond 20 fall out.
QStringList HistoryAfterGo(QStringList history, const QString& address);
// What the address box shows after an address has been opened: nothing for blank pages
// and for the program's own command addresses, the address as given otherwise.
QString AddressBoxTextAfterOpen(const QString& address);

} // namespace zelvorin::preview

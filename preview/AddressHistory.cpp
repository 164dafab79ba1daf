// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AddressHistory.h"

namespace zelvorin::preview {

QStringList InitialAddressHistory() {
    return {BlankAddress};
}

QString AddressToGo(const QString& boxText) {
    return boxText.trimmed().isEmpty() ? BlankAddress : boxText;
}

QStringList HistoryAfterGo(QStringList history, const QString& address) {
    for (qsizetype i = 0; i < history.size(); ++i) {
        if (history[i].compare(address, Qt::CaseInsensitive) == 0) {
            history.removeAt(i);
            break;
        }
    }
    history.prepend(address);
    while (history.size() > AddressHistorySize)
        history.removeLast();
    return history;
}

QString AddressBoxTextAfterOpen(const QString& address) {
    const QString effective = address.trimmed().isEmpty() ? BlankAddress : address;
    if (effective.toLower() == BlankAddress)
        return QString();
    if (effective.trimmed().toLower().left(9) == QLatin1String("zelvorin:"))
        return QString();
    return effective;
}

} // namespace zelvorin::preview

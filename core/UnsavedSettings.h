// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Settings written while the store could not save them. They are kept in the order they
// were made, so that reads in this run give what was written last and the next save can
// write them all at once, exactly as if each had been saved when it was made. A write
// that makes an earlier one irrelevant replaces it, so that however many writes the store
// refuses, what is kept (and the cost of reading through it) stays that of the values
// written.
#pragma once

#include "RegistryHive.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace zelvorin {

struct UnsavedWrite {
    enum class Kind { Value, Delete, List };
    Kind kind = Kind::Value;
    QString keyPath;
    // A value's name, or a list's base name.
    QString name;
    quint32 type = 0;
    QByteArray data;
    // A numbered list: base name followed by first, first + 1, ... Writing it removes the
    // old numbered values from `first` up to the first gap, and every one below
    // `clearedUpTo` whether there is a gap or not (what earlier list writes it replaced
    // removed).
    QStringList list;
    int first = 1;
    int clearedUpTo = 0;
};

class UnsavedSettings {
public:
    // The store's own answer for a value, used for everything the unsaved writes leave as
    // it was.
    using StoredLookup = std::function<platform::RegistryLookup(
        const QString& keyPath, const QString& name, platform::RegistryValue* value)>;

    bool isEmpty() const { return m_writes.isEmpty(); }
    const QList<UnsavedWrite>& writes() const { return m_writes; }
    void clear() { m_writes.clear(); }

    // Keeps a write; an earlier write of the same value that it makes irrelevant is
    // dropped (so a window resized many times keeps one width, not one per resize), and a
    // list written again takes the place of the earlier writing of that list.
    void add(const UnsavedWrite& write);

    // The value as the store would hold it had every unsaved write been saved.
    platform::RegistryLookup lookup(const QString& keyPath, const QString& name,
                                    platform::RegistryValue* value,
                                    const StoredLookup& stored) const;
    // True when an unsaved write puts a value into the key or below it.
    bool fillsKey(const QString& keyPath) const;

private:
    platform::RegistryLookup lookupBefore(qsizetype end, const QString& foldedKey,
                                          const QString& keyPath, const QString& name,
                                          platform::RegistryValue* value,
                                          const StoredLookup& stored) const;

    QList<UnsavedWrite> m_writes;
};

} // namespace zelvorin

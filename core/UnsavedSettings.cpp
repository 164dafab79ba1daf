// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "UnsavedSettings.h"

#include "LosslessNames.h"

#include <algorithm>
#include <optional>

namespace zelvorin {

using platform::RegistryHive;
using platform::RegistryLookup;
using platform::RegistryValue;

namespace {

bool sameName(const QString& a, const QString& b) {
    return a.toCaseFolded() == b.toCaseFolded();
}

// n when `name` is `base` followed by n in decimal without leading zeros.
std::optional<int> listNumber(const QString& name, const QString& base) {
    const QString foldedName = name.toCaseFolded();
    const QString foldedBase = base.toCaseFolded();
    if (foldedName.size() <= foldedBase.size() || !foldedName.startsWith(foldedBase))
        return std::nullopt;
    const QString digits = foldedName.sliced(foldedBase.size());
    bool ok = false;
    const int number = digits.toInt(&ok);
    if (!ok || number < 0 || digits != QString::number(number))
        return std::nullopt;
    return number;
}

// The first number whose old value a list write may leave: below it, every numbered
// value is removed or written.
int clearedFrom(const UnsavedWrite& list) {
    return std::max(list.first, list.clearedUpTo);
}

// True when the earlier write decides what a later writing of `list` removes or keeps: a
// value numbered by the list's base name, or another list whose names may meet its own.
bool shapesList(const UnsavedWrite& earlier, const UnsavedWrite& list) {
    if (earlier.kind != UnsavedWrite::Kind::List)
        return listNumber(earlier.name, list.name).has_value();
    const QString mine = list.name.toCaseFolded();
    const QString theirs = earlier.name.toCaseFolded();
    return mine.startsWith(theirs) || theirs.startsWith(mine);
}

} // namespace

void UnsavedSettings::add(const UnsavedWrite& write) {
    const QString key = RegistryHive::foldedKey(write.keyPath);
    UnsavedWrite kept = write;
    const bool isList = write.kind == UnsavedWrite::Kind::List;
    for (qsizetype i = m_writes.size() - 1; i >= 0; --i) {
        const UnsavedWrite& earlier = m_writes.at(i);
        if (RegistryHive::foldedKey(earlier.keyPath) != key)
            continue;
        const bool earlierList = earlier.kind == UnsavedWrite::Kind::List;
        if (isList && earlierList && sameName(earlier.name, kept.name) &&
            earlier.first == kept.first) {
            // Written twice, a list removes what the first writing removed (its own values
            // among them) and what the second would: one writing that clears that much
            // does the same.
            kept.clearedUpTo = std::max({clearedFrom(earlier), clearedFrom(kept),
                                         earlier.first + int(earlier.list.size())});
            m_writes.removeAt(i);
            break;
        }
        if (isList) {
            if (shapesList(earlier, kept))
                break;
            continue;
        }
        // Which old values a list write removes depends on the values numbered by its base
        // name that came before it.
        if (earlierList) {
            if (listNumber(kept.name, earlier.name))
                break;
            continue;
        }
        if (sameName(earlier.name, kept.name)) {
            m_writes.removeAt(i);
            break;
        }
    }
    m_writes.append(kept);
}

RegistryLookup UnsavedSettings::lookup(const QString& keyPath, const QString& name,
                                       RegistryValue* value, const StoredLookup& stored) const {
    const RegistryLookup result = lookupBefore(m_writes.size(), RegistryHive::foldedKey(keyPath),
                                               keyPath, name, value, stored);
    if ((result == RegistryLookup::KeyMissing || result == RegistryLookup::Failed) &&
        fillsKey(keyPath))
        return RegistryLookup::ValueMissing;
    return result;
}

RegistryLookup UnsavedSettings::lookupBefore(qsizetype end, const QString& foldedKey,
                                             const QString& keyPath, const QString& name,
                                             RegistryValue* value,
                                             const StoredLookup& stored) const {
    for (qsizetype i = end - 1; i >= 0; --i) {
        const UnsavedWrite& write = m_writes.at(i);
        if (RegistryHive::foldedKey(write.keyPath) != foldedKey)
            continue;
        switch (write.kind) {
        case UnsavedWrite::Kind::Value:
            if (!sameName(write.name, name))
                break;
            if (value)
                *value = {write.name, write.type, write.data};
            return RegistryLookup::Found;
        case UnsavedWrite::Kind::Delete:
            if (sameName(write.name, name))
                return RegistryLookup::ValueMissing;
            break;
        case UnsavedWrite::Kind::List: {
            const std::optional<int> number = listNumber(name, write.name);
            if (!number || *number < write.first)
                break;
            const qsizetype index = *number - write.first;
            if (index < write.list.size()) {
                if (value)
                    *value = {name, platform::RegSz, platform::losslessBytes(write.list.at(index))};
                return RegistryLookup::Found;
            }
            // Writing a list first removes the old numbered values up to the first gap;
            // a value beyond the gap stays as it was.
            for (int n = clearedFrom(write); n <= *number; ++n)
                if (lookupBefore(i, foldedKey, keyPath, write.name + QString::number(n), nullptr,
                                 stored) != RegistryLookup::Found)
                    return lookupBefore(i, foldedKey, keyPath, name, value, stored);
            return RegistryLookup::ValueMissing;
        }
        }
    }
    return stored(keyPath, name, value);
}

bool UnsavedSettings::fillsKey(const QString& keyPath) const {
    const QString key = RegistryHive::foldedKey(keyPath);
    for (const UnsavedWrite& write : m_writes) {
        if (write.kind == UnsavedWrite::Kind::Delete ||
            (write.kind == UnsavedWrite::Kind::List && write.list.isEmpty()))
            continue;
        const QString written = RegistryHive::foldedKey(write.keyPath);
        if (key.isEmpty() || written == key || written.startsWith(key + QLatin1Char('\\')))
            return true;
    }
    return false;
}

} // namespace zelvorin

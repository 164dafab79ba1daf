// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The order of a file list and the names on their way into it. Names are listed by their
// case-folded text (code point order), names that fold alike by their bytes. The first
// twelve bytes of each name's key travel beside it as two integers, so that sorting and
// merging large lists compare integers and rarely reach the names themselves. An ASCII
// name is its own key, lower-cased as it is compared; only other names carry a key of
// their own (their case-folded text in UTF-8).
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <string>
#include <string_view>
#include <vector>

namespace zelvorin {

// A key: its bytes and whether they are to be lower-cased (ASCII names).
struct NameKey {
    std::string_view bytes;
    bool lower = false;
};

struct KeyPrefix {
    quint64 high = 0;
    quint32 low = 0;
    bool operator==(const KeyPrefix&) const = default;
};

bool isAsciiName(std::string_view raw);
// A hash of a raw name, made where the name is read so the list's index need not.
quint32 nameHash(std::string_view raw);
// The case-folded text of a name that is not ASCII, in UTF-8.
QByteArray foldedKey(std::string_view raw);
KeyPrefix keyPrefix(NameKey key);
// Compares two keys as a whole: negative, 0 or positive.
int compareKeys(NameKey a, NameKey b);
// The full order: prefix, then the whole key, then the raw bytes.
bool lessName(KeyPrefix prefixA, NameKey keyA, std::string_view rawA, KeyPrefix prefixB,
              NameKey keyB, std::string_view rawB);

// A row of a sorted list: an entry number with the first twelve bytes of its key.
struct NameRow {
    quint64 high = 0;
    quint32 low = 0;
    quint32 id = 0;
    KeyPrefix prefix() const { return {high, low}; }
};

// Names read from a folder and sorted, on their way from the reader's thread to a list.
class NameBatch {
public:
    struct Name {
        KeyPrefix prefix;
        quint32 offset = 0;    // of the raw name in bytes(); its own key, if any, follows
        quint16 length = 0;    // of the raw name
        quint16 keyLength = 0; // 0: an ASCII name, its own key
        quint32 attributes = 0;
        quint32 hash = 0;
        bool marked = false;
    };

    void add(std::string_view raw, quint32 attributes, bool marked);
    void sort();
    bool isEmpty() const { return m_names.empty(); }
    size_t size() const { return m_names.size(); }
    const std::vector<Name>& names() const { return m_names; }
    std::string_view raw(const Name& name) const {
        return std::string_view(m_bytes.data() + name.offset, name.length);
    }
    NameKey key(const Name& name) const {
        if (name.keyLength == 0)
            return {raw(name), true};
        return {std::string_view(m_bytes.data() + name.offset + name.length, name.keyLength),
                false};
    }

    // The folder's symbolic links met while reading (listed or not): what each is listed as
    // depends on its target, which may change without any change to the folder.
    std::vector<QByteArray> links;

private:
    std::string m_bytes;
    std::vector<Name> m_names;
};

} // namespace zelvorin

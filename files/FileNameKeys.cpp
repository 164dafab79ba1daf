// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileNameKeys.h"

#include "LosslessNames.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace zelvorin {

namespace {

constexpr std::array<unsigned char, 256> lowerTable() {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[size_t(c)] =
            (c >= 'A' && c <= 'Z') ? (unsigned char)(c - 'A' + 'a') : (unsigned char)(c);
    return table;
}

constexpr std::array<unsigned char, 256> Lower = lowerTable();

inline unsigned char byteAt(NameKey key, size_t i) {
    const auto c = static_cast<unsigned char>(key.bytes[i]);
    return key.lower ? Lower[c] : c;
}

} // namespace

bool isAsciiName(std::string_view raw) {
    return std::all_of(raw.begin(), raw.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

quint32 nameHash(std::string_view raw) {
    // FNV-1a with a final mix, so that the low bits an open-addressing index uses spread.
    quint64 hash = 0xcbf29ce484222325ull;
    for (const char c : raw)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdull;
    hash ^= hash >> 33;
    return quint32(hash);
}

QByteArray foldedKey(std::string_view raw) {
    return platform::displayName(QByteArray(raw.data(), qsizetype(raw.size())))
        .toCaseFolded()
        .toUtf8();
}

KeyPrefix keyPrefix(NameKey key) {
    // Big-endian, padded with zeros: integer order is byte order, and a key that ends
    // early sorts before any that goes on (no key holds a zero byte).
    KeyPrefix prefix;
    const size_t size = key.bytes.size();
    for (size_t i = 0; i < 8; ++i)
        prefix.high = (prefix.high << 8) | (i < size ? byteAt(key, i) : 0);
    for (size_t i = 8; i < 12; ++i)
        prefix.low = (prefix.low << 8) | (i < size ? byteAt(key, i) : 0);
    return prefix;
}

int compareKeys(NameKey a, NameKey b) {
    const size_t common = std::min(a.bytes.size(), b.bytes.size());
    for (size_t i = 0; i < common; ++i) {
        const unsigned char x = byteAt(a, i);
        const unsigned char y = byteAt(b, i);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.bytes.size() == b.bytes.size())
        return 0;
    return a.bytes.size() < b.bytes.size() ? -1 : 1;
}

bool lessName(KeyPrefix prefixA, NameKey keyA, std::string_view rawA, KeyPrefix prefixB,
              NameKey keyB, std::string_view rawB) {
    if (prefixA.high != prefixB.high)
        return prefixA.high < prefixB.high;
    if (prefixA.low != prefixB.low)
        return prefixA.low < prefixB.low;
    if (const int byKey = compareKeys(keyA, keyB); byKey != 0)
        return byKey < 0;
    return rawA < rawB;
}

void NameBatch::add(std::string_view raw, quint32 attributes, bool marked) {
    Name name;
    name.offset = quint32(m_bytes.size());
    name.length = quint16(raw.size());
    name.attributes = attributes;
    name.hash = nameHash(raw);
    name.marked = marked;
    m_bytes.append(raw);
    if (!isAsciiName(raw)) {
        const QByteArray key = foldedKey(raw);
        name.keyLength = quint16(std::min<qsizetype>(key.size(), 0xFFFF));
        m_bytes.append(key.constData(), name.keyLength);
    }
    name.prefix = keyPrefix(key(name));
    m_names.push_back(name);
}

void NameBatch::sort() {
    std::sort(m_names.begin(), m_names.end(), [this](const Name& a, const Name& b) {
        return lessName(a.prefix, key(a), raw(a), b.prefix, key(b), raw(b));
    });
}

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The file list's entries: their names in one arena, a record each, and a hash index by
// raw name; the list's rows refer to entries by number.
#pragma once

#include "FileNameKeys.h"
#include "LosslessNames.h"
#include "ZeroedMemory.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

namespace zelvorin {

namespace filelist {

enum Flag : quint8 { IconLooked = 1, Marked = 2, Dead = 4 };
// In the index, 0 marks an empty place (so a fresh index is memory the system hands out
// zeroed, touched only as it fills) and entry numbers are stored plus one.
constexpr quint32 EmptySlot = 0;
constexpr quint32 RemovedSlot = 0xFFFFFFFFu;

struct Record {
    quint32 offset = 0;    // of the raw name in the arena; its own key, if any, follows
    quint16 length = 0;    // of the raw name
    quint16 keyLength = 0; // 0: an ASCII name, its own key
    qint32 icon = -1;
    quint32 seen = 0;
    quint32 hash = 0;
    quint8 flags = 0;
};

// The names (an arena of fixed chunks, so a name never moves), the entries' records and
// the hash index by raw name. Records of removed entries stay until the store is made
// anew, so entry numbers held by a MarkedNames stay valid.
class Store {
public:
    static constexpr int ChunkBits = 20;
    static constexpr quint32 ChunkSize = 1u << ChunkBits;

    void reserve(size_t entries) {
        if (entries > m_records.capacity())
            m_records.reserve(entries);
        if ((entries + 1) * 2 > m_capacity)
            rehash(entries);
    }

    quint32 add(std::string_view raw, std::string_view key, bool marked, quint32 hash) {
        const size_t needed = raw.size() + key.size();
        if (m_chunks.empty() || m_used + needed > ChunkSize) {
            m_chunks.push_back(std::make_unique<char[]>(ChunkSize));
            m_used = 0;
        }
        const quint32 offset = (quint32(m_chunks.size() - 1) << ChunkBits) | m_used;
        char* at = m_chunks.back().get() + m_used;
        std::copy(raw.begin(), raw.end(), at);
        std::copy(key.begin(), key.end(), at + raw.size());
        m_used += quint32(needed);
        Record record;
        record.offset = offset;
        record.length = quint16(raw.size());
        record.keyLength = quint16(key.size());
        record.hash = hash;
        record.flags = marked ? Marked : 0;
        if (m_records.size() == m_records.capacity())
            m_records.reserve(m_records.size() + m_records.size() / 2 + 1024);
        m_records.push_back(record);
        const quint32 id = quint32(m_records.size() - 1);
        insertIndex(id, hash);
        return id;
    }

    const Record& record(quint32 id) const { return m_records[id]; }
    Record& record(quint32 id) { return m_records[id]; }
    size_t size() const { return m_records.size(); }
    size_t dead() const { return m_dead; }
    const char* text(quint32 id) const {
        const quint32 offset = m_records[id].offset;
        return m_chunks[offset >> ChunkBits].get() + (offset & (ChunkSize - 1));
    }
    std::string_view raw(quint32 id) const { return {text(id), m_records[id].length}; }
    NameKey key(quint32 id) const {
        const Record& r = m_records[id];
        if (r.keyLength == 0)
            return {raw(id), true};
        return {std::string_view(text(id) + r.length, r.keyLength), false};
    }
    QByteArray rawBytes(quint32 id) const {
        const std::string_view name = raw(id);
        return QByteArray(name.data(), qsizetype(name.size()));
    }
    QString shown(quint32 id) const { return platform::displayName(rawBytes(id)); }

    void remove(quint32 id) {
        Record& r = m_records[id];
        if (r.flags & Dead)
            return;
        r.flags |= Dead;
        ++m_dead;
        eraseIndex(id);
    }

    qint64 find(std::string_view raw, quint32 hash) const {
        if (m_capacity == 0)
            return -1;
        const size_t mask = m_capacity - 1;
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            const IndexSlot& slot = m_index[at];
            if (slot.number == EmptySlot)
                return -1;
            if (slot.hash == hash && slot.number != RemovedSlot &&
                this->raw(slot.number - 1) == raw)
                return slot.number - 1;
        }
    }

private:
    // The hash beside the entry number (plus one): a look-up reaches a record only when
    // the hash matches.
    struct IndexSlot {
        quint32 number;
        quint32 hash;
    };

    void insertIndex(quint32 id, quint32 hash) {
        if ((m_indexUsed + 1) * 2 > m_capacity)
            rehash(m_records.size());
        const size_t mask = m_capacity - 1;
        size_t at = hash & mask;
        while (m_index[at].number != EmptySlot && m_index[at].number != RemovedSlot)
            at = (at + 1) & mask;
        if (m_index[at].number == EmptySlot)
            ++m_indexUsed;
        m_index[at] = {id + 1, hash};
    }
    void eraseIndex(quint32 id) {
        const size_t mask = m_capacity - 1;
        const quint32 hash = m_records[id].hash;
        for (size_t at = hash & mask; m_index[at].number != EmptySlot; at = (at + 1) & mask) {
            if (m_index[at].number == id + 1) {
                m_index[at].number = RemovedSlot;
                return;
            }
        }
    }
    void rehash(size_t entries) {
        size_t live = 0;
        for (size_t i = 0; i < m_capacity; ++i)
            live += m_index[i].number != EmptySlot && m_index[i].number != RemovedSlot ? 1 : 0;
        size_t capacity = 1024;
        while (capacity < (std::max(live, entries) + 1) * 2)
            capacity *= 2;
        // Zeroed by the system as it is touched: a large index costs nothing up front.
        platform::ZeroedMemory memory(capacity * sizeof(IndexSlot));
        auto* const fresh = static_cast<IndexSlot*>(memory.data());
        const size_t mask = capacity - 1;
        size_t used = 0;
        for (size_t i = 0; i < m_capacity; ++i) {
            const IndexSlot& slot = m_index[i];
            if (slot.number == EmptySlot || slot.number == RemovedSlot)
                continue;
            size_t at = slot.hash & mask;
            while (fresh[at].number != EmptySlot)
                at = (at + 1) & mask;
            fresh[at] = slot;
            ++used;
        }
        m_indexMemory = std::move(memory);
        m_index = fresh;
        m_capacity = capacity;
        m_indexUsed = used;
    }

    std::vector<std::unique_ptr<char[]>> m_chunks;
    quint32 m_used = 0;
    std::vector<Record> m_records;
    size_t m_dead = 0;
    // Open addressing, at most half full (removed places count as used until a rehash).
    platform::ZeroedMemory m_indexMemory;
    IndexSlot* m_index = nullptr;
    size_t m_capacity = 0;
    size_t m_indexUsed = 0;
};

} // namespace filelist

} // namespace zelvorin

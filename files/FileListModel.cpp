// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileListModel.h"

#include "FileIcons.h"
#include "FileNameStore.h"
#include "LosslessNames.h"

#include <QHashFunctions>

#include <algorithm>
#include <limits>
#include <memory>

namespace zelvorin {

using filelist::Record;
using filelist::Slot;
using filelist::Store;

namespace {

std::string_view view(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

bool lessIn(const Store& store, const Slot& a, const Slot& b) {
    if (a.high != b.high)
        return a.high < b.high;
    if (a.low != b.low)
        return a.low < b.low;
    if (a.id == b.id)
        return false;
    return lessName(a.prefix(), store.key(a.id), store.raw(a.id), b.prefix(), store.key(b.id),
                    store.raw(b.id));
}

// Many rows added at once are merged in one pass; a few go in one at a time, so that
// views keep their scroll position and a re-read that found one new name says just that.
constexpr size_t SingleInsertLimit = 64;

} // namespace

MarkedNames::MarkedNames(std::shared_ptr<const std::vector<Slot>> marked,
                         std::shared_ptr<const Store> store)
    : m_slots(std::move(marked)), m_store(std::move(store)) {}

qint64 MarkedNames::count() const {
    return qint64(m_slots->size());
}

QString MarkedNames::name(qint64 index) const {
    return platform::openablePath(rawName(index));
}

QByteArray MarkedNames::rawName(qint64 index) const {
    return m_store->rawBytes((*m_slots)[size_t(index)].id);
}

FileListModel::FileListModel(QObject* parent)
    : QAbstractListModel(parent), m_store(std::make_shared<Store>()),
      m_rows(std::make_unique<std::vector<Slot>>()),
      m_marked(std::make_shared<std::vector<Slot>>()) {}

FileListModel::~FileListModel() = default;

const Slot& FileListModel::slot(int row) const {
    return (*m_rows)[size_t(row)];
}

bool FileListModel::lessSlot(const Slot& a, const Slot& b) const {
    return lessIn(*m_store, a, b);
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int FileListModel::count() const {
    return int(m_rows->size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return displayName(index.row());
    case RawNameRole:
        return rawName(index.row());
    case IconIndexRole:
        return m_showIcons ? iconIndex(index.row()) : -1;
    default:
        return QVariant();
    }
}

FileListEntry FileListModel::at(int row) const {
    const quint32 id = slot(row).id;
    const Record& record = m_store->record(id);
    FileListEntry entry;
    entry.raw = m_store->rawBytes(id);
    entry.name = platform::displayName(entry.raw);
    entry.icon = record.icon;
    entry.iconLooked = (record.flags & filelist::IconLooked) != 0;
    entry.marked = (record.flags & filelist::Marked) != 0;
    return entry;
}

QByteArray FileListModel::rawName(int row) const {
    return m_store->rawBytes(slot(row).id);
}

QString FileListModel::displayName(int row) const {
    return m_store->shown(slot(row).id);
}

bool FileListModel::contains(std::string_view raw) const {
    return m_store->find(raw, nameHash(raw)) >= 0;
}

QStringList FileListModel::names() const {
    QStringList list;
    list.reserve(count());
    for (const Slot& s : *m_rows)
        list.append(m_store->shown(s.id));
    return list;
}

int FileListModel::find(const QString& name) const {
    if (name.isEmpty())
        return -1;
    const QByteArray utf8 = name.toUtf8();
    const bool ascii = isAsciiName(view(utf8));
    const QByteArray folded = ascii ? utf8 : name.toCaseFolded().toUtf8();
    const NameKey key{view(folded), ascii};
    const KeyPrefix prefix = keyPrefix(key);
    // The run of entries with an equal key starts at the first entry not less than it.
    const auto byKey = [&](const Slot& s, bool* equal) {
        if (s.high != prefix.high)
            return s.high < prefix.high ? -1 : 1;
        if (s.low != prefix.low)
            return s.low < prefix.low ? -1 : 1;
        const int compared = compareKeys(m_store->key(s.id), key);
        *equal = compared == 0;
        return compared;
    };
    auto it = std::lower_bound(m_rows->begin(), m_rows->end(), 0, [&](const Slot& s, int) {
        bool equal = false;
        return byKey(s, &equal) < 0;
    });
    int firstFolded = -1;
    for (; it != m_rows->end(); ++it) {
        bool equal = false;
        if (byKey(*it, &equal) != 0)
            break;
        const int row = int(it - m_rows->begin());
        const QString shown = m_store->shown(it->id);
        if (shown == name)
            return row;
        if (firstFolded < 0 && shown.compare(name, Qt::CaseInsensitive) == 0)
            firstFolded = row;
    }
    return firstFolded;
}

int FileListModel::lowerBound(const Slot& probe) const {
    return int(std::lower_bound(m_rows->begin(), m_rows->end(), probe,
                                [this](const Slot& a, const Slot& b) { return lessSlot(a, b); }) -
               m_rows->begin());
}

int FileListModel::findRaw(const QByteArray& raw) const {
    const qint64 id = m_store->find(view(raw), nameHash(view(raw)));
    if (id < 0)
        return -1;
    const KeyPrefix prefix = keyPrefix(m_store->key(quint32(id)));
    const Slot probe{prefix.high, prefix.low, quint32(id)};
    const int row = lowerBound(probe);
    return row < count() && slot(row).id == quint32(id) ? row : -1;
}

int FileListModel::iconIndex(int row) const {
    Record& record = m_store->record(slot(row).id);
    if (!(record.flags & filelist::IconLooked)) {
        record.icon = FileIcons::instance().indexForName(m_store->shown(slot(row).id));
        record.flags |= filelist::IconLooked;
    }
    return record.icon;
}

void FileListModel::setShowIcons(bool show) {
    m_showIcons = show;
}

std::vector<Slot>& FileListModel::writableMarked() {
    if (m_marked.use_count() > 1)
        m_marked = std::make_shared<std::vector<Slot>>(*m_marked);
    return *m_marked;
}

void FileListModel::clear() {
    if (m_rows->empty() && m_store->size() == 0)
        return;
    beginResetModel();
    m_rows->clear();
    m_rows->shrink_to_fit();
    m_spareRows.reset();
    m_staged.clear();
    m_stamped = 0;
    m_rowedUpTo = 0;
    m_marked = std::make_shared<std::vector<Slot>>();
    // A MarkedNames handed out keeps the old names.
    m_store = std::make_shared<Store>();
    endResetModel();
}

void FileListModel::dropRecords(const std::vector<int>& rows) {
    const bool anyMarked = std::any_of(rows.begin(), rows.end(), [this](int row) {
        return (m_store->record(slot(row).id).flags & filelist::Marked) != 0;
    });
    if (anyMarked) {
        std::vector<Slot>& marked = writableMarked();
        if (rows.size() > SingleInsertLimit) {
            std::vector<char> gone(m_store->size(), 0);
            for (const int row : rows)
                gone[slot(row).id] = 1;
            std::erase_if(marked, [&](const Slot& s) { return gone[s.id] != 0; });
        } else {
            for (const int row : rows) {
                const Slot& s = slot(row);
                const auto at = std::lower_bound(
                    marked.begin(), marked.end(), s,
                    [this](const Slot& a, const Slot& b) { return lessSlot(a, b); });
                if (at != marked.end() && at->id == s.id)
                    marked.erase(at);
            }
        }
    }
    for (const int row : rows) {
        const quint32 id = slot(row).id;
        if (m_store->record(id).seen == m_stampedGeneration && m_stamped > 0)
            --m_stamped;
        m_store->remove(id);
    }
}

void FileListModel::removeRows(const std::vector<int>& rows) {
    if (rows.empty())
        return;
    dropRecords(rows);
    size_t runs = 1;
    for (size_t i = 1; i < rows.size(); ++i)
        runs += rows[i] != rows[i - 1] + 1 ? 1 : 0;
    // Scattered removals (a new mask) are one pass over the list, not one shift per run.
    if (runs > 16) {
        beginResetModel();
        std::vector<char> drop(m_rows->size(), 0);
        for (const int row : rows)
            drop[size_t(row)] = 1;
        size_t kept = 0;
        for (size_t row = 0; row < m_rows->size(); ++row) {
            if (!drop[row])
                (*m_rows)[kept++] = (*m_rows)[row];
        }
        m_rows->resize(kept);
        endResetModel();
    } else {
        // From the end, one run of neighbouring rows at a time.
        size_t end = rows.size();
        while (end > 0) {
            size_t begin = end - 1;
            while (begin > 0 && rows[begin - 1] == rows[begin] - 1)
                --begin;
            const int first = rows[begin];
            const int last = rows[end - 1];
            beginRemoveRows(QModelIndex(), first, last);
            m_rows->erase(m_rows->begin() + first, m_rows->begin() + last + 1);
            endRemoveRows();
            end = begin;
        }
    }
    compactIfWasteful();
}

void FileListModel::removeUnseen(quint32 generation) {
    // A read that stamped every row (a first read always does) leaves nothing to remove.
    if (generation == m_stampedGeneration && m_stamped == size_t(count()))
        return;
    // The records in their own order, then the rows: both passes run through memory in
    // order instead of jumping from row to record.
    std::vector<char> gone(m_store->size(), 0);
    for (quint32 id = 0; id < m_store->size(); ++id)
        gone[id] = m_store->record(id).seen != generation ? 1 : 0;
    std::vector<int> rows;
    for (int row = 0; row < count(); ++row) {
        if (gone[slot(row).id])
            rows.push_back(row);
    }
    removeRows(rows);
}

void FileListModel::compactIfWasteful() {
    // Removed entries keep their names in the arena; once they outweigh the live ones the
    // store is made anew (a MarkedNames handed out keeps the old one).
    if (m_store->dead() < 4096 || m_store->dead() < m_store->size() / 2)
        return;
    // Only rows are carried over: while names wait to become rows (a read under way) the
    // store stays as it is, and the read's end looks again.
    const bool unrowed =
        m_rowedUpTo != std::numeric_limits<quint32>::max() && m_rowedUpTo < m_store->size();
    if (!m_staged.empty() || unrowed)
        return;
    auto fresh = std::make_shared<Store>();
    std::vector<quint32> renumbered(m_store->size(), 0);
    for (Slot& s : *m_rows) {
        const Record old = m_store->record(s.id);
        const NameKey key = m_store->key(s.id);
        const quint32 id =
            fresh->add(m_store->raw(s.id), key.lower ? std::string_view() : key.bytes,
                       (old.flags & filelist::Marked) != 0, old.hash);
        Record& record = fresh->record(id);
        record.icon = old.icon;
        record.seen = old.seen;
        record.flags = old.flags;
        renumbered[s.id] = id;
        s.id = id;
    }
    std::vector<Slot>& marked = writableMarked();
    for (Slot& s : marked)
        s.id = renumbered[s.id];
    m_store = std::move(fresh);
    m_rowedUpTo = std::numeric_limits<quint32>::max();
}

void FileListModel::mergeMarked(const std::vector<Slot>& added) {
    std::vector<Slot> marks;
    for (const Slot& s : added) {
        if (m_store->record(s.id).flags & filelist::Marked)
            marks.push_back(s);
    }
    if (marks.empty())
        return;
    std::vector<Slot>& marked = writableMarked();
    std::vector<Slot> merged;
    merged.reserve(marked.size() + marks.size());
    std::merge(marked.begin(), marked.end(), marks.begin(), marks.end(), std::back_inserter(merged),
               [this](const Slot& a, const Slot& b) { return lessSlot(a, b); });
    marked.swap(merged);
}

void FileListModel::insertSlots(std::vector<Slot> added) {
    const auto less = [this](const Slot& a, const Slot& b) { return lessSlot(a, b); };
    mergeMarked(added);
    if (m_rows->empty()) {
        beginInsertRows(QModelIndex(), 0, int(added.size()) - 1);
        *m_rows = std::move(added);
        endInsertRows();
        return;
    }
    if (added.size() <= SingleInsertLimit) {
        for (const Slot& s : added) {
            const int row =
                int(std::upper_bound(m_rows->begin(), m_rows->end(), s, less) - m_rows->begin());
            beginInsertRows(QModelIndex(), row, row);
            m_rows->insert(m_rows->begin() + row, s);
            endInsertRows();
        }
        return;
    }
    // One merge; the views' selection and current row follow their entries.
    replaceRows([&] {
        // Into the rows of the merge before, whose memory is in place already.
        std::unique_ptr<std::vector<Slot>> merged = std::move(m_spareRows);
        if (!merged)
            merged = std::make_unique<std::vector<Slot>>();
        merged->resize(m_rows->size() + added.size());
        std::merge(m_rows->begin(), m_rows->end(), added.begin(), added.end(), merged->begin(),
                   less);
        m_spareRows = std::move(m_rows);
        m_rows = std::move(merged);
    });
}

void FileListModel::replaceRows(const std::function<void()>& replace) {
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<Slot> held;
    held.reserve(size_t(before.size()));
    for (const QModelIndex& index : before)
        held.push_back(slot(index.row()));
    replace();
    QModelIndexList after;
    after.reserve(before.size());
    for (size_t i = 0; i < held.size(); ++i)
        after.append(index(lowerBound(held[i]), before[qsizetype(i)].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

int FileListModel::addBatch(const NameBatch& batch, quint32 generation) {
    if (generation != m_stampedGeneration) {
        m_stampedGeneration = generation;
        m_stamped = 0;
    }
    std::vector<Slot> added;
    added.reserve(batch.size());
    for (const NameBatch::Name& name : batch.names()) {
        const std::string_view raw = batch.raw(name);
        if (const qint64 known = m_store->find(raw, name.hash); known >= 0) {
            Record& record = m_store->record(quint32(known));
            if (record.seen != generation) {
                record.seen = generation;
                ++m_stamped;
            }
            continue;
        }
        const NameKey key = batch.key(name);
        const quint32 id =
            m_store->add(raw, key.lower ? std::string_view() : key.bytes, name.marked, name.hash);
        m_store->record(id).seen = generation;
        ++m_stamped;
        added.push_back(Slot{name.prefix.high, name.prefix.low, id});
    }
    // The batch came sorted, and so are the names picked from it.
    const int count = int(added.size());
    if (count == 0)
        return 0;
    m_rowedUpTo = std::numeric_limits<quint32>::max();
    if (m_staged.empty()) {
        m_staged = std::move(added);
    } else {
        std::vector<Slot> merged(m_staged.size() + added.size());
        std::merge(m_staged.begin(), m_staged.end(), added.begin(), added.end(), merged.begin(),
                   [this](const Slot& a, const Slot& b) { return lessSlot(a, b); });
        m_staged.swap(merged);
    }
    return count;
}

int FileListModel::stagedCount() const {
    return int(m_staged.size());
}

void FileListModel::commitStaged() {
    if (m_staged.empty())
        return;
    std::vector<Slot> staged;
    staged.swap(m_staged);
    insertSlots(std::move(staged));
}

bool FileListModel::appendBatch(const NameBatch& batch, quint32 generation, quint32 firstId) {
    if (m_store->size() != firstId || m_store->dead() != 0 || !m_staged.empty())
        return false;
    if (generation != m_stampedGeneration) {
        m_stampedGeneration = generation;
        m_stamped = 0;
    }
    for (const NameBatch::Name& name : batch.names()) {
        const NameKey key = batch.key(name);
        const quint32 id = m_store->add(batch.raw(name), key.lower ? std::string_view() : key.bytes,
                                        name.marked, name.hash);
        m_store->record(id).seen = generation;
        ++m_stamped;
    }
    return true;
}

bool FileListModel::adoptRows(std::unique_ptr<std::vector<NameRow>> rows,
                              std::unique_ptr<std::vector<NameRow>> marked) {
    if (m_store->dead() != 0 || !m_staged.empty() || rows->size() > m_store->size() ||
        rows->size() < m_rows->size())
        return false;
    if (m_rows->empty()) {
        beginResetModel();
        m_rows = std::move(rows);
        m_marked = std::shared_ptr<std::vector<Slot>>(std::move(marked));
        m_rowedUpTo = quint32(m_rows->size());
        endResetModel();
        return true;
    }
    replaceRows([&] {
        m_spareRows = std::move(m_rows);
        m_rows = std::move(rows);
        m_marked = std::shared_ptr<std::vector<Slot>>(std::move(marked));
        m_rowedUpTo = quint32(m_rows->size());
    });
    return true;
}

void FileListModel::stageUnrowed() {
    // Entries appended after the last rows adopted: their own rows, merged from here on.
    if (m_rowedUpTo == std::numeric_limits<quint32>::max())
        return;
    std::vector<Slot> unrowed;
    for (quint32 id = std::max<quint32>(m_rowedUpTo, quint32(m_rows->size())); id < m_store->size();
         ++id) {
        if (m_store->record(id).flags & filelist::Dead)
            continue;
        const KeyPrefix prefix = keyPrefix(m_store->key(id));
        unrowed.push_back(Slot{prefix.high, prefix.low, id});
    }
    m_rowedUpTo = std::numeric_limits<quint32>::max();
    std::sort(unrowed.begin(), unrowed.end(),
              [this](const Slot& a, const Slot& b) { return lessSlot(a, b); });
    std::vector<Slot> merged(m_staged.size() + unrowed.size());
    std::merge(m_staged.begin(), m_staged.end(), unrowed.begin(), unrowed.end(), merged.begin(),
               [this](const Slot& a, const Slot& b) { return lessSlot(a, b); });
    m_staged.swap(merged);
}

void FileListModel::squeeze() {
    m_spareRows.reset();
    m_staged.shrink_to_fit();
    compactIfWasteful();
}

void FileListModel::reserve(qint64 entries) {
    m_store->reserve(size_t(std::max<qint64>(entries, 0)));
}

void FileListModel::setMarkRule(MarkRule rule) {
    m_markRule = std::move(rule);
    auto marked = std::make_shared<std::vector<Slot>>();
    for (const Slot& s : *m_rows) {
        Record& record = m_store->record(s.id);
        const bool mark = m_markRule && m_markRule(m_store->shown(s.id));
        record.flags = quint8((record.flags & ~filelist::Marked) | (mark ? filelist::Marked : 0));
        if (mark)
            marked->push_back(s);
    }
    m_marked = std::move(marked);
}

std::shared_ptr<const MarkedNames> FileListModel::markedNames() const {
    return std::make_shared<MarkedNames>(m_marked, m_store);
}

} // namespace zelvorin

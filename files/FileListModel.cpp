#include "FileListModel.h"

#include "FileIcons.h"
#include "LosslessNames.h"

#include <algorithm>

namespace zelvorin {

namespace {

std::string_view view(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

} // namespace

FileListEntry FileListEntry::fromRaw(QByteArray raw) {
    FileListEntry entry;
    entry.name = platform::displayName(raw);
    entry.key = entry.name.toCaseFolded();
    entry.raw = std::move(raw);
    return entry;
}

FileListModel::FileListModel(QObject* parent) : QAbstractListModel(parent) {}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return QVariant();
    const FileListEntry& entry = *m_entries[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return entry.name;
    case RawNameRole:
        return entry.raw;
    case IconIndexRole:
        return m_showIcons ? iconIndex(index.row()) : -1;
    default:
        return QVariant();
    }
}

bool FileListModel::less(const FileListEntry& a, const FileListEntry& b) {
    const int byKey = QString::compare(a.key, b.key, Qt::CaseSensitive);
    if (byKey != 0)
        return byKey < 0;
    const int byName = QString::compare(a.name, b.name, Qt::CaseSensitive);
    if (byName != 0)
        return byName < 0;
    return a.raw < b.raw;
}

QStringList FileListModel::names() const {
    QStringList list;
    list.reserve(count());
    for (const auto& entry : m_entries)
        list.append(entry->name);
    return list;
}

int FileListModel::find(const QString& name) const {
    if (name.isEmpty())
        return -1;
    FileListEntry probe;
    probe.key = name.toCaseFolded();
    // The run of entries with an equal key starts at the first entry not less than it.
    auto it = std::lower_bound(
        m_entries.begin(), m_entries.end(), probe.key,
        [](const std::unique_ptr<FileListEntry>& e, const QString& key) { return e->key < key; });
    int firstFolded = -1;
    for (; it != m_entries.end() && (*it)->key == probe.key; ++it) {
        const int row = int(it - m_entries.begin());
        if ((*it)->name == name)
            return row;
        if (firstFolded < 0 && (*it)->name.compare(name, Qt::CaseInsensitive) == 0)
            firstFolded = row;
    }
    return firstFolded;
}

FileListEntry* FileListModel::known(std::string_view raw) const {
    const auto found = m_index.find(raw);
    return found == m_index.end() ? nullptr : found->second;
}

int FileListModel::findRaw(const QByteArray& raw) const {
    const FileListEntry* entry = known(view(raw));
    if (entry == nullptr)
        return -1;
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), entry,
                                     [](const std::unique_ptr<FileListEntry>& e,
                                        const FileListEntry* probe) { return less(*e, *probe); });
    return it != m_entries.end() && it->get() == entry ? int(it - m_entries.begin()) : -1;
}

int FileListModel::iconIndex(int row) const {
    FileListEntry& entry = *m_entries[size_t(row)];
    if (!entry.iconLooked) {
        entry.icon = FileIcons::instance().indexForName(entry.name);
        entry.iconLooked = true;
    }
    return entry.icon;
}

void FileListModel::setShowIcons(bool show) {
    m_showIcons = show;
}

void FileListModel::clear() {
    if (m_entries.empty())
        return;
    beginResetModel();
    m_index.clear();
    m_entries.clear();
    endResetModel();
}

void FileListModel::removeRows(const std::vector<int>& rows) {
    if (rows.empty())
        return;
    size_t runs = 1;
    for (size_t i = 1; i < rows.size(); ++i)
        runs += rows[i] != rows[i - 1] + 1 ? 1 : 0;
    // Scattered removals (a new mask) are one pass over the list, not one shift per run.
    if (runs > 16) {
        beginResetModel();
        std::vector<char> drop(m_entries.size(), 0);
        for (const int row : rows) {
            drop[size_t(row)] = 1;
            m_index.erase(view(m_entries[size_t(row)]->raw));
        }
        size_t kept = 0;
        for (size_t row = 0; row < m_entries.size(); ++row) {
            if (!drop[row])
                m_entries[kept++] = std::move(m_entries[row]);
        }
        m_entries.resize(kept);
        endResetModel();
        return;
    }
    // From the end, one run of neighbouring rows at a time.
    size_t end = rows.size();
    while (end > 0) {
        size_t begin = end - 1;
        while (begin > 0 && rows[begin - 1] == rows[begin] - 1)
            --begin;
        const int first = rows[begin];
        const int last = rows[end - 1];
        beginRemoveRows(QModelIndex(), first, last);
        for (int row = first; row <= last; ++row)
            m_index.erase(view(m_entries[size_t(row)]->raw));
        m_entries.erase(m_entries.begin() + first, m_entries.begin() + last + 1);
        endRemoveRows();
        end = begin;
    }
}

int FileListModel::sortedPosition(const FileListEntry& entry) const {
    return int(std::lower_bound(m_entries.begin(), m_entries.end(), &entry,
                                [](const std::unique_ptr<FileListEntry>& e,
                                   const FileListEntry* probe) { return less(*e, *probe); }) -
               m_entries.begin());
}

void FileListModel::addEntries(std::vector<FileListEntry> entries) {
    if (entries.empty())
        return;
    std::sort(entries.begin(), entries.end(), less);
    // A few new names go in one by one so that views keep their selection and scroll
    // position; many go in with one merge.
    if (!m_entries.empty() && entries.size() <= 64) {
        for (FileListEntry& entry : entries) {
            auto owned = std::make_unique<FileListEntry>(std::move(entry));
            const int row = sortedPosition(*owned);
            beginInsertRows(QModelIndex(), row, row);
            m_index.emplace(view(owned->raw), owned.get());
            m_entries.insert(m_entries.begin() + row, std::move(owned));
            endInsertRows();
        }
        return;
    }
    beginResetModel();
    const size_t old = m_entries.size();
    m_entries.reserve(old + entries.size());
    m_index.reserve(old + entries.size());
    for (FileListEntry& entry : entries) {
        auto owned = std::make_unique<FileListEntry>(std::move(entry));
        m_index.emplace(view(owned->raw), owned.get());
        m_entries.push_back(std::move(owned));
    }
    std::inplace_merge(m_entries.begin(), m_entries.begin() + qsizetype(old), m_entries.end(),
                       lessPointer);
    endResetModel();
}

} // namespace zelvorin

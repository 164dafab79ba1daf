// The entries of a file list: raw name, display name and sort key, kept sorted without
// regard to case, with a hash index by raw name so that a re-read costs one look-up per
// name instead of a scan. Icons are looked up on first drawing and kept on the entry.
#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QString>

#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zelvorin {

struct FileListEntry {
    QByteArray raw; // the name as the folder holds it
    QString name;   // as shown
    QString key;    // case-folded name: the sort key
    int icon = -1;  // icon index; -1 until first drawn
    bool iconLooked = false;
    quint32 seen = 0; // the re-read that last found it

    static FileListEntry fromRaw(QByteArray raw);
};

class FileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { RawNameRole = Qt::UserRole + 1, IconIndexRole };

    explicit FileListModel(QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    int count() const { return int(m_entries.size()); }
    const FileListEntry& at(int row) const { return *m_entries[size_t(row)]; }
    bool contains(std::string_view raw) const { return m_index.count(raw) != 0; }
    // The entry of a raw name, or null; for marking entries during a re-read.
    FileListEntry* known(std::string_view raw) const;
    // A fresh stamp for FileListEntry::seen.
    quint32 nextGeneration() { return ++m_generation; }
    QStringList names() const;

    // The row of a name: the exact name first, else the first equal without regard to
    // case; -1 when absent.
    int find(const QString& name) const;
    int findRaw(const QByteArray& raw) const;

    // Looks the row's icon up once and keeps it.
    int iconIndex(int row) const;
    void setShowIcons(bool show);

    void clear();
    // Removes the rows (ascending), in runs, keeping the others in place.
    void removeRows(const std::vector<int>& rows);
    // Adds entries, each at its sorted place; many at once are merged in one pass.
    void addEntries(std::vector<FileListEntry> entries);

    static bool less(const FileListEntry& a, const FileListEntry& b);
    static bool lessPointer(const std::unique_ptr<FileListEntry>& a,
                            const std::unique_ptr<FileListEntry>& b) {
        return less(*a, *b);
    }

private:
    int sortedPosition(const FileListEntry& entry) const;

    // Entries live at fixed addresses, so the index and a re-read's marks stay valid
    // while rows move, and sorting swaps pointers only.
    std::vector<std::unique_ptr<FileListEntry>> m_entries;
    std::unordered_map<std::string_view, FileListEntry*> m_index; // by raw name
    quint32 m_generation = 0;
    bool m_showIcons = true;
};

} // namespace zelvorin

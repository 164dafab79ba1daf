// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The entries of a file list, kept sorted without regard to case (see FileNameKeys.h). A
// folder of a million names has to fit in memory and stay quick to merge into, so the
// names live in one arena and every other structure holds small integers: the rows are
// entry numbers with their key prefixes, a hash index finds an entry by its raw name, and
// an entry's record holds where its name is, its icon and the re-read that last found it.
// Icons are looked up on first drawing and kept on the entry.
//
// Entries can be marked by a rule the owner gives (the window marks gallery images); the
// marked entries are kept in list order beside the rows, so that a page of them costs its
// own entries, never the whole list.
#pragma once

#include "FileNameKeys.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace zelvorin {

namespace filelist {
class Store;
using Slot = NameRow;
} // namespace filelist

// One row as callers see it, made when asked for.
struct FileListEntry {
    QByteArray raw; // the name as the folder holds it
    QString name;   // as shown
    int icon = -1;  // icon index; -1 until first drawn
    bool iconLooked = false;
    bool marked = false;
};

// The marked entries of a list as they were when asked for: later changes of the list
// leave it as it is. Reading it costs only the entries read.
class MarkedNames {
public:
    MarkedNames(std::shared_ptr<const std::vector<filelist::Slot>> marked,
                std::shared_ptr<const filelist::Store> store);
    qint64 count() const;
    // As a path text that keeps the name's bytes (see platform/LosslessNames.h), so that
    // whoever opens or addresses it reaches the file; not for showing.
    QString name(qint64 index) const;
    QByteArray rawName(qint64 index) const;

private:
    std::shared_ptr<const std::vector<filelist::Slot>> m_slots;
    std::shared_ptr<const filelist::Store> m_store;
};

class FileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { RawNameRole = Qt::UserRole + 1, IconIndexRole };
    // Whether a shown name is marked; called from the threads that read folders.
    using MarkRule = std::function<bool(const QString& name)>;

    explicit FileListModel(QObject* parent);
    ~FileListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    int count() const;
    FileListEntry at(int row) const;
    QByteArray rawName(int row) const;
    QString displayName(int row) const;
    bool contains(std::string_view raw) const;
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

    // A re-read: a fresh stamp; each batch stamps the names it finds listed already and
    // stages the others; staged names become rows, each at its sorted place, when they are
    // committed; then the rows left unstamped go. Staging lets a large read make rows a
    // few times a second instead of once a batch: each time costs the whole list.
    quint32 nextGeneration() { return ++m_generation; }
    // Returns the number of names staged.
    int addBatch(const NameBatch& batch, quint32 generation);
    int stagedCount() const;
    void commitStaged();
    // A first read whose reader orders the names itself: the batch's names become entries
    // firstId, firstId + 1, ... without becoming rows; rows come whole from the reader
    // (adoptRows), so the list never merges a million rows itself. False, with nothing
    // added, when the numbers would not match (entries were removed or added meanwhile);
    // then stageUnrowed() stages the entries no rows hold and the read goes on by merging.
    bool appendBatch(const NameBatch& batch, quint32 generation, quint32 firstId);
    // Rows for entries 0 to rows.size() - 1 in order, and the marked ones among them.
    bool adoptRows(std::unique_ptr<std::vector<NameRow>> rows,
                   std::unique_ptr<std::vector<NameRow>> marked);
    void stageUnrowed();
    void removeUnseen(quint32 generation);
    // Room for this many entries, so a large read does not grow the index step by step.
    void reserve(qint64 entries);
    // A read has ended: memory kept for the next merge is given back.
    void squeeze();

    void setMarkRule(MarkRule rule);
    const MarkRule& markRule() const { return m_markRule; }
    std::shared_ptr<const MarkedNames> markedNames() const;

private:
    const filelist::Slot& slot(int row) const;
    bool lessSlot(const filelist::Slot& a, const filelist::Slot& b) const;
    int lowerBound(const filelist::Slot& probe) const;
    // Runs `replace`, which swaps in new rows holding the same entries and more, with the
    // views' selection and current row following their entries.
    void replaceRows(const std::function<void()>& replace);
    std::vector<filelist::Slot>& writableMarked();
    void insertSlots(std::vector<filelist::Slot> added);
    void mergeMarked(const std::vector<filelist::Slot>& added);
    void dropRecords(const std::vector<int>& rows);
    void compactIfWasteful();

    std::shared_ptr<filelist::Store> m_store;
    std::unique_ptr<std::vector<filelist::Slot>> m_rows;
    // The rows before the last merge, whose memory the next merge fills.
    std::unique_ptr<std::vector<filelist::Slot>> m_spareRows;
    // Names added and not yet rows, sorted.
    std::vector<filelist::Slot> m_staged;
    // While rows come whole from a reader: the entries below this number have rows; the
    // greatest number when the list merges its rows itself.
    quint32 m_rowedUpTo = 0;
    // Shared with the MarkedNames handed out; copied before a change while it is shared.
    std::shared_ptr<std::vector<filelist::Slot>> m_marked;
    MarkRule m_markRule;
    quint32 m_generation = 0;
    // Rows stamped with m_stampedGeneration, so a read that found them all removes none
    // without looking at each.
    quint32 m_stampedGeneration = 0;
    size_t m_stamped = 0;
    bool m_showIcons = true;
};

} // namespace zelvorin

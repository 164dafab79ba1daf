// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One read of a folder that serves everything a folder change needs: the file list's
// entries, the folder list's subfolders and the folder monitor's first level of watches.
// The first entries are read at once on the calling thread, so a folder of a few thousand
// entries is complete before start() returns and its lists are filled as they always
// were; a larger one is read on by a worker thread, which hands its names over in sorted
// batches while the window stays responsive.
#pragma once

#include "ProgramServices.h"

#include "FileKinds.h"
#include "FileListModel.h"
#include "FileMask.h"

#include <QByteArray>
#include <QObject>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace zelvorin {

namespace platform {
class SharedSubfolders;
}
struct FolderSnapshot;
class WorkerPool;

// Which entries a file type lets into a list, by their attributes.
struct ListingRule {
    explicit ListingRule(FileKinds kinds);
    bool admits(quint32 attributes) const {
        if ((attributes & excluded) != 0)
            return false;
        return normal || (attributes & search) != 0;
    }
    quint32 search = 0;
    quint32 excluded = 0;
    bool normal = true;
    // Read-only decides nothing when both read-only and normal files are wanted; only
    // then is the per-entry check skipped.
    bool checkReadOnly = false;
};

// What a file list takes from a read: the entries its rule admits whose names its mask
// finds, each marked by its mark rule. Copied into the reading thread.
struct ListingFilter {
    FileMask mask;
    ListingRule rule{FileKind::Normal};
    FileListModel::MarkRule mark;
};

// A batch of names as the reader hands it over, and now and then the rows of all names
// handed over so far when the reader orders them itself.
struct NameDelivery {
    std::shared_ptr<const NameBatch> batch;
    quint32 firstId = 0; // the entry number of the batch's first name (rows built by the reader)
    std::unique_ptr<std::vector<NameRow>> rows;
    std::unique_ptr<std::vector<NameRow>> marked;
};

class FolderListing : public QObject, public std::enable_shared_from_this<FolderListing> {
    Q_OBJECT
public:
    struct Subfolder {
        QByteArray name;
        bool link = false; // a symbolic link to a folder
    };

    // The first `headLimit` entries are read on the calling thread; a larger folder is
    // read on by a job of `pool`.
    FolderListing(QByteArray folder, WorkerPool* pool, int headLimit = DefaultFolderHeadLimit);
    // A listing of what a worker read already (a folder that may not answer): start()
    // hands it all over at once.
    static std::shared_ptr<FolderListing> fromSnapshot(const FolderSnapshot& snapshot);
    // Tells the worker to stop; never waits for it.
    ~FolderListing() override;

    const QByteArray& folder() const { return m_folder; }
    // The file list's part of the read; without one, only subfolders are gathered.
    // Before start() only.
    void setFileFilter(ListingFilter filter);
    bool hasFileFilter() const;
    // For a list that starts empty: the reader numbers the names 0, 1, ... in the order it
    // hands them over and merges them into rows itself, so the list only takes the rows
    // (see FileListModel::appendBatch). Before start() to switch on; any time to stop.
    void setBuildsRows(bool builds);

    void start();
    bool started() const { return m_started; }
    bool isFinished() const { return m_finished; }
    // 0, or the errno value that stopped the read.
    int error() const;

    // The oldest batch not taken yet (sorted), if any; one at a time, so that a receiver
    // can let the event loop run between two.
    std::optional<NameDelivery> takeBatch();
    bool hasBatches() const;
    // The folder's subfolders (links to folders included); complete once finished.
    const std::vector<Subfolder>& subfolders() const { return m_subfolders; }
    // The subfolders, symbolic links left out, for a folder monitor's thread.
    std::shared_ptr<const platform::SharedSubfolders> sharedSubfolders() const;
    // Entries read so far, and a rough count of all (0 when unknown), for a progress note.
    qint64 entriesRead() const;
    qint64 estimatedEntries() const;

signals:
    // Batches wait for takeBatches(); raised on the thread that made the listing.
    void batchesReady();
    // The read ended (after the last batchesReady); batches may still wait to be taken.
    void finished();

private:
    struct State;
    Q_INVOKABLE void deliver();

    QByteArray m_folder;
    WorkerPool* m_pool = nullptr;
    int m_headLimit = DefaultFolderHeadLimit;
    std::shared_ptr<State> m_state;
    // The entries of a snapshot, taken instead of reading the folder.
    std::shared_ptr<const std::vector<std::pair<QByteArray, quint32>>> m_snapshot;
    std::vector<Subfolder> m_subfolders;
    bool m_started = false;
    bool m_finished = false;
};

} // namespace zelvorin

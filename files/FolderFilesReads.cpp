// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The file list's reads: a folder read in batches (in the background past its first
// entries), and the names a folder monitor reports looked at one by one.
#include "FolderFiles.h"

#include "FileListModel.h"
#include "FileMask.h"
#include "FolderAnswers.h"
#include "FolderListing.h"
#include "LosslessNames.h"
#include "RawFolderReader.h"

#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <string_view>

namespace zelvorin {

namespace {

// The sorted position at which an added entry makes the listing count as long.
constexpr int LongListingPosition = 100;

// How often a long read makes rows of the names it has read.
constexpr int RowsIntervalMs = 250;

// Past this many symbolic links a full re-read costs about what looking each up does.
constexpr int LinkBound = 2000;

platform::ReadOnlyCheck readOnlyCheck(const ListingRule& rule) {
    return rule.checkReadOnly ? platform::ReadOnlyCheck::Check : platform::ReadOnlyCheck::Skip;
}

std::string_view view(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

} // namespace

bool FolderFiles::isReading() const {
    return m_listing != nullptr || m_question != 0;
}

void FolderFiles::reread() {
    readFileNames();
}

void FolderFiles::setBusy(Busy busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    emit busyChanged(busy);
}

void FolderFiles::cancelRead() {
    if (!m_listing)
        return;
    disconnect(m_listing.get(), nullptr, this, nullptr);
    m_listing.reset();
    setBusy(Busy::None);
}

void FolderFiles::readFileNames(std::shared_ptr<FolderListing> listing, bool fresh) {
    if (m_readsHeld)
        return; // the settings are kept; the owner reads once it has set them all
    ++m_readCount;
    emit readStarted(m_folderBytes);
    if (m_question != 0) {
        m_answers->forget(m_question);
        m_question = 0;
    }
    if (!listing && m_answers->mayBlock(m_folderBytes)) {
        const QByteArray folder = m_folderBytes;
        m_question =
            m_answers->ask(folder, [this, folder, fresh](std::optional<FolderSnapshot> snapshot) {
                m_question = 0;
                if (folder != m_folderBytes)
                    return;
                if (!snapshot) {
                    m_lastReadError = ETIMEDOUT;
                    emit failed(folderNotAnsweringText(m_folder));
                    return;
                }
                startRead(FolderListing::fromSnapshot(*snapshot), fresh);
            });
        return;
    }
    startRead(std::move(listing), fresh);
}

void FolderFiles::startRead(std::shared_ptr<FolderListing> listing, bool fresh) {
    // A read under way gives way; the selection it was to put back stays asked for.
    const QByteArray keep = m_listing && !m_keepRaw.isEmpty() ? m_keepRaw
                            : selectedRow() >= 0              ? m_model->rawName(selectedRow())
                                                              : QByteArray();
    cancelRead();
    const FileMask mask(m_mask);
    if (listing && (listing->started() || (!mask.isEmpty() && listing->hasFileFilter())))
        listing.reset(); // someone else's part of it: this list reads for itself
    if (!listing && !mask.isEmpty())
        listing =
            std::make_shared<FolderListing>(m_folderBytes, m_pool, m_answers->access().headLimit);

    const bool updating = m_updating;
    m_updating = true;
    if (fresh || m_model->count() == 0) {
        // Another folder: none of the old entries belongs to it (and an empty list starts
        // afresh, so its reader can number the entries).
        m_model->clear();
    }
    m_keepRaw = keep;
    m_toldOnArrival.clear();
    m_linkNames.clear();
    m_readGeneration = m_model->nextGeneration();
    // A list that starts empty takes its rows whole from the reader.
    m_rowsFromReader = m_model->count() == 0 && m_model->stagedCount() == 0;
    m_lastReadMask = m_mask;
    m_lastReadKinds = m_kinds;
    m_readLong = false;
    m_updating = updating;
    if (!listing) {
        // An empty mask lists nothing, and needs no read.
        finishRead();
        return;
    }
    listing->setFileFilter({mask, ListingRule(m_kinds), m_model->markRule()});
    listing->setBuildsRows(m_rowsFromReader);
    m_listing = listing;
    connect(listing.get(), &FolderListing::batchesReady, this, &FolderFiles::takeBatches);
    connect(listing.get(), &FolderListing::finished, this, &FolderFiles::takeBatches);
    m_inReadStart = true;
    listing->start();
    m_inReadStart = false;
    // The read goes on in the background: the window is usable, so the long listing's
    // wait cursor gives way to the busy one.
    if (m_listing && m_busy == Busy::Holding)
        setBusy(Busy::Background);
}

void FolderFiles::showLongListing() {
    if (m_readLong)
        return;
    m_readLong = true;
    ++m_busyCursorCount;
    setBusy(m_inReadStart ? Busy::Holding : Busy::Background);
}

void FolderFiles::takeBatches() {
    m_takeScheduled = false;
    if (!m_listing)
        return;
    const bool updating = m_updating;
    m_updating = true;
    // One batch a turn of the event loop, so input and painting go on between two; the
    // start of a read that ends at once takes them all, as a small folder always did.
    for (bool first = true; first || m_inReadStart; first = false) {
        std::optional<NameDelivery> delivery = m_listing->takeBatch();
        if (!delivery)
            break;
        const NameBatch& batch = *delivery->batch;
        for (const QByteArray& link : batch.links)
            m_linkNames.insert(link);
        const int before = m_model->count() + m_model->stagedCount();
        if (before == 0)
            m_model->reserve(m_listing->estimatedEntries());
        const auto mergeFromNowOn = [this] {
            // The entries no longer match the reader's numbers (one was removed meanwhile):
            // rows are merged here from now on.
            m_rowsFromReader = false;
            m_listing->setBuildsRows(false);
            m_model->stageUnrowed();
        };
        if (m_rowsFromReader && !m_model->appendBatch(batch, m_readGeneration, delivery->firstId))
            mergeFromNowOn();
        if (!m_rowsFromReader)
            m_model->addBatch(batch, m_readGeneration);
        else if (delivery->rows &&
                 !m_model->adoptRows(std::move(delivery->rows), std::move(delivery->marked)))
            mergeFromNowOn();
        const int after = m_model->count() + m_model->stagedCount();
        if (before <= LongListingPosition && after > LongListingPosition)
            showLongListing();
    }
    const bool more = m_listing->hasBatches();
    const bool last = !more && m_listing->isFinished();
    // Rows are made from the staged names a few times a second: each time costs the
    // length of the list, in the merge and in the view's layout. A short list costs little,
    // and the first rows and the last are made at once.
    const int rows = m_model->count();
    if (m_rowsFromReader) {
        // The reader's rows arrive on their own.
    } else if (m_inReadStart || last || rows == 0 ||
               rows + m_model->stagedCount() <= LayoutBatchRows || !m_sinceRows.isValid() ||
               m_sinceRows.elapsed() >= RowsIntervalMs) {
        m_model->commitStaged();
        m_sinceRows.start();
    }
    m_updating = updating;
    selectArrived();
    if (!m_listing)
        return; // a file that arrived and was told of started another read
    if (!m_inReadStart)
        emit readProgress(m_listing->entriesRead(), m_listing->estimatedEntries());
    if (more) {
        if (!m_takeScheduled) {
            m_takeScheduled = true;
            QMetaObject::invokeMethod(this, &FolderFiles::takeBatches, Qt::QueuedConnection);
        }
    } else if (last) {
        finishRead();
    } else if (m_model->stagedCount() > 0 && !m_rowsTimerPending) {
        // Names staged while the worker reads on: rows are made at the latest then.
        m_rowsTimerPending = true;
        QTimer::singleShot(RowsIntervalMs, this, [this] {
            m_rowsTimerPending = false;
            if (!m_listing)
                return;
            const bool updating = m_updating;
            m_updating = true;
            m_model->commitStaged();
            m_sinceRows.start();
            m_updating = updating;
            selectArrived();
        });
    }
}

void FolderFiles::selectArrived() {
    if (!m_keepRaw.isEmpty() && selectedRow() < 0) {
        const int row = m_model->findRaw(m_keepRaw);
        if (row >= 0) {
            selectRow(row);
            m_keepRaw.clear();
        }
    }
    if (!m_pendingName.isEmpty()) {
        const int row = m_model->find(m_pendingName);
        if (row >= 0) {
            m_pendingName.clear();
            selectRow(row);
            m_toldOnArrival = m_model->rawName(row);
            tell();
        }
    }
}

void FolderFiles::finishRead() {
    const std::shared_ptr<FolderListing> listing = m_listing;
    cancelRead();
    const int error = listing ? listing->error() : 0;
    m_lastReadError = error;
    const bool updating = m_updating;
    m_updating = true;
    m_model->commitStaged();
    if (error != 0) {
        // The folder cannot be read (gone, or no permission): nothing listed.
        m_model->clear();
        m_linkNames.clear();
    } else {
        m_model->removeUnseen(m_readGeneration);
    }
    m_model->squeeze();
    if (!m_keepRaw.isEmpty() && selectedRow() < 0)
        selectRow(m_model->findRaw(m_keepRaw));
    m_keepRaw.clear();
    // A file asked for that never arrived is not there: nothing is selected.
    m_pendingName.clear();
    m_updating = updating;
    const int selected = selectedRow();
    if (m_toldOnArrival.isEmpty() || selected < 0 || m_model->rawName(selected) != m_toldOnArrival)
        tell();
    m_toldOnArrival.clear();
    emit readFinished();
    if (std::exchange(m_fullRefreshAfterRead, false)) {
        m_namesAfterRead.reset();
        refreshKeepingSelection();
    } else if (m_namesAfterRead) {
        const QSet<QByteArray> names = std::move(*m_namesAfterRead);
        m_namesAfterRead.reset();
        refreshNamesKeepingSelection(m_folderBytes, names);
    }
}

bool FolderFiles::recheckNames(const QSet<QByteArray>& names) {
    const platform::FolderProbe probe(m_folderBytes);
    if (probe.error() != 0 || m_linkNames.size() > LinkBound)
        return false;
    const FileMask mask(m_mask);
    const ListingRule rule(m_kinds);
    NameBatch added;
    std::vector<QByteArray> dropped;
    QSet<QByteArray> links = m_linkNames;
    const FileListModel::MarkRule& mark = m_model->markRule();
    const auto look = [&](const QByteArray& name) {
        quint32 attributes = 0;
        const int found = probe.lookUp(name, readOnlyCheck(rule), &attributes);
        if (found != 0 && found != ENOENT)
            return false; // cannot tell: the full re-read decides
        if (found == 0 && (attributes & platform::LinkAttribute))
            links.insert(name);
        else
            links.remove(name);
        const bool known = m_model->contains(view(name));
        // As in the re-read: an entry already listed passed the unchanged mask before.
        const bool listed = found == 0 && !mask.isEmpty() && rule.admits(attributes) &&
                            (known || mask.foundRaw(view(name)));
        if (listed && !known)
            added.add(view(name), attributes, mark && mark(platform::displayName(name)));
        else if (!listed && known)
            dropped.push_back(name);
        return true;
    };
    for (const QByteArray& name : names) {
        if (!look(name))
            return false;
    }
    for (const QByteArray& name : std::as_const(m_linkNames)) {
        if (!names.contains(name) && !look(name))
            return false;
    }

    ++m_recheckCount;
    const bool updating = m_updating;
    m_updating = true;
    const QByteArray selectedRaw =
        selectedRow() >= 0 ? m_model->rawName(selectedRow()) : QByteArray();
    m_linkNames = std::move(links);
    std::vector<int> gone;
    gone.reserve(dropped.size());
    for (const QByteArray& name : dropped)
        gone.push_back(m_model->findRaw(name));
    std::sort(gone.begin(), gone.end());
    m_model->removeRows(gone);
    const int before = m_model->count();
    const bool long_ =
        before <= LongListingPosition && before + int(added.size()) > LongListingPosition;
    if (long_) {
        ++m_busyCursorCount;
        setBusy(Busy::Holding);
    }
    added.sort();
    m_model->addBatch(added, m_readGeneration);
    m_model->commitStaged();
    if (!selectedRaw.isEmpty())
        selectRow(m_model->findRaw(selectedRaw));
    if (long_)
        setBusy(Busy::None);
    m_updating = updating;
    tell();
    return true;
}

} // namespace zelvorin

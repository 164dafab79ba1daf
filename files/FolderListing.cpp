// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FolderListing.h"

#include "FolderAnswers.h"
#include "FolderWatcher.h"
#include "LosslessNames.h"
#include "RawFolderReader.h"
#include "WorkerPool.h"

#include <QElapsedTimer>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <deque>
#include <mutex>
#include <optional>

namespace zelvorin {

namespace {

// How often the worker hands its names over, and how many at most: each hand-over is one
// merge into the list on the user-interface thread, which costs the length of the list
// and the batch's own names, and has to stay well within a frame or two.
constexpr qint64 HandOverIntervalMs = 100;
constexpr size_t HandOverNames = 32768;
// How often rows built by the reader go along with a batch: each time the list takes a
// new set of rows, its view lays the whole list out again.
constexpr qint64 RowsIntervalMs = 250;
// Entries read between two looks at the clock and at the cancel mark.
constexpr int WorkerStep = 2048;

} // namespace

ListingRule::ListingRule(FileKinds kinds)
    : search(searchAttributeMask(kinds)),
      excluded(~searchAttributeMask(kinds) &
               (FileAttribute::Hidden | FileAttribute::System | FileAttribute::Directory)),
      normal(kinds.testFlag(FileKind::Normal)),
      checkReadOnly(!(kinds.testFlag(FileKind::ReadOnly) && kinds.testFlag(FileKind::Normal))) {}

struct FolderListing::State {
    // Set before the read starts; the reading thread's alone from then on.
    std::optional<ListingFilter> filter;
    std::unique_ptr<platform::FolderStream> stream;
    NameBatch current;
    std::vector<Subfolder> subfolders;
    double nameBytes = 0;
    std::shared_ptr<platform::SharedSubfolders> shared;

    // Rows built by the reader: every batch handed over is kept to compare names, each name
    // found by its number; rows and marked rows of all so far.
    std::atomic<bool> buildsRows{false};
    std::vector<std::shared_ptr<const NameBatch>> kept;
    std::vector<std::pair<const NameBatch*, quint32>> byNumber;
    std::vector<NameRow> rows;
    std::vector<NameRow> marked;
    std::vector<std::vector<NameRow>> runs;
    std::vector<std::vector<NameRow>> markedRuns;
    quint32 nextNumber = 0;
    QElapsedTimer sinceRows;

    std::atomic<bool> cancelled{false};
    std::atomic<qint64> read{0};
    std::atomic<qint64> estimate{0};

    std::mutex lock; // guards what follows
    FolderListing* receiver = nullptr;
    bool notifyPending = false;
    std::deque<NameDelivery> batches;
    std::vector<Subfolder> finalSubfolders;
    bool done = false;
    int error = 0;

    platform::ReadOnlyCheck readOnly() const {
        return filter && filter->rule.checkReadOnly ? platform::ReadOnlyCheck::Check
                                                    : platform::ReadOnlyCheck::Skip;
    }

    void take(std::string_view name, quint32 attributes) {
        read.store(read.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
        nameBytes += double(name.size());
        if (attributes & FileAttribute::Directory)
            subfolders.push_back({QByteArray(name.data(), qsizetype(name.size())),
                                  (attributes & platform::LinkAttribute) != 0});
        if (!filter)
            return;
        if (attributes & platform::LinkAttribute)
            current.links.emplace_back(name.data(), qsizetype(name.size()));
        if (!filter->rule.admits(attributes) || !filter->mask.foundRaw(name))
            return;
        const bool marked =
            filter->mark &&
            filter->mark(platform::displayName(QByteArray(name.data(), qsizetype(name.size()))));
        current.add(name, attributes, marked);
    }

    // Reads on; true while the folder has more.
    bool readSome(int limit) {
        const bool more =
            stream->read(limit, readOnly(), [this](std::string_view name, quint32 attributes) {
                take(name, attributes);
            });
        const qint64 count = read.load(std::memory_order_relaxed);
        if (count > 0)
            estimate = std::max(count, stream->estimatedEntries(nameBytes / double(count)));
        return more;
    }

    bool lessRow(const NameRow& a, const NameRow& b) const {
        if (a.high != b.high)
            return a.high < b.high;
        if (a.low != b.low)
            return a.low < b.low;
        const auto& [batchA, indexA] = byNumber[a.id];
        const auto& [batchB, indexB] = byNumber[b.id];
        const NameBatch::Name& nameA = batchA->names()[indexA];
        const NameBatch::Name& nameB = batchB->names()[indexB];
        return lessName(nameA.prefix, batchA->key(nameA), batchA->raw(nameA), nameB.prefix,
                        batchB->key(nameB), batchB->raw(nameB));
    }

    // Merges the runs waiting into the rows, pairwise so each name moves about log(runs)
    // times, then the result into the rows.
    void mergeRuns(std::vector<NameRow>& into, std::vector<std::vector<NameRow>>& runs) {
        const auto less = [this](const NameRow& a, const NameRow& b) { return lessRow(a, b); };
        while (runs.size() > 1) {
            std::vector<std::vector<NameRow>> next;
            for (size_t i = 0; i + 1 < runs.size(); i += 2) {
                std::vector<NameRow> merged(runs[i].size() + runs[i + 1].size());
                std::merge(runs[i].begin(), runs[i].end(), runs[i + 1].begin(), runs[i + 1].end(),
                           merged.begin(), less);
                next.push_back(std::move(merged));
            }
            if (runs.size() % 2 != 0)
                next.push_back(std::move(runs.back()));
            runs.swap(next);
        }
        if (runs.empty())
            return;
        std::vector<NameRow> merged(into.size() + runs.front().size());
        std::merge(into.begin(), into.end(), runs.front().begin(), runs.front().end(),
                   merged.begin(), less);
        into.swap(merged);
        runs.clear();
    }

    // `last`: the read's final batch, whose rows always go along.
    void handOver(bool last = false) {
        if (current.isEmpty() && current.links.empty() && !(last && buildsRows))
            return;
        current.sort();
        NameDelivery delivery;
        auto batch = std::make_shared<const NameBatch>(std::move(current));
        current = NameBatch();
        delivery.batch = batch;
        if (buildsRows) {
            // Ordered here, beside the reading, so that the list never merges a long list.
            // Each batch is a sorted run; the runs are merged into the rows only when rows
            // go along, so the whole list is merged a few times a second at most.
            delivery.firstId = nextNumber;
            std::vector<NameRow> added;
            std::vector<NameRow> addedMarked;
            added.reserve(batch->size());
            for (quint32 i = 0; i < batch->size(); ++i) {
                const NameBatch::Name& name = batch->names()[i];
                const NameRow row{name.prefix.high, name.prefix.low, nextNumber++};
                byNumber.emplace_back(batch.get(), i);
                added.push_back(row);
                if (name.marked)
                    addedMarked.push_back(row);
            }
            kept.push_back(batch);
            if (!added.empty())
                runs.push_back(std::move(added));
            if (!addedMarked.empty())
                markedRuns.push_back(std::move(addedMarked));
            // Rows go along a few times a second, and with the first and the last batch.
            if (last || !sinceRows.isValid() || sinceRows.elapsed() >= RowsIntervalMs) {
                mergeRuns(rows, runs);
                mergeRuns(marked, markedRuns);
                // The last rows are the reader's no longer: they go as they are.
                delivery.rows = last ? std::make_unique<std::vector<NameRow>>(std::move(rows))
                                     : std::make_unique<std::vector<NameRow>>(rows);
                delivery.marked = last ? std::make_unique<std::vector<NameRow>>(std::move(marked))
                                       : std::make_unique<std::vector<NameRow>>(marked);
                sinceRows.start();
            }
        }
        const std::lock_guard<std::mutex> guard(lock);
        batches.push_back(std::move(delivery));
    }

    void end(int readError) {
        handOver(true);
        // What the rows were compared by is not needed any more.
        kept.clear();
        byNumber.clear();
        byNumber.shrink_to_fit();
        rows = {};
        marked = {};
        std::vector<QByteArray> real;
        for (const Subfolder& folder : subfolders) {
            if (!folder.link)
                real.push_back(folder.name);
        }
        shared->publish(readError, std::move(real));
        const std::lock_guard<std::mutex> guard(lock);
        finalSubfolders = std::move(subfolders);
        error = readError;
        done = true;
    }

    // From the reading thread: the listing is told, once per pile of batches.
    void notify() {
        const std::lock_guard<std::mutex> guard(lock);
        if (receiver == nullptr || notifyPending)
            return;
        notifyPending = true;
        QMetaObject::invokeMethod(receiver, "deliver", Qt::QueuedConnection);
    }
};

FolderListing::FolderListing(QByteArray folder, WorkerPool* pool, int headLimit)
    : m_folder(std::move(folder)), m_pool(pool), m_headLimit(std::max(1, headLimit)),
      m_state(std::make_shared<State>()) {
    m_state->shared = std::make_shared<platform::SharedSubfolders>(m_folder);
    m_state->receiver = this;
}

std::shared_ptr<FolderListing> FolderListing::fromSnapshot(const FolderSnapshot& snapshot) {
    auto listing = std::make_shared<FolderListing>(snapshot.folder, nullptr);
    // The snapshot's entries stand in for the folder: start() takes them all at once.
    listing->m_state->error = snapshot.exists ? snapshot.listError : ENOENT;
    listing->m_snapshot =
        std::make_shared<const std::vector<std::pair<QByteArray, quint32>>>(snapshot.entries);
    return listing;
}

FolderListing::~FolderListing() {
    m_state->cancelled = true;
    const std::lock_guard<std::mutex> guard(m_state->lock);
    m_state->receiver = nullptr;
}

void FolderListing::setFileFilter(ListingFilter filter) {
    if (!m_started)
        m_state->filter = std::move(filter);
}

void FolderListing::setBuildsRows(bool builds) {
    if (!builds || !m_started)
        m_state->buildsRows = builds;
}

bool FolderListing::hasFileFilter() const {
    return m_state->filter.has_value();
}

int FolderListing::error() const {
    const std::lock_guard<std::mutex> guard(m_state->lock);
    return m_state->error;
}

qint64 FolderListing::entriesRead() const {
    return m_state->read.load(std::memory_order_relaxed);
}

qint64 FolderListing::estimatedEntries() const {
    return m_state->estimate.load(std::memory_order_relaxed);
}

std::shared_ptr<const platform::SharedSubfolders> FolderListing::sharedSubfolders() const {
    return m_state->shared;
}

std::optional<NameDelivery> FolderListing::takeBatch() {
    const std::lock_guard<std::mutex> guard(m_state->lock);
    if (m_state->batches.empty())
        return std::nullopt;
    NameDelivery delivery = std::move(m_state->batches.front());
    m_state->batches.pop_front();
    return delivery;
}

bool FolderListing::hasBatches() const {
    const std::lock_guard<std::mutex> guard(m_state->lock);
    return !m_state->batches.empty();
}

void FolderListing::start() {
    if (m_started)
        return;
    m_started = true;
    // A receiver may let go of the listing while it hears of it.
    const std::shared_ptr<FolderListing> self = weak_from_this().lock();
    State& state = *m_state;
    if (m_snapshot) {
        for (const auto& [name, attributes] : *m_snapshot)
            state.take(std::string_view(name.constData(), size_t(name.size())), attributes);
        state.end(state.error);
        deliver();
        return;
    }
    state.stream = std::make_unique<platform::FolderStream>(m_folder);
    if (!state.readSome(m_headLimit)) {
        state.end(state.stream->error());
        deliver();
        return;
    }
    // The first part now, so the rows on screen are there at once; the rest from a worker.
    state.handOver();
    deliver();
    std::shared_ptr<State> shared = m_state;
    m_pool->start([shared] {
        QElapsedTimer since;
        since.start();
        bool more = true;
        while (more && !shared->cancelled) {
            more = shared->readSome(WorkerStep);
            if (more && (since.elapsed() >= HandOverIntervalMs ||
                         shared->current.size() >= HandOverNames)) {
                shared->handOver();
                shared->notify();
                since.restart();
            }
        }
        if (shared->cancelled) {
            shared->shared->publish(ECANCELED, {});
            return;
        }
        shared->end(shared->stream->error());
        shared->notify();
    });
}

void FolderListing::deliver() {
    const std::shared_ptr<FolderListing> self = weak_from_this().lock();
    bool done = false;
    {
        const std::lock_guard<std::mutex> guard(m_state->lock);
        m_state->notifyPending = false;
        done = m_state->done;
        if (done && !m_finished)
            m_subfolders = std::move(m_state->finalSubfolders);
    }
    emit batchesReady();
    if (done && !m_finished) {
        m_finished = true;
        emit finished();
    }
}

} // namespace zelvorin

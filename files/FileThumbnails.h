// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Thumbnails for the rows of a file list, taken from the shared thumbnail cache or made
// there by worker threads: the rows on screen first, then a page below and a page above.
// The list never waits for them: a row shows its type icon until its thumbnail arrives.
// Showing another folder drops every request for the old one (a worker busy with one
// finishes it, and its result is thrown away).
#pragma once

#include "ThumbnailCache.h"

#include <QByteArray>
#include <QCache>
#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QSet>
#include <QThreadPool>

#include <atomic>
#include <mutex>

class QListView;
class QTimer;

namespace zelvorin {

class FileThumbnails : public QObject {
    Q_OBJECT
public:
    // The side of a thumbnail in the list, in logical pixels.
    static constexpr int DefaultSide = 64;

    // Follows the rows `view` shows; its model gives each row's raw name
    // (FileListModel::RawNameRole). Becomes a child of the view.
    explicit FileThumbnails(QListView* view, ThumbnailCache cache = ThumbnailCache());
    // Waits for the workers' current files (their results are dropped).
    ~FileThumbnails() override;

    int side() const { return DefaultSide; }

    // The folder of the rows' names (raw); another one drops what was asked and known.
    void setFolder(const QByteArray& folder);
    QByteArray folder() const { return m_folder; }

    // What to draw for a row: its thumbnail, or a null pixmap while there is none (not an
    // image, not readable, or not there yet).
    QPixmap pixmap(const QByteArray& raw) const;
    // Whether a name is one a thumbnail is asked for (an image type the program reads).
    static bool wantsThumbnail(const QByteArray& raw);

    // These names changed on disk: their thumbnails are looked at again.
    void forget(const QSet<QByteArray>& names);
    // Any name may have changed: the thumbnails shown stay until they are looked at again.
    void recheckAll();

    // Tests and benchmarks: whether every row on screen has its answer, and the tallies.
    bool visibleRowsDone() const;
    int madeCount() const { return m_made; }
    int foundCount() const { return m_found; }
    int failedCount() const { return m_failed; }
    int pixmapCount() const { return int(m_known.size()); }
    void setWorkerCount(int count) { m_pool.setMaxThreadCount(count); }

signals:
    // An answer for the name arrived (a thumbnail, or that there is none).
    void delivered(const QByteArray& raw);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Known {
        QPixmap pixmap;      // null: no thumbnail
        quint64 checked = 0; // the request generation it answers
    };
    void scheduleSoon();
    void schedule();
    bool isCurrent(const QByteArray& raw) const;
    void request(const QByteArray& raw);
    void deliver(quint64 epoch, quint64 generation, const QByteArray& raw, const QImage& image,
                 ThumbnailResult::Status status);
    std::pair<int, int> visibleRows() const;

    QPointer<QListView> m_view;
    const ThumbnailCache m_cache;
    QByteArray m_folder;
    QTimer* m_scheduleTimer = nullptr;
    QCache<QByteArray, Known> m_known;
    // Generations order requests against changes: an answer counts as current when it
    // was asked for after the last change of its name.
    quint64 m_generation = 0;
    quint64 m_recheckedAt = 0;
    QHash<QByteArray, quint64> m_changedAt;
    int m_made = 0;
    int m_found = 0;
    int m_failed = 0;
    // Shared with the workers: the folder's epoch (a request of another is dropped) and
    // the names a worker has taken up, which are not asked for again meanwhile.
    std::atomic<quint64> m_epoch{1};
    mutable std::mutex m_lock;
    QHash<QByteArray, quint64> m_started; // name -> generation of the request under way
    QThreadPool m_pool;                   // last, so its workers are done before the rest goes
};

} // namespace zelvorin

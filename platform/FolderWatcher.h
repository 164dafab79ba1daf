// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Change notification on one folder (and optionally everything below it) through inotify,
// with an eventfd as the stop event. One watcher serves one worker thread: the thread
// blocks in wait() until a change of a kind it asked for, or until another thread calls
// signalStop(). A watcher of one folder alone also gathers the names that changed in it,
// so that whoever shows the folder can look at those names again instead of all of them.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace zelvorin::platform {

// The kinds of change a watcher counts, with the values of the Windows flags the
// folder monitor's filter stores.
namespace ChangeKind {
inline constexpr quint32 FileName = 0x001;
inline constexpr quint32 DirName = 0x002;
inline constexpr quint32 Attributes = 0x004;
inline constexpr quint32 Size = 0x008;
inline constexpr quint32 LastWrite = 0x010;
inline constexpr quint32 LastAccess = 0x020;
inline constexpr quint32 Creation = 0x040;
inline constexpr quint32 Security = 0x100;
} // namespace ChangeKind

// Names of one folder reported changed, or `everything` when they cannot be told (the
// system's event queue overflowed, the folder itself changed, or there were so many that
// reading the folder again is cheaper).
struct ChangedNames {
    bool everything = false;
    QSet<QByteArray> names;

    bool isEmpty() const { return !everything && names.isEmpty(); }
    void merge(ChangedNames other, int bound);
    void add(const QByteArray& name, int bound);
    void setEverything() {
        everything = true;
        names.clear();
    }
};

// The subfolders of one folder as another reader of it found them, handed over to a
// watcher's thread so that the folder is walked once, not once more for its watches.
class SharedSubfolders {
public:
    explicit SharedSubfolders(QByteArray folder) : m_folder(std::move(folder)) {}
    const QByteArray& folder() const { return m_folder; }

    // Once, from any thread: the raw names of the subfolders (symbolic links left out), or
    // the errno value that stopped the read.
    void publish(int error, std::vector<QByteArray> names);
    // Waits until they are published or `stopped` says so; true with the names.
    bool wait(std::vector<QByteArray>& names, const std::function<bool()>& stopped) const;

private:
    const QByteArray m_folder;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_published;
    bool m_done = false;
    int m_error = 0;
    std::vector<QByteArray> m_names;
};

// Whether a watch error means the system's limit of watches is reached.
bool isWatchLimitError(int error);

class FolderWatcher {
public:
    // Past this many pending names a fresh read of the folder costs less than looking
    // each name up.
    static constexpr int DefaultNameBound = 2000;

    enum class WaitResult { Change, Stop, Error };

    FolderWatcher() = default;
    ~FolderWatcher();
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    // Makes the inotify instance, the stop event and the watch on `folder` itself; cheap,
    // so callers may run it on the user-interface thread. 0 or an errno value.
    int open(const QByteArray& folder, bool subtree, quint32 kinds);

    // Adds watches for every folder below the root (worker thread). Symbolic links are
    // never followed and each folder is watched once, so link loops end the walk. When
    // the system's watch limit is reached, the walk stops and gives a few watches back so
    // that the shown folders of other monitors can still be watched. The root's own
    // subfolders come from `root` when it is given for the same folder; `stopped` ends a
    // wait for them.
    void watchSubtree(const std::shared_ptr<const SharedSubfolders>& root = {},
                      const std::function<bool()>& stopped = {});

    // Blocks until a change of a counted kind, or the stop event. New folders below the
    // root get their watches here as they appear.
    WaitResult wait(int* error);

    // Any thread: wakes wait() with Stop.
    void signalStop();
    // Any thread: true while wait() blocks with nothing queued in the system, so no change
    // that happened before this call is still on its way.
    bool idle() const;

    // True when the watcher gathers changed names (a watch of one folder, not a subtree).
    bool collectsNames() const { return m_collectNames; }
    // Any thread: the names gathered since the last call, together with every event
    // still queued in the system, so that nothing that happened before the call is left
    // for later. A watcher that gathers no names answers `everything`.
    ChangedNames takeNames();
    // Tests: how many names may pend before they count as `everything`.
    void setNameBound(int bound) { m_nameBound = bound; }

    // True once this watcher met the system's watch limit.
    bool limitReached() const { return m_limitReached; }
    int watchCount() const { return int(m_paths.size()); }

    // Tests: pretend that the system allows only this many watches (-1: no pretence).
    void setWatchBudget(int budget) { m_budget = budget; }

    // The inotify mask for a set of kinds.
    static quint32 inotifyMask(quint32 kinds, bool subtree);
    // Whether an inotify event mask counts as a change of the given kinds.
    static bool counts(quint32 eventMask, quint32 kinds);

private:
    int addWatch(const QByteArray& path);
    void walk(const QByteArray& top, const SharedSubfolders* root = nullptr,
              const std::function<bool()>& stopped = {});
    // Reads every queued event; m_namesLock must be held. `worker` is false when another
    // thread drains the queue: only names are gathered then, the watch bookkeeping stays
    // with the worker. Returns -1 on a read error (errno in *error), else whether a
    // counted change was among the events.
    int readQueued(bool worker, int* error);
    void noteName(quint32 mask, int wd, const char* name, quint32 length);

    int m_inotify = -1;
    int m_stop = -1;
    // Set while wait() blocks in the system's poll; cleared the moment it wakes, before
    // it reads what woke it.
    std::atomic<bool> m_polling{false};
    int m_rootWatch = -1;
    int m_parentWatch = -1;
    QByteArray m_rootName;
    bool m_subtree = false;
    quint32 m_kinds = 0;
    quint32 m_mask = 0;
    int m_budget = -1;
    bool m_limitReached = false;
    QHash<int, QByteArray> m_paths; // watch descriptor -> folder
    QList<int> m_order;             // subtree watches in the order they were added
    bool m_collectNames = false;
    int m_nameBound = DefaultNameBound;
    std::mutex m_namesLock; // guards reading the queue and m_names
    ChangedNames m_names;
};

} // namespace zelvorin::platform

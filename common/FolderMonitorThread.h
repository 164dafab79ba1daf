// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The worker of a FolderMonitor: waits for inotify and hands each notification to the
// user-interface thread with a blocking call, so the next changes are read only after the
// last one was dealt with. A thread that has ended frees itself.
#pragma once

#include "FolderWatcher.h"

#include <QByteArray>
#include <QThread>

#include <atomic>
#include <memory>

namespace zelvorin {

class FolderMonitor;
class OnceWarning;

class FolderMonitorThread : public QThread {
    Q_OBJECT
public:
    // Opens the notification at once (on the calling thread); errorCode() tells whether
    // that worked. The subtree's watches are added later by the worker itself, the first
    // level from `rootSubfolders` when given (another reader's walk of the same folder).
    // Meeting the system's watch limit is told through `limitWarning`.
    FolderMonitorThread(const QByteArray& folder, bool subtree, quint32 filter, int watchBudget,
                        std::shared_ptr<OnceWarning> limitWarning,
                        std::shared_ptr<const platform::SharedSubfolders> rootSubfolders = {});
    ~FolderMonitorThread() override;

    int errorCode() const { return m_errorCode.load(); }
    // The waiting loop has ended (stopped, or the system refused to go on).
    bool loopEnded() const { return m_loopEnded.load(); }
    bool limitReached() const { return m_limitReached.load(); }
    int watchCount() const { return m_watchCount.load(); }
    // Any thread: the worker waits with nothing left to hand over.
    bool isIdle() const { return m_watcher.idle(); }

    // User-interface thread only.
    void attach(FolderMonitor* monitor);
    void detach();
    // Marks the thread to stop and signals its stop event; does not wait.
    void requestStop();

    // Any thread; see FolderWatcher::takeNames().
    platform::ChangedNames takeNames() { return m_watcher.takeNames(); }
    bool collectsNames() const { return m_watcher.collectsNames(); }
    // True when this thread watches exactly that folder, that way.
    bool watches(const QByteArray& folder, bool subtree, quint32 filter) const {
        return folder == m_folder && subtree == m_subtree && filter == m_filter;
    }

protected:
    void run() override;

private:
    Q_INVOKABLE void notify();
    void reportLimit();

    platform::FolderWatcher m_watcher;
    std::shared_ptr<const platform::SharedSubfolders> m_rootSubfolders;
    std::shared_ptr<OnceWarning> m_limitWarning;
    QByteArray m_folder;
    bool m_subtree = false;
    quint32 m_filter = 0;
    std::atomic<int> m_errorCode{0};
    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_attached{false};
    std::atomic<bool> m_loopEnded{false};
    std::atomic<bool> m_limitReached{false};
    std::atomic<int> m_watchCount{0};
    FolderMonitor* m_monitor = nullptr; // user-interface thread only
};

} // namespace zelvorin

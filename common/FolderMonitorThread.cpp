// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FolderMonitorThread.h"

#include "FolderMonitor.h"
#include "OnceWarning.h"

#include <utility>

namespace zelvorin {

using platform::FolderWatcher;

FolderMonitorThread::FolderMonitorThread(
    const QByteArray& folder, bool subtree, quint32 filter, int watchBudget,
    std::shared_ptr<OnceWarning> limitWarning,
    std::shared_ptr<const platform::SharedSubfolders> rootSubfolders)
    : m_rootSubfolders(std::move(rootSubfolders)), m_limitWarning(std::move(limitWarning)),
      m_folder(folder), m_subtree(subtree), m_filter(filter) {
    m_watcher.setWatchBudget(watchBudget);
    m_errorCode = m_watcher.open(folder, subtree, filter);
    // Whoever still points at the thread after it ended holds a QPointer.
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

FolderMonitorThread::~FolderMonitorThread() = default;

void FolderMonitorThread::attach(FolderMonitor* monitor) {
    m_monitor = monitor;
    m_attached = monitor != nullptr;
}

void FolderMonitorThread::detach() {
    m_attached = false;
    m_monitor = nullptr;
}

void FolderMonitorThread::requestStop() {
    m_stopRequested = true;
    m_watcher.signalStop();
}

void FolderMonitorThread::reportLimit() {
    if (m_watcher.limitReached() && !m_limitReached.exchange(true)) {
        QMetaObject::invokeMethod(
            this, [warning = m_limitWarning] { warning->warn(watchLimitText()); },
            Qt::QueuedConnection);
    }
    m_watchCount = m_watcher.watchCount();
}

void FolderMonitorThread::run() {
    if (m_subtree) {
        m_watcher.watchSubtree(m_rootSubfolders, [this] { return m_stopRequested.load(); });
        m_rootSubfolders.reset();
        reportLimit();
    }
    while (!m_stopRequested) {
        int error = 0;
        const FolderWatcher::WaitResult result = m_watcher.wait(&error);
        reportLimit();
        if (result == FolderWatcher::WaitResult::Error) {
            m_errorCode = error;
            break;
        }
        if (result == FolderWatcher::WaitResult::Stop || m_stopRequested)
            break;
        // The hand-over blocks until the user-interface thread has run the step. It can
        // never deadlock: that thread never waits for this one.
        if (m_attached)
            QMetaObject::invokeMethod(this, "notify", Qt::BlockingQueuedConnection);
    }
    m_loopEnded = true;
}

void FolderMonitorThread::notify() {
    if (m_monitor != nullptr && m_attached)
        m_monitor->noteChange();
}

} // namespace zelvorin

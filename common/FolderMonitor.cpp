// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FolderMonitor.h"

#include "FolderMonitorThread.h"
#include "LosslessNames.h"
#include "OnceWarning.h"
#include "RawFolderReader.h"

#include <QTimer>

#include <cerrno>
#include <cstring>
#include <utility>

namespace zelvorin {

using platform::FolderWatcher;

FolderMonitorError::FolderMonitorError(int code)
    : std::runtime_error(QStringLiteral("inotify error.  Code: %1.\n%2")
                             .arg(code)
                             .arg(QString::fromLocal8Bit(strerror(code)))
                             .toStdString()),
      m_code(code) {}

QString watchLimitText() {
    return QStringLiteral(
        "The system's limit of inotify watches is reached: the shown folder is still "
        "followed, but changes in some folders below it are not.");
}

FolderMonitor::FolderMonitor(QObject* parent, std::shared_ptr<OnceWarning> limitWarning)
    : QObject(parent),
      m_limitWarning(limitWarning ? std::move(limitWarning) : std::make_shared<OnceWarning>()) {}

FolderMonitor::~FolderMonitor() {
    stopThread();
    // A pending merge timer dies with the monitor (a child) without raising changed().
}

FolderMonitorThread* FolderMonitor::worker() const {
    return m_thread;
}

void FolderMonitor::setActive(bool active) {
    if (active != m_active)
        restart(active);
}

int FolderMonitor::delayTime() const {
    return m_timer != nullptr ? m_timer->interval() : m_delayTime;
}

void FolderMonitor::setDelayTime(int milliseconds) {
    if (m_timer != nullptr) {
        if (milliseconds <= 0) {
            delete m_timer; // the pending change is dropped
            m_timer = nullptr;
        } else {
            m_timer->setInterval(milliseconds);
        }
    }
    m_delayTime = milliseconds;
}

void FolderMonitor::setFilter(FolderChanges filter) {
    if (filter == m_filter)
        return;
    const FolderChanges old = m_filter;
    const bool wasActive = m_active;
    m_filter = filter;
    try {
        restart(m_active);
    } catch (const FolderMonitorError&) {
        m_filter = old;
        if (wasActive) {
            try {
                restart(true);
            } catch (const FolderMonitorError& again) {
                // The first error is the one the caller asked for; this one only leaves
                // the monitor inactive, and says why.
                qWarning("The folder monitor of %s cannot watch again: %s", qPrintable(m_folder),
                         again.what());
            }
        }
        throw;
    }
}

void FolderMonitor::setFolder(const QString& folder) {
    if (folder == m_folder)
        return;
    m_folder = folder;
    restart(m_active);
}

void FolderMonitor::setWatchesSubtree(bool subtree) {
    if (subtree == m_watchesSubtree)
        return;
    m_watchesSubtree = subtree;
    restart(m_active);
}

void FolderMonitor::setRootSubfolders(
    std::shared_ptr<const platform::SharedSubfolders> subfolders) {
    m_rootSubfolders = std::move(subfolders);
}

void FolderMonitor::gather(FolderMonitorThread* thread) {
    if (thread != nullptr)
        m_changed.merge(thread->takeNames(), FolderWatcher::DefaultNameBound);
}

void FolderMonitor::stopThread() {
    // One read of the guarded pointer: GCC 14 cannot tell that repeated reads agree, and
    // warned of a store through a null pointer.
    if (FolderMonitorThread* thread = m_thread) {
        thread->detach();
        thread->requestStop();
        if (thread->collectsNames()) {
            if (m_retired)
                gather(m_retired);
            gather(thread);
            m_retired = thread;
        }
    }
    m_thread = nullptr;
}

std::optional<QSet<QByteArray>> FolderMonitor::takeChangedNames() {
    // A worker that ended by itself and was freed took its names along.
    if (m_active && !m_thread)
        m_namesUnknown = true;
    gather(m_thread);
    gather(m_retired);
    platform::ChangedNames taken = std::move(m_changed);
    m_changed = platform::ChangedNames();
    const bool unknown = m_namesUnknown;
    // With no watch left in place, nothing vouches for the names from here on.
    m_namesUnknown = !((m_thread && !m_thread->loopEnded()) || m_retired);
    if (unknown || taken.everything)
        return std::nullopt;
    return std::move(taken.names);
}

void FolderMonitor::restart(bool active) {
    stopThread();
    m_active = false;
    const QByteArray folder = platform::encodePath(m_folder);
    if (!active || !platform::folderExistsBytes(folder))
        return;
    // Taken once: a later restart cannot tell whether they are still current.
    std::shared_ptr<const platform::SharedSubfolders> subfolders =
        std::exchange(m_rootSubfolders, nullptr);
    if (subfolders && subfolders->folder() != folder)
        subfolders.reset();
    const quint32 kinds = quint32(m_filter.toInt());
    auto* thread = new FolderMonitorThread(folder, m_watchesSubtree, kinds, m_watchBudget,
                                           m_limitWarning, std::move(subfolders));
    if (const int code = thread->errorCode(); code != 0) {
        delete thread;
        if (platform::isWatchLimitError(code)) {
            // No watch left even for the folder itself: say so once, not on every folder
            // change, and stay inactive.
            m_limitWarning->warn(watchLimitText());
            return;
        }
        throw FolderMonitorError(code);
    }
    // The new watch is in place: whatever the stopped watch of the same folder read since
    // it stopped closes the gap between the two, and is kept for the next take like any
    // other change; without such a watch, the names cannot be complete.
    if (m_retired && m_retired->watches(folder, m_watchesSubtree, kinds)) {
        m_changed.merge(m_retired->takeNames(), FolderWatcher::DefaultNameBound);
    } else {
        m_namesUnknown = true;
        m_changed = platform::ChangedNames();
    }
    m_retired = nullptr;
    thread->attach(this);
    m_thread = thread;
    m_active = true;
    thread->start();
}

void FolderMonitor::noteChange() {
    if (m_delayTime <= 0) {
        emit changed();
        return;
    }
    if (m_timer != nullptr)
        return; // merged into the pending change
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(m_delayTime);
    connect(m_timer, &QTimer::timeout, this, &FolderMonitor::timerFired);
    m_timer->start();
}

bool FolderMonitor::isSettled() const {
    if (!m_active)
        return true;
    return m_timer == nullptr && m_thread && m_thread->isIdle();
}

void FolderMonitor::timerFired() {
    if (m_timer != nullptr) {
        m_timer->deleteLater();
        m_timer = nullptr;
    }
    emit changed();
}

} // namespace zelvorin

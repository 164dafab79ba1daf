#include "RxNotify.h"

#include "LosslessNames.h"
#include "RawFolderReader.h"

#include <QTimer>

#include <cerrno>
#include <cstring>
#include <utility>

using zelvorin::platform::FolderWatcher;

namespace zelvorin {

FolderMonitorError::FolderMonitorError(int code)
    : std::runtime_error(QStringLiteral("inotify error.  Code: %1.\n%2")
                             .arg(code)
                             .arg(QString::fromLocal8Bit(strerror(code)))
                             .toStdString()),
      m_code(code) {}

} // namespace zelvorin

TNotifyThread::TNotifyThread(
    const QByteArray& folder, bool subtree, quint32 filter, int watchBudget,
    std::shared_ptr<const zelvorin::platform::SharedSubfolders> rootSubfolders)
    : m_rootSubfolders(std::move(rootSubfolders)), m_folder(folder), m_subtree(subtree),
      m_filter(filter) {
    m_watcher.setWatchBudget(watchBudget);
    m_errorCode = m_watcher.open(folder, subtree, filter);
    // A thread that has ended frees itself; whoever still points at it holds a QPointer.
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

TNotifyThread::~TNotifyThread() = default;

void TNotifyThread::Attach(TRxFolderMonitor* monitor) {
    m_monitor = monitor;
    m_attached = monitor != nullptr;
}

void TNotifyThread::Detach() {
    m_attached = false;
    m_monitor = nullptr;
}

void TNotifyThread::RequestStop() {
    m_stopRequested = true;
    m_watcher.signalStop();
}

void TNotifyThread::ReportLimit() {
    if (m_watcher.limitReached() && !m_limitReached.exchange(true)) {
        QMetaObject::invokeMethod(
            this, [] { TRxFolderMonitor::WarnLimitOnce(); }, Qt::QueuedConnection);
    }
    m_watchCount = m_watcher.watchCount();
}

void TNotifyThread::run() {
    if (m_subtree) {
        m_watcher.watchSubtree(m_rootSubfolders, [this] { return m_stopRequested.load(); });
        m_rootSubfolders.reset();
        ReportLimit();
    }
    while (!m_stopRequested) {
        int error = 0;
        const FolderWatcher::WaitResult result = m_watcher.wait(&error);
        ReportLimit();
        if (result == FolderWatcher::WaitResult::Error) {
            m_errorCode = error;
            break;
        }
        if (result == FolderWatcher::WaitResult::Stop || m_stopRequested)
            break;
        // The hand-over blocks until the user-interface thread has run the step, so the
        // next changes are read only after the last one was dealt with. It can never
        // deadlock: that thread never waits for this one.
        if (m_attached)
            QMetaObject::invokeMethod(this, "Notify", Qt::BlockingQueuedConnection);
    }
    m_finished = true;
}

void TNotifyThread::Notify() {
    if (m_monitor != nullptr && m_attached)
        m_monitor->ChangeRoutine();
}

namespace {

TRxFolderMonitor::WarningHandler& warningHandler() {
    static TRxFolderMonitor::WarningHandler handler;
    return handler;
}

bool& limitWarned() {
    static bool warned = false;
    return warned;
}

} // namespace

TRxFolderMonitor::TRxFolderMonitor(QObject* parent) : QObject(parent) {}

TRxFolderMonitor::~TRxFolderMonitor() {
    StopThread();
    // A pending merge timer dies with the monitor (a child) without raising Change().
}

TRxFolderMonitor::WarningHandler TRxFolderMonitor::SetLimitWarningHandler(WarningHandler handler) {
    WarningHandler previous = std::move(warningHandler());
    warningHandler() = std::move(handler);
    return previous;
}

void TRxFolderMonitor::WarnLimitOnce() {
    if (limitWarned())
        return;
    limitWarned() = true;
    const QString text = QStringLiteral(
        "The system's limit of inotify watches is reached: the shown folder is still "
        "followed, but changes in some folders below it are not.");
    if (warningHandler())
        warningHandler()(text);
    else
        qWarning("%s", qPrintable(text));
}

void TRxFolderMonitor::ResetLimitWarningForTest() {
    limitWarned() = false;
}

void TRxFolderMonitor::SetActive(bool active) {
    if (m_loading) {
        if (active)
            m_activateAfterLoading = true;
        return;
    }
    if (active != m_active)
        Restart(active);
}

void TRxFolderMonitor::Loaded() {
    m_loading = false;
    if (m_activateAfterLoading) {
        m_activateAfterLoading = false;
        SetActive(true);
    }
}

int TRxFolderMonitor::DelayTime() const {
    return m_timer != nullptr ? m_timer->interval() : m_delayTime;
}

void TRxFolderMonitor::SetDelayTime(int milliseconds) {
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

void TRxFolderMonitor::SetFilter(TFileChangeFilters filter) {
    if (filter == m_filter)
        return;
    const TFileChangeFilters old = m_filter;
    const bool wasActive = m_active;
    m_filter = filter;
    try {
        Restart(m_active);
    } catch (...) {
        m_filter = old;
        if (wasActive) {
            try {
                Restart(true);
            } catch (...) {
            }
        }
        throw;
    }
}

void TRxFolderMonitor::SetFolderName(const QString& folder) {
    if (folder == m_folderName)
        return;
    m_folderName = folder;
    Restart(m_active);
}

void TRxFolderMonitor::SetMonitorSubtree(bool subtree) {
    if (subtree == m_monitorSubtree)
        return;
    m_monitorSubtree = subtree;
    Restart(m_active);
}

void TRxFolderMonitor::SetRootSubfolders(
    std::shared_ptr<const zelvorin::platform::SharedSubfolders> subfolders) {
    m_rootSubfolders = std::move(subfolders);
}

void TRxFolderMonitor::Gather(TNotifyThread* thread) {
    if (thread != nullptr)
        m_changed.merge(thread->TakeNames(), FolderWatcher::DefaultNameBound);
}

void TRxFolderMonitor::StopThread() {
    // One read of the guarded pointer: GCC 14 cannot tell that repeated reads agree, and
    // warned of a store through a null pointer.
    if (TNotifyThread* thread = m_thread) {
        thread->Detach();
        thread->RequestStop();
        if (thread->CollectsNames()) {
            if (m_retired)
                Gather(m_retired);
            Gather(thread);
            m_retired = thread;
        }
    }
    m_thread = nullptr;
}

std::optional<QSet<QByteArray>> TRxFolderMonitor::TakeChangedNames() {
    // A worker that ended by itself and was freed took its names along.
    if (m_active && !m_thread)
        m_namesUnknown = true;
    Gather(m_thread);
    Gather(m_retired);
    zelvorin::platform::ChangedNames taken = std::move(m_changed);
    m_changed = zelvorin::platform::ChangedNames();
    const bool unknown = m_namesUnknown;
    // With no watch left in place, nothing vouches for the names from here on.
    m_namesUnknown = !((m_thread && !m_thread->Finished()) || m_retired);
    if (unknown || taken.everything)
        return std::nullopt;
    return std::move(taken.names);
}

void TRxFolderMonitor::Restart(bool active) {
    StopThread();
    m_active = false;
    const QByteArray folder = zelvorin::platform::encodePath(m_folderName);
    if (!active || !zelvorin::platform::folderExistsBytes(folder))
        return;
    // Taken once: a later restart cannot tell whether they are still current.
    std::shared_ptr<const zelvorin::platform::SharedSubfolders> subfolders =
        std::exchange(m_rootSubfolders, nullptr);
    if (subfolders && subfolders->folder() != folder)
        subfolders.reset();
    auto* thread = new TNotifyThread(folder, m_monitorSubtree, quint32(m_filter.toInt()),
                                     m_watchBudget, std::move(subfolders));
    if (const int code = thread->ErrorCode(); code != 0) {
        delete thread;
        if (zelvorin::platform::isWatchLimitError(code)) {
            // No watch left even for the folder itself: say so once, not on every folder
            // change, and stay inactive.
            WarnLimitOnce();
            return;
        }
        throw zelvorin::FolderMonitorError(code);
    }
    // The new watch is in place: whatever the stopped watch of the same folder read since
    // it stopped closes the gap between the two, and is kept for the next take like any
    // other change; without such a watch, the names cannot be complete.
    if (m_retired && m_retired->Watches(folder, m_monitorSubtree, quint32(m_filter.toInt()))) {
        m_changed.merge(m_retired->TakeNames(), FolderWatcher::DefaultNameBound);
    } else {
        m_namesUnknown = true;
        m_changed = zelvorin::platform::ChangedNames();
    }
    m_retired = nullptr;
    thread->Attach(this);
    m_thread = thread;
    m_active = true;
    thread->start();
}

void TRxFolderMonitor::ChangeRoutine() {
    if (m_delayTime <= 0) {
        emit Change();
        return;
    }
    if (m_timer != nullptr)
        return; // merged into the pending change
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(m_delayTime);
    connect(m_timer, &QTimer::timeout, this, &TRxFolderMonitor::TimerFired);
    m_timer->start();
}

bool TRxFolderMonitor::Settled() const {
    if (!m_active)
        return true;
    return m_timer == nullptr && m_thread && m_thread->Idle();
}

void TRxFolderMonitor::TimerFired() {
    if (m_timer != nullptr) {
        m_timer->deleteLater();
        m_timer = nullptr;
    }
    emit Change();
}

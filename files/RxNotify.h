// Folder monitoring: TRxFolderMonitor follows changes on disk below a folder through a
// worker thread (TNotifyThread) that waits for inotify and hands each notification to the
// user-interface thread with a blocking call. Notifications within DelayTime merge into
// one Change(). Stopping never waits for the worker: the monitor detaches from it and the
// thread frees itself when it ends, so a monitor may be stopped and restarted from inside
// its own Change() handler.
//
// A monitor of one folder (not a subtree) also tells which names changed since its
// handler last asked (TakeChangedNames), so that the handler can look at those alone. It
// answers "everything" whenever it cannot be sure the names are complete: after a start
// that was not continuous with the watching before it, an overflow of the system's event
// queue, a change of the folder itself, or too many names.
#pragma once

#include <QByteArray>
#include <QFlags>
#include <QObject>
#include <QPointer>
#include <QThread>

#include "FolderWatcher.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

class QTimer;
class TRxFolderMonitor;

enum class TFileChangeFilter : quint32 {
    fnFileName = 0x001,
    fnDirName = 0x002,
    fnAttributes = 0x004,
    fnSize = 0x008,
    fnLastWrite = 0x010,
    fnLastAccess = 0x020,
    fnCreation = 0x040,
    fnSecurity = 0x100
};
Q_DECLARE_FLAGS(TFileChangeFilters, TFileChangeFilter)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFileChangeFilters)

namespace zelvorin {

// Raised when the system refuses a change notification; the message is
// "inotify error.  Code: <errno>." followed by a line with the system's text.
class FolderMonitorError : public std::runtime_error {
public:
    explicit FolderMonitorError(int code);
    QString message() const { return QString::fromUtf8(what()); }
    int code() const { return m_code; }

private:
    int m_code = 0;
};

} // namespace zelvorin

class TNotifyThread : public QThread {
    Q_OBJECT
public:
    // Opens the notification at once (on the calling thread); ErrorCode() tells whether
    // that worked. The subtree's watches are added later by the worker itself, the first
    // level from `rootSubfolders` when given (another reader's walk of the same folder).
    TNotifyThread(const QByteArray& folder, bool subtree, quint32 filter, int watchBudget,
                  std::shared_ptr<const zelvorin::platform::SharedSubfolders> rootSubfolders = {});
    ~TNotifyThread() override;

    int ErrorCode() const { return m_errorCode.load(); }
    bool Finished() const { return m_finished.load(); }
    bool LimitReached() const { return m_limitReached.load(); }
    int WatchCount() const { return m_watchCount.load(); }
    // Any thread: the worker waits with nothing left to hand over.
    bool Idle() const { return m_watcher.idle(); }

    // User-interface thread only.
    void Attach(TRxFolderMonitor* monitor);
    void Detach();
    // Marks the thread to stop and signals its stop event; does not wait.
    void RequestStop();

    // Any thread; see FolderWatcher::takeNames().
    zelvorin::platform::ChangedNames TakeNames() { return m_watcher.takeNames(); }
    bool CollectsNames() const { return m_watcher.collectsNames(); }
    // True when this thread watches exactly that folder, that way.
    bool Watches(const QByteArray& folder, bool subtree, quint32 filter) const {
        return folder == m_folder && subtree == m_subtree && filter == m_filter;
    }

protected:
    void run() override;

private:
    Q_INVOKABLE void Notify();
    void ReportLimit();

    zelvorin::platform::FolderWatcher m_watcher;
    std::shared_ptr<const zelvorin::platform::SharedSubfolders> m_rootSubfolders;
    QByteArray m_folder;
    bool m_subtree = false;
    quint32 m_filter = 0;
    std::atomic<int> m_errorCode{0};
    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_attached{false};
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_limitReached{false};
    std::atomic<int> m_watchCount{0};
    TRxFolderMonitor* m_monitor = nullptr; // user-interface thread only
};

class TRxFolderMonitor : public QObject {
    Q_OBJECT
public:
    explicit TRxFolderMonitor(QObject* parent);
    ~TRxFolderMonitor() override;

    bool Active() const { return m_active; }
    // Raises zelvorin::FolderMonitorError when the system refuses the notification; a
    // folder that does not exist leaves the monitor inactive without an error.
    void SetActive(bool active);
    int DelayTime() const;
    void SetDelayTime(int milliseconds);
    TFileChangeFilters Filter() const { return m_filter; }
    void SetFilter(TFileChangeFilters filter);
    QString FolderName() const { return m_folderName; }
    void SetFolderName(const QString& folder);
    bool MonitorSubtree() const { return m_monitorSubtree; }
    void SetMonitorSubtree(bool subtree);
    // The subfolders of FolderName as a read of the folder finds them: the next start
    // (only that one) takes the first level of its watches from them instead of walking
    // the folder again; ignored when they are of another folder.
    void SetRootSubfolders(std::shared_ptr<const zelvorin::platform::SharedSubfolders> subfolders);

    // While loading, SetActive(true) only asks for activation once Loaded() runs.
    void BeginLoading() { m_loading = true; }
    void Loaded();

    // The raw names in FolderName that changed since the last call; none when the whole
    // folder must be read again. Asked by the Change() handler, before or after it
    // switches the monitor off.
    std::optional<QSet<QByteArray>> TakeChangedNames();

    // True when nothing that happened on disk before this call can still raise Change():
    // the worker waits with nothing queued and no merge timer is pending (an inactive
    // monitor is always settled). Tests wait for this instead of for a time.
    bool Settled() const;
    // A change waits for its merge timer.
    bool HasPendingChange() const { return m_timer != nullptr; }

    // Tests: the worker currently attached (null when none) and a pretended watch limit.
    TNotifyThread* Thread() const { return m_thread; }
    void SetWatchBudget(int budget) { m_watchBudget = budget; }

    // Where the one warning about the system's watch limit goes (default: qWarning).
    // Returns the previous handler.
    using WarningHandler = std::function<void(const QString&)>;
    static WarningHandler SetLimitWarningHandler(WarningHandler handler);
    // Gives the warning unless it was given before in this run.
    static void WarnLimitOnce();
    static void ResetLimitWarningForTest();

signals:
    // The change notification (the component's OnChange), in the user-interface thread.
    void Change();

private:
    friend class TNotifyThread;
    void Restart(bool active);
    void StopThread();
    void ChangeRoutine();
    void Gather(TNotifyThread* thread);
    void TimerFired();

    bool m_active = false;
    int m_delayTime = 0;
    TFileChangeFilters m_filter = TFileChangeFilter::fnFileName | TFileChangeFilter::fnDirName |
                                  TFileChangeFilter::fnSize | TFileChangeFilter::fnLastWrite;
    QString m_folderName;
    bool m_monitorSubtree = true;
    bool m_loading = false;
    bool m_activateAfterLoading = false;
    int m_watchBudget = -1;
    std::shared_ptr<const zelvorin::platform::SharedSubfolders> m_rootSubfolders;
    QPointer<TNotifyThread> m_thread;
    // The last thread stopped while it gathered names. Its watch stays in place until it
    // is freed, so what happened between its stop and the next start is still read
    // from it.
    QPointer<TNotifyThread> m_retired;
    // Changes gathered from threads and not yet taken.
    zelvorin::platform::ChangedNames m_changed;
    // Set while the watching has a gap since the last take (never started, started
    // afresh, or its worker gone): the names cannot be complete, though nothing is known
    // to have changed.
    bool m_namesUnknown = true;
    QTimer* m_timer = nullptr; // the pending merge timer, if any
};

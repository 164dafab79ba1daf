// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Folder monitoring: FolderMonitor follows changes on disk below a folder through a worker
// thread (FolderMonitorThread) that waits for inotify. Notifications within delayTime()
// merge into one changed(). Stopping never waits for the worker: the monitor detaches from
// it and the thread frees itself when it ends, so a monitor may be stopped and restarted
// from inside its own changed() handler.
//
// A monitor of one folder (not a subtree) also tells which names changed since its
// handler last asked (takeChangedNames), so that the handler can look at those alone. It
// answers "everything" whenever it cannot be sure the names are complete: after a start
// that was not continuous with the watching before it, an overflow of the system's event
// queue, a change of the folder itself, or too many names.
#pragma once

#include "FolderWatcher.h"

#include <QByteArray>
#include <QFlags>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

class QTimer;

namespace zelvorin {

class FolderMonitorThread;
class OnceWarning;

// The kinds of change a monitor counts (the values of platform::ChangeKind).
enum class FolderChange : quint32 {
    FileName = platform::ChangeKind::FileName,
    FolderName = platform::ChangeKind::DirName,
    Attributes = platform::ChangeKind::Attributes,
    Size = platform::ChangeKind::Size,
    LastWrite = platform::ChangeKind::LastWrite,
    LastAccess = platform::ChangeKind::LastAccess,
    Creation = platform::ChangeKind::Creation,
    Security = platform::ChangeKind::Security
};
Q_DECLARE_FLAGS(FolderChanges, FolderChange)
Q_DECLARE_OPERATORS_FOR_FLAGS(FolderChanges)

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

// The warning given when the system's limit of folder watches is reached.
QString watchLimitText();

class FolderMonitor : public QObject {
    Q_OBJECT
public:
    // Meeting the system's limit of watches is told once through `limitWarning` (shared by
    // the monitors that should tell it only once); without one, once by this monitor.
    explicit FolderMonitor(QObject* parent, std::shared_ptr<OnceWarning> limitWarning = {});
    ~FolderMonitor() override;

    bool isActive() const { return m_active; }
    // Raises FolderMonitorError when the system refuses the notification; a folder that
    // does not exist leaves the monitor inactive without an error.
    void setActive(bool active);
    int delayTime() const;
    // A delay of 0 or less while a change waits for its merge timer drops that change.
    void setDelayTime(int milliseconds);
    FolderChanges filter() const { return m_filter; }
    // When the restart with the new filter fails, the old one is put back (and watched
    // again when the monitor was active) and the first error is raised.
    void setFilter(FolderChanges filter);
    QString folder() const { return m_folder; }
    void setFolder(const QString& folder);
    bool watchesSubtree() const { return m_watchesSubtree; }
    void setWatchesSubtree(bool subtree);
    // The subfolders of folder() as a read of the folder finds them: the next start (only
    // that one) takes the first level of its watches from them instead of walking the
    // folder again; ignored when they are of another folder.
    void setRootSubfolders(std::shared_ptr<const platform::SharedSubfolders> subfolders);

    // The raw names in folder() that changed since the last call; none when the whole
    // folder must be read again. Asked by the changed() handler, before or after it
    // switches the monitor off.
    std::optional<QSet<QByteArray>> takeChangedNames();

    // True when nothing that happened on disk before this call can still raise changed():
    // the worker waits with nothing queued and no merge timer is pending (an inactive
    // monitor is always settled). Tests wait for this instead of for a time.
    bool isSettled() const;
    // A change waits for its merge timer.
    bool hasPendingChange() const { return m_timer != nullptr; }

    // Tests and benchmarks: the worker currently attached (null when none) and a
    // pretended watch limit.
    FolderMonitorThread* worker() const;
    void setWatchBudget(int budget) { m_watchBudget = budget; }

signals:
    // Something of the kinds in filter() changed, in the user-interface thread.
    void changed();

private:
    friend class FolderMonitorThread;
    void restart(bool active);
    void stopThread();
    // The worker's hand-over: raises changed() now, or once the merge timer fires.
    void noteChange();
    void gather(FolderMonitorThread* thread);
    void timerFired();

    bool m_active = false;
    int m_delayTime = 0;
    FolderChanges m_filter = FolderChange::FileName | FolderChange::FolderName |
                             FolderChange::Size | FolderChange::LastWrite;
    QString m_folder;
    bool m_watchesSubtree = true;
    int m_watchBudget = -1;
    std::shared_ptr<OnceWarning> m_limitWarning;
    std::shared_ptr<const platform::SharedSubfolders> m_rootSubfolders;
    QPointer<FolderMonitorThread> m_thread;
    // The last thread stopped while it gathered names. Its watch stays in place until it
    // is freed, so what happened between its stop and the next start is still read
    // from it.
    QPointer<FolderMonitorThread> m_retired;
    // Changes gathered from threads and not yet taken.
    platform::ChangedNames m_changed;
    // Set while the watching has a gap since the last take (never started, started
    // afresh, or its worker gone): the names cannot be complete, though nothing is known
    // to have changed.
    bool m_namesUnknown = true;
    QTimer* m_timer = nullptr; // the pending merge timer, if any
};

} // namespace zelvorin

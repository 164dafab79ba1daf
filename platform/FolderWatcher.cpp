// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FolderWatcher.h"

#include "RawFolderReader.h"

#include <QSet>

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <deque>
#include <vector>

namespace zelvorin::platform {

namespace {

// Watches handed back when the limit is met, so that a root watch of another monitor
// started right after this one still finds room.
constexpr int LimitHeadroom = 8;

constexpr quint32 NameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr quint32 SelfEvents = IN_DELETE_SELF | IN_MOVE_SELF;
// Every event that can change what a listing of the folder holds: an entry's existence,
// its kind or its permissions.
constexpr quint32 ListingEvents = NameEvents | IN_ATTRIB;

} // namespace

void ChangedNames::merge(ChangedNames other, int bound) {
    if (everything)
        return;
    if (other.everything) {
        setEverything();
        return;
    }
    if (names.isEmpty()) {
        names = std::move(other.names);
    } else {
        for (const QByteArray& name : std::as_const(other.names))
            names.insert(name);
    }
    if (names.size() > bound)
        setEverything();
}

void ChangedNames::add(const QByteArray& name, int bound) {
    if (everything)
        return;
    names.insert(name);
    if (names.size() > bound)
        setEverything();
}

void SharedSubfolders::publish(int error, std::vector<QByteArray> names) {
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        if (m_done)
            return;
        m_done = true;
        m_error = error;
        m_names = std::move(names);
    }
    m_published.notify_all();
}

bool SharedSubfolders::wait(std::vector<QByteArray>& names,
                            const std::function<bool()>& stopped) const {
    std::unique_lock<std::mutex> lock(m_lock);
    // The stop request of a watcher's thread is an eventfd, which a condition variable
    // cannot wait on; a short period lets the wait end soon after it.
    while (!m_done) {
        if (stopped && stopped())
            return false;
        m_published.wait_for(lock, std::chrono::milliseconds(20));
    }
    if (m_error != 0)
        return false;
    names = m_names;
    return true;
}

FolderWatcher::~FolderWatcher() {
    if (m_inotify >= 0)
        close(m_inotify);
    if (m_stop >= 0)
        close(m_stop);
}

quint32 FolderWatcher::inotifyMask(quint32 kinds, bool subtree) {
    quint32 mask = IN_ONLYDIR;
    if (kinds & (ChangeKind::FileName | ChangeKind::DirName))
        mask |= NameEvents | SelfEvents;
    if (kinds & ChangeKind::Creation)
        mask |= IN_CREATE;
    if (kinds & (ChangeKind::Size | ChangeKind::LastWrite))
        mask |= IN_MODIFY;
    if (kinds & (ChangeKind::Attributes | ChangeKind::Security | ChangeKind::LastWrite))
        mask |= IN_ATTRIB;
    if (kinds & ChangeKind::LastAccess)
        mask |= IN_ACCESS;
    if (subtree)
        mask |= IN_CREATE | IN_MOVED_TO | IN_DELETE_SELF;
    return mask;
}

bool FolderWatcher::counts(quint32 eventMask, quint32 kinds) {
    if (eventMask & IN_Q_OVERFLOW)
        return true;
    const bool folder = (eventMask & IN_ISDIR) != 0;
    if (eventMask & NameEvents) {
        if (kinds & (folder ? ChangeKind::DirName : ChangeKind::FileName))
            return true;
        if ((eventMask & IN_CREATE) && (kinds & ChangeKind::Creation))
            return true;
    }
    // The watched folder itself went away or moved: whatever shows it is out of date.
    if ((eventMask & SelfEvents) && (kinds & (ChangeKind::DirName | ChangeKind::FileName)))
        return true;
    if ((eventMask & IN_MODIFY) && !folder && (kinds & (ChangeKind::Size | ChangeKind::LastWrite)))
        return true;
    if ((eventMask & IN_ATTRIB) &&
        (kinds & (ChangeKind::Attributes | ChangeKind::Security | ChangeKind::LastWrite)))
        return true;
    if ((eventMask & IN_ACCESS) && (kinds & ChangeKind::LastAccess))
        return true;
    return false;
}

int FolderWatcher::open(const QByteArray& folder, bool subtree, quint32 kinds) {
    m_subtree = subtree;
    m_kinds = kinds;
    m_mask = inotifyMask(kinds, subtree);
    // A single folder's watch also hears the events it does not count, so that the
    // gathered names cover everything a fresh listing could differ by.
    m_collectNames = !subtree;
    if (m_collectNames)
        m_mask |= ListingEvents | SelfEvents;
    m_inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_inotify < 0)
        return errno;
    m_stop = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_stop < 0)
        return errno;
    if (m_budget == 0)
        return ENOSPC;
    m_rootWatch = inotify_add_watch(m_inotify, folder.constData(), m_mask);
    if (m_rootWatch < 0)
        return errno;
    m_paths.insert(m_rootWatch, folder);
    // A folder that is some process's current folder (this program keeps the shown
    // folder current) reports its own deletion only when the last user lets go of it, so
    // the deletion is also taken from the parent's side.
    QByteArray root = folder;
    while (root.size() > 1 && root.endsWith('/'))
        root.chop(1);
    const qsizetype slash = root.lastIndexOf('/');
    if (slash >= 0 && root != "/") {
        const QByteArray parent = slash == 0 ? QByteArray("/") : root.left(slash);
        m_rootName = root.mid(slash + 1);
        m_parentWatch = inotify_add_watch(m_inotify, parent.constData(),
                                          IN_DELETE | IN_MOVED_FROM | IN_ONLYDIR);
    }
    return 0;
}

bool isWatchLimitError(int error) {
    return error == ENOSPC;
}

int FolderWatcher::addWatch(const QByteArray& path) {
    if (m_limitReached)
        return ENOSPC;
    if (m_budget >= 0 && m_paths.size() >= m_budget) {
        errno = ENOSPC;
    } else {
        const int wd = inotify_add_watch(m_inotify, path.constData(), m_mask | IN_DONT_FOLLOW);
        if (wd >= 0) {
            if (!m_paths.contains(wd))
                m_order.append(wd);
            m_paths.insert(wd, path);
            return 0;
        }
    }
    const int error = errno;
    if (error == ENOSPC) {
        m_limitReached = true;
        for (int i = 0; i < LimitHeadroom && !m_order.isEmpty(); ++i) {
            const int wd = m_order.takeLast();
            inotify_rm_watch(m_inotify, wd);
            m_paths.remove(wd);
        }
    }
    return error;
}

void FolderWatcher::walk(const QByteArray& top, const SharedSubfolders* rootNames,
                         const std::function<bool()>& stopped) {
    // Breadth first, each folder once by device and inode; links are not followed, so
    // neither a link loop nor a bind mount of an ancestor runs forever.
    QSet<QPair<quint64, quint64>> seen;
    std::deque<QByteArray> pending{top};
    std::vector<QByteArray> names;
    while (!pending.empty() && !m_limitReached) {
        const QByteArray folder = std::move(pending.front());
        pending.pop_front();
        struct stat info {};
        // The root may be reached through a link (the caller chose it); below it, links
        // are never followed.
        const bool root = folder == m_paths.value(m_rootWatch);
        const int status =
            root ? stat(folder.constData(), &info) : lstat(folder.constData(), &info);
        if (status != 0 || !S_ISDIR(info.st_mode))
            continue;
        const QPair<quint64, quint64> key(info.st_dev, info.st_ino);
        if (seen.contains(key))
            continue;
        seen.insert(key);
        if (!root && addWatch(folder) != 0)
            continue;
        const bool shared = root && rootNames != nullptr && rootNames->folder() == folder;
        if (shared) {
            if (!rootNames->wait(names, stopped)) {
                if (stopped && stopped())
                    return;
                if (readRawSubfolders(folder, false, names) != 0)
                    continue;
            }
        } else if (readRawSubfolders(folder, false, names) != 0) {
            continue;
        }
        for (const QByteArray& name : names)
            pending.push_back(folder + '/' + name);
    }
}

void FolderWatcher::watchSubtree(const std::shared_ptr<const SharedSubfolders>& root,
                                 const std::function<bool()>& stopped) {
    if (m_subtree && m_rootWatch >= 0)
        walk(m_paths.value(m_rootWatch), root.get(), stopped);
}

void FolderWatcher::signalStop() {
    if (m_stop >= 0) {
        const quint64 one = 1;
        [[maybe_unused]] const ssize_t written = write(m_stop, &one, sizeof(one));
    }
}

ChangedNames FolderWatcher::takeNames() {
    ChangedNames taken;
    if (!m_collectNames || m_inotify < 0) {
        taken.everything = true;
        return taken;
    }
    std::lock_guard<std::mutex> lock(m_namesLock);
    int error = 0;
    if (readQueued(false, &error) < 0)
        m_names.setEverything();
    taken = std::move(m_names);
    m_names = ChangedNames();
    return taken;
}

void FolderWatcher::noteName(quint32 mask, int wd, const char* name, quint32 length) {
    if (mask & IN_Q_OVERFLOW) {
        m_names.setEverything();
        return;
    }
    if (wd == m_parentWatch && m_parentWatch != m_rootWatch) {
        if ((mask & (IN_DELETE | IN_MOVED_FROM)) && length > 0 && m_rootName == QByteArray(name))
            m_names.setEverything();
        return;
    }
    if (wd != m_rootWatch)
        return;
    // The folder itself went, moved, was unmounted or had its permissions changed: what
    // can be listed from it is not a matter of single names any more.
    if ((mask & (IN_IGNORED | IN_UNMOUNT | SelfEvents)) || (length == 0 && (mask & IN_ATTRIB))) {
        m_names.setEverything();
        return;
    }
    if (length > 0 && (mask & ListingEvents))
        m_names.add(QByteArray(name), m_nameBound);
}

int FolderWatcher::readQueued(bool worker, int* error) {
    alignas(inotify_event) char buffer[64 * 1024];
    bool counted = false;
    for (;;) {
        const ssize_t length = read(m_inotify, buffer, sizeof(buffer));
        if (length < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN)
                return counted ? 1 : 0;
            if (error != nullptr)
                *error = errno;
            return -1;
        }
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += ssize_t(sizeof(inotify_event) + event->len);
            if (m_collectNames)
                noteName(event->mask, event->wd, event->name, event->len);
            if (event->wd == m_parentWatch && m_parentWatch != m_rootWatch) {
                if ((event->mask & (IN_DELETE | IN_MOVED_FROM)) && event->len > 0 &&
                    m_rootName == QByteArray(event->name) &&
                    (m_kinds & (ChangeKind::DirName | ChangeKind::FileName)))
                    counted = true;
                continue;
            }
            if (event->mask & IN_IGNORED) {
                if (worker) {
                    m_paths.remove(event->wd);
                    m_order.removeOne(event->wd);
                }
                continue;
            }
            // Only changes inside the watched folders count, not the watched
            // folders' own events below the root (their parents report those).
            if (event->wd != m_rootWatch && (event->mask & SelfEvents) && event->len == 0)
                continue;
            if (counts(event->mask, m_kinds))
                counted = true;
            if (worker && m_subtree && (event->mask & IN_ISDIR) &&
                (event->mask & (IN_CREATE | IN_MOVED_TO)) && event->len > 0) {
                const auto parent = m_paths.constFind(event->wd);
                if (parent != m_paths.constEnd())
                    walk(*parent + '/' + QByteArray(event->name));
            }
        }
    }
}

bool FolderWatcher::idle() const {
    if (!m_polling || m_inotify < 0)
        return false;
    pollfd queued{m_inotify, POLLIN, 0};
    return poll(&queued, 1, 0) == 0;
}

FolderWatcher::WaitResult FolderWatcher::wait(int* error) {
    for (;;) {
        pollfd fds[2] = {{m_inotify, POLLIN, 0}, {m_stop, POLLIN, 0}};
        m_polling = true;
        const int polled = poll(fds, 2, -1);
        m_polling = false;
        if (polled < 0) {
            if (errno == EINTR)
                continue;
            if (error != nullptr)
                *error = errno;
            return WaitResult::Error;
        }
        if (fds[1].revents != 0)
            return WaitResult::Stop;
        if (fds[0].revents & (POLLERR | POLLNVAL)) {
            if (error != nullptr)
                *error = EIO;
            return WaitResult::Error;
        }
        // Drain everything queued: a burst of changes becomes one notification. Another
        // thread taking the names may have drained the queue first; then this finds
        // nothing and waits again.
        int read = 0;
        {
            std::lock_guard<std::mutex> lock(m_namesLock);
            read = readQueued(true, error);
        }
        if (read < 0)
            return WaitResult::Error;
        if (read > 0)
            return WaitResult::Change;
    }
}

} // namespace zelvorin::platform

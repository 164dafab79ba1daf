// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Folders on volumes that may not answer (network and similar mounts) are asked in the
// background, and their answer is waited for only a limited time, so a dead server gives a
// message instead of a frozen window. Nothing waits meanwhile: the answer, or that there
// was none in time, arrives later as a call on the user-interface thread. Local folders
// are read directly.
#pragma once

#include "ProgramServices.h"
#include "WorkerPool.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QTimer;

namespace zelvorin {

// The message for a folder that does not answer.
QString folderNotAnsweringText(const QString& folder);

// What a folder change reads of a folder, gathered in one go.
struct FolderSnapshot {
    QByteArray folder;
    bool exists = false;
    bool isFile = false;
    // The existing folders from the root down to the folder itself.
    std::vector<QByteArray> existingLevels;
    std::vector<QByteArray> subfolders;
    // The entries as the file list reads them (read-only attribute included).
    int listError = 0;
    std::vector<std::pair<QByteArray, quint32>> entries;
};

// Reads the snapshot directly (blocking; this is what the worker runs).
FolderSnapshot readFolderSnapshot(const QByteArray& folder);

// An absolute, cleaned raw path: `path` as it stands or resolved against `base`.
QByteArray absoluteFolderBytes(const QByteArray& base, const QByteArray& path);

class FolderAnswers : public QObject {
    Q_OBJECT
public:
    // A folder's snapshot when it answered in time; nullopt when it did not.
    using Answer = std::function<void(std::optional<FolderSnapshot> snapshot)>;
    // What to read of the folder, in the worker (by default its snapshot).
    using Read = std::function<FolderSnapshot()>;

    FolderAnswers(WorkerPool* pool, FolderAccess access, QObject* parent);
    // Questions still open are dropped unanswered.
    ~FolderAnswers() override;

    // True when reading the (absolute) raw path may block for long: it lies on a network
    // volume, or the access's own rule says so.
    bool mayBlock(const QByteArray& path) const;
    const FolderAccess& access() const { return m_access; }

    // Asks `folder` in the background; `answer` runs on this object's thread once, within
    // the access's answer limit. Returns the question's number.
    quint64 ask(const QByteArray& folder, Answer answer, Read read = {});
    // The asker does not want the answer any more.
    void forget(quint64 question);
    bool isWaiting() const { return !m_open.isEmpty(); }

signals:
    // A question was opened while none was, or the last open one was closed.
    void waitingChanged(bool waiting);

private:
    struct Open {
        Answer answer;
        QTimer* timer = nullptr;
        std::shared_ptr<WorkerPool::Ticket> ticket;
    };
    struct Relay;
    void arrived(quint64 question, std::shared_ptr<FolderSnapshot> snapshot);
    void timedOut(quint64 question);
    std::optional<Open> close(quint64 question);

    WorkerPool* m_pool = nullptr;
    FolderAccess m_access;
    // The workers' way back: cleared when this object goes, so a read that returns late
    // reaches nothing.
    std::shared_ptr<Relay> m_relay;
    QHash<quint64, Open> m_open;
    quint64 m_lastQuestion = 0;
};

} // namespace zelvorin

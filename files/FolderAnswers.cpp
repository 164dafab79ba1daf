// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FolderAnswers.h"

#include "FileAttributes.h"
#include "LosslessNames.h"
#include "RawFolderReader.h"
#include "Volumes.h"

#include <QDir>
#include <QTimer>

#include <mutex>

namespace zelvorin {

struct FolderAnswers::Relay {
    std::mutex lock;
    FolderAnswers* receiver = nullptr;
};

QString folderNotAnsweringText(const QString& folder) {
    return QStringLiteral("The folder %1 does not answer (its network volume may be unreachable).")
        .arg(folder);
}

bool FolderAnswers::mayBlock(const QByteArray& path) const {
    if (m_access.mayBlock)
        return m_access.mayBlock(path);
    if (!path.startsWith('/'))
        return false;
    return platform::pathMayBlock(platform::openablePath(path));
}

QByteArray absoluteFolderBytes(const QByteArray& base, const QByteArray& path) {
    const QByteArray joined =
        path.startsWith('/') ? path : (base.endsWith('/') ? base : base + '/') + path;
    // Resolved by text: the folder cannot be asked before it proved to answer.
    QByteArray cleaned = platform::encodePath(QDir::cleanPath(platform::openablePath(joined)));
    return cleaned.isEmpty() ? QByteArray("/") : cleaned;
}

FolderSnapshot readFolderSnapshot(const QByteArray& folder) {
    FolderSnapshot snapshot;
    snapshot.folder = folder;
    snapshot.exists = platform::folderExistsBytes(folder);
    if (!snapshot.exists) {
        snapshot.isFile = platform::fileExistsBytes(folder);
        return snapshot;
    }
    QByteArray level;
    for (const QByteArray& part : folder.mid(1).split('/')) {
        if (part.isEmpty())
            continue;
        level += '/' + part;
        if (platform::folderExistsBytes(level))
            snapshot.existingLevels.push_back(level);
    }
    // One walk gives both the entries and the subfolders (links to folders included).
    snapshot.listError = platform::visitRawFolder(
        folder, platform::ReadOnlyCheck::Check, [&](std::string_view name, quint32 attributes) {
            QByteArray raw(name.data(), qsizetype(name.size()));
            if (attributes & FileAttribute::Directory)
                snapshot.subfolders.push_back(raw);
            snapshot.entries.emplace_back(std::move(raw), attributes);
        });
    return snapshot;
}

FolderAnswers::FolderAnswers(WorkerPool* pool, FolderAccess access, QObject* parent)
    : QObject(parent), m_pool(pool), m_access(std::move(access)),
      m_relay(std::make_shared<Relay>()) {
    m_relay->receiver = this;
}

FolderAnswers::~FolderAnswers() {
    {
        const std::lock_guard<std::mutex> guard(m_relay->lock);
        m_relay->receiver = nullptr;
    }
    for (const Open& open : std::as_const(m_open))
        m_pool->giveUp(open.ticket);
}

quint64 FolderAnswers::ask(const QByteArray& folder, Answer answer, Read read) {
    const quint64 question = ++m_lastQuestion;
    if (!read)
        read = [folder] { return readFolderSnapshot(folder); };
    Open open;
    open.answer = std::move(answer);
    open.timer = new QTimer(this);
    open.timer->setSingleShot(true);
    connect(open.timer, &QTimer::timeout, this, [this, question] { timedOut(question); });
    open.timer->start(m_access.answerLimitMs);
    open.ticket = m_pool->startMayBlock([relay = m_relay, question, folder,
                                         hook = m_access.beforeWorkerRead, read = std::move(read)] {
        if (hook)
            hook(folder);
        auto snapshot = std::make_shared<FolderSnapshot>(read());
        const std::lock_guard<std::mutex> guard(relay->lock);
        if (FolderAnswers* receiver = relay->receiver)
            QMetaObject::invokeMethod(
                receiver, [receiver, question, snapshot] { receiver->arrived(question, snapshot); },
                Qt::QueuedConnection);
    });
    const bool first = m_open.isEmpty();
    m_open.insert(question, std::move(open));
    if (first)
        emit waitingChanged(true);
    return question;
}

std::optional<FolderAnswers::Open> FolderAnswers::close(quint64 question) {
    const auto found = m_open.find(question);
    if (found == m_open.end())
        return std::nullopt;
    Open open = std::move(*found);
    m_open.erase(found);
    // Maybe in its own timeout.
    open.timer->stop();
    open.timer->deleteLater();
    if (m_open.isEmpty())
        emit waitingChanged(false);
    return open;
}

void FolderAnswers::forget(quint64 question) {
    if (const std::optional<Open> open = close(question))
        m_pool->giveUp(open->ticket);
}

void FolderAnswers::arrived(quint64 question, std::shared_ptr<FolderSnapshot> snapshot) {
    // A question given up or forgotten has no one waiting for it.
    if (const std::optional<Open> open = close(question))
        open->answer(std::move(*snapshot));
}

void FolderAnswers::timedOut(quint64 question) {
    if (const std::optional<Open> open = close(question)) {
        m_pool->giveUp(open->ticket);
        open->answer(std::nullopt);
    }
}

} // namespace zelvorin

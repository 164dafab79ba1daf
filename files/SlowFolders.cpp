#include "SlowFolders.h"

#include "LosslessNames.h"
#include "RawFolderReader.h"
#include "Volumes.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <cerrno>
#include <mutex>
#include <thread>

namespace zelvorin {

namespace {

int& answerLimit() {
    static int limit = DefaultFolderAnswerLimitMs;
    return limit;
}

MayBlockHook& mayBlockHook() {
    static MayBlockHook hook;
    return hook;
}

WorkerReadHook& workerReadHook() {
    static WorkerReadHook hook;
    return hook;
}

// Shared by the UI thread and one worker; the worker keeps it alive after an abandoned
// wait, and reaches the waiting loop only while the UI thread still has it.
struct WaitState {
    std::mutex mutex;
    QEventLoop* loop = nullptr;
    bool done = false;
};

} // namespace

int folderAnswerLimit() {
    return answerLimit();
}

void setFolderAnswerLimit(int milliseconds) {
    answerLimit() = milliseconds;
}

QString folderNotAnsweringText(const QString& folder) {
    return QStringLiteral("The folder %1 does not answer (its network volume may be unreachable).")
        .arg(folder);
}

FolderNotAnswering::FolderNotAnswering(const QString& folder)
    : FileControlError(folderNotAnsweringText(folder), ETIMEDOUT) {}

MayBlockHook setMayBlockHook(MayBlockHook hook) {
    MayBlockHook previous = std::move(mayBlockHook());
    mayBlockHook() = std::move(hook);
    return previous;
}

WorkerReadHook setWorkerReadHook(WorkerReadHook hook) {
    WorkerReadHook previous = std::move(workerReadHook());
    workerReadHook() = std::move(hook);
    return previous;
}

bool folderMayBlock(const QByteArray& path) {
    if (mayBlockHook())
        return mayBlockHook()(path);
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

bool runWithAnswerLimit(const QByteArray& path, std::function<void()> work) {
    auto state = std::make_shared<WaitState>();
    QEventLoop loop;
    state->loop = &loop;
    std::thread([state, path, hook = workerReadHook(), work = std::move(work)] {
        if (hook)
            hook(path);
        work();
        const std::lock_guard<std::mutex> lock(state->mutex);
        state->done = true;
        if (state->loop)
            QMetaObject::invokeMethod(state->loop, "quit", Qt::QueuedConnection);
    }).detach();

    QTimer::singleShot(answerLimit(), &loop, &QEventLoop::quit);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Timers and painting go on; input waits, so no second folder change can start.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    QApplication::restoreOverrideCursor();
    const std::lock_guard<std::mutex> lock(state->mutex);
    state->loop = nullptr;
    return state->done;
}

std::optional<FolderSnapshot> answeringSnapshot(const QByteArray& folder) {
    auto result = std::make_shared<FolderSnapshot>();
    if (!runWithAnswerLimit(folder, [result, folder] { *result = readFolderSnapshot(folder); }))
        return std::nullopt;
    return std::move(*result);
}

} // namespace zelvorin

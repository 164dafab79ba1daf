// Folders on volumes that may not answer (network and similar mounts): their reads run in
// a worker thread that the UI thread waits for only a limited time, so a dead server
// gives a message instead of a frozen window. Local folders are read directly.
#pragma once

#include "UsefulFileControls.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace zelvorin {

// How long the UI thread waits for a folder before giving up on it.
inline constexpr int DefaultFolderAnswerLimitMs = 3000;
int folderAnswerLimit();
void setFolderAnswerLimit(int milliseconds);

// Raised when a folder did not answer in time; nothing was changed.
class FolderNotAnswering : public FileControlError {
public:
    explicit FolderNotAnswering(const QString& folder);
};

// The message for a folder that does not answer.
QString folderNotAnsweringText(const QString& folder);

// True when reading the (absolute) raw path may block for long: it lies on a network
// volume, or the hook below says so.
bool folderMayBlock(const QByteArray& path);

// Test hooks: which paths count as possibly blocking (null: the volume decides), and a
// call made in the worker before it reads a path (it may sleep or wait to stand for a
// slow server). Both return the previous hook.
using MayBlockHook = std::function<bool(const QByteArray& path)>;
using WorkerReadHook = std::function<void(const QByteArray& path)>;
MayBlockHook setMayBlockHook(MayBlockHook hook);
WorkerReadHook setWorkerReadHook(WorkerReadHook hook);

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

// Runs `work` in a worker thread and waits for it in a local event loop with the busy
// cursor, at most folderAnswerLimit(). True when it finished in time. A worker that does
// not finish is abandoned: `work` must own everything it touches.
bool runWithAnswerLimit(const QByteArray& path, std::function<void()> work);

// The snapshot read in a worker; nullopt when the folder did not answer in time.
std::optional<FolderSnapshot> answeringSnapshot(const QByteArray& folder);

// An absolute, cleaned raw path: `path` as it stands or resolved against `base`.
QByteArray absoluteFolderBytes(const QByteArray& base, const QByteArray& path);

} // namespace zelvorin

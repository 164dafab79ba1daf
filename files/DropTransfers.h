// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The copies of dropped files, and their moves across file systems, which take as long as
// the data does: each runs on the file column's worker pool, one file at a time, while the
// window goes on painting and answering. A progress window shows once a drop's copies have
// run for half a second; its Cancel stops the file being copied (its destination stays as
// it was, and a moved file's source where it was) and the rest of that drop. What failed
// is told once, when the drop's copies are over.
#pragma once

#include "FileMessages.h"
#include "ShellOperations.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QProgressDialog;
class QTimer;
class QWidget;

namespace zelvorin {

class WorkerPool;

// One file of a drop still to be copied or moved.
struct DroppedFile {
    QByteArray source;
    QByteArray destination;
    // The user agreed to replace the destination when the drop was taken. A file that
    // takes the destination's name later is never replaced.
    bool replaceAgreed = false;
};

class DropTransfers : public QObject {
    Q_OBJECT
public:
    // Copies or moves one file; it runs on a worker thread.
    using Transfer = std::function<platform::FileResult(const DroppedFile& file,
                                                        const platform::TransferOptions& options)>;

    // The transfers run on `pool`; the progress window belongs to `owner`'s window.
    DropTransfers(WorkerPool* pool, QWidget* owner, QObject* parent = nullptr);
    // Cancels the file being copied and forgets the rest.
    ~DropTransfers() override;

    // Takes one drop's files into `folder`, moved for FileAction::Move, else copied;
    // `failures` are those met while the drop was taken, told together with the copies' own.
    void start(QList<DroppedFile> files, FileAction action, const QByteArray& folder,
               QList<FileFailure> failures);
    bool isBusy() const { return m_running != nullptr; }

    void setTransfer(Transfer transfer) { m_transfer = std::move(transfer); }
    void setProgressDelay(int milliseconds) { m_progressDelayMs = milliseconds; }

signals:
    // One drop's failures, in a message for the user.
    void failed(const QString& message);
    // Every file given has been copied, moved or given up.
    void idle();

private:
    struct Drop;
    struct Running;

    void runNext();
    void finished(const std::shared_ptr<Running>& running, const platform::FileResult& result);
    void endDrop();
    void showProgress();
    void cancel();

    WorkerPool* m_pool = nullptr;
    QPointer<QWidget> m_owner;
    Transfer m_transfer;
    int m_progressDelayMs = 500;
    std::vector<Drop> m_drops;
    std::shared_ptr<Running> m_running;
    QTimer* m_progressTimer = nullptr;
    QPointer<QProgressDialog> m_progress;
};

} // namespace zelvorin

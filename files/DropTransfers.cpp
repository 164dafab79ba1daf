// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DropTransfers.h"

#include "LosslessNames.h"
#include "ShellFiles.h"
#include "WorkerPool.h"

#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <mutex>

namespace zelvorin {

using platform::FileResult;

namespace {

// How often the progress window looks at the copy's progress.
constexpr int ProgressIntervalMs = 100;

} // namespace

struct DropTransfers::Drop {
    QList<DroppedFile> files;
    qsizetype next = 0;
    FileAction action = FileAction::Copy;
    QByteArray folder;
    QList<FileFailure> failures;
};

// One file's transfer, shared with the worker that runs it.
struct DropTransfers::Running {
    DroppedFile file;
    std::atomic<qint64> copied{0};
    std::atomic<qint64> total{0};
    std::atomic<bool> cancelled{false};
    std::mutex lock;
    DropTransfers* receiver = nullptr; // under `lock`; none once the transfers are gone
};

DropTransfers::DropTransfers(WorkerPool* pool, QWidget* owner, QObject* parent)
    : QObject(parent), m_pool(pool), m_owner(owner), m_progressTimer(new QTimer(this)) {
    connect(m_progressTimer, &QTimer::timeout, this, &DropTransfers::showProgress);
}

DropTransfers::~DropTransfers() {
    if (m_running) {
        const std::lock_guard<std::mutex> guard(m_running->lock);
        m_running->receiver = nullptr;
        m_running->cancelled = true;
    }
    delete m_progress.data();
}

void DropTransfers::start(QList<DroppedFile> files, FileAction action, const QByteArray& folder,
                          QList<FileFailure> failures) {
    m_drops.push_back({std::move(files), 0, action, folder, std::move(failures)});
    if (!isBusy()) {
        m_progressTimer->start(m_progressDelayMs);
        runNext();
    }
}

void DropTransfers::runNext() {
    while (!m_drops.empty() && m_drops.front().next >= m_drops.front().files.size())
        endDrop();
    if (m_drops.empty()) {
        m_progressTimer->stop();
        delete m_progress.data();
        emit idle();
        return;
    }
    Drop& drop = m_drops.front();
    auto running = std::make_shared<Running>();
    running->file = drop.files.at(drop.next++);
    running->receiver = this;
    m_running = running;
    if (m_progress)
        showProgress();

    // Questions belong to the drop, asked before it was answered; here the answer given
    // then stands, and a file that took the name since is never replaced.
    platform::TransferOptions options = shellTransferOptions(nullptr);
    options.ask = [agreed = running->file.replaceAgreed](QWidget*, const QString&, const QString&) {
        return agreed;
    };
    options.progress = [running](qint64 copied, qint64 total) {
        running->copied = copied;
        running->total = total;
        return !running->cancelled;
    };
    m_pool->start(
        [running, options, transfer = m_transfer, move = drop.action == FileAction::Move] {
            const DroppedFile& file = running->file;
            const FileResult result =
                transfer ? transfer(file, options)
                         : (move ? platform::moveFile(file.source, file.destination, options)
                                 : platform::copyFile(file.source, file.destination, options));
            const std::lock_guard<std::mutex> guard(running->lock);
            if (DropTransfers* receiver = running->receiver)
                QMetaObject::invokeMethod(
                    receiver, [receiver, running, result] { receiver->finished(running, result); },
                    Qt::QueuedConnection);
        });
}

void DropTransfers::finished(const std::shared_ptr<Running>& running, const FileResult& result) {
    if (running != m_running)
        return;
    m_running.reset();
    Drop& drop = m_drops.front();
    if (result.failed())
        drop.failures.append({running->file.source, result.reason});
    // A cancel gives up the rest of its drop too.
    if (running->cancelled)
        drop.next = drop.files.size();
    runNext();
}

void DropTransfers::endDrop() {
    const Drop drop = std::move(m_drops.front());
    m_drops.erase(m_drops.begin());
    if (!drop.failures.isEmpty())
        emit failed(
            FileFailureMessage(drop.action, drop.failures, platform::openablePath(drop.folder)));
}

void DropTransfers::showProgress() {
    if (!m_running)
        return;
    if (m_progress.isNull()) {
        auto* dialog = new QProgressDialog(m_owner ? m_owner->window() : nullptr);
        dialog->setWindowTitle(shellTransferOptions(nullptr).title);
        dialog->setRange(0, 1000);
        dialog->setMinimumDuration(0);
        dialog->setWindowModality(m_owner ? Qt::WindowModal : Qt::ApplicationModal);
        dialog->setAutoReset(false);
        dialog->setAutoClose(false);
        connect(dialog, &QProgressDialog::canceled, this, &DropTransfers::cancel);
        dialog->show();
        m_progress = dialog;
        m_progressTimer->start(ProgressIntervalMs);
    }
    const QByteArray& source = m_running->file.source;
    m_progress->setLabelText(
        tr("Copying \"%1\"").arg(platform::displayName(source.mid(source.lastIndexOf('/') + 1))));
    const qint64 total = m_running->total;
    const qint64 copied = m_running->copied;
    m_progress->setValue(total > 0 ? int(qMin<qint64>(1000, copied * 1000 / total)) : 0);
}

void DropTransfers::cancel() {
    if (m_running)
        m_running->cancelled = true;
    // A later drop still to copy gets a window of its own after the delay.
    if (m_progress) {
        m_progress->deleteLater();
        m_progress = nullptr;
    }
    m_progressTimer->start(m_progressDelayMs);
}

} // namespace zelvorin

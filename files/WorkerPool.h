// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The file column's one way to run work in the background: a pool owned by the folder
// session. A job hands its result to the user-interface thread as a queued call on a
// receiver it was given (the receiver's signal, or a slot); a receiver that is gone by then
// gets nothing.
//
// Reads of a folder that may not answer (a network volume whose server is gone) can block
// for good. Such a job can be given up: its thread stops counting against the pool, so
// later jobs do not queue behind it, and a pool that still runs one when it is destroyed
// is left to the end of the process instead of being waited for.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

class QThreadPool;

namespace zelvorin {

class WorkerPool {
public:
    // A job that may be given up; see giveUp().
    class Ticket;

    explicit WorkerPool(int threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    void start(std::function<void()> job);
    std::shared_ptr<Ticket> startMayBlock(std::function<void()> job);
    // The job's result is not wanted any more and it may never end: the pool does not
    // wait for it.
    void giveUp(const std::shared_ptr<Ticket>& ticket);

private:
    QThreadPool* m_pool = nullptr;
    // Jobs given up and still running, shared with them.
    std::shared_ptr<std::atomic<int>> m_givenUpRunning;
};

} // namespace zelvorin

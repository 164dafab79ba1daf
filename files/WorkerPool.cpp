// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "WorkerPool.h"

#include <QThreadPool>

#include <algorithm>
#include <mutex>

namespace zelvorin {

namespace {

// How long the pool's end waits for jobs that were not given up: a folder read stops at
// its next step once its listing is gone.
constexpr int EndWaitMs = 2000;

} // namespace

class WorkerPool::Ticket {
public:
    std::mutex lock;
    bool done = false;
    bool givenUp = false;
};

WorkerPool::WorkerPool(int threads)
    : m_pool(new QThreadPool), m_givenUpRunning(std::make_shared<std::atomic<int>>(0)) {
    m_pool->setMaxThreadCount(std::max(1, threads));
}

WorkerPool::~WorkerPool() {
    // A job given up may block in a system call on a folder that does not answer: waiting
    // for it would keep the window from closing. The pool and its threads are then left to
    // the end of the process (every job holds only what it shares with its asker).
    m_pool->clear();
    if (*m_givenUpRunning == 0 && m_pool->waitForDone(EndWaitMs)) {
        delete m_pool;
        return;
    }
    qWarning("A folder read that does not answer is left running.");
}

void WorkerPool::start(std::function<void()> job) {
    m_pool->start(std::move(job));
}

std::shared_ptr<WorkerPool::Ticket> WorkerPool::startMayBlock(std::function<void()> job) {
    auto ticket = std::make_shared<Ticket>();
    QThreadPool* pool = m_pool;
    m_pool->start([ticket, pool, running = m_givenUpRunning, job = std::move(job)] {
        job();
        const std::lock_guard<std::mutex> guard(ticket->lock);
        ticket->done = true;
        // Given up, the thread stopped counting; it counts again for the moment it takes
        // to end, so the pool's tally comes out even.
        if (ticket->givenUp) {
            pool->reserveThread();
            --*running;
        }
    });
    return ticket;
}

void WorkerPool::giveUp(const std::shared_ptr<Ticket>& ticket) {
    const std::lock_guard<std::mutex> guard(ticket->lock);
    if (ticket->done || ticket->givenUp)
        return;
    ticket->givenUp = true;
    ++*m_givenUpRunning;
    m_pool->releaseThread();
}

} // namespace zelvorin

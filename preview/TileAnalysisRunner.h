// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Analyses background tiles on the workers of the subsystem that owns the runner and hands
// each result to the thread the runner lives in, by signal. Walking through a folder asks
// for one image after another faster than some can be read; only the newest request
// matters, so a request replaces every earlier one: those not started are skipped and
// those finished late are dropped, never delivered.
#pragma once

#include "TileAnalysis.h"

#include <QObject>

#include <atomic>

class QThreadPool;

namespace zelvorin::preview {

struct TileAnalysisResult {
    quint64 request = 0; // the number analyse returned
    QString path;
    std::optional<TileAnalysis> analysis; // nothing when the image could not be read
    QString error;                        // then why
    qint64 bytes = -1;                    // the file's size; -1 when not known
};

class TileAnalysisRunner : public QObject {
    Q_OBJECT

public:
    // `workers` belongs to the subsystem, which lets its work end (it is bounded: see
    // MaxAnalysedPixels) before the runner goes.
    TileAnalysisRunner(QThreadPool* workers, QObject* parent = nullptr);
    ~TileAnalysisRunner() override;

    // Starts analysing the image at `path` (a path Qt can open) over the page colour
    // `backdrop`; returns the request's number, which the result carries.
    quint64 analyse(const QString& path, const QColor& backdrop = Qt::white);
    // Drops every request made so far: no result of them will be delivered.
    void cancel();
    // Whether a request is waiting for its result.
    bool isBusy() const { return m_pending; }

signals:
    // On the thread the runner lives in, for the newest request only.
    void finished(const zelvorin::preview::TileAnalysisResult& result);

private:
    void deliver(const TileAnalysisResult& result);

    QThreadPool* m_workers = nullptr;
    std::atomic<quint64> m_latest = 0; // read by the worker to skip replaced requests
    bool m_pending = false;
};

} // namespace zelvorin::preview

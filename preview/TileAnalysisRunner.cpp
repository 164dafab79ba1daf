// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "TileAnalysisRunner.h"

#include <QThreadPool>

namespace zelvorin::preview {

TileAnalysisRunner::TileAnalysisRunner(QThreadPool* workers, QObject* parent)
    : QObject(parent), m_workers(workers) {}

TileAnalysisRunner::~TileAnalysisRunner() {
    cancel();
}

quint64 TileAnalysisRunner::analyse(const QString& path, const QColor& backdrop) {
    const quint64 request = ++m_latest;
    m_pending = true;
    m_workers->start([this, request, path, backdrop] {
        if (m_latest != request)
            return;
        TileFileAnalysis analysed = AnalyseTileFile(path, backdrop);
        if (m_latest != request)
            return;
        TileAnalysisResult result{request, path, std::move(analysed.analysis),
                                  std::move(analysed.error), analysed.bytes};
        // The workers' owner waits for this task before the runner goes, so `this` is
        // alive here; a call still queued when the runner goes is discarded with it.
        QMetaObject::invokeMethod(
            this, [this, result = std::move(result)] { deliver(result); }, Qt::QueuedConnection);
    });
    return request;
}

void TileAnalysisRunner::cancel() {
    ++m_latest;
    m_pending = false;
}

void TileAnalysisRunner::deliver(const TileAnalysisResult& result) {
    // A newer request may have come after the worker looked.
    if (result.request != m_latest)
        return;
    m_pending = false;
    emit finished(result);
}

} // namespace zelvorin::preview

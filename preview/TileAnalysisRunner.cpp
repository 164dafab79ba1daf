#include "TileAnalysisRunner.h"

namespace zelvorin::preview {

TileAnalysisRunner::TileAnalysisRunner(QObject* parent) : QObject(parent) {
    // One worker: requests replace each other, so running two at once only slows the
    // newest one down.
    m_pool.setMaxThreadCount(1);
}

TileAnalysisRunner::~TileAnalysisRunner() {
    Cancel();
    m_pool.clear();
    m_pool.waitForDone();
}

quint64 TileAnalysisRunner::Analyse(const QString& path, const QColor& backdrop) {
    const quint64 request = ++m_latest;
    m_pending = true;
    m_pool.start([this, request, path, backdrop] {
        if (m_latest != request)
            return;
        TileFileAnalysis analysed = AnalyseTileFile(path, backdrop);
        if (m_latest != request)
            return;
        TileAnalysisResult result{request, path, std::move(analysed.analysis),
                                  std::move(analysed.error), analysed.bytes};
        // The destructor waits for this task, so `this` is alive here; a call still
        // queued when the runner goes is discarded with it.
        QMetaObject::invokeMethod(
            this, [this, result = std::move(result)] { deliver(result); }, Qt::QueuedConnection);
    });
    return request;
}

void TileAnalysisRunner::Cancel() {
    ++m_latest;
    m_pending = false;
}

void TileAnalysisRunner::deliver(const TileAnalysisResult& result) {
    // A newer request may have come after the worker looked.
    if (result.request != m_latest)
        return;
    m_pending = false;
    emit Finished(result);
}

} // namespace zelvorin::preview

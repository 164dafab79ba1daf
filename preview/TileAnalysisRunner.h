// Analyses background tiles in a worker thread and hands each result to the UI thread.
// Walking through a folder asks for one image after another faster than some can be
// read; only the newest request matters, so a request replaces every earlier one: those
// not started are skipped and those finished late are dropped, never delivered.
#pragma once

#include "TileAnalysis.h"

#include <QObject>
#include <QThreadPool>

#include <atomic>

namespace zelvorin::preview {

struct TileAnalysisResult {
    quint64 request = 0; // the number Analyse returned
    QString path;
    std::optional<TileAnalysis> analysis; // nothing when the image could not be read
    QString error;                        // then why
    qint64 bytes = -1;                    // the file's size; -1 when not known
};

class TileAnalysisRunner : public QObject {
    Q_OBJECT

public:
    explicit TileAnalysisRunner(QObject* parent = nullptr);
    // Waits for an analysis under way (bounded: see MaxAnalysedPixels); its result is
    // dropped.
    ~TileAnalysisRunner() override;

    // Starts analysing the image at `path` (a path Qt can open) over the page colour
    // `backdrop`; returns the request's number, which the result carries.
    quint64 Analyse(const QString& path, const QColor& backdrop = Qt::white);
    // Drops every request made so far: no result of them will be delivered.
    void Cancel();
    // Whether a request is waiting for its result.
    bool IsBusy() const { return m_pending; }

signals:
    // On the thread the runner lives in, for the newest request only.
    void Finished(const zelvorin::preview::TileAnalysisResult& result);

private:
    void deliver(const TileAnalysisResult& result);

    std::atomic<quint64> m_latest = 0; // read by the worker to skip replaced requests
    bool m_pending = false;
    QThreadPool m_pool; // last, so it is gone (and its worker done) before the rest
};

} // namespace zelvorin::preview

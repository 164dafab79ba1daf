// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Thumbnails in the file list, each figure beside its baseline from the same run:
//   1. first read of a 100,000-image folder into a shown list with thumbnails on, beside
//      the same read with them off (target: within 10 %);
//   2. time until the rows on screen have their thumbnails, from an empty cache and from
//      a full one, beside the bare work on one thread (decoding the originals at
//      thumbnail size; reading the cached PNGs);
//   3. memory of the list of 100,000 images with thumbnails on after scrolling through
//      3,000 of them, beside the same list with thumbnails off.
// The thumbnail cache lives in the work folder ($XDG_CACHE_HOME is set there), never in
// the user's.
// Usage: bench_thumbnails [work folder]   (default: a temporary folder, removed at the end)
#include "BenchFigures.h"
#include "FileListView.h"
#include "FileThumbnails.h"
#include "FolderFiles.h"
#include "FolderSession.h"
#include "ThumbnailCache.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImageReader>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

const QString Mask = QStringLiteral("*.jpg;*.gif;*.png;*.bmp;*.jpeg");
constexpr int FolderSize = 100000;

// A photograph-like picture: gradients and shapes, so that JPEG has real work to do.
QImage picture(int index, const QSize& size) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, QColor::fromHsv((index * 37) % 360, 200, 230));
    gradient.setColorAt(1, QColor::fromHsv((index * 91) % 360, 160, 90));
    painter.fillRect(image.rect(), gradient);
    for (int i = 0; i < 40; ++i) {
        painter.setBrush(QColor::fromHsv((index * 13 + i * 29) % 360, 180, 200, 160));
        painter.drawEllipse(QPoint((i * 97 + index * 31) % size.width(), (i * 57) % size.height()),
                            20 + i * 3, 15 + i * 2);
    }
    return image;
}

// Sleeps between events, so that the waiting takes no core from the workers.
void waitUntil(const std::function<bool()>& done, int limitMs = 600000) {
    QElapsedTimer clock;
    clock.start();
    QTimer tick;
    tick.start(20);
    while (!done() && clock.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

// A file list on a folder session of its own.
struct ShownList {
    zelvorin::FolderSession session;
    zelvorin::FileListView view{&session};
    int count() const { return session.files()->count(); }
    zelvorin::FileThumbnails* thumbnails() const { return view.thumbnails(); }
};

std::unique_ptr<ShownList> shownBox(const QString& startFolder, bool thumbnails) {
    QDir::setCurrent(startFolder);
    auto box = std::make_unique<ShownList>();
    box->session.files()->setMask(Mask);
    box->view.resize(170, 700);
    box->view.show();
    box->view.setShowsThumbnails(thumbnails);
    QCoreApplication::processEvents();
    return box;
}

// The folder of 100,000 images: hard links to a few real pictures, so that every name
// is an image a thumbnail can be made of.
QString makeLargeFolder(const QString& work) {
    const QString folder = work + "/hundred-thousand";
    QDir().mkpath(folder);
    std::vector<QByteArray> sources;
    for (int i = 0; i < 16; ++i) {
        const QString path = work + QStringLiteral("/source%1.jpg").arg(i);
        picture(i, QSize(400, 300)).save(path, "JPEG", 85);
        sources.push_back(QFile::encodeName(path));
    }
    const char* const extensions[] = {".jpg", ".JPG", ".jpeg"};
    for (int i = 0; i < FolderSize; ++i) {
        const QByteArray name = QFile::encodeName(folder) + "/img" +
                                QByteArray::number((i * 104729LL) % 10000019) + extensions[i % 3];
        if (::link(sources[size_t(i % 16)].constData(), name.constData()) != 0)
            std::perror("link");
    }
    return folder;
}

void firstReadBenchmark(const QString& work, const QString& folder) {
    const QString empty = work + "/empty";
    QDir().mkpath(empty);
    std::vector<double> off;
    std::vector<double> on;
    int listed = 0;
    // Alternating, so that both see the same state of the machine.
    for (int run = 0; run < 10; ++run) {
        const bool thumbnails = run % 2 == 1;
        auto box = shownBox(empty, thumbnails);
        QElapsedTimer clock;
        clock.start();
        box->session.setFolder(folder);
        (thumbnails ? on : off).push_back(clock.nsecsElapsed() / 1e6);
        listed = box->count();
        // The workers' share is not the read's; they finish before the next read.
        if (thumbnails)
            waitUntil([&] { return box->thumbnails()->visibleRowsDone(); });
    }
    const double offMs = median(off);
    const double onMs = median(on);
    std::printf("1. first read of %d images into a shown list (median of 5 each)\n", listed);
    std::printf("   thumbnails on: %8.1f ms   off (baseline): %8.1f ms   %+.1f%% (target <= "
                "+10%%)\n",
                onMs, offMs, 100.0 * (onMs - offMs) / offMs);
}

void visibleRowsBenchmark(const QString& work) {
    const QString folder = work + "/photos";
    QDir().mkpath(folder);
    for (int i = 0; i < 200; ++i)
        picture(i, QSize(1600, 1200))
            .save(folder + QStringLiteral("/photo%1.jpg").arg(i, 3, 10, QLatin1Char('0')), "JPEG",
                  85);
    const QString empty = work + "/empty";

    const auto timeVisible = [&](int* rows) {
        auto box = shownBox(empty, true);
        QElapsedTimer clock;
        clock.start();
        box->session.setFolder(folder);
        waitUntil([&] { return box->thumbnails()->visibleRowsDone(); });
        const double ms = clock.nsecsElapsed() / 1e6;
        *rows = box->view.viewport()->height() / (zelvorin::FileThumbnails::DefaultSide + 2) + 1;
        return ms;
    };
    int rows = 0;
    const double emptyMs = timeVisible(&rows);
    std::vector<double> full;
    for (int run = 0; run < 5; ++run)
        full.push_back(timeVisible(&rows));
    const double fullMs = median(full);

    // Baselines: the same rows' bare work on one thread.
    const zelvorin::ThumbnailCache cache;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < rows; ++i) {
        QImageReader reader(folder +
                            QStringLiteral("/photo%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
        reader.setScaledSize(reader.size().scaled(128, 128, Qt::KeepAspectRatio));
        reader.read();
    }
    const double decodeMs = clock.nsecsElapsed() / 1e6;
    clock.restart();
    for (int i = 0; i < rows; ++i) {
        const QByteArray path = QFile::encodeName(
            folder + QStringLiteral("/photo%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
        QImage(QFile::decodeName(cache.thumbnailPath(zelvorin::ThumbnailCache::fileUri(path),
                                                     zelvorin::ThumbnailSize::Normal)));
    }
    const double readMs = clock.nsecsElapsed() / 1e6;
    const zelvorin::ThumbnailCache scratch(QFile::encodeName(work + "/scratch-cache"));
    clock.restart();
    for (int i = 0; i < rows; ++i) {
        scratch.thumbnail(
            QFile::encodeName(folder +
                              QStringLiteral("/photo%1.jpg").arg(i, 3, 10, QLatin1Char('0'))),
            zelvorin::ThumbnailSize::Normal);
    }
    const double makeMs = clock.nsecsElapsed() / 1e6;
    std::printf("2. time until the %d rows on screen show thumbnails (1600 x 1200 JPEGs)\n", rows);
    std::printf("   empty cache: %8.1f ms   baseline, decoding them at 128 px on one thread: "
                "%8.1f ms\n",
                emptyMs, decodeMs);
    std::printf("   full cache:  %8.1f ms   baseline, reading their cached PNGs on one thread: "
                "%8.1f ms (median of 5)\n",
                fullMs, readMs);
    std::printf("   (making them through a fresh cache on one thread: %.1f ms)\n", makeMs);
}

void memoryBenchmark(const QString& work, const QString& folder) {
    const QString empty = work + "/empty";
    malloc_trim(0);
    long before = residentKiB();
    auto off = shownBox(empty, false);
    off->session.setFolder(folder);
    QCoreApplication::processEvents();
    const long offKiB = residentKiB() - before;
    off.reset();

    malloc_trim(0);
    before = residentKiB();
    auto on = shownBox(empty, true);
    on->session.setFolder(folder);
    zelvorin::FileThumbnails* thumbnails = on->thumbnails();
    QScrollBar* bar = on->view.verticalScrollBar();
    const int page = on->view.viewport()->height() / (zelvorin::FileThumbnails::DefaultSide + 2);
    const int pages = 3000 / page;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < pages; ++i) {
        bar->setValue(bar->value() + bar->pageStep());
        waitUntil([&] { return thumbnails->visibleRowsDone(); });
    }
    const double scrollMs = clock.nsecsElapsed() / 1e6;
    malloc_trim(0);
    const long onKiB = residentKiB() - before;
    std::printf("3. memory of the list of %d images\n", on->count());
    std::printf("   thumbnails on, after scrolling through %d rows (%d made, %d kept for "
                "drawing): %ld KiB RSS\n",
                pages * page, thumbnails->madeCount(), thumbnails->pixmapCount(), onKiB);
    std::printf("   thumbnails off (baseline): %ld KiB RSS   difference %+ld KiB\n", offKiB,
                onKiB - offKiB);
    std::printf("   (scrolling a page at a time, each waiting for its thumbnails: %.1f ms a "
                "page)\n",
                scrollMs / pages);
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir temporary;
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    qputenv("XDG_CACHE_HOME", QFile::encodeName(work + "/cache"));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::printf("File list thumbnail benchmarks in %s (%d worker threads)\n", qPrintable(work),
                std::clamp(QThread::idealThreadCount(), 1, 4));
    const QString large = makeLargeFolder(work);
    firstReadBenchmark(work, large);
    visibleRowsBenchmark(work);
    memoryBenchmark(work, large);
    QDir::setCurrent(QDir::tempPath());
    return 0;
}

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Reading a folder of 100,000 and of 1,000,000 files into the file list, each figure beside
// its floor measured in the same run:
//   - the longest stall of the user-interface thread while the folder is read (goal under
//     50 ms), against the ticks of an idle event loop;
//   - the time until the rows on screen are painted (goal under 150 ms);
//   - the time until the sorted list is complete, against readdir and a sort of the same
//     names in one thread (goal at most 1.3 times);
//   - the memory the list takes for each entry beyond the bytes of the names themselves
//     (goal at most 150 bytes).
// Usage: bench_folder_read [work folder [sizes...]]   (folders made there are kept for the
//        next run; default: a temporary folder, removed at the end; sizes: 100000 1000000)
#include "BenchFigures.h"
#include "FileListView.h"
#include "FolderFiles.h"
#include "FolderSession.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Times every event the application hands out, so a stall can be told by what caused it.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        if (m_depth++ > 0) {
            const bool handled = QApplication::notify(receiver, event);
            --m_depth;
            return handled;
        }
        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = threadCpuMs();
        const bool handled = QApplication::notify(receiver, event);
        --m_depth;
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        const double cpu = threadCpuMs() - cpuBefore;
        if (ms > longestMs) {
            longestMs = ms;
            longest = QStringLiteral("event %1 to %2")
                          .arg(int(event->type()))
                          .arg(QString::fromLatin1(receiver->metaObject()->className()));
        }
        if (cpu > longestCpuMs) {
            longestCpuMs = cpu;
            longestCpu = QStringLiteral("event %1 to %2")
                             .arg(int(event->type()))
                             .arg(QString::fromLatin1(receiver->metaObject()->className()));
        }
        return handled;
    }
    // On a machine others use too, a stall may be time the thread waited for a core: the
    // thread's own processor time tells what the event itself cost.
    static double threadCpuMs() {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    }
    void reset() {
        longestCpuMs = 0;
        longestCpu.clear();
        longestMs = 0;
        longest.clear();
    }
    double longestMs = 0;
    double longestCpuMs = 0;
    QString longestCpu;
    QString longest;

private:
    int m_depth = 0;
};

TimedApplication* timedApp() {
    return static_cast<TimedApplication*>(QCoreApplication::instance());
}

using zelvorin::FileKind;
const zelvorin::FileKinds MainFileType =
    FileKind::ReadOnly | FileKind::Hidden | FileKind::System | FileKind::Archive | FileKind::Normal;

// Images with a few other files among them, in mixed case, so sorting has real work to do.
void makeFolder(const std::string& folder, long count) {
    static const char* const extensions[] = {".jpg",  ".GIF",  ".png", ".txt",
                                             ".Jpeg", ".html", ".bmp"};
    ::mkdir(folder.c_str(), 0755);
    long existing = 0;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir))
            existing += entry->d_name[0] != '.' ? 1 : 0;
        closedir(dir);
    }
    if (existing == count)
        return;
    std::printf("   (making %ld files in %s)\n", count, folder.c_str());
    for (long i = 0; i < count; ++i) {
        const auto n = static_cast<unsigned long long>(i);
        char name[512];
        std::snprintf(name, sizeof(name), "%s/img%c%07llu%s", folder.c_str(),
                      char((n * 7919) % 26 + ((n & 1) ? 'a' : 'A')), (n * 104729) % 10000019,
                      extensions[i % 7]);
        const int fd = ::open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0)
            ::close(fd);
    }
}

struct FloorResult {
    double ms = 0;
    size_t names = 0;
    size_t nameBytes = 0;
};

// The floor: readdir and a case-insensitive sort of the same names, in one thread.
FloorResult floorRead(const std::string& folder) {
    QElapsedTimer clock;
    clock.start();
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] != '.')
            names.emplace_back(entry->d_name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    });
    FloorResult result;
    result.ms = double(clock.nsecsElapsed()) / 1e6;
    result.names = names.size();
    for (const std::string& name : names)
        result.nameBytes += name.size();
    return result;
}

// Records when the list's viewport is first painted with rows in it.
class PaintWatch : public QObject {
public:
    PaintWatch(zelvorin::FileListView* box, const QElapsedTimer& clock)
        : m_box(box), m_clock(clock) {
        box->viewport()->installEventFilter(this);
    }
    double firstRowsMs = -1;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && firstRowsMs < 0 &&
            m_box->session()->files()->count() > 0)
            firstRowsMs = double(m_clock.nsecsElapsed()) / 1e6;
        return false;
    }

private:
    zelvorin::FileListView* m_box;
    const QElapsedTimer& m_clock;
};

struct ReadResult {
    double callMs = 0;
    double longestStallMs = 0;
    double firstRowsMs = 0;
    double completeMs = 0;
    double idleTickMs = 0;
    double longestEventMs = 0;
    QString longestEvent;
    double longestCpuMs = 0;
    QString longestCpuEvent;
    int listed = 0;
    double bytesPerEntry = 0;
};

// The longest gap between two ticks of a 1 ms timer, measured on `clock` from its start.
class TickGaps {
public:
    explicit TickGaps(const QElapsedTimer& clock) {
        m_ticker.setInterval(1);
        QObject::connect(&m_ticker, &QTimer::timeout, &m_ticker, [this, &clock] {
            const qint64 now = clock.nsecsElapsed();
            m_longestNs = std::max(m_longestNs, now - m_lastNs);
            m_lastNs = now;
        });
        m_ticker.start();
    }
    void stop() { m_ticker.stop(); }
    qint64 longestNs() const { return m_longestNs; }

private:
    QTimer m_ticker;
    qint64 m_lastNs = 0;
    qint64 m_longestNs = 0;
};

// The longest gap between two ticks of a 1 ms timer while the event loop has nothing else
// to do: what the machine adds to any stall.
double idleTicks(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    TickGaps gaps(clock);
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    return double(gaps.longestNs()) / 1e6;
}

ReadResult readOnce(const QString& folder, const QString& empty, size_t nameBytes) {
    ReadResult result;
    QDir::setCurrent(empty);
    malloc_trim(0);
    const long before = residentKiB();
    {
        zelvorin::FolderSession session;
        zelvorin::FolderFiles& files = *session.files();
        zelvorin::FileListView box(&session);
        files.setKinds(MainFileType);
        files.setMask(QStringLiteral("*.*"));
        box.resize(170, 600);
        box.show();
        QCoreApplication::processEvents();
        result.idleTickMs = idleTicks(300);

        QElapsedTimer clock;
        bool finished = false;
        QObject::connect(&files, &zelvorin::FolderFiles::readFinished, &box, [&] {
            result.completeMs = double(clock.nsecsElapsed()) / 1e6;
            finished = true;
        });
        PaintWatch paints(&box, clock);
        clock.start();
        TickGaps gaps(clock);
        timedApp()->reset();
        session.setFolder(folder);
        result.callMs = double(clock.nsecsElapsed()) / 1e6;
        if (!files.isReading() && !finished) {
            result.completeMs = result.callMs;
            finished = true;
        }
        while (!finished || paints.firstRowsMs < 0) {
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents,
                                            50);
            if (clock.elapsed() > 120000)
                break;
        }
        gaps.stop();
        result.longestEventMs = timedApp()->longestMs;
        result.longestEvent = timedApp()->longest;
        result.longestCpuMs = timedApp()->longestCpuMs;
        result.longestCpuEvent = timedApp()->longestCpu;
        result.longestStallMs =
            double(std::max(gaps.longestNs(), qint64(result.callMs * 1e6))) / 1e6;
        result.firstRowsMs = paints.firstRowsMs;
        result.listed = files.count();
        malloc_trim(0);
        const long after = residentKiB();
        result.bytesPerEntry =
            (double(after - before) * 1024.0 - double(nameBytes)) / std::max(1, result.listed);
    }
    QDir::setCurrent(QDir::tempPath());
    return result;
}

void benchmark(const QString& work, long count, int runs) {
    const QString folder = work + QStringLiteral("/files-%1").arg(count);
    const std::string raw = QFile::encodeName(folder).toStdString();
    makeFolder(raw, count);
    const QString empty = work + QStringLiteral("/empty");
    QDir().mkpath(empty);
    floorRead(raw); // warms the cache for both

    std::vector<double> floors, calls, stalls, firsts, completes, bytes, idles, cpus;
    FloorResult floor;
    int listed = 0;
    for (int run = 0; run < runs; ++run) {
        floor = floorRead(raw);
        floors.push_back(floor.ms);
        const ReadResult read = readOnce(folder, empty, floor.nameBytes);
        calls.push_back(read.callMs);
        stalls.push_back(read.longestStallMs);
        firsts.push_back(read.firstRowsMs);
        completes.push_back(read.completeMs);
        bytes.push_back(read.bytesPerEntry);
        idles.push_back(read.idleTickMs);
        listed = read.listed;
        std::printf("   run %d: longest event %.1f ms (%s); most processor time in one event "
                    "%.1f ms (%s)\n",
                    run + 1, read.longestEventMs, qPrintable(read.longestEvent), read.longestCpuMs,
                    qPrintable(read.longestCpuEvent));
        cpus.push_back(read.longestCpuMs);
    }
    const double floorMs = median(floors);
    std::printf("%ld files (%d listed; floor %zu names, %zu bytes of names), median of %d runs\n",
                count, listed, floor.names, floor.nameBytes, runs);
    std::printf("   longest UI-thread stall:  %8.1f ms  (goal < 50; the call that starts the read "
                "%.1f ms; idle event loop's longest tick gap %.1f ms)\n",
                median(stalls), median(calls), median(idles));
    std::printf("   longest UI-thread work in one event (its processor time): %.1f ms\n",
                median(cpus));
    std::printf("   first rows painted after: %8.1f ms  (goal < 150)\n", median(firsts));
    std::printf("   complete sorted list:     %8.1f ms  floor (readdir + sort, one thread): "
                "%8.1f ms  ratio %.2f (goal <= 1.3)\n",
                median(completes), floorMs, median(completes) / floorMs);
    std::printf("   memory per entry beyond the names' bytes: %.0f bytes (goal <= 150)\n",
                median(bytes));
    std::printf("   runs, complete ms:");
    for (const double ms : completes)
        std::printf(" %.0f", ms);
    std::printf("   floor ms:");
    for (const double ms : floors)
        std::printf(" %.0f", ms);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TimedApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    QDir().mkpath(work);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::printf("Folder reads into the file list, in %s\n", qPrintable(work));
    std::vector<long> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(std::atol(argv[i]));
    if (sizes.empty())
        sizes = {100000, 1000000};
    for (const long size : sizes)
        benchmark(work, size, size >= 1000000 ? 3 : 5);
    return 0;
}

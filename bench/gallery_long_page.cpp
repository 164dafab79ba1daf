// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A gallery page of a whole folder (the address "zelvorin://imglist/1,-1" typed in the
// address box) in the real main window, on folders of 10,000 and 100,000 images: the
// longest stall of the window's thread while the page is built, shown and scrolled
// through 20 screens, and the memory of the program with its web engine processes at its
// peak, beside the same figures for the usual first page of 25 images, in one run.
// Targets: no stall over 200 ms; memory that does not grow with the folder.
//   bench_gallery_long_page [IMAGES...]
#include "ActionRegistry.h"
#include "FileListView.h"
#include "FilePanel.h"
#include "FolderFiles.h"
#include "FolderPaths.h"
#include "FolderSession.h"
#include "MainToolbar.h"
#include "MainWindow.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "ProgramPages.h"
#include "ProgramValues.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineScript>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

template <typename Condition> bool waitFor(Condition done, int timeoutMs = 120000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

// Resident memory in kB of a process, 0 when it is gone.
long residentKb(const QString& pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// The program and every process below it (the web engine's zygote and renderers).
long familyResidentKb() {
    QHash<QString, QString> parents;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!pid.at(0).isDigit() || !stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        parents.insert(pid, QString::fromLatin1(fields.value(1)));
    }
    const QString self = QString::number(QCoreApplication::applicationPid());
    long total = 0;
    for (auto it = parents.cbegin(); it != parents.cend(); ++it) {
        for (QString up = it.key(); !up.isEmpty() && up != QLatin1String("0");
             up = parents.value(up)) {
            if (up == self) {
                total += residentKb(it.key());
                break;
            }
        }
    }
    return total;
}

// Watches the window's thread and the memory while something runs.
struct Watch {
    qint64 longestStallMs = 0;
    long peakKb = 0;
    QElapsedTimer clock;
    qint64 lastTick = 0;
    QTimer ticks;
    QTimer memory;
    Watch() {
        clock.start();
        ticks.setInterval(5);
        QObject::connect(&ticks, &QTimer::timeout, &ticks, [this] {
            const qint64 now = clock.elapsed();
            longestStallMs = std::max(longestStallMs, now - lastTick);
            lastTick = now;
        });
        memory.setInterval(50);
        QObject::connect(&memory, &QTimer::timeout, &memory,
                         [this] { peakKb = std::max(peakKb, familyResidentKb()); });
        ticks.start();
        memory.start();
    }
};

struct Figures {
    qint64 shownMs = 0;
    qint64 stallMs = 0;
    long peakKb = 0;
    long startKb = 0;
};

Figures measure(zelvorin::MainWindow& form, const QString& address, bool scroll) {
    QWebEnginePage* page = form.preview()->page();
    form.openAddress(QStringLiteral("about:blank"));
    waitFor([&] { return !form.preview()->isLoading() && page->title().isEmpty(); });
    QTest::qWait(500);
    Figures figures;
    figures.startKb = familyResidentKb();
    Watch watch;
    form.toolbar()->addressBox()->setEditText(address);
    form.preview()->openTypedAddress();
    waitFor([&] { return page->title().contains(QStringLiteral("images")); });
    figures.shownMs = watch.clock.elapsed();
    zelvorin::ProgramPages* pages = form.preview()->programPages();
    for (int screen = 0; scroll && screen < 20; ++screen) {
        QSignalSpy appended(pages, &zelvorin::ProgramPages::itemsAppended);
        page->runJavaScript(QStringLiteral("window.scrollBy(0, window.innerHeight * 3)"),
                            QWebEngineScript::ApplicationWorld);
        if (pages->hasMore())
            appended.wait(2000);
        QTest::qWait(50);
    }
    QTest::qWait(500);
    figures.stallMs = watch.longestStallMs;
    figures.peakKb = std::max(watch.peakKb, familyResidentKb());
    return figures;
}

QByteArray tinyPng() {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    zelvorin::test::TestEnvironment environment;
    zelvorin::RegisterUrlSchemes();
    QApplication app(argc, argv);
    QList<int> counts;
    for (int i = 1; i < argc; ++i)
        counts << std::max(26, atoi(argv[i]));
    if (counts.isEmpty())
        counts = {10000, 100000};

    QTemporaryDir root;
    zelvorin::ProgramValues values(
        QCoreApplication::applicationDirPath(),
        std::make_unique<zelvorin::SettingsStore>(root.filePath("hive.db")));
    zelvorin::MainWindow form(values);
    form.resize(1000, 700);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    QWebEnginePage* page = form.preview()->page();
    if (!waitFor([&] { return !page->url().isEmpty() && !form.preview()->isLoading(); }))
        return 1;

    const QByteArray png = tinyPng();
    std::printf("gallery page of a whole folder, stall of the window's thread and memory of\n"
                "the program with its engine processes (peak, and growth over the start)\n");
    for (int count : counts) {
        const QString folder = root.filePath(QStringLiteral("images%1").arg(count));
        QDir().mkpath(folder);
        for (int i = 1; i <= count; ++i) {
            const QByteArray name = QFile::encodeName(
                QStringLiteral("%1/Image %2.png").arg(folder).arg(i, 7, 10, QChar('0')));
            const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0 || ::write(fd, png.constData(), size_t(png.size())) != png.size())
                return 1;
            ::close(fd);
        }
        form.filePanel()->showStartingFolder(folder);
        if (!waitFor([&] { return form.filePanel()->session()->files()->count() == count; }))
            return 1;
        const Figures first = measure(form, QStringLiteral("zelvorin://imglist/1,25"), false);
        const Figures whole = measure(form, QStringLiteral("zelvorin://imglist/1,-1"), true);
        std::printf("%7d images  first page of 25: shown after %5lld ms, longest stall %4lld ms, "
                    "peak %7.1f MB (+%6.1f MB)\n",
                    count, first.shownMs, first.stallMs, first.peakKb / 1024.0,
                    (first.peakKb - first.startKb) / 1024.0);
        std::printf("%7d images  every image, 20 screens scrolled: shown after %5lld ms, "
                    "longest stall %4lld ms, peak %7.1f MB (+%6.1f MB)\n",
                    count, whole.shownMs, whole.stallMs, whole.peakKb / 1024.0,
                    (whole.peakKb - whole.startKb) / 1024.0);
        std::fflush(stdout);
    }
    return 0;
}

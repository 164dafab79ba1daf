// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// "Show image gallery" in the real main window on a folder of 100,000 images: the time
// from the command to its page in the preview (the shown document replaced), beside a
// full read of the same folder into a file list, measured alternately in one run.
// Target: the command takes at most 0.2 of the read.
//   bench_gallery_command [REPETITIONS] [IMAGES]
#include "ActionRegistry.h"
#include "BenchFigures.h"
#include "FileListView.h"
#include "FilePanel.h"
#include "FolderFiles.h"
#include "FolderPaths.h"
#include "FolderSession.h"
#include "MainWindow.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "ProgramValues.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

const QString ImageMask =
    QStringLiteral("*.jpg;*.gif;*.png;*.bmp;*.jpeg;*.webp;*.avif;*.svg;*.svgz;*.ico;*.apng");
using zelvorin::FileKind;
const zelvorin::FileKinds ListedTypes =
    FileKind::ReadOnly | FileKind::Hidden | FileKind::System | FileKind::Archive | FileKind::Normal;

// Runs the event loop until `done` holds; false after the time limit.
template <typename Condition> bool waitFor(Condition done, int timeoutMs = 60000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    zelvorin::test::TestEnvironment environment;
    zelvorin::RegisterUrlSchemes();
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    const int count = argc > 2 ? std::max(26, atoi(argv[2])) : 100000;

    QTemporaryDir root;
    const QString folder = root.filePath("images");
    const QString empty = root.filePath("empty");
    if (!QDir().mkpath(folder) || !QDir().mkpath(empty))
        return 1;
    std::fprintf(stderr, "making %d image files...\n", count);
    for (int i = 1; i <= count; ++i) {
        const QByteArray name = QFile::encodeName(
            QStringLiteral("%1/Image %2.jpg").arg(folder).arg(i, 6, 10, QChar('0')));
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::write(fd, "GIF89a", 6) != 6) {
            std::fprintf(stderr, "cannot write %s\n", name.constData());
            return 1;
        }
        ::close(fd);
    }

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
    form.filePanel()->showStartingFolder(folder);
    zelvorin::FolderFiles* fileList = form.filePanel()->session()->files();
    if (!waitFor([&] { return fileList->count() == count; })) {
        std::fprintf(stderr, "the file list holds %d names, expected %d\n", fileList->count(),
                     count);
        return 1;
    }
    const QString folderName = QFileInfo(folder).fileName();

    std::vector<double> gallery, fullRead;
    int listed = 0;
    for (int run = 0; run < repetitions; ++run) {
        // A fresh blank document each time, so the page's arrival shows in its title.
        form.openAddress(QStringLiteral("about:blank"));
        if (!waitFor([&] { return !page->title().contains(folderName); }))
            return 1;
        QElapsedTimer clock;
        clock.start();
        form.actions().action(zelvorin::Command::ShowImageGallery)->trigger();
        if (!waitFor([&] { return page->title().contains(folderName); })) {
            std::fprintf(stderr, "the gallery page did not come\n");
            return 1;
        }
        gallery.push_back(double(clock.nsecsElapsed()) / 1e6);

        // The session starts on the current folder; it must start elsewhere.
        const QString current = QDir::currentPath();
        QDir::setCurrent(empty);
        {
            zelvorin::FolderSession session;
            zelvorin::FolderFiles& box = *session.files();
            box.setKinds(ListedTypes);
            box.setMask(ImageMask);
            QElapsedTimer read;
            read.start();
            session.setFolder(folder);
            // The list fills as the read goes on: the read ends when the whole folder is in.
            if (!waitFor([&] { return !box.isReading(); }))
                return 1;
            fullRead.push_back(double(read.nsecsElapsed()) / 1e6);
            listed = box.count();
        }
        QDir::setCurrent(current);
    }
    if (listed != count) {
        std::fprintf(stderr, "the read listed %d names, expected %d\n", listed, count);
        return 1;
    }

    const double g = median(gallery);
    const double f = median(fullRead);
    std::printf("folder of %d images, %d repetitions, medians\n", count, repetitions);
    std::printf("  \"Show image gallery\" to its page shown:   %9.2f ms\n", g);
    std::printf("  full read of the folder into a file list:   %9.2f ms\n", f);
    std::printf("  ratio command / read: %.3f (target at most 0.2)\n", f > 0 ? g / f : 0.0);
    return 0;
}

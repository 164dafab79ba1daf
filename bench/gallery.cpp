// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The first gallery page of a folder of 100,000 images (25 items, only their files looked
// at on disk) beside a full read of the same folder's names, sorted as the file list sorts
// them, measured alternately in one run. Target: the page takes at most 0.2 of the read.
//   bench_gallery [REPETITIONS] [NAMES]
#include "BenchFigures.h"
#include "FolderSearch.h"
#include "GalleryPageBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <vector>

namespace {

bool caseInsensitiveLess(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

// The file list's read: every entry with its attributes, then sorted.
QStringList readWithFolderSearch(const QString& folder) {
    QStringList names;
    int error = 0;
    auto search = zelvorin::platform::FolderSearch::open(folder, {}, 0, &error);
    if (!search)
        return names;
    zelvorin::platform::FolderEntry entry;
    while (search->next(entry) == 0)
        names << entry.name;
    std::sort(names.begin(), names.end(), caseInsensitiveLess);
    return names;
}

// The least any full read costs: names only, no attributes, then sorted.
QStringList readWithReaddir(const QString& folder) {
    QStringList names;
    DIR* dir = opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        names << QFile::decodeName(entry->d_name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end(), caseInsensitiveLess);
    return names;
}

// What "Show image gallery" does with the file list's names in memory.
QString firstGalleryPage(const QString& folder, const QStringList& fileList) {
    QStringList names = fileList;
    zelvorin::keepGalleryImages(names);
    return zelvorin::generateGalleryPage(folder, names, 1, zelvorin::GalleryItemsPerPage,
                                         zelvorin::ThumbnailListStyle);
}

template <typename Work> double milliseconds(Work work) {
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    const int count = argc > 2 ? std::max(26, atoi(argv[2])) : 100000;

    QTemporaryDir root;
    const QString folder = root.path() + "/images";
    if (!QDir().mkpath(folder))
        return 1;
    std::fprintf(stderr, "making %d image files...\n", count);
    for (int i = 1; i <= count; ++i) {
        QFile file(QString("%1/Image %2.jpg").arg(folder).arg(i, 6, 10, QChar('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write("GIF89a", 6) != 6) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }

    // The file list as the program holds it after its own read.
    const QStringList fileList = readWithFolderSearch(folder);
    if (fileList.size() != count || readWithReaddir(folder).size() != count) {
        std::fprintf(stderr, "read %lld names, expected %d\n", qlonglong(fileList.size()), count);
        return 1;
    }
    const QString page = firstGalleryPage(folder, fileList);
    if (page.count("<img src=") != zelvorin::GalleryItemsPerPage) {
        std::fprintf(stderr, "the page does not hold %d images\n", zelvorin::GalleryItemsPerPage);
        return 1;
    }

    std::vector<double> gallery, fullRead, namesOnly;
    qsizetype sink = 0;
    for (int i = 0; i < repetitions; ++i) {
        fullRead.push_back(milliseconds([&] { sink += readWithFolderSearch(folder).size(); }));
        gallery.push_back(milliseconds([&] { sink += firstGalleryPage(folder, fileList).size(); }));
        namesOnly.push_back(milliseconds([&] { sink += readWithReaddir(folder).size(); }));
    }

    const double g = median(gallery);
    const double f = median(fullRead);
    const double n = median(namesOnly);
    std::printf("folder of %d images, %d repetitions, medians (checksum %lld)\n", count,
                repetitions, qlonglong(sink));
    std::printf("  first gallery page (copy, image filter, 25 items): %9.2f ms\n", g);
    std::printf("  full read, entries with attributes, sorted:         %9.2f ms\n", f);
    std::printf("  full read, names only (readdir), sorted:            %9.2f ms\n", n);
    std::printf("  ratio page / full read:  %.3f (target at most 0.2)\n", f > 0 ? g / f : 0.0);
    std::printf("  ratio page / names only: %.3f\n", n > 0 ? g / n : 0.0);
    return 0;
}

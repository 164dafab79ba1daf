// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A gallery page of a list of 10,000, 100,000 and 1,000,000 images, made as "Show image
// gallery" makes it from the file list's image names, beside the floor of the same page
// from a list of 25 images, measured alternately in one run. Goal: flat, under 10 ms.
// The first page and one from the middle are timed; only the 25 files a page shows
// exist on disk (the page looks at them), so the sizes cost no disk.
//   bench_gallery_scale [REPETITIONS]
#include "BenchFigures.h"
#include "FileListModel.h"
#include "GalleryPageBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace zelvorin;

namespace {

// The list's marked names as the window hands them to the gallery.
class ListedImages final : public GalleryNames {
public:
    explicit ListedImages(std::shared_ptr<const MarkedNames> names) : m_names(std::move(names)) {}
    qint64 count() const override { return m_names->count(); }
    QString name(qint64 index) const override { return m_names->name(index); }

private:
    std::shared_ptr<const MarkedNames> m_names;
};

QByteArray imageName(int i) {
    return "Image " + QByteArray::number(i).rightJustified(7, '0') + ".jpg";
}

// A list of `count` images and as many other files, filled as a read fills it.
std::unique_ptr<FileListModel> listOf(int count) {
    auto model = std::make_unique<FileListModel>(nullptr);
    const quint32 generation = model->nextGeneration();
    constexpr int Batch = 32768;
    for (int from = 0; from < count; from += Batch) {
        NameBatch batch;
        for (int i = from; i < std::min(count, from + Batch); ++i) {
            const QByteArray image = imageName(i);
            batch.add(std::string_view(image.constData(), size_t(image.size())), 0, true);
            const QByteArray other = "notes " + QByteArray::number(i) + ".txt";
            batch.add(std::string_view(other.constData(), size_t(other.size())), 0, false);
        }
        batch.sort();
        model->addBatch(batch, generation);
    }
    model->commitStaged();
    return model;
}

QString page(const QString& folder, const FileListModel& list, qint64 first) {
    GalleryPageBuilder builder(folder, std::make_shared<ListedImages>(list.markedNames()), first,
                               GalleryItemsPerPage, ThumbnailListStyle);
    QString text = builder.head();
    while (!builder.atEnd())
        text += builder.nextItems(GalleryItemsPerPage);
    return text + builder.tail();
}

double pageMs(const QString& folder, const FileListModel& list, qint64 first, qsizetype& sink) {
    QElapsedTimer clock;
    clock.start();
    sink += page(folder, list, first).size();
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 21;
    QTemporaryDir root;
    const QString folder = root.path();
    const std::vector<int> sizes{10000, 100000, 1000000};
    // The files of the pages timed: the first page and the middle one of each size.
    for (const int size : std::vector<int>{25, 10000, 100000, 1000000}) {
        const int middle = size / 2 / GalleryItemsPerPage * GalleryItemsPerPage;
        for (const int from : {0, middle}) {
            for (int i = from; i < from + GalleryItemsPerPage && i < size; ++i) {
                QFile file(folder + '/' + QString::fromLatin1(imageName(i)));
                if (!file.open(QIODevice::WriteOnly) || file.write("GIF89a", 6) != 6)
                    return 1;
            }
        }
    }
    const auto floorList = listOf(25);
    std::printf("Gallery page (%d items, thumbnails) from the file list's image names; medians "
                "of %d, each beside the floor of a list of 25 images timed alternately\n",
                GalleryItemsPerPage, repetitions);
    qsizetype sink = 0;
    for (const int size : sizes) {
        const auto list = listOf(size);
        if (list->markedNames()->count() != size ||
            page(folder, *list, 1).count("<img src=") != GalleryItemsPerPage) {
            std::fprintf(stderr, "the list of %d does not give a full page\n", size);
            return 1;
        }
        const qint64 middle = size / 2 / GalleryItemsPerPage * GalleryItemsPerPage + 1;
        std::vector<double> floors, firsts, middles;
        for (int i = 0; i < repetitions; ++i) {
            floors.push_back(pageMs(folder, *floorList, 1, sink));
            firsts.push_back(pageMs(folder, *list, 1, sink));
            middles.push_back(pageMs(folder, *list, middle, sink));
        }
        const double floor = median(floors);
        std::printf("%8d images: first page %6.2f ms, page %lld %6.2f ms; floor %6.2f ms; "
                    "ratios %.2f and %.2f (goal: flat, under 10 ms)\n",
                    size, median(firsts), qlonglong(middle / GalleryItemsPerPage + 1),
                    median(middles), floor, median(firsts) / floor, median(middles) / floor);
    }
    std::printf("(checksum %lld)\n", qlonglong(sink));
    return 0;
}

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Choosing 100 images in a row under the "Background Images" filter, side by side (the
// page shown twice, at two widths) beside the same in one view, measured in the same run:
// each image's time from the file list's change to the background applied in every frame
// of every view, and the whole walk when each image is chosen as soon as the program takes
// it. Goal: side by side at most 2 times one view. Also one view at two preset widths
// beside the whole area: the walk stays as fast.
#include "BenchFigures.h"
#include "BenchPages.h"
#include "PageFrame.h"
#include "PageWidth.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "SideView.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWebEngineView>
#include <memory>
#include <vector>

using namespace zelvorin;

namespace {

constexpr int ImageCount = 100;
constexpr int FrameCount = 4;

// Milliseconds for each image, until the first view and (when there is one) the second
// have it in every frame; images not reported in time are counted in `missing`.
std::vector<double> chooseAll(Preview& preview, SideView* side, const QStringList& images,
                              int& missing) {
    std::vector<double> times;
    QSignalSpy first(&preview, &Preview::backgroundApplied);
    std::unique_ptr<QSignalSpy> second;
    if (side)
        second = std::make_unique<QSignalSpy>(side, &SideView::backgroundApplied);
    for (const QString& image : images) {
        first.clear();
        if (second)
            second->clear();
        QElapsedTimer timer;
        timer.start();
        preview.previewChosenFile(image, PreviewUse::Background);
        const bool done = (!first.isEmpty() || first.wait(5000)) &&
                          (!second || !second->isEmpty() || second->wait(5000));
        if (!done) {
            ++missing;
            continue;
        }
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return times;
}

// Milliseconds for the whole walk: every image chosen as soon as the program takes the
// next one (a key held down in the file list), until the last is in every frame of every
// view.
double walk(Preview& preview, SideView* side, const QStringList& images) {
    QSignalSpy first(&preview, &Preview::backgroundApplied);
    QElapsedTimer timer;
    timer.start();
    for (const QString& image : images) {
        preview.previewChosenFile(image, PreviewUse::Background);
        QCoreApplication::processEvents();
    }
    const int last = preview.setBackgroundImage(images.last());
    const auto lastApplied = [&] {
        for (const QList<QVariant>& signal : std::as_const(first))
            if (signal.value(0).toInt() == last)
                return true;
        return false;
    };
    while (!lastApplied() || (side && !side->upToDate())) {
        if (timer.elapsed() > 20000)
            return -1;
        first.wait(5);
    }
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    test::TestEnvironment environment;
    RegisterUrlSchemes();
    QApplication app(argc, argv);
    QTextStream out(stdout);

    QTemporaryDir folder;
    const QStringList images = writeColourTiles(folder, ImageCount);

    test::LoopbackHttpServer server;
    if (!server.start())
        return 1;
    serveFramedPage(server, FrameCount, "Four frames");

    PreviewProfile profile;
    preview::PageFrame frame(nullptr);
    Preview preview(&profile, nullptr, nullptr);
    frame.addView(preview.view(), preview::FullWidth);
    frame.resize(1200, 700);
    frame.show();
    if (!waitForLoad(preview.page(), server.url("/page.html"))) {
        out << "the page did not load\n";
        return 1;
    }

    std::vector<double> walkOne{walk(preview, nullptr, images)};
    std::vector<double> walkTwo;
    int missingOne = 0;
    int missingTwo = 0;
    // Twice each, alternating, so neither gains from a warmed-up engine alone.
    std::vector<double> one = chooseAll(preview, nullptr, images, missingOne);
    std::vector<double> two;
    for (int round = 0; round < 2; ++round) {
        SideView side(&preview, &profile, nullptr);
        frame.addView(side.view(), preview::SideBySideWidth(preview::FullWidth));
        QSignalSpy loaded(side.preview()->page(), &QWebEnginePage::loadFinished);
        if (!loaded.wait(20000)) {
            out << "the second view did not load the page\n";
            return 1;
        }
        walkTwo.push_back(walk(preview, &side, images));
        const std::vector<double> times = chooseAll(preview, &side, images, missingTwo);
        two.insert(two.end(), times.begin(), times.end());
        frame.removeView(side.view());
        if (round == 0) {
            const std::vector<double> more = chooseAll(preview, nullptr, images, missingOne);
            one.insert(one.end(), more.begin(), more.end());
            walkOne.push_back(walk(preview, nullptr, images));
        }
    }
    // One view at a preset: a phone's width (narrower than the area) and a laptop's (scaled
    // down to fit), beside the whole area.
    std::vector<double> phone, laptop;
    int missingPreset = 0;
    frame.setCssWidth(0, 390);
    phone = chooseAll(preview, nullptr, images, missingPreset);
    frame.setCssWidth(0, 1366);
    laptop = chooseAll(preview, nullptr, images, missingPreset);
    frame.setCssWidth(0, preview::FullWidth);
    if (one.empty() || two.empty() || phone.empty() || laptop.empty()) {
        out << "no change was reported applied\n";
        return 1;
    }
    const double oneMedian = median(one);
    const double twoMedian = median(two);
    out << Qt::fixed;
    out.setRealNumberPrecision(2);
    out << "one view (baseline), median of " << one.size() << ": " << oneMedian
        << " ms, not reported: " << missingOne << "\n";
    out << "side by side, median of " << two.size() << ": " << twoMedian << " ms  ("
        << twoMedian / oneMedian << " x one view; goal <= 2), not reported: " << missingTwo << "\n";
    out << "one view at Phone 390, median of " << phone.size() << ": " << median(phone) << " ms  ("
        << median(phone) / oneMedian << " x full width; goal about 1)\n";
    out << "one view at Laptop 1366 scaled to fit, median of " << laptop.size() << ": "
        << median(laptop) << " ms  (" << median(laptop) / oneMedian
        << " x full width; goal about 1), not reported at either: " << missingPreset << "\n";
    out << "the walk, 100 chosen in a row as fast as they are taken, one view (baseline), "
           "median of "
        << walkOne.size() << ": " << median(walkOne) << " ms\n";
    out << "the walk side by side, median of " << walkTwo.size() << ": " << median(walkTwo)
        << " ms  (" << median(walkTwo) / median(walkOne) << " x one view; goal <= 2)\n";
    return 0;
}

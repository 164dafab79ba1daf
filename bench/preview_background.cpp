// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Selecting 100 images in a row under the "Background Images" filter while a page with 10
// frames (half of them of another origin) is shown: the time from the file list's change
// to the background applied in every frame, beside the floor of one plain runJavaScript
// round trip measured in the same run.
#include "BenchFigures.h"
#include "BenchPages.h"
#include "LoopbackHttpServer.h"
#include "PageScripts.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewTestSupport.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTestEventLoop>
#include <QTextStream>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <algorithm>
#include <vector>

using namespace zelvorin;

namespace {

constexpr int ImageCount = 100;
constexpr int FrameCount = 10;

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
    serveFramedPage(server, FrameCount, "Ten frames");

    PreviewProfile profile;
    {
        Preview preview(&profile, nullptr, nullptr);
        preview.view()->resize(1000, 700);
        preview.view()->show();
        if (!waitForLoad(preview.page(), server.url("/page.html"))) {
            out << "the page did not load\n";
            return 1;
        }
        out << "frames counted: " << test::frameCount(&preview) << "\n";

        std::vector<double> floor;
        for (int i = 0; i < ImageCount; ++i) {
            QElapsedTimer timer;
            timer.start();
            test::runScript(preview.page(), QStringLiteral("1"), QWebEngineScript::MainWorld);
            floor.push_back(timer.nsecsElapsed() / 1e6);
        }

        std::vector<double> applied;
        std::vector<double> busyFloor;
        std::vector<double> messageFloor;
        int missing = 0;
        QSignalSpy done(&preview, &Preview::backgroundApplied);
        [[maybe_unused]] int roundId = 1000000;
        for (const QString& image : images) {
            // The floor of the route itself: the same round to every frame, in parallel, with
            // an empty change that each frame acknowledges untouched.
            done.clear();
            QElapsedTimer round;
            round.start();
#ifdef ZELVORIN_REACHES_FRAMES
            QTestEventLoop answered;
            pagescripts::CallInEveryFrame(preview.page(), profile.scriptKey(),
                                          QStringLiteral("applyHere"), {QJsonObject()}, &preview,
                                          [&answered] { answered.exitLoop(); });
            answered.enterLoopMSecs(5000);
            if (!answered.timeout())
                messageFloor.push_back(round.nsecsElapsed() / 1e6);
#else
            preview.page()->runJavaScript(pagescripts::LibraryCall(profile.scriptKey(),
                                                                   QStringLiteral("applyToAll"),
                                                                   {QJsonObject(), ++roundId}),
                                          QWebEngineScript::ApplicationWorld);
            if (done.wait(5000))
                messageFloor.push_back(round.nsecsElapsed() / 1e6);
#endif
            done.clear();
            QElapsedTimer timer;
            timer.start();
            preview.previewChosenFile(image, zelvorin::PreviewUse::Background);
            if (done.isEmpty() && !done.wait(5000)) {
                ++missing;
                continue;
            }
            applied.push_back(timer.nsecsElapsed() / 1e6);
            // The same plain round trip while the engine still paints the new image.
            timer.start();
            test::runScript(preview.page(), QStringLiteral("1"), QWebEngineScript::MainWorld);
            busyFloor.push_back(timer.nsecsElapsed() / 1e6);
        }
        if (applied.empty()) {
            out << "no change was reported applied\n";
            return 1;
        }
        const double floorMedian = median(floor);
        const double appliedMedian = median(applied);
        out << Qt::fixed;
        out.setRealNumberPrecision(2);
        out << "runJavaScript round trip (floor), median of " << floor.size() << ": " << floorMedian
            << " ms\n";
        out << "background applied in every frame, median of " << applied.size() << ": "
            << appliedMedian << " ms  (" << appliedMedian / floorMedian
            << " x floor; target <= 3)\n";
        out << "runJavaScript round trip right after each change (engine busy painting), median: "
            << median(busyFloor) << " ms  (" << appliedMedian / median(busyFloor) << " x that)\n";
        if (!messageFloor.empty())
            out << (pagescripts::ReachesFramesDirectly
                        ? "one script in every frame in parallel, nothing changed (floor of the "
                          "frame route), median: "
                        : "one round of messages to every frame in parallel, nothing changed "
                          "(floor of the message route), median: ")
                << median(messageFloor) << " ms  (" << appliedMedian / median(messageFloor)
                << " x that; goal <= 1.5)\n";
        out << "slowest: " << *std::max_element(applied.begin(), applied.end()) << " ms (worst of "
            << applied.size() << ", goal under 16), not reported: " << missing << "\n";
    }
    return 0;
}

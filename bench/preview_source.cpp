// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// "Copy &HTML source" on a large page (about 2 MB of markup) with a chosen background:
// the time of the author's copy (the document copied, the program's changes taken back,
// image addresses made real) beside the engine's own serialisation of the same page
// (toHtml, what the copy gave before), both measured in the same run.
#include "BenchFigures.h"
#include "LoopbackHttpServer.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewTestSupport.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWebEngineView>
#include <algorithm>
#include <vector>

using namespace zelvorin;

namespace {

constexpr int Paragraphs = 20000;
constexpr int Runs = 15;

} // namespace

int main(int argc, char** argv) {
    test::TestEnvironment environment;
    RegisterUrlSchemes();
    QApplication app(argc, argv);
    QTextStream out(stdout);

    QTemporaryDir folder;
    const QString image = folder.filePath(QStringLiteral("linen.png"));
    QImage tile(32, 32, QImage::Format_RGB32);
    tile.fill(QColor(200, 191, 174));
    tile.save(image, "PNG");

    test::LoopbackHttpServer server;
    if (!server.start())
        return 1;
    QByteArray page = "<!DOCTYPE html><html><head><title>Long</title></head><body>";
    for (int i = 0; i < Paragraphs; ++i)
        page += "<p class='c" + QByteArray::number(i % 7) + "'>Paragraph " + QByteArray::number(i) +
                " with <b>some</b> words &amp; a <a href='#x'>link</a>.</p>";
    page += "</body></html>";
    server.serve("/long.html", page);

    PreviewProfile profile;
    Preview preview(&profile, nullptr, nullptr);
    preview.view()->resize(1000, 700);
    preview.view()->show();
    QSignalSpy finished(preview.page(), &QWebEnginePage::loadFinished);
    preview.page()->load(server.url("/long.html"));
    if (!finished.wait(30000) || !finished.last().value(0).toBool()) {
        out << "the page did not load\n";
        return 1;
    }
    QSignalSpy applied(&preview, &Preview::backgroundApplied);
    preview.setBackgroundImage(image);
    preview.setBackgroundColour(QColor(0xC8, 0xBF, 0xAE));
    while (applied.count() < 2 && applied.wait(5000)) {
    }

    std::vector<double> engine;
    std::vector<double> copy;
    qsizetype engineSize = 0;
    qsizetype copySize = 0;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        engineSize = test::engineHtml(preview.page(), 30000).value_or(QString()).size();
        engine.push_back(timer.nsecsElapsed() / 1e6);
        timer.start();
        copySize = test::documentSource(&preview).value_or(QString()).size();
        copy.push_back(timer.nsecsElapsed() / 1e6);
    }
    out << Qt::fixed;
    out.setRealNumberPrecision(2);
    out << "page markup: " << engineSize << " characters from the engine, " << copySize
        << " in the copy\n";
    out << "engine's serialisation (toHtml, baseline), median of " << Runs << ": " << median(engine)
        << " ms\n";
    out << "author's copy, median of " << Runs << ": " << median(copy) << " ms  ("
        << median(copy) / median(engine) << " x baseline)\n";
    return 0;
}

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A local page of photos, from the load to every image decoded and drawn: in the preview's
// profile (each image sent on by the request guard and served as a picture no canvas reads)
// beside the engine alone loading the same files (a plain profile), measured in turn in the
// same run. Two pages: 24 photos of 1600 x 1200, and one of 6000 x 4000.
#include "BenchFigures.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <vector>

using namespace zelvorin;

namespace {

constexpr int Runs = 7;

void writePhoto(const QString& path, int width, int height, int seed) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, QColor::fromHsv(seed * 37 % 360, 160, 230));
    gradient.setColorAt(1, QColor::fromHsv(seed * 71 % 360, 200, 90));
    painter.fillRect(image.rect(), gradient);
    QRandomGenerator random(seed);
    for (int i = 0; i < width * height / 400; ++i) {
        painter.fillRect(random.bounded(width), random.bounded(height), 6, 6,
                         QColor::fromRgb(random.generate()));
    }
    painter.end();
    image.save(path, "JPEG", 85);
}

// The page tells it is done through its title, once every image is decoded and drawn at the
// size it is shown (a picture in an SVG may be decoded only when drawn); `run` makes
// every address new, so that no cache of the engine's answers.
QByteArray page(const QStringList& names, int width, int run) {
    QByteArray images;
    for (const QString& name : names) {
        images += "<img src='" + name.toUtf8() + "?run=" + QByteArray::number(run) + "' width='" +
                  QByteArray::number(width) + "'>";
    }
    return "<html><body>" + images +
           "<script>addEventListener('load', function () {"
           " Promise.all(Array.prototype.map.call(document.images, function (i) {"
           " return i.decode(); })).then(function () {"
           " Array.prototype.forEach.call(document.images, function (i) {"
           " var c = document.createElement('canvas'); c.width = i.width; c.height = i.height;"
           " c.getContext('2d').drawImage(i, 0, 0, i.width, i.height); });"
           " document.title = 'decoded'; },"
           " function () { document.title = 'failed'; }); });</script></body></html>";
}

// Milliseconds from the load to every image decoded; negative when it failed.
double timeLoad(QWebEnginePage* page, const QUrl& url) {
    QSignalSpy titles(page, &QWebEnginePage::titleChanged);
    QElapsedTimer timer;
    timer.start();
    page->load(url);
    while (titles.wait(30000)) {
        const QString title = titles.last().value(0).toString();
        if (title == QLatin1String("decoded"))
            return timer.nsecsElapsed() / 1e6;
        if (title == QLatin1String("failed"))
            return -1;
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    test::TestEnvironment environment;
    RegisterUrlSchemes();
    QApplication app(argc, argv);
    QTextStream out(stdout);
    out << Qt::fixed;
    out.setRealNumberPrecision(1);

    QTemporaryDir folder;
    QStringList many;
    for (int i = 0; i < 24; ++i) {
        const QString name = QStringLiteral("photo%1.jpg").arg(i);
        writePhoto(folder.filePath(name), 1600, 1200, i + 1);
        many << name;
    }
    writePhoto(folder.filePath(QStringLiteral("large.jpg")), 6000, 4000, 99);

    PreviewProfile preview;
    QWebEngineProfile plain;
    QWebEngineView guardedView;
    QWebEngineView plainView;
    PreviewPage guardedPage(&preview, &guardedView);
    QWebEnginePage plainPage(&plain, &plainView);
    guardedView.setPage(&guardedPage);
    plainView.setPage(&plainPage);
    for (QWebEngineView* view : {&guardedView, &plainView}) {
        view->resize(1200, 800);
        view->show();
    }

    const struct {
        const char* title;
        QStringList names;
        int width;
    } pages[] = {{"24 photos of 1600 x 1200", many, 200},
                 {"one photo of 6000 x 4000", {QStringLiteral("large.jpg")}, 1200}};
    int run = 0;
    for (const auto& shown : pages) {
        std::vector<double> guarded, engine;
        for (int i = 0; i < Runs + 1; ++i) {
            const QString path = folder.filePath(QStringLiteral("page%1.html").arg(++run));
            if (!test::writeFile(path, page(shown.names, shown.width, run)))
                return 1;
            const double a = timeLoad(&guardedPage, QUrl::fromLocalFile(path));
            const double b = timeLoad(&plainPage, QUrl::fromLocalFile(path));
            if (a < 0 || b < 0) {
                out << shown.title << ": a page did not load (" << (a < 0 ? "preview" : "engine")
                    << ")\n";
                return 1;
            }
            // The first round warms the engine up.
            if (i > 0) {
                guarded.push_back(a);
                engine.push_back(b);
            }
        }
        out << shown.title << ", median of " << Runs << ": preview " << median(guarded)
            << " ms, the engine alone (baseline) " << median(engine) << " ms, "
            << median(guarded) / median(engine) << " x\n";
    }
    return 0;
}

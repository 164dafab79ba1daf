// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The floor for start-up: the least a Qt program with one web view can do, one window with
// one QWebEngineView that loads a blank page (or the address given) and quits once it has.
//   bench_startup_floor [ADDRESS]
#include <QApplication>
#include <QTimer>
#include <QWebEngineView>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWebEngineView view;
    view.resize(800, 600);
    QObject::connect(&view, &QWebEngineView::loadFinished, &view, [] {
        std::fputs("floor: first page loaded\n", stdout);
        std::fflush(stdout);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    });
    const QStringList arguments = QApplication::arguments();
    view.setUrl(arguments.size() > 1 ? QUrl::fromUserInput(arguments.at(1))
                                     : QUrl(QStringLiteral("about:blank")));
    view.show();
    return app.exec();
}

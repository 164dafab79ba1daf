// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The floor for start-up: the least a Qt program with one web view can do, one window with
// one QWebEngineView that loads a blank page and quits once it has.
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
    view.setUrl(QUrl(QStringLiteral("about:blank")));
    view.show();
    return app.exec();
}

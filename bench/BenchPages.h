// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the background benchmarks choose from and show: a folder of small tiles of distinct
// colours, and a page served with frames, half of them of another origin.
#pragma once

#include "LoopbackHttpServer.h"

#include <QColor>
#include <QImage>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QWebEnginePage>

// Writes `count` 32 x 32 PNG tiles into the folder and returns their paths.
inline QStringList writeColourTiles(const QTemporaryDir& folder, int count) {
    QStringList images;
    for (int i = 0; i < count; ++i) {
        QImage image(32, 32, QImage::Format_RGB32);
        image.fill(QColor::fromHsv((i * 37) % 360, 200, 220));
        const QString path =
            folder.filePath(QStringLiteral("tile%1.png").arg(i, 3, 10, QChar('0')));
        image.save(path, "PNG");
        images << path;
    }
    return images;
}

// Serves "/page.html" with `frameCount` frames of "/frame.html" after the text.
inline void serveFramedPage(zelvorin::test::LoopbackHttpServer& server, int frameCount,
                            const QByteArray& text) {
    QByteArray frames;
    for (int i = 0; i < frameCount; ++i) {
        const QUrl source =
            i % 2 ? server.urlOnOtherHost("/frame.html") : server.url("/frame.html");
        frames += "<iframe src='" + source.toEncoded() + "' width='150' height='100'></iframe>";
    }
    server.serve("/page.html", "<html><body><p>" + text + "</p>" + frames + "</body></html>");
    server.serve("/frame.html", "<html><body><p>frame</p></body></html>");
}

inline bool waitForLoad(QWebEnginePage* page, const QUrl& url) {
    QSignalSpy finished(page, &QWebEnginePage::loadFinished);
    page->load(url);
    return finished.wait(20000) && finished.last().value(0).toBool();
}

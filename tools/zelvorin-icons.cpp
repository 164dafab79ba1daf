// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Draws the program's SVG icon as PNG images of the sizes named on the command line, in the
// icon theme's layout (FOLDER/NxN/apps/NAME.png), for desktops and packages that want
// bitmaps. The SVG is drawn by Qt's own SVG image plugin.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 4) {
        std::fprintf(stderr, "usage: zelvorin-icons <icon.svg> <folder> <size>...\n");
        return 2;
    }
    const QString svg = arguments.at(1);
    const QString name = QFileInfo(svg).completeBaseName();
    for (const QString& sizeText : arguments.mid(3)) {
        bool ok = false;
        const int size = sizeText.toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "zelvorin-icons: not a size: %s\n", qPrintable(sizeText));
            return 2;
        }
        QImageReader reader(svg, "svg");
        reader.setScaledSize(QSize(size, size));
        const QImage image = reader.read();
        if (image.isNull()) {
            std::fprintf(stderr, "zelvorin-icons: %s: %s\n", qPrintable(svg),
                         qPrintable(reader.errorString()));
            return 1;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(arguments.at(2)).arg(size);
        const QString file = folder + "/" + name + ".png";
        if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
            std::fprintf(stderr, "zelvorin-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}

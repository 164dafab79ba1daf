// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Analysing a background tile from its file (decode, contrast, colour, seams) beside
// decoding the same file alone, measured alternately in one run, for every kind of image
// the web keeps its tiles in. Target: a 512 x 512 tile in under 20 ms, whatever its kind.
// A 6000 x 4000 photo shows what the bounded sample buys.
//   bench_tile_analysis [REPETITIONS]
#include "BenchFigures.h"
#include "ImageDecoder.h"
#include "ImageFormatFolder.h"
#include "TileAnalysis.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

// A textured image: soft waves with grain, so encoders and the analysis see real detail.
QImage texture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 generator(5);
    std::uniform_int_distribution<int> grain(-12, 12);
    for (int y = 0; y < height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double wave = std::sin(x * 0.05) * std::cos(y * 0.03) * 60;
            const int v = std::clamp(int(150 + wave) + grain(generator), 0, 255);
            line[x] = qRgb(v, std::clamp(v - 20, 0, 255), std::clamp(v - 50, 0, 255));
        }
    }
    return image;
}

// A drawing of a 512 x 512 tile as SVG tiles are drawn: a ground, a lattice of 64 paths
// and 256 dots in gradients and flat colours.
QByteArray drawing() {
    QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' width='512' height='512'>"
                     "<defs><linearGradient id='g' x1='0' y1='0' x2='1' y2='1'>"
                     "<stop offset='0' stop-color='#fff6e0'/><stop offset='1' "
                     "stop-color='#c08040'/></linearGradient></defs>"
                     "<rect width='512' height='512' fill='#f4efe6'/>";
    for (int i = 0; i < 64; ++i) {
        const int x = i % 8 * 64, y = i / 8 * 64;
        svg += QStringLiteral("<path d='M%1 %2 l32 32 l-32 32 l-32 -32 z' fill='#e0d4be' "
                              "stroke='#a08860' stroke-width='1.5'/>")
                   .arg(x + 32)
                   .arg(y)
                   .toLatin1();
    }
    for (int i = 0; i < 256; ++i) {
        svg += QStringLiteral("<circle cx='%1' cy='%2' r='%3' fill='%4'/>")
                   .arg(i % 16 * 32 + 16)
                   .arg(i / 16 * 32 + 16)
                   .arg(3 + i % 5)
                   .arg(i % 3 ? QStringLiteral("url(#g)") : QStringLiteral("#7a5030"))
                   .toLatin1();
    }
    return svg + "</svg>";
}

QByteArray encoded(const QImage& image, const char* format) {
    if (qstrcmp(format, "avif") == 0)
        return zelvorin::test::EncodeAvif(image, 60);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, qstrcmp(format, "jpg") == 0 ? "jpeg" : format);
    writer.setQuality(90);
    return writer.write(image) ? bytes : QByteArray();
}

template <typename Work> double milliseconds(Work work) {
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e6;
}

struct Figures {
    double analysis;
    double decode;
};

Figures measure(const QString& path, int repetitions, qint64& sink) {
    std::vector<double> analysis, decode;
    for (int i = 0; i < repetitions; ++i) {
        decode.push_back(milliseconds(
            [&] { sink += zelvorin::DecodeImageFile(QFile::encodeName(path)).image.width(); }));
        analysis.push_back(milliseconds([&] {
            const auto result = zelvorin::preview::AnalyseTileFile(path);
            sink += result.analysis ? result.analysis->average.red() : -1;
        }));
    }
    return {median(analysis), median(decode)};
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 25;
    QTemporaryDir folder;
    struct Case {
        const char* name;
        QSize size;
        const char* format;
        int repetitions;
    };
    const Case cases[] = {
        {"512 x 512 JPEG", {512, 512}, "jpg", repetitions},
        {"512 x 512 PNG", {512, 512}, "png", repetitions},
        {"512 x 512 WebP", {512, 512}, "webp", repetitions},
        {"512 x 512 AVIF", {512, 512}, "avif", repetitions},
        {"512 x 512 SVG", {512, 512}, "svg", repetitions},
        {"6000 x 4000 JPEG", {6000, 4000}, "jpg", std::max(1, repetitions / 5)},
        {"6000 x 4000 PNG", {6000, 4000}, "png", std::max(1, repetitions / 5)},
    };
    qint64 sink = 0;
    std::printf("medians of alternate runs; baseline: decoding the same file alone\n");
    for (const Case& c : cases) {
        const QString path = folder.filePath(QStringLiteral("tile-%1x%2.%3")
                                                 .arg(c.size.width())
                                                 .arg(c.size.height())
                                                 .arg(QLatin1String(c.format)));
        const QByteArray bytes = qstrcmp(c.format, "svg") == 0
                                     ? drawing()
                                     : encoded(texture(c.size.width(), c.size.height()), c.format);
        QFile file(path);
        if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) ||
            file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        file.close();
        const Figures f = measure(path, c.repetitions, sink);
        std::printf("  %-17s analysis %8.2f ms   decode alone %8.2f ms   ratio %.2f\n", c.name,
                    f.analysis, f.decode, f.decode > 0 ? f.analysis / f.decode : 0.0);
        if (c.size == QSize(512, 512))
            std::printf("  %-17s %s (target under 20 ms)\n", "",
                        f.analysis < 20 ? "met" : "MISSED");
    }
    std::printf("(checksum %lld)\n", qlonglong(sink));
    return 0;
}

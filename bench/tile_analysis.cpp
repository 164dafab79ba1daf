// Analysing a background tile from its file (decode, contrast, colour, seams) beside
// decoding the same file with QImage alone, measured alternately in one run. Target: a
// 512 x 512 tile in under 20 ms. A 6000 x 4000 photo shows what the bounded sample buys.
//   bench_tile_analysis [REPETITIONS]
#include "BenchFigures.h"
#include "TileAnalysis.h"

#include <QElapsedTimer>
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
        decode.push_back(milliseconds([&] { sink += QImage(path).width(); }));
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
        {"6000 x 4000 JPEG", {6000, 4000}, "jpg", std::max(1, repetitions / 5)},
        {"6000 x 4000 PNG", {6000, 4000}, "png", std::max(1, repetitions / 5)},
    };
    qint64 sink = 0;
    std::printf("medians of alternate runs; baseline: QImage decoding the same file\n");
    for (const Case& c : cases) {
        const QString path = folder.filePath(QStringLiteral("tile-%1x%2.%3")
                                                 .arg(c.size.width())
                                                 .arg(c.size.height())
                                                 .arg(QLatin1String(c.format)));
        QImageWriter writer(path);
        writer.setQuality(90);
        if (!writer.write(texture(c.size.width(), c.size.height()))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
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

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SampleTiles.h"

#include "ImageDecoder.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <vector>

namespace zelvorin {

namespace {

constexpr double TwoPi = 2.0 * std::numbers::pi;

struct Rgb {
    double r = 0;
    double g = 0;
    double b = 0;
};

Rgb mix(const Rgb& a, const Rgb& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb shade(const Rgb& c, double amount) {
    return {c.r + amount, c.g + amount, c.b + amount};
}

double fract(double v) {
    return v - std::floor(v);
}

double smooth(double edge0, double edge1, double v) {
    const double t = std::clamp((v - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// Value noise on a lattice that wraps around, so a tile sampled over whole periods
// continues across its edges.
class PeriodicNoise {
public:
    PeriodicNoise(int periodX, int periodY, unsigned seed)
        : m_periodX(periodX), m_periodY(periodY), m_values(size_t(periodX) * periodY) {
        std::mt19937 generator(seed);
        std::uniform_real_distribution<double> value(0.0, 1.0);
        for (double& v : m_values) {
            v = value(generator);
        }
    }

    // u and v in tile units: 0..1 covers the tile once.
    double at(double u, double v) const {
        const double x = fract(u) * m_periodX;
        const double y = fract(v) * m_periodY;
        const int x0 = int(x) % m_periodX;
        const int y0 = int(y) % m_periodY;
        const int x1 = (x0 + 1) % m_periodX;
        const int y1 = (y0 + 1) % m_periodY;
        const double tx = smooth(0, 1, x - std::floor(x));
        const double ty = smooth(0, 1, y - std::floor(y));
        const double top = lattice(x0, y0) + (lattice(x1, y0) - lattice(x0, y0)) * tx;
        const double bottom = lattice(x0, y1) + (lattice(x1, y1) - lattice(x0, y1)) * tx;
        return top + (bottom - top) * ty;
    }

private:
    double lattice(int x, int y) const { return m_values[size_t(y) * m_periodX + x]; }

    int m_periodX = 1;
    int m_periodY = 1;
    std::vector<double> m_values;
};

// Sum of noise octaves, each twice as fine and half as strong; 0..1.
class FractalNoise {
public:
    FractalNoise(int periodX, int periodY, int octaves, unsigned seed) {
        for (int i = 0; i < octaves; ++i) {
            m_octaves.emplace_back(periodX << i, periodY << i, seed + unsigned(i) * 7919u);
        }
    }
    double at(double u, double v) const {
        double sum = 0;
        double weight = 1;
        double total = 0;
        for (const PeriodicNoise& octave : m_octaves) {
            sum += octave.at(u, v) * weight;
            total += weight;
            weight *= 0.5;
        }
        return sum / total;
    }

private:
    std::vector<PeriodicNoise> m_octaves;
};

using Shader = std::function<Rgb(double x, double y)>;

// Draws a tile pixel by pixel; `samples` > 1 averages a grid of points per pixel, which
// smooths the edges of hard shapes.
QImage render(int width, int height, int samples, const Shader& shader) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            Rgb sum;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const Rgb c = shader(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples);
                    sum.r += c.r;
                    sum.g += c.g;
                    sum.b += c.b;
                }
            }
            const double n = double(samples) * samples;
            line[x] = qRgb(std::clamp(int(std::lround(sum.r / n)), 0, 255),
                           std::clamp(int(std::lround(sum.g / n)), 0, 255),
                           std::clamp(int(std::lround(sum.b / n)), 0, 255));
        }
    }
    return image;
}

// Distance from v to the nearest multiple of period.
double distanceToGrid(double v, double period) {
    double m = std::fmod(v, period);
    if (m < 0) {
        m += period;
    }
    return std::min(m, period - m);
}

QImage creamPaper() {
    const int size = 128;
    const PeriodicNoise grain(64, 64, 11);
    const PeriodicNoise fibres(4, 32, 12);
    const FractalNoise cloud(4, 4, 3, 13);
    const Rgb base{242, 234, 214};
    return render(size, size, 1, [&](double x, double y) {
        const double u = x / size, v = y / size;
        const double tone =
            (cloud.at(u, v) - 0.5) * 16 + (grain.at(u, v) - 0.5) * 10 + (fibres.at(u, v) - 0.5) * 8;
        return shade(base, tone);
    });
}

QImage greyMarble() {
    const int size = 256;
    const FractalNoise turbulence(4, 4, 5, 21);
    const Rgb stone{236, 234, 230};
    const Rgb vein{120, 118, 124};
    return render(size, size, 1, [&](double x, double y) {
        const double u = x / size, v = y / size;
        const double phase = TwoPi * (u + v) * 2 + turbulence.at(u, v) * 9;
        const double veins = std::pow(std::abs(std::sin(phase)), 0.25);
        const double fine = (turbulence.at(u * 2, v * 2) - 0.5) * 14;
        return shade(mix(vein, stone, veins), fine);
    });
}

QImage linen() {
    const int size = 128;
    const int threads = 32;
    const PeriodicNoise warpSlub(threads, 4, 31);
    const PeriodicNoise weftSlub(4, threads, 32);
    const PeriodicNoise speck(64, 64, 33);
    const Rgb base{214, 204, 182};
    return render(size, size, 2, [&](double x, double y) {
        const double u = x / size, v = y / size;
        const double warp = 0.5 + 0.5 * std::cos(TwoPi * u * threads);
        const double weft = 0.5 + 0.5 * std::cos(TwoPi * v * threads);
        const double tone =
            (warp * (warpSlub.at(u, v) - 0.4) + weft * (weftSlub.at(u, v) - 0.4)) * 22 +
            (speck.at(u, v) - 0.5) * 8 - (1 - warp) * (1 - weft) * 14;
        return shade(base, tone);
    });
}

QImage sunsetBands() {
    const int width = 64, height = 256;
    const PeriodicNoise haze(8, 16, 41);
    const Rgb gold{253, 214, 146};
    const Rgb rose{240, 150, 150};
    const Rgb violet{160, 130, 190};
    return render(width, height, 1, [&](double x, double y) {
        const double u = x / width, v = y / height;
        const double t = 0.5 - 0.5 * std::cos(TwoPi * v);
        const Rgb band = t < 0.5 ? mix(gold, rose, t * 2) : mix(rose, violet, t * 2 - 1);
        const double ripple = std::sin(TwoPi * v * 8) * 6 + (haze.at(u, v) - 0.5) * 8;
        return shade(band, ripple);
    });
}

QImage blueChecks() {
    const int size = 64;
    const Rgb white{250, 250, 246};
    const Rgb light{150, 180, 226};
    const Rgb dark{58, 96, 170};
    return render(size, size, 1, [&](double x, double y) {
        // Bands are shifted half a band so that the tile edge falls inside one.
        const bool across = int(std::floor((x + 8) / 16)) % 2 == 1;
        const bool down = int(std::floor((y + 8) / 16)) % 2 == 1;
        return across && down ? dark : (across || down ? light : white);
    });
}

QImage polkaDots() {
    const int size = 64;
    const Rgb paper{252, 244, 226};
    const Rgb dot{214, 64, 72};
    return render(size, size, 4, [&](double x, double y) {
        // Two staggered dots per tile: at (16, 16) and at (48, 48).
        const double d1 = std::hypot(distanceToGrid(x - 16, 64), distanceToGrid(y - 16, 64));
        const double d2 = std::hypot(distanceToGrid(x - 48, 64), distanceToGrid(y - 48, 64));
        return std::min(d1, d2) < 9 ? dot : paper;
    });
}

QImage candyStripes() {
    const int size = 64;
    const Rgb mint{200, 236, 214};
    const Rgb cream{255, 250, 238};
    const Rgb line{96, 170, 130};
    return render(size, size, 4, [&](double x, double y) {
        const double p = std::fmod(x + y + 8, 32.0);
        if (p < 2 || (p >= 16 && p < 18)) {
            return line;
        }
        return p < 16 ? mint : cream;
    });
}

QImage argyle() {
    const int size = 64;
    const Rgb navy{40, 52, 96};
    const Rgb wine{140, 40, 60};
    const Rgb thread{230, 220, 190};
    return render(size, size, 4, [&](double x, double y) {
        const double dx = std::abs(x - 32), dy = std::abs(y - 32);
        const Rgb fill = dx + dy < 32 ? wine : navy;
        // Thin diagonal threads crossing the diamonds' middles.
        const bool onThread =
            distanceToGrid(x + y, 64) < 0.8 || distanceToGrid(x - y + 64, 64) < 0.8;
        return onThread ? thread : fill;
    });
}

QImage waves() {
    const int size = 128;
    const Rgb deep{40, 110, 150};
    const Rgb foam{200, 236, 240};
    return render(size, size, 2, [&](double x, double y) {
        const double u = x / size, v = y / size;
        const double offset = 0.05 * std::cos(TwoPi * u * 2) + 0.02 * std::cos(TwoPi * u * 5);
        const double crest = 0.5 + 0.5 * std::sin(TwoPi * (v + offset) * 4);
        return mix(deep, foam, std::pow(crest, 3));
    });
}

QImage graphPaper() {
    const int size = 128;
    const Rgb paper{250, 252, 248};
    const Rgb minor{196, 222, 210};
    const Rgb major{120, 180, 160};
    return render(size, size, 4, [&](double x, double y) {
        // Lines sit between the edges so no line is split by the tile seam.
        const double mx = std::min(distanceToGrid(x - 8, 16), distanceToGrid(y - 8, 16));
        const double big = std::min(distanceToGrid(x - 40, 64), distanceToGrid(y - 40, 64));
        if (big < 0.7) {
            return major;
        }
        return mx < 0.5 ? minor : paper;
    });
}

QImage tartan() {
    const int size = 128;
    // One sett: colour bands with their widths, summing to the tile size and beginning and
    // ending in the same colour so the seam falls inside a band.
    struct Band {
        Rgb color;
        int width;
    };
    const Rgb green{30, 90, 60}, navy{30, 40, 90}, red{170, 40, 40}, yellow{230, 200, 80};
    const std::vector<Band> sett{{green, 20}, {navy, 16},  {red, 4},  {navy, 16}, {green, 20},
                                 {yellow, 2}, {green, 18}, {red, 14}, {green, 18}};
    auto bandAt = [&](double p) {
        int start = 0;
        for (const Band& band : sett) {
            if (p < start + band.width) {
                return band.color;
            }
            start += band.width;
        }
        return sett.back().color;
    };
    return render(size, size, 1, [&](double x, double y) {
        const Rgb warp = bandAt(x);
        const Rgb weft = bandAt(y);
        // A 2/2 twill: threads show in diagonal steps.
        const bool warpOnTop = ((int(x) + int(y)) / 2) % 2 == 0;
        return mix(warpOnTop ? warp : weft, warpOnTop ? weft : warp, 0.3);
    });
}

QImage softBands() {
    const int width = 64, height = 192;
    const Rgb colors[3] = {{220, 236, 250}, {236, 226, 250}, {226, 246, 232}};
    return render(width, height, 1, [&](double, double y) {
        const double p = y / height * 3;
        const int band = int(std::floor(p)) % 3;
        const double t = smooth(0.6, 1.0, fract(p));
        const Rgb c = mix(colors[band], colors[(band + 1) % 3], t);
        return shade(c, 4 * std::sin(TwoPi * y / height * 12));
    });
}

QImage redBricks() {
    const int width = 128, height = 64;
    const PeriodicNoise texture(32, 16, 51);
    const Rgb mortar{208, 204, 196};
    std::mt19937 generator(52);
    std::uniform_real_distribution<double> tone(-18, 18);
    std::vector<double> brickTone(8);
    for (double& t : brickTone) {
        t = tone(generator);
    }
    return render(width, height, 2, [&](double x, double y) {
        const int row = int(std::floor(y / 32)) % 2;
        const double bx = x + (row == 1 ? 32 : 0);
        // Mortar joints straddle the tile edges so each edge lies inside a joint.
        const bool joint = distanceToGrid(y, 32) < 1.5 || distanceToGrid(bx, 64) < 1.5;
        const double grain = (texture.at(x / width, y / height) - 0.5) * 26;
        if (joint) {
            return shade(mortar, grain * 0.3);
        }
        const int brick = row * 4 + (int(std::floor(bx / 64)) % 2);
        const Rgb clay{168 + brickTone[brick], 70 + brickTone[brick] * 0.4, 52};
        return shade(clay, grain);
    });
}

QImage wood() {
    const int width = 256, height = 128;
    const FractalNoise warp(2, 4, 4, 61);
    const PeriodicNoise pores(128, 8, 62);
    const Rgb light{206, 160, 104};
    const Rgb dark{150, 98, 54};
    return render(width, height, 1, [&](double x, double y) {
        const double u = x / width, v = y / height;
        const double rings = v * 6 + warp.at(u, v) * 2.5;
        const double grain = std::pow(0.5 + 0.5 * std::sin(TwoPi * rings), 3);
        return shade(mix(light, dark, grain), (pores.at(u, v) - 0.5) * 14);
    });
}

QImage denim() {
    const int size = 64;
    const PeriodicNoise fleck(32, 32, 71);
    const PeriodicNoise wash(4, 4, 72);
    const Rgb indigo{46, 70, 120};
    const Rgb white{160, 176, 204};
    return render(size, size, 1, [&](double x, double y) {
        const double u = x / size, v = y / size;
        const bool twill = (int(x) + int(y)) % 4 < 2;
        const double t = (twill ? 0.15 : 0.45) + (fleck.at(u, v) - 0.5) * 0.4;
        return shade(mix(indigo, white, t), (wash.at(u, v) - 0.5) * 20);
    });
}

QImage mosaic() {
    const int size = 128;
    const int cell = 16;
    const int cells = size / cell;
    const Rgb grout{236, 232, 222};
    const Rgb palette[4] = {{64, 140, 170}, {90, 170, 190}, {40, 100, 140}, {230, 180, 90}};
    std::mt19937 generator(81);
    std::vector<int> chosen(size_t(cells) * cells);
    for (int& c : chosen) {
        c = int(generator() % 4);
    }
    const PeriodicNoise glaze(32, 32, 82);
    return render(size, size, 4, [&](double x, double y) {
        if (distanceToGrid(x, cell) < 1.2 || distanceToGrid(y, cell) < 1.2) {
            return grout;
        }
        const int cx = int(std::floor(x / cell)) % cells;
        const int cy = int(std::floor(y / cell)) % cells;
        const Rgb tile = palette[chosen[size_t(cy) * cells + cx]];
        return shade(tile, (glaze.at(x / size, y / size) - 0.5) * 24);
    });
}

// Fine sand in the sun: grains over soft drifts, as photographs of texture are kept on
// the web (a lossy WebP).
QImage sand() {
    const int size = 128;
    const PeriodicNoise grains(128, 128, 91);
    const PeriodicNoise tint(128, 128, 94);
    const PeriodicNoise coarse(32, 32, 92);
    const FractalNoise drifts(2, 2, 3, 93);
    const Rgb dune{226, 206, 168};
    return render(size, size, 1, [&](double x, double y) {
        const double u = x / size, v = y / size;
        const double tone = (drifts.at(u, v) - 0.5) * 18 + (coarse.at(u, v) - 0.5) * 12 +
                            (grains.at(u, v) - 0.5) * 22;
        // Each grain has a colour of its own, from pale quartz to rust.
        const double warmth = (tint.at(u, v) - 0.5) * 16;
        return Rgb{dune.r + tone + warmth, dune.g + tone, dune.b + tone - warmth};
    });
}

// A lattice of diamonds with a stud at every crossing; the diamonds' corners lie on the
// middles of the tile's edges and the studs on its corners, so the copies join up.
QByteArray diamondLatticeDrawing() {
    return R"(<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">
<rect width="48" height="48" fill="#f4efe6"/>
<path d="M24 0 L48 24 L24 48 L0 24 Z" fill="#e8dfcf" stroke="#c9b99c" stroke-width="1.5"/>
<g fill="#b88f5f">
<circle cx="24" cy="24" r="3.5"/>
<circle cx="0" cy="0" r="3.5"/><circle cx="48" cy="0" r="3.5"/>
<circle cx="0" cy="48" r="3.5"/><circle cx="48" cy="48" r="3.5"/>
</g>
</svg>
)";
}

QImage diamondLattice() {
    return DecodeImage(diamondLatticeDrawing()).image;
}

} // namespace

const QList<SampleTile>& SampleTiles() {
    static const QList<SampleTile> tiles{
        {QStringLiteral("cream paper.jpg"), creamPaper},
        {QStringLiteral("grey marble.jpg"), greyMarble},
        {QStringLiteral("linen.jpg"), linen},
        {QStringLiteral("sunset bands.jpg"), sunsetBands},
        {QStringLiteral("blue checks.gif"), blueChecks},
        {QStringLiteral("polka dots.gif"), polkaDots},
        {QStringLiteral("candy stripes.gif"), candyStripes},
        {QStringLiteral("argyle.gif"), argyle},
        {QStringLiteral("waves.png"), waves},
        {QStringLiteral("graph paper.png"), graphPaper},
        {QStringLiteral("tartan.png"), tartan},
        {QStringLiteral("soft bands.png"), softBands},
        {QStringLiteral("red bricks.bmp"), redBricks},
        {QStringLiteral("wood.bmp"), wood},
        {QStringLiteral("denim.bmp"), denim},
        {QStringLiteral("mosaic.bmp"), mosaic},
        {QStringLiteral("sand.webp"), sand},
        {QStringLiteral("diamond lattice.svg"), diamondLattice, diamondLatticeDrawing},
    };
    return tiles;
}

} // namespace zelvorin

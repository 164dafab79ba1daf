// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "GifWriter.h"

#include <QHash>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace zelvorin {

namespace {

constexpr int MaxColors = 256;
constexpr int MaxCodes = 4096; // GIF codes have at most 12 bits

struct ColorCount {
    QRgb color = 0;
    quint64 count = 0;
};

int channel(QRgb color, int axis) {
    switch (axis) {
    case 0:
        return qRed(color);
    case 1:
        return qGreen(color);
    default:
        return qBlue(color);
    }
}

// One box of the median cut: a range of the colour list.
struct Box {
    int begin = 0;
    int end = 0;
    int axis = 0;
    int range = 0;
    quint64 weight = 0;
};

void measure(Box& box, const std::vector<ColorCount>& colors) {
    std::array<int, 3> low{255, 255, 255};
    std::array<int, 3> high{0, 0, 0};
    box.weight = 0;
    for (int i = box.begin; i < box.end; ++i) {
        for (int axis = 0; axis < 3; ++axis) {
            const int value = channel(colors[i].color, axis);
            low[axis] = std::min(low[axis], value);
            high[axis] = std::max(high[axis], value);
        }
        box.weight += colors[i].count;
    }
    box.range = -1;
    for (int axis = 0; axis < 3; ++axis) {
        if (high[axis] - low[axis] > box.range) {
            box.range = high[axis] - low[axis];
            box.axis = axis;
        }
    }
}

// Median cut over the distinct colours, weighted by how often each occurs.
QList<QRgb> medianCut(std::vector<ColorCount>& colors, int maxColors) {
    std::vector<Box> boxes(1);
    boxes[0].end = int(colors.size());
    measure(boxes[0], colors);
    while (int(boxes.size()) < maxColors) {
        // Split the box with the widest spread; large, busy boxes lose detail first.
        int chosen = -1;
        for (int i = 0; i < int(boxes.size()); ++i) {
            if (boxes[i].end - boxes[i].begin < 2 || boxes[i].range <= 0) {
                continue;
            }
            if (chosen < 0 || boxes[i].range > boxes[chosen].range ||
                (boxes[i].range == boxes[chosen].range && boxes[i].weight > boxes[chosen].weight)) {
                chosen = i;
            }
        }
        if (chosen < 0) {
            break;
        }
        Box box = boxes[chosen];
        const int axis = box.axis;
        std::sort(colors.begin() + box.begin, colors.begin() + box.end,
                  [axis](const ColorCount& a, const ColorCount& b) {
                      return channel(a.color, axis) < channel(b.color, axis);
                  });
        quint64 running = 0;
        int split = box.begin + 1;
        for (int i = box.begin; i < box.end - 1; ++i) {
            running += colors[i].count;
            split = i + 1;
            if (running * 2 >= box.weight) {
                break;
            }
        }
        Box upper = box;
        box.end = split;
        upper.begin = split;
        measure(box, colors);
        measure(upper, colors);
        boxes[chosen] = box;
        boxes.push_back(upper);
    }
    QList<QRgb> palette;
    for (const Box& box : boxes) {
        quint64 r = 0, g = 0, b = 0;
        for (int i = box.begin; i < box.end; ++i) {
            r += quint64(qRed(colors[i].color)) * colors[i].count;
            g += quint64(qGreen(colors[i].color)) * colors[i].count;
            b += quint64(qBlue(colors[i].color)) * colors[i].count;
        }
        const quint64 w = std::max<quint64>(box.weight, 1);
        palette.append(qRgb(int((r + w / 2) / w), int((g + w / 2) / w), int((b + w / 2) / w)));
    }
    return palette;
}

int nearest(const QList<QRgb>& palette, QRgb color) {
    int best = 0;
    int bestDistance = INT32_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(palette[i]) - qRed(color);
        const int dg = qGreen(palette[i]) - qGreen(color);
        const int db = qBlue(palette[i]) - qBlue(color);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

// Packs codes least significant bit first, as GIF wants.
class BitWriter {
public:
    void write(int code, int size) {
        m_accumulator |= quint32(code) << m_bits;
        m_bits += size;
        while (m_bits >= 8) {
            m_bytes.append(char(m_accumulator & 0xFF));
            m_accumulator >>= 8;
            m_bits -= 8;
        }
    }
    QByteArray finish() {
        if (m_bits > 0) {
            m_bytes.append(char(m_accumulator & 0xFF));
        }
        m_accumulator = 0;
        m_bits = 0;
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    quint32 m_accumulator = 0;
    int m_bits = 0;
};

void appendWord(QByteArray& out, int value) {
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

int bitsFor(int count) {
    int bits = 1;
    while ((1 << bits) < count) {
        ++bits;
    }
    return bits;
}

} // namespace

PaletteImage QuantizeImage(const QImage& source) {
    PaletteImage result;
    if (source.isNull() || source.width() <= 0 || source.height() <= 0) {
        return result;
    }
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    result.width = image.width();
    result.height = image.height();

    bool transparent = false;
    QHash<QRgb, quint64> counts;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) < 128) {
                transparent = true;
            } else {
                ++counts[line[x] | 0xFF000000u];
            }
        }
    }
    const int maxOpaque = transparent ? MaxColors - 1 : MaxColors;

    QHash<QRgb, int> indexOf;
    if (counts.size() <= maxOpaque) {
        // Few enough colours: keep them all, in a stable order.
        QList<QRgb> colors = counts.keys();
        std::sort(colors.begin(), colors.end());
        for (QRgb color : colors) {
            indexOf.insert(color, int(result.palette.size()));
            result.palette.append(color);
        }
    } else {
        std::vector<ColorCount> colors;
        colors.reserve(counts.size());
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            colors.push_back({it.key(), it.value()});
        }
        result.palette = medianCut(colors, maxOpaque);
        for (const ColorCount& entry : colors) {
            indexOf.insert(entry.color, nearest(result.palette, entry.color));
        }
    }
    if (transparent) {
        result.transparentIndex = int(result.palette.size());
        result.palette.append(qRgb(0, 0, 0));
    }

    result.indices.resize(qsizetype(result.width) * result.height);
    char* out = result.indices.data();
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int index = qAlpha(line[x]) < 128 ? result.transparentIndex
                                                    : indexOf.value(line[x] | 0xFF000000u);
            *out++ = char(index);
        }
    }
    return result;
}

QByteArray LzwCompress(const QByteArray& indices, int minimumCodeSize) {
    const int clearCode = 1 << minimumCodeSize;
    const int endCode = clearCode + 1;
    const int alphabet = clearCode;
    const int firstFree = clearCode + 2;

    // The string table as "code of prefix + next index"; the generation stamp lets a
    // table reset cost nothing instead of clearing the whole array.
    std::vector<quint16> child(size_t(MaxCodes) * alphabet, 0);
    std::vector<quint16> stamp(size_t(MaxCodes) * alphabet, 0);
    quint16 generation = 1;

    BitWriter out;
    int codeSize = minimumCodeSize + 1;
    int nextCode = firstFree;
    out.write(clearCode, codeSize);

    const auto* data = reinterpret_cast<const unsigned char*>(indices.constData());
    const qsizetype count = indices.size();
    if (count > 0) {
        int prefix = data[0] & (alphabet - 1);
        for (qsizetype i = 1; i < count; ++i) {
            const int symbol = data[i] & (alphabet - 1);
            const size_t slot = size_t(prefix) * alphabet + symbol;
            if (stamp[slot] == generation) {
                prefix = child[slot];
                continue;
            }
            out.write(prefix, codeSize);
            if (nextCode < MaxCodes) {
                stamp[slot] = generation;
                child[slot] = quint16(nextCode);
                ++nextCode;
                // The decoder adds its entry one code later, so it widens its codes
                // only once the table holds more entries than the current width can name.
                if (nextCode > (1 << codeSize) && codeSize < 12) {
                    ++codeSize;
                }
            } else {
                // Table full: start over rather than keep coding with a stale table.
                out.write(clearCode, codeSize);
                codeSize = minimumCodeSize + 1;
                nextCode = firstFree;
                if (++generation == 0) {
                    std::fill(stamp.begin(), stamp.end(), quint16(0));
                    generation = 1;
                }
            }
            prefix = symbol;
        }
        out.write(prefix, codeSize);
        // The decoder makes one more entry after the last code; the end code must be read
        // with the width that entry leads to.
        if (nextCode < MaxCodes) {
            ++nextCode;
            if (nextCode > (1 << codeSize) && codeSize < 12) {
                ++codeSize;
            }
        }
    }
    out.write(endCode, codeSize);
    return out.finish();
}

QByteArray EncodeGif(const QImage& image) {
    const PaletteImage indexed = QuantizeImage(image);
    if (indexed.width <= 0 || indexed.height <= 0 || indexed.width > 0xFFFF ||
        indexed.height > 0xFFFF) {
        return {};
    }
    const int tableBits = bitsFor(int(indexed.palette.size()));
    const int minimumCodeSize = std::max(2, tableBits);

    QByteArray gif("GIF89a");
    appendWord(gif, indexed.width);
    appendWord(gif, indexed.height);
    // Global colour table present, 8 bits per primary, table size 2^(tableBits).
    gif.append(char(0x80 | 0x70 | (tableBits - 1)));
    gif.append(char(0)); // background colour index
    gif.append(char(0)); // pixel aspect ratio: none given
    for (int i = 0; i < (1 << tableBits); ++i) {
        const QRgb color = i < indexed.palette.size() ? indexed.palette[i] : qRgb(0, 0, 0);
        gif.append(char(qRed(color)));
        gif.append(char(qGreen(color)));
        gif.append(char(qBlue(color)));
    }
    if (indexed.transparentIndex >= 0) {
        gif.append("\x21\xF9\x04", 3); // graphic control extension
        gif.append(char(0x01));        // transparent colour given
        appendWord(gif, 0);            // no delay
        gif.append(char(indexed.transparentIndex));
        gif.append(char(0));
    }
    gif.append(char(0x2C)); // image descriptor
    appendWord(gif, 0);
    appendWord(gif, 0);
    appendWord(gif, indexed.width);
    appendWord(gif, indexed.height);
    gif.append(char(0)); // no local table, not interlaced

    gif.append(char(minimumCodeSize));
    const QByteArray codes = LzwCompress(indexed.indices, minimumCodeSize);
    for (qsizetype offset = 0; offset < codes.size(); offset += 255) {
        const qsizetype length = std::min<qsizetype>(255, codes.size() - offset);
        gif.append(char(length));
        gif.append(codes.constData() + offset, length);
    }
    gif.append(char(0)); // end of image data
    gif.append(char(0x3B));
    return gif;
}

bool WriteGif(const QImage& image, const QString& path, QString* error) {
    const QByteArray gif = EncodeGif(image);
    if (gif.isEmpty()) {
        if (error) {
            *error = QStringLiteral("Cannot encode an empty image as GIF");
        }
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(gif) != gif.size() || !file.commit()) {
        if (error) {
            *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        }
        return false;
    }
    return true;
}

} // namespace zelvorin

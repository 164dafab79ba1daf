// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Gzip.h"

#include <zlib.h>

#include <algorithm>

namespace zelvorin {

bool IsGzip(const QByteArray& data) {
    return data.size() >= 2 && uchar(data[0]) == 0x1f && uchar(data[1]) == 0x8b;
}

std::optional<QByteArray> GunzipFile(QIODevice& file, qsizetype limit) {
    if (file.size() > limit)
        return std::nullopt;
    return Gunzip(file.readAll(), limit);
}

std::optional<QByteArray> Gunzip(const QByteArray& data, qsizetype limit) {
    if (!IsGzip(data))
        return std::nullopt;
    z_stream stream{};
    // 16 + the largest window: gzip framing only, not zlib's own.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return std::nullopt;
    QByteArray out;
    const auto* next = reinterpret_cast<const Bytef*>(data.constData());
    qsizetype left = data.size();
    bool complete = false;
    char buffer[64 * 1024];
    for (;;) {
        stream.next_in = const_cast<Bytef*>(next);
        stream.avail_in = uInt(std::min<qsizetype>(left, 1 << 30));
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof(buffer);
        const int status = inflate(&stream, Z_NO_FLUSH);
        const qsizetype used = qsizetype(stream.next_in - next);
        next += used;
        left -= used;
        const qsizetype made = qsizetype(sizeof(buffer) - stream.avail_out);
        // Z_BUF_ERROR: no progress was possible, the data ends inside a member.
        if ((status != Z_OK && status != Z_STREAM_END) || out.size() + made > limit)
            break;
        out.append(buffer, made);
        if (status == Z_STREAM_END) {
            // A file may hold several members one after another; what follows the last
            // (padding some writers leave) is not read, as gzip itself does.
            const QByteArray rest =
                QByteArray::fromRawData(reinterpret_cast<const char*>(next), left);
            if (!IsGzip(rest) || inflateReset(&stream) != Z_OK) {
                complete = true;
                break;
            }
        }
    }
    inflateEnd(&stream);
    if (!complete)
        return std::nullopt;
    return out;
}

} // namespace zelvorin

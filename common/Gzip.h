// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Gzip data as compressed SVG drawings (.svgz) carry it. Qt has no public way to read
// it, and the web engine takes such a drawing only with a header the program's own
// addresses cannot send, so the program unpacks it itself.
#pragma once

#include <QByteArray>
#include <QIODevice>

#include <optional>

namespace zelvorin {

// Whether the bytes start as gzip data does.
bool IsGzip(const QByteArray& data);

// The unpacked bytes of gzip data (every member of it, one after another); nothing when
// the data is damaged or cut short, or when it unpacks to more than `limit` bytes (a few
// kilobytes can unpack to gigabytes).
std::optional<QByteArray> Gunzip(const QByteArray& data, qsizetype limit);

// The unpacked rest of an open file of gzip data, as Gunzip says; nothing too when the file
// itself is larger than `limit`.
std::optional<QByteArray> GunzipFile(QIODevice& file, qsizetype limit);

} // namespace zelvorin

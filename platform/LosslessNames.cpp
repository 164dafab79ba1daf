// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "LosslessNames.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace zelvorin::platform {

namespace {

constexpr char16_t FirstKeptByte = 0xDC80; // U+DC80 keeps the byte 0x80, ...
constexpr char16_t LastKeptByte = 0xDCFF;  // ... U+DCFF the byte 0xFF

bool isKeptByte(char16_t c) {
    return c >= FirstKeptByte && c <= LastKeptByte;
}

// The length of the valid UTF-8 sequence at `i` and its code point; 0 when the bytes there
// are not one (a stray or cut sequence, an overlong form, a surrogate, beyond U+10FFFF).
int sequenceAt(const unsigned char* bytes, qsizetype size, qsizetype i, char32_t& point) {
    const unsigned char first = bytes[i];
    int length = 0;
    char32_t least = 0;
    if ((first & 0xE0) == 0xC0) {
        length = 2;
        point = first & 0x1F;
        least = 0x80;
    } else if ((first & 0xF0) == 0xE0) {
        length = 3;
        point = first & 0x0F;
        least = 0x800;
    } else if ((first & 0xF8) == 0xF0) {
        length = 4;
        point = first & 0x07;
        least = 0x10000;
    } else {
        return 0;
    }
    if (i + length > size)
        return 0;
    for (int k = 1; k < length; ++k) {
        const unsigned char next = bytes[i + k];
        if ((next & 0xC0) != 0x80)
            return 0;
        point = (point << 6) | (next & 0x3F);
    }
    if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

QString displayName(const QByteArray& raw) {
    // QString::fromUtf8 drops a leading U+FEFF as a byte order mark; in a name it is a
    // character of the name.
    static constexpr char Bom[] = "\xef\xbb\xbf";
    if (raw.startsWith(Bom))
        return QChar(u'\ufeff') + displayName(raw.sliced(3));
    return QString::fromUtf8(raw);
}

bool roundTrips(const QByteArray& raw) {
    return displayName(raw).toUtf8() == raw;
}

QString openablePath(const QByteArray& rawPath) {
    if (QString text = displayName(rawPath); text.toUtf8() == rawPath)
        return text;
    const auto* bytes = reinterpret_cast<const unsigned char*>(rawPath.constData());
    const qsizetype size = rawPath.size();
    QString text;
    text.reserve(size);
    for (qsizetype i = 0; i < size;) {
        if (bytes[i] < 0x80) {
            text += QChar(char16_t(bytes[i]));
            ++i;
            continue;
        }
        char32_t point = 0;
        const int length = sequenceAt(bytes, size, i, point);
        if (length == 0) {
            text += QChar(char16_t(0xDC00 + bytes[i]));
            ++i;
            continue;
        }
        if (point >= 0x10000) {
            text += QChar(QChar::highSurrogate(point));
            text += QChar(QChar::lowSurrogate(point));
        } else {
            text += QChar(char16_t(point));
        }
        i += length;
    }
    return text;
}

QByteArray encodePath(const QString& path) {
    const qsizetype size = path.size();
    qsizetype first = 0;
    while (first < size && !isKeptByte(path.at(first).unicode()))
        ++first;
    if (first == size)
        return path.toUtf8();
    // Runs of ordinary text are encoded as UTF-8; a kept byte is written back as itself
    // unless it is the second half of a surrogate pair (a character beyond U+FFFF).
    QByteArray bytes;
    bytes.reserve(size + size / 2);
    qsizetype run = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = path.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < size && path.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (!isKeptByte(c))
            continue;
        bytes += QStringView(path).mid(run, i - run).toUtf8();
        bytes += char(c - 0xDC00);
        run = i + 1;
    }
    bytes += QStringView(path).mid(run).toUtf8();
    return bytes;
}

QString displayPath(const QString& path) {
    return displayName(encodePath(path));
}

QUrl fileUrl(const QByteArray& rawPath) {
    return QUrl::fromEncoded("file://" + rawPath.toPercentEncoding("/"), QUrl::StrictMode);
}

QByteArray rawPathOfUrl(const QUrl& url) {
    if (!url.isLocalFile())
        return QByteArray();
    const QByteArray path =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    const QString host = url.host();
    if (host.isEmpty() || host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return path;
    return "//" + host.toUtf8() + path;
}

bool openForReading(QFile& file, const QByteArray& rawPath) {
    const int fd = ::open(rawPath.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        errno = EIO;
        return false;
    }
    return true;
}

} // namespace zelvorin::platform

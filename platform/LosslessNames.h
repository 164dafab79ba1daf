// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// File names as the kernel keeps them are bytes; Qt's file classes take UTF-8 text and
// cannot spell a name whose bytes are not valid UTF-8. The raw bytes stay the truth:
// every file action takes them. Where a path has to travel as text (the folder lists'
// paths, the chosen file, the gallery's names), it travels as a path text that keeps
// every byte: valid UTF-8 is decoded as usual and each byte that is not is kept as one of
// the code points U+DC80..U+DCFF (the "surrogate escape" Python uses for the same
// problem), so encodePath gives the very bytes back. Such a text is never shown as it
// is (displayPath), and never handed to Qt's file classes: the program opens it through
// its bytes (openForReading, fileUrl).
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

class QFile;

namespace zelvorin::platform {

// The text shown for a raw name or path; bytes that are not UTF-8 show as U+FFFD.
QString displayName(const QByteArray& raw);

// True when the bytes are valid UTF-8, so that the shown text is the name itself.
bool roundTrips(const QByteArray& raw);

// The path text of a raw path: the decoded text when the bytes are UTF-8, else a text
// that keeps the bytes that are not (see above).
QString openablePath(const QByteArray& rawPath);

// The raw bytes of a path text (the inverse of openablePath).
QByteArray encodePath(const QString& path);

// Any stored text (a settings value, a value's name) keeps its bytes the same way, so that
// it comes back byte for byte: a folder path that is not UTF-8, a leading U+FEFF.
inline QString losslessText(const QByteArray& bytes) {
    return openablePath(bytes);
}
inline QByteArray losslessBytes(const QString& text) {
    return encodePath(text);
}

// The path text as it is shown: the kept bytes show as U+FFFD.
QString displayPath(const QString& path);

// The file:// address of a raw path, every byte that is not plain kept as %XX, so that
// the web engine, the desktop and other programs reach the very file.
QUrl fileUrl(const QByteArray& rawPath);
// The raw path of a local file:// address (its %XX decoded to bytes); empty for any other.
QByteArray rawPathOfUrl(const QUrl& url);

// Opens a file for reading by its raw path, for Qt classes that read from a device. False
// when the system refuses, with errno telling why.
bool openForReading(QFile& file, const QByteArray& rawPath);

} // namespace zelvorin::platform

// File names as the kernel keeps them are bytes; Qt's file classes take UTF-8 text and
// cannot spell a name whose bytes are not valid UTF-8. These helpers keep the raw bytes
// as the truth and hand out, for every raw path, a text that Qt can open: the decoded
// path itself when it round-trips, else a private symbolic link that points at it.
#pragma once

#include <QByteArray>
#include <QString>

namespace zelvorin::platform {

// The text shown for a raw name; bytes that are not UTF-8 show as U+FFFD.
QString displayName(const QByteArray& raw);

// True when decoding and encoding again gives the same bytes.
bool roundTrips(const QByteArray& raw);

// A path text that QFile, QDir and file:// URLs can open for the raw absolute path.
// Names that round-trip come back decoded; others come back as a stand-in link in a
// folder of the user's own (the runtime folder), named after a hash of the raw path and
// keeping the name's extension so that file types are still recognised.
QString openablePath(const QByteArray& rawPath);

// The raw bytes of a path text (the inverse of decoding; stand-in links stay links,
// which the kernel follows).
QByteArray encodePath(const QString& path);

// The raw bytes of the file a path text names: for a stand-in link, the path it stands in
// for; for any other path, its own bytes.
QByteArray originalPath(const QString& path);

// The folder that holds the stand-in links (created on first use, mode 0700).
QString standInFolder();

} // namespace zelvorin::platform

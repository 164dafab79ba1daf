// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The freedesktop thumbnail cache, shared with file managers and image viewers: PNG files
// in $XDG_CACHE_HOME/thumbnails/normal (at most 128 pixels a side) and large (256), named
// by the MD5 of the original's file URI and carrying that URI and the original's
// modification time as PNG text, so that a thumbnail of a file changed since is known
// and made again. A file whose thumbnail cannot be made is recorded under
// fail/zelvorin-<version>/ and not tried again until it changes.
//
// The cache keeps no state but which of its folders this program has cleaned of the
// temporary files stopped writes left: any thread may ask it, and several programs may
// write the same thumbnail at once (each writes a whole file, flushes it and renames it
// into place).
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>

namespace zelvorin {

enum class ThumbnailSize { Normal, Large };

// The longest side of a thumbnail of that size: 128 or 256.
int thumbnailSide(ThumbnailSize size);

struct ThumbnailResult {
    enum class Status {
        Found,     // a current thumbnail was in the cache
        Made,      // made now from the original
        Failed,    // the original cannot be read as an image (now or recorded before)
        Gone,      // no regular file at the path
        Cancelled, // given up before decoding the original
    };
    Status status = Status::Gone;
    QImage image;       // Found and Made: at most thumbnailSide() a side
    int storeError = 0; // Made: 0 when the cache took it, else an errno value

    bool hasImage() const { return status == Status::Found || status == Status::Made; }
};

class ThumbnailCache {
public:
    // `root` holds normal/, large/ and fail/; `software` ("Zelvorin 1.70") is written into
    // every thumbnail made and names the failure folder ("zelvorin-1.70").
    explicit ThumbnailCache(QByteArray root = defaultRoot(), QString software = defaultSoftware());

    static QByteArray defaultRoot(); // <cache home>/thumbnails
    static QString defaultSoftware();

    // "file://" and the absolute path with every byte but letters, digits and
    // !$&'()*+,-./:=@_~ written as %XX, as the desktop's own libraries spell the URIs the
    // cache is keyed by.
    static QByteArray fileUri(const QByteArray& absolutePath);
    // The lower-case hexadecimal MD5 of the URI, and ".png".
    static QByteArray fileName(const QByteArray& uri);

    QByteArray root() const { return m_root; }
    QByteArray thumbnailPath(const QByteArray& uri, ThumbnailSize size) const;
    QByteArray failurePath(const QByteArray& uri) const;

    // The thumbnail of the file at an absolute raw path: the cached one while its
    // Thumb::URI, Thumb::MTime and (when present) Thumb::Size match the file, else one
    // made now and stored. `cancelled` is asked before the original is decoded.
    ThumbnailResult thumbnail(const QByteArray& absolutePath, ThumbnailSize size,
                              const std::function<bool()>& cancelled = {}) const;

private:
    QByteArray m_root;
    QString m_software;
    QByteArray m_failFolder;
};

// The PNG of `image` with each key and value pair as a tEXt chunk (Latin-1 text), put
// right after the header where readers find them without decoding the image. Empty when
// the image cannot be encoded.
QByteArray pngWithText(const QImage& image, const QList<QPair<QByteArray, QByteArray>>& texts);

} // namespace zelvorin

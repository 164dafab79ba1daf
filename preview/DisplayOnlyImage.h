// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A picture a local page may show but never read back. The engine lets a page read the
// pixels of every picture that is not of another web origin (canvas getImageData,
// toDataURL, toBlob, createImageBitmap, WebGL), and in Qt WebEngine 6.4 nothing served
// to local pages counts as another origin: custom schemes and local files alike come with
// the response type a canvas takes for its own. What the engine does keep from a canvas
// is an SVG picture with a foreignObject in it (measured: drawing one marks the canvas as
// holding several origins). So the picture is served as such an SVG: the file's bytes
// unchanged in a data: address, inside an SVG of the file's own size. Shown at its size it
// paints the very same pixels; animations play as before.
//
// The SVG is made as it is read, on the engine's loading thread: the file is read and
// encoded in pieces, never whole. A compressed SVG (.svgz) is unpacked first, whole, as a
// data: address holds no compressed drawing.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QIODevice>

#include <optional>

namespace zelvorin {

class DisplayOnlyImage : public QIODevice {
    Q_OBJECT
public:
    // The wrapped picture at the raw path; nullptr when the file cannot be opened or is no
    // picture whose size can be told (an SVG of another size would show it otherwise).
    static DisplayOnlyImage* open(const QByteArray& rawPath, QObject* parent);

    static constexpr char ContentType[] = "image/svg+xml";

    bool isSequential() const override { return false; }
    qint64 size() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    explicit DisplayOnlyImage(QObject* parent);
    // Appends the encoded text from `offset` of it, at most `count` characters.
    bool readEncoded(qint64 offset, qint64 count, QByteArray& out);
    // Unpacks a compressed drawing to wrap its text; the wrapper's head, or nothing when it
    // is damaged, too large or no SVG.
    std::optional<QByteArray> unpackDrawing();

    QByteArray m_head; // the SVG up to the data: address's encoded bytes
    QByteArray m_tail;
    QFile m_file;
    QBuffer m_unpacked;            // a compressed drawing's text
    QIODevice* m_source = &m_file; // what is wrapped: the file, or its unpacked text
    qint64 m_fileSize = 0;         // the size of what is wrapped
};

} // namespace zelvorin

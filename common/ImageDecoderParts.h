// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The parts of ImageDecoder that each kind of image needs for itself.
#pragma once

#include "ImageDecoder.h"

namespace zelvorin::decoding {

// The most pixels an image may have to be decoded: what Qt's readers allow (four bytes a
// pixel within QImageReader::allocationLimit()), for every kind alike.
qint64 PixelLimit();

// "Damaged WebP image: REASON", "Damaged SVG image", the kind as people write it.
QString Damaged(const QString& format, const QString& reason = QString());
// "The image is too large (40000 x 40000)".
QString TooLarge(const QSize& size);
// How a kind is written for people: "WebP", "JPEG", "SVG".
QString ShownFormat(const QString& format);

// The size to draw an image of size `own` at, for kinds that draw at any size at the same
// cost: fitted into `options.fitIn`, reduced to about `options.reduceCheaplyTo` pixels and
// to PixelLimit(), proportions kept, never below one pixel a side.
QSize DrawingSize(const QSize& own, const DecodeOptions& options);

bool IsAvif(const QByteArray& bytes);
DecodedImage DecodeAvif(const QByteArray& bytes);

// Whether the bytes are an SVG drawing: XML whose outermost element is <svg>.
bool IsSvg(const QByteArray& bytes);
// `format` is "svg" or "svgz" (unpacked already): the kind the result names.
DecodedImage DecodeSvg(const QByteArray& text, const QString& format, const DecodeOptions& options);

} // namespace zelvorin::decoding

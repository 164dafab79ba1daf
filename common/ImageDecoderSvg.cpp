// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// SVG drawings through Qt SVG, drawn at the size a browser gives them as an image.
#include "ImageDecoderParts.h"

#include <QCoreApplication>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>

namespace zelvorin::decoding {

namespace {

const QString SvgNamespace = QStringLiteral("http://www.w3.org/2000/svg");
const QString XlinkNamespace = QStringLiteral("http://www.w3.org/1999/xlink");

// A length in CSS pixels, for the absolute units; nothing for percentages, font-relative
// units and anything else, which leave the drawing without a size of its own.
std::optional<double> absoluteLength(QStringView text) {
    static const QRegularExpression length(QStringLiteral(
        R"(^\s*([+]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?)\s*(px|pt|pc|in|cm|mm)?\s*$)"));
    const QRegularExpressionMatch match = length.match(text.toString());
    if (!match.hasMatch())
        return std::nullopt;
    const double value = match.capturedView(1).toDouble();
    const QStringView unit = match.capturedView(2);
    // CSS's units: 96 pixels to the inch.
    const double scale = unit == u"pt"   ? 96.0 / 72
                         : unit == u"pc" ? 16.0
                         : unit == u"in" ? 96.0
                         : unit == u"cm" ? 96.0 / 2.54
                         : unit == u"mm" ? 96.0 / 25.4
                                         : 1.0;
    if (!(value > 0) || !std::isfinite(value * scale))
        return std::nullopt;
    return value * scale;
}

std::optional<QRectF> viewBoxOf(QStringView text) {
    const QList<QStringView> parts =
        text.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    if (parts.size() != 4)
        return std::nullopt;
    double values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].toDouble(&ok);
        if (!ok || !std::isfinite(values[i]))
            return std::nullopt;
    }
    if (!(values[2] > 0) || !(values[3] > 0))
        return std::nullopt;
    return QRectF(values[0], values[1], values[2], values[3]);
}

struct Frame {
    QSizeF size;                   // what a page shows the drawing at
    std::optional<QRectF> viewBox; // the drawing's coordinates to show, when it gives none
};

// The size a browser gives the drawing from its outermost element: its width and height
// when both are absolute; with a viewBox, what is missing of them from its proportions;
// with neither, UnsizedDrawingSize, showing the drawing's own coordinates from 0, 0.
std::optional<Frame> frameOf(const QByteArray& text) {
    QXmlStreamReader reader(text);
    if (!reader.readNextStartElement() || reader.name() != u"svg")
        return std::nullopt;
    const QXmlStreamAttributes attributes = reader.attributes();
    const std::optional<double> width = absoluteLength(attributes.value(QStringLiteral("width")));
    const std::optional<double> height = absoluteLength(attributes.value(QStringLiteral("height")));
    const std::optional<QRectF> viewBox = viewBoxOf(attributes.value(QStringLiteral("viewBox")));
    Frame frame;
    if (viewBox) {
        const double ratio = viewBox->width() / viewBox->height();
        frame.size = width && height ? QSizeF(*width, *height)
                     : width         ? QSizeF(*width, *width / ratio)
                     : height        ? QSizeF(*height * ratio, *height)
                                     : viewBox->size();
        return frame;
    }
    frame.size = QSizeF(width.value_or(UnsizedDrawingSize.width()),
                        height.value_or(UnsizedDrawingSize.height()));
    // Without a viewBox Qt would fit the drawing's bounds into the size; a browser shows
    // its coordinates one to one.
    frame.viewBox = QRectF(QPointF(), frame.size);
    return frame;
}

bool isExternal(const QXmlStreamAttributes& attributes) {
    QStringView href = attributes.value(XlinkNamespace, QStringLiteral("href"));
    if (href.isEmpty())
        href = attributes.value(QStringLiteral("href"));
    href = href.trimmed();
    return !href.isEmpty() && !href.startsWith(u"data:", Qt::CaseInsensitive) &&
           !href.startsWith(u'#');
}

bool isExternalImage(const QXmlStreamReader& reader) {
    return reader.isStartElement() && reader.name() == u"image" &&
           (reader.namespaceUri().isEmpty() || reader.namespaceUri() == SvgNamespace) &&
           isExternal(reader.attributes());
}

// A drawing shown as an image loads nothing beside itself in a browser, while Qt SVG
// would read any file an <image> names (and wait forever on a named pipe). Such elements
// are left out; a drawing without any is taken as it is.
QByteArray withoutExternalImages(const QByteArray& text) {
    QXmlStreamReader scan(text);
    bool found = false;
    while (!scan.atEnd() && !found) {
        scan.readNext();
        found = isExternalImage(scan);
    }
    if (!found)
        return text;
    QByteArray cleaned;
    QXmlStreamReader reader(text);
    QXmlStreamWriter writer(&cleaned);
    while (!reader.atEnd()) {
        reader.readNext();
        if (isExternalImage(reader))
            reader.skipCurrentElement();
        else if (!reader.hasError())
            writer.writeCurrentToken(reader);
    }
    return cleaned;
}

} // namespace

bool IsSvg(const QByteArray& bytes) {
    // Most files are no XML at all: their first byte says so.
    qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < bytes.size() && std::isspace(uchar(bytes[start])))
        ++start;
    return start < bytes.size() && bytes[start] == '<' && frameOf(bytes).has_value();
}

DecodedImage DecodeSvg(const QByteArray& text, const QString& format,
                       const DecodeOptions& options) {
    const std::optional<Frame> frame = frameOf(text);
    QSvgRenderer renderer;
    if (!frame || !renderer.load(withoutExternalImages(text)))
        return {{},
                {},
                format,
                Damaged(format, QCoreApplication::translate("ImageDecoder", "not an SVG drawing"))};
    if (frame->viewBox)
        renderer.setViewBox(*frame->viewBox);
    // Sizes beyond any screen are kept within int's range; the drawing is reduced anyway.
    const auto side = [](double length) {
        return std::clamp(qRound(std::min(length, 1e6)), 1, 1000000);
    };
    const QSize own(side(frame->size.width()), side(frame->size.height()));
    const QSize drawn = DrawingSize(own, options);
    QImage image(drawn, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {{}, own, format, TooLarge(drawn)};
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(), drawn));
    painter.end();
    return {image, own, format, QString()};
}

} // namespace zelvorin::decoding

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zelvorin {

namespace {
const char* themeName(ToolbarImage image) {
    switch (image) {
    case ToolbarImage::BackgroundColor:
        return "format-fill-color";
    case ToolbarImage::CustomFilter:
        return "view-filter";
    case ToolbarImage::Copy:
        return "edit-copy";
    case ToolbarImage::Gallery:
        return "view-preview";
    case ToolbarImage::Clear:
        return "edit-clear";
    case ToolbarImage::Go:
        return "go-jump";
    case ToolbarImage::Back:
        return "go-previous";
    case ToolbarImage::Forward:
        return "go-next";
    case ToolbarImage::Refresh:
        return "view-refresh";
    case ToolbarImage::Stop:
        return "process-stop";
    case ToolbarImage::Placement:
        return ""; // no theme has one: always our own drawing
    case ToolbarImage::None:
        break;
    }
    return "";
}

void arrow(QPainter& p, const QRectF& r, bool right, const QColor& colour) {
    QPainterPath path;
    const double mid = r.center().y();
    if (right) {
        path.moveTo(r.left(), mid - r.height() * 0.18);
        path.lineTo(r.center().x(), mid - r.height() * 0.18);
        path.lineTo(r.center().x(), r.top());
        path.lineTo(r.right(), mid);
        path.lineTo(r.center().x(), r.bottom());
        path.lineTo(r.center().x(), mid + r.height() * 0.18);
        path.lineTo(r.left(), mid + r.height() * 0.18);
    } else {
        path.moveTo(r.right(), mid - r.height() * 0.18);
        path.lineTo(r.center().x(), mid - r.height() * 0.18);
        path.lineTo(r.center().x(), r.top());
        path.lineTo(r.left(), mid);
        path.lineTo(r.center().x(), r.bottom());
        path.lineTo(r.center().x(), mid + r.height() * 0.18);
        path.lineTo(r.right(), mid + r.height() * 0.18);
    }
    path.closeSubpath();
    p.fillPath(path, colour);
    p.setPen(QPen(colour.darker(160), 1));
    p.drawPath(path);
}
} // namespace

QPixmap DrawToolbarImage(ToolbarImage image, const QSize& size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(pixmap.rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    const QColor ink(0x30, 0x30, 0x30);
    switch (image) {
    case ToolbarImage::BackgroundColor: {
        // A swatch of four colours: the page's colour.
        const double w = r.width() / 2, h = r.height() / 2;
        p.fillRect(QRectF(r.left(), r.top(), w, h), QColor(0xE0, 0x40, 0x40));
        p.fillRect(QRectF(r.left() + w, r.top(), w, h), QColor(0x40, 0xB0, 0x40));
        p.fillRect(QRectF(r.left(), r.top() + h, w, h), QColor(0x40, 0x70, 0xE0));
        p.fillRect(QRectF(r.left() + w, r.top() + h, w, h), QColor(0xF0, 0xD0, 0x30));
        p.setPen(ink);
        p.drawRect(r);
        break;
    }
    case ToolbarImage::CustomFilter: {
        QPainterPath funnel;
        funnel.moveTo(r.topLeft());
        funnel.lineTo(r.topRight());
        funnel.lineTo(r.center().x() + r.width() * 0.12, r.center().y());
        funnel.lineTo(r.center().x() + r.width() * 0.12, r.bottom());
        funnel.lineTo(r.center().x() - r.width() * 0.12, r.bottom() - r.height() * 0.15);
        funnel.lineTo(r.center().x() - r.width() * 0.12, r.center().y());
        funnel.closeSubpath();
        p.fillPath(funnel, QColor(0x50, 0x90, 0xD0));
        p.setPen(ink);
        p.drawPath(funnel);
        break;
    }
    case ToolbarImage::Copy: {
        const QRectF back(r.left(), r.top(), r.width() * 0.65, r.height() * 0.7);
        const QRectF front = back.translated(r.width() * 0.35, r.height() * 0.3);
        p.setPen(ink);
        p.setBrush(Qt::white);
        p.drawRect(back);
        p.drawRect(front);
        for (int i = 1; i <= 3; ++i) {
            const double y = front.top() + front.height() * i / 4.5;
            p.drawLine(QPointF(front.left() + 2, y), QPointF(front.right() - 2, y));
        }
        break;
    }
    case ToolbarImage::Gallery: {
        // Four small pictures in a grid.
        const double w = (r.width() - 1) / 2, h = (r.height() - 1) / 2;
        const QColor skies[] = {QColor(0x70, 0xB0, 0xF0), QColor(0xF0, 0xA0, 0x50),
                                QColor(0x80, 0xD0, 0x80), QColor(0xC0, 0x90, 0xE0)};
        for (int i = 0; i < 4; ++i) {
            const QRectF cell(r.left() + (i % 2) * (w + 1), r.top() + (i / 2) * (h + 1), w, h);
            p.fillRect(cell, skies[i]);
            p.setPen(ink);
            p.setBrush(Qt::NoBrush);
            p.drawRect(cell);
        }
        break;
    }
    case ToolbarImage::Clear: {
        p.setPen(ink);
        p.setBrush(Qt::white);
        QPainterPath page;
        page.moveTo(r.left() + r.width() * 0.15, r.top());
        page.lineTo(r.right() - r.width() * 0.3, r.top());
        page.lineTo(r.right() - r.width() * 0.05, r.top() + r.height() * 0.25);
        page.lineTo(r.right() - r.width() * 0.05, r.bottom());
        page.lineTo(r.left() + r.width() * 0.15, r.bottom());
        page.closeSubpath();
        p.drawPath(page);
        break;
    }
    case ToolbarImage::Go:
        arrow(p, r, true, QColor(0x30, 0xA0, 0x30));
        break;
    case ToolbarImage::Back:
        arrow(p, r, false, QColor(0x30, 0x70, 0xC0));
        break;
    case ToolbarImage::Forward:
        arrow(p, r, true, QColor(0x30, 0x70, 0xC0));
        break;
    case ToolbarImage::Refresh: {
        p.setPen(QPen(QColor(0x30, 0x90, 0x30), 2));
        const QRectF circle = r.adjusted(1, 1, -1, -1);
        p.drawArc(circle, 60 * 16, 280 * 16);
        QPainterPath head;
        const QPointF tip(circle.center().x() + circle.width() * 0.25, circle.top());
        head.moveTo(tip + QPointF(-3, -3));
        head.lineTo(tip + QPointF(2, 0));
        head.lineTo(tip + QPointF(-3, 3));
        head.closeSubpath();
        p.fillPath(head, QColor(0x30, 0x90, 0x30));
        break;
    }
    case ToolbarImage::Stop: {
        p.setPen(QPen(QColor(0x90, 0x10, 0x10), 1));
        p.setBrush(QColor(0xD0, 0x30, 0x30));
        p.drawEllipse(r);
        p.setPen(QPen(Qt::white, 2));
        const QRectF x =
            r.adjusted(r.width() * 0.3, r.height() * 0.3, -r.width() * 0.3, -r.height() * 0.3);
        p.drawLine(x.topLeft(), x.bottomRight());
        p.drawLine(x.topRight(), x.bottomLeft());
        break;
    }
    case ToolbarImage::Placement: {
        // A page with tiles laid out on it.
        p.setPen(ink);
        p.setBrush(Qt::white);
        p.drawRect(r);
        const double w = (r.width() - 3) / 3, h = (r.height() - 3) / 3;
        for (int i = 0; i < 9; ++i) {
            if ((i + i / 3) % 2)
                continue;
            const QRectF cell(r.left() + 1.5 + (i % 3) * w, r.top() + 1.5 + (i / 3) * h, w, h);
            p.fillRect(cell, QColor(0xC8, 0x9A, 0x60));
        }
        break;
    }
    case ToolbarImage::None:
        break;
    }
    return pixmap;
}

QIcon ToolbarIcon(ToolbarImage image, const QSize& size) {
    const QIcon themed = QIcon::fromTheme(QString::fromLatin1(themeName(image)));
    if (!themed.isNull())
        return themed;
    return QIcon(DrawToolbarImage(image, size));
}

} // namespace zelvorin

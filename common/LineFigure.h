// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A window-less figure that draws one straight line corner to corner across its box. The
// line is described by an angle and two reference lengths: setting the angle resizes the
// box, and setting the box's width or height turns the line.
#pragma once

#include <QColor>
#include <QList>
#include <QPoint>
#include <QWidget>
#include <cstdint>

namespace zelvorin {

// Degrees; any value is folded into 1..180.
using LineAngle = std::uint16_t;

// Integer part of x, plus one when the fraction is one half or more. Halves round up for
// positive x; negative x is simply truncated toward zero (-70.7 gives -70).
int roundLine(double x);

// The angle and size arithmetic of the line figure, apart from any widget.
class LineGeometry {
public:
    LineAngle angle() const { return m_angle; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    int referenceWidth() const { return m_referenceWidth; }
    int referenceHeight() const { return m_referenceHeight; }

    // Folds the angle into 1..180 and resizes the box from the reference lengths.
    void setAngle(LineAngle value);
    // Turn the line so that the box gets the given height or width; a longer side than
    // ever before becomes the new reference length.
    void setHeight(int value);
    void setWidth(int value);

private:
    LineAngle m_angle = 135;
    int m_referenceWidth = 100;
    int m_referenceHeight = 100;
    int m_width = 100;
    int m_height = 100;
};

// The pixels a line from `from` to `to` covers, without the end point itself (the line
// stops one pixel short, as line drawing does on the desktop we came from).
QList<QPoint> linePixels(QPoint from, QPoint to);

class LineFigure : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int lineStyle READ lineStyleValue WRITE setLineStyleValue)
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(int angle READ angle WRITE setAngleValue)
    Q_PROPERTY(int width READ width WRITE setWidth)
    Q_PROPERTY(int height READ height WRITE setHeight)

public:
    // Which two corners the line joins: none, left top to right bottom, left bottom to
    // right top.
    enum class Style { None = 0, LeftUpToRightDown = 1, LeftDownToRightUp = 2 };

    explicit LineFigure(QWidget* parent = nullptr);

    Style lineStyle() const { return m_lineStyle; }
    void setLineStyle(Style style);
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    LineAngle angle() const { return m_geometry.angle(); }
    void setAngle(LineAngle value);
    void setWidth(int value);
    void setHeight(int value);

    const LineGeometry& lineGeometry() const { return m_geometry; }
    // The two ends of the line in the figure's own coordinates; the direction follows the
    // angle alone.
    QPoint lineStart() const;
    QPoint lineEnd() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int lineStyleValue() const { return int(m_lineStyle); }
    void setLineStyleValue(int style) { setLineStyle(static_cast<Style>(style)); }
    void setAngleValue(int value) { setAngle(static_cast<LineAngle>(value)); }
    void applyGeometry();

    Style m_lineStyle = Style::LeftDownToRightUp;
    QColor m_color{Qt::black};
    LineGeometry m_geometry;
};

} // namespace zelvorin

// A window-less figure that draws one straight line corner to corner across its box. The
// line is described by an angle and two reference lengths: setting the angle resizes the
// box, and setting the box's width or height turns the line.
#pragma once

#include <QColor>
#include <QList>
#include <QPoint>
#include <QWidget>
#include <cstdint>

enum TLineStyle { lsNone = 0, lsLUtoRD = 1, lsLDtoRU = 2 };

using TAngle = std::uint16_t;

namespace zelvorin {

// Integer part of x, plus one when the fraction is one half or more. Halves round up for
// positive x; negative x is simply truncated toward zero (-70.7 gives -70).
int roundLine(double x);

// The angle and size arithmetic of the line figure, apart from any widget.
class LineGeometry {
public:
    TAngle angle() const { return m_angle; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    int referenceWidth() const { return m_referenceWidth; }
    int referenceHeight() const { return m_referenceHeight; }

    // Folds the angle into 1..180 and resizes the box from the reference lengths.
    void setAngle(TAngle value);
    // Turn the line so that the box gets the given height or width; a longer side than
    // ever before becomes the new reference length.
    void setHeight(int value);
    void setWidth(int value);

private:
    TAngle m_angle = 135;
    int m_referenceWidth = 100;
    int m_referenceHeight = 100;
    int m_width = 100;
    int m_height = 100;
};

// The pixels a line from `from` to `to` covers, without the end point itself (the line
// stops one pixel short, as line drawing does on the desktop we came from).
QList<QPoint> linePixels(QPoint from, QPoint to);

} // namespace zelvorin

class TLine : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int LineStyle READ lineStyleValue WRITE setLineStyleValue)
    Q_PROPERTY(QColor Color READ Color WRITE setColor)
    Q_PROPERTY(int Angle READ Angle WRITE setAngleValue)
    Q_PROPERTY(int Width READ width WRITE setWidth)
    Q_PROPERTY(int Height READ height WRITE setHeight)

public:
    explicit TLine(QWidget* parent = nullptr);

    TLineStyle LineStyle() const { return m_lineStyle; }
    void setLineStyle(TLineStyle style);
    QColor Color() const { return m_color; }
    void setColor(const QColor& color);
    TAngle Angle() const { return m_geometry.angle(); }
    void setAngle(TAngle value);
    void setWidth(int value);
    void setHeight(int value);

    const zelvorin::LineGeometry& lineGeometry() const { return m_geometry; }
    // The two ends of the line in the figure's own coordinates; the direction follows the
    // angle alone.
    QPoint lineStart() const;
    QPoint lineEnd() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int lineStyleValue() const { return m_lineStyle; }
    void setLineStyleValue(int style) { setLineStyle(static_cast<TLineStyle>(style)); }
    void setAngleValue(int value) { setAngle(static_cast<TAngle>(value)); }
    void applyGeometry();

    TLineStyle m_lineStyle = lsLDtoRU;
    QColor m_color{Qt::black};
    zelvorin::LineGeometry m_geometry;
};

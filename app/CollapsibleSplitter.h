// A splitter bar that resizes one neighbouring panel by dragging. The collapsible kind has
// a button in its middle that shrinks the panel to the minimum size and gives it its width
// back on the next click.
#pragma once

#include <QWidget>

namespace zelvorin {

class SplitterBar : public QWidget {
    Q_OBJECT
public:
    // `target` is the panel whose width (vertical bar) or height (horizontal bar) the bar
    // changes; `targetAfter` says whether the target lies right of / below the bar.
    SplitterBar(Qt::Orientation orientation, QWidget* target, bool targetAfter,
                QWidget* parent = nullptr);

    void SetThickness(int pixels);
    int Thickness() const { return m_thickness; }
    void SetMinimumTargetSize(int pixels) { m_minimum = pixels; }
    int MinimumTargetSize() const { return m_minimum; }
    QWidget* Target() const { return m_target; }

signals:
    void Moved();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    int targetSize() const;
    void setTargetSize(int size);
    bool m_dragging = false;

private:
    int along(const QPoint& point) const;

    Qt::Orientation m_orientation;
    QWidget* m_target;
    bool m_targetAfter;
    int m_thickness = 3;
    int m_minimum = 1;
    int m_pressPosition = 0;
    int m_pressSize = 0;
};

class CollapsibleSplitter : public SplitterBar {
    Q_OBJECT
public:
    static constexpr int ButtonLength = 100;

    CollapsibleSplitter(QWidget* target, QWidget* parent = nullptr);

    bool IsCollapsed() const { return m_collapsed; }
    void SetCollapsed(bool collapsed);
    void ToggleCollapsed() { SetCollapsed(!m_collapsed); }
    QRect ButtonRect() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool m_collapsed = false;
    int m_restoreSize = 0;
    bool m_buttonPressed = false;
    bool m_hover = false;
};

} // namespace zelvorin

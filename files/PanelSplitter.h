// A thin horizontal bar that resizes the panel above it by dragging (the file column's
// Splitter1): the panel's height follows the mouse within limits that keep both the
// panel and what lies below it usable.
#pragma once

#include <QPointer>
#include <QWidget>

namespace zelvorin {

class PanelSplitter : public QWidget {
    Q_OBJECT
public:
    PanelSplitter(QWidget* target, QWidget* parent);

    // The smallest height of the target and of the room left below the splitter.
    void setMinimumSize(int pixels) { m_minimumSize = pixels; }
    int minimumSizeOfSides() const { return m_minimumSize; }

signals:
    void moved(int targetHeight);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPointer<QWidget> m_target;
    int m_minimumSize = 30;
    int m_pressY = -1;
    int m_startHeight = 0;
};

} // namespace zelvorin

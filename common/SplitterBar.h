// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A splitter bar that resizes one neighbouring panel by dragging: a vertical bar changes
// the panel's width, a horizontal one its height. The panel never gets smaller than its
// minimum, and the other side of the bar keeps at least its minimum room.
#pragma once

#include <QPointer>
#include <QWidget>

namespace zelvorin {

class SplitterBar : public QWidget {
    Q_OBJECT
public:
    // `targetAfter` says whether the panel lies right of / below the bar.
    SplitterBar(Qt::Orientation orientation, QWidget* target, bool targetAfter,
                QWidget* parent = nullptr);

    void SetThickness(int pixels);
    int Thickness() const { return m_thickness; }
    void SetMinimumTargetSize(int pixels) { m_minimum = pixels; }
    int MinimumTargetSize() const { return m_minimum; }
    void SetMinimumRoom(int pixels) { m_minimumRoom = pixels; }
    QWidget* Target() const { return m_target; }

signals:
    void Moved(int targetSize);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    int targetSize() const;
    void setTargetSize(int size);

private:
    int along(const QPoint& point) const;
    // How far the panel may grow before the other side of the bar gets too small.
    int largestTargetSize() const;

    Qt::Orientation m_orientation;
    QPointer<QWidget> m_target;
    bool m_targetAfter;
    bool m_dragging = false;
    int m_thickness = 3;
    int m_minimum = 1;
    int m_minimumRoom = 1;
    int m_pressPosition = 0;
    int m_pressSize = 0;
};

} // namespace zelvorin

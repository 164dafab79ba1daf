// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The splitter between the preview and the file column: a 10-pixel bar with a button in
// its middle that shrinks the file column to the minimum size and gives it its width back
// on the next click.
#pragma once

#include "SplitterBar.h"

namespace zelvorin {

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

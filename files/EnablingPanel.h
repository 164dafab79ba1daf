// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// EnablingPanel: a panel whose children follow its enabled state.
#pragma once

#include <QFrame>

namespace zelvorin {

class EnablingPanel : public QFrame {
    Q_OBJECT
public:
    explicit EnablingPanel(QWidget* parent = nullptr);

    // The width of the empty border inside the panel's edge.
    int borderWidth() const { return m_borderWidth; }
    void setBorderWidth(int width);

protected:
    void changeEvent(QEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    void passEnabledState();

    int m_borderWidth = 0;
};

} // namespace zelvorin

// TUsefulPanel: a panel whose children follow its enabled state.
#pragma once

#include <QFrame>

class TUsefulPanel : public QFrame {
    Q_OBJECT
public:
    explicit TUsefulPanel(QWidget* parent = nullptr);

    // The width of the empty border inside the panel's edge.
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int width);

protected:
    void changeEvent(QEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    void PassEnabledState();

    int m_borderWidth = 0;
};

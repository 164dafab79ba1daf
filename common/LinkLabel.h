// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A text label that behaves like a hyperlink: its text colour follows the mouse (idle,
// hovered, pressed) and a click can open its own caption with the desktop's default program.
#pragma once

#include <QColor>
#include <QLabel>
#include <functional>

namespace zelvorin {

class LinkLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QColor colorIdle READ colorIdle WRITE setColorIdle)
    Q_PROPERTY(QColor colorActive READ colorActive WRITE setColorActive)
    Q_PROPERTY(QColor colorDown READ colorDown WRITE setColorDown)
    Q_PROPERTY(bool activeText READ activeText WRITE setActiveText)
    Q_PROPERTY(bool startsLinkOnClick READ startsLinkOnClick WRITE setStartsLinkOnClick)

public:
    enum class MouseState { Idle = 0, Active = 1, Down = 2 };

    // Opens a caption as a link or document; returns whether the desktop accepted it.
    using LinkOpener = std::function<bool(const QString& target)>;
    // Reports the mouse buttons held right now (the desktop's state unless replaced).
    using ButtonsProbe = std::function<Qt::MouseButtons()>;

    explicit LinkLabel(QWidget* parent = nullptr);
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

    QColor colorIdle() const { return m_colorIdle; }
    void setColorIdle(const QColor& color);
    QColor colorActive() const { return m_colorActive; }
    void setColorActive(const QColor& color);
    QColor colorDown() const { return m_colorDown; }
    void setColorDown(const QColor& color);
    bool activeText() const { return m_activeText; }
    void setActiveText(bool active);
    bool startsLinkOnClick() const { return m_startLinkOnClick; }
    void setStartsLinkOnClick(bool start);

    MouseState mouseState() const { return m_mouseState; }
    // The colour the caption is drawn in now.
    QColor textColor() const;
    // The colour used while activeText is off: the text colour the label was created with.
    QColor normalColor() const { return m_normalColor; }

    // Hands the caption to the link opener; failure is silent.
    bool openLink();

    // Replaces the desktop's default program as the link opener (tests, embedding).
    void setLinkOpener(LinkOpener opener);
    void setButtonsProbe(ButtonsProbe probe);

    // The colour the label should show for the given state and settings.
    static QColor wantedColor(MouseState state, bool activeText, const QColor& idle,
                              const QColor& active, const QColor& down, const QColor& normal);

signals:
    // A left click that started and ended on the label; raised before the link opens.
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void applyColorRule();
    bool leftButtonHeld() const;

    QColor m_colorIdle{Qt::blue};
    QColor m_colorActive{Qt::yellow};
    QColor m_colorDown{0, 255, 0};
    bool m_activeText = false;
    bool m_startLinkOnClick = false;
    MouseState m_mouseState = MouseState::Idle;
    QColor m_normalColor;
    bool m_pressedHere = false;
    LinkOpener m_linkOpener;
    ButtonsProbe m_buttonsProbe;
};

} // namespace zelvorin

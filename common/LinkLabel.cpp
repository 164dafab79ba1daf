// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "LinkLabel.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QUrl>

namespace zelvorin {

namespace {

bool openWithDesktop(const QString& target) {
    const QUrl url = QUrl::fromUserInput(target);
    if (!url.isValid() || url.isEmpty())
        return false;
    return QDesktopServices::openUrl(url);
}

} // namespace

LinkLabel::LinkLabel(QWidget* parent) : LinkLabel(QString(), parent) {}

LinkLabel::LinkLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent), m_normalColor(palette().color(foregroundRole())),
      m_linkOpener(openWithDesktop),
      m_buttonsProbe([] { return QGuiApplication::mouseButtons(); }) {
    // Plain moves must reach the label so that hovering changes the state (rule for moves).
    setMouseTracking(true);
}

QColor LinkLabel::textColor() const {
    return palette().color(foregroundRole());
}

QColor LinkLabel::wantedColor(MouseState state, bool activeText, const QColor& idle,
                              const QColor& active, const QColor& down, const QColor& normal) {
    if (!activeText)
        return normal;
    switch (state) {
    case MouseState::Active:
        return active;
    case MouseState::Down:
        return down;
    case MouseState::Idle:
        break;
    }
    return idle;
}

void LinkLabel::applyColorRule() {
    const QColor wanted = wantedColor(m_mouseState, m_activeText, m_colorIdle, m_colorActive,
                                      m_colorDown, m_normalColor);
    if (textColor() == wanted)
        return;
    QPalette p = palette();
    p.setColor(foregroundRole(), wanted);
    setPalette(p);
}

void LinkLabel::setColorIdle(const QColor& color) {
    if (m_colorIdle == color)
        return;
    m_colorIdle = color;
    applyColorRule();
}

void LinkLabel::setColorActive(const QColor& color) {
    if (m_colorActive == color)
        return;
    m_colorActive = color;
    applyColorRule();
}

void LinkLabel::setColorDown(const QColor& color) {
    if (m_colorDown == color)
        return;
    m_colorDown = color;
    applyColorRule();
}

void LinkLabel::setActiveText(bool active) {
    if (m_activeText == active)
        return;
    m_activeText = active;
    applyColorRule();
}

void LinkLabel::setStartsLinkOnClick(bool start) {
    if (m_startLinkOnClick == start)
        return;
    m_startLinkOnClick = start;
    if (start)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void LinkLabel::setLinkOpener(LinkOpener opener) {
    m_linkOpener = opener ? std::move(opener) : LinkOpener(openWithDesktop);
}

void LinkLabel::setButtonsProbe(ButtonsProbe probe) {
    if (probe)
        m_buttonsProbe = std::move(probe);
    else
        m_buttonsProbe = [] { return QGuiApplication::mouseButtons(); };
}

bool LinkLabel::openLink() {
    const QString target = text();
    if (target.trimmed().isEmpty())
        return false;
    return m_linkOpener(target);
}

bool LinkLabel::leftButtonHeld() const {
    return (m_buttonsProbe() & Qt::LeftButton) != 0;
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    m_mouseState = leftButtonHeld() ? MouseState::Down : MouseState::Active;
    applyColorRule();
}

void LinkLabel::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    m_mouseState = MouseState::Idle;
    applyColorRule();
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    m_pressedHere = true;
    m_mouseState = MouseState::Down;
    applyColorRule();
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event) {
    QLabel::mouseMoveEvent(event);
    MouseState state = MouseState::Idle;
    if (rect().contains(event->position().toPoint()))
        state = (event->buttons() & Qt::LeftButton) ? MouseState::Down : MouseState::Active;
    if (state == m_mouseState)
        return;
    m_mouseState = state;
    applyColorRule();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const bool inside = rect().contains(event->position().toPoint());
    const bool wasPressedHere = m_pressedHere;
    m_pressedHere = false;
    // The click goes out first, so a handler runs before the link opens.
    if (wasPressedHere && inside)
        emit clicked();
    m_mouseState = inside ? MouseState::Active : MouseState::Idle;
    applyColorRule();
    if (m_startLinkOnClick && inside)
        openLink();
}

} // namespace zelvorin

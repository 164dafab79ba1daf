// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "GradientButton.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

namespace zelvorin {

using namespace gradient;

namespace {

QColor rgb(quint32 value) {
    return QColor::fromRgb(QRgb(value));
}

// Invalid colours stand for the palette's light and dark sides.
struct PresetValues {
    QColor beginColor;
    QColor endColor;
    int fontSize;
    const char* fontName;
    QColor captionColor;
    bool bold;
    GradientStyle gradientStyle;
    ShadeType shadeType;
    CaptionStyle captionStyle;
    QColor captionHighlight;
    QColor captionShadow;
    QColor frameHighlight;
    QColor frameShadow;
};

PresetValues presetValues(Preset preset) {
    using GS = GradientStyle;
    using ST = ShadeType;
    using TS = CaptionStyle;
    const QColor palette;
    switch (preset) {
    case Preset::GoldCoast:
        return {rgb(0xFFFF00), rgb(0x808000), 10,           "Arial",    rgb(0xBBBB00),
                true,          GS::Vertical,  ST::Heavy,    TS::Raised, rgb(0xFFFFBF),
                rgb(0x717100), rgb(0xFFFFB3), rgb(0x616161)};
    case Preset::LimeBox:
        return {rgb(0x000000), rgb(0x00FF00), 8,         "Courier",  rgb(0x008000),
                false,         GS::Rectangle, ST::Light, TS::Raised, rgb(0xACFFAC),
                rgb(0x004000), palette,       palette};
    case Preset::Aluminum:
        return {rgb(0xCECECE), rgb(0x5F5F5F), 10,           "Times New Roman", rgb(0x000000),
                true,          GS::Vertical,  ST::Heavy,    TS::Inset,         palette,
                palette,       rgb(0xFFFFFF), rgb(0x000000)};
    case Preset::SunRise:
        return {rgb(0xFFFF00), rgb(0xFF0000),  8,         "MS Sans Serif", rgb(0x400000),
                true,          GS::Horizontal, ST::Heavy, TS::Raised,      rgb(0xE6E7CF),
                rgb(0xB05800), palette,        palette};
    case Preset::None:
        break;
    }
    return {rgb(0x000080),
            rgb(0x00FFFF),
            8,
            "MS Sans Serif",
            rgb(0x000000),
            false,
            GS::VerticalCenter,
            ST::Light,
            TS::Raised,
            palette,
            palette,
            palette,
            palette};
}

} // namespace

GradientButton::GradientButton(QWidget* parent) : QWidget(parent) {
    resize(75, 25);
    setFocusPolicy(Qt::StrongFocus);
    // The face covers every pixel, so nothing needs erasing beforehand.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    m_shortcut = new QShortcut(this);
    m_shortcut->setContext(Qt::WindowShortcut);
    connect(m_shortcut, &QShortcut::activated, this, [this] {
        if (isEnabled())
            click();
    });
    updateShortcut();
}

GradientButton::~GradientButton() = default;

void GradientButton::setColorMember(QColor& member, const QColor& value) {
    if (member == value)
        return;
    member = value;
    update();
}

QColor GradientButton::shown(const QColor& color, QPalette::ColorRole role) const {
    return color.isValid() ? color : palette().color(role);
}

void GradientButton::setFrameHighlight(const QColor& color) {
    setColorMember(m_frameHighlight, color);
}
void GradientButton::setFrameShadow(const QColor& color) {
    setColorMember(m_frameShadow, color);
}
void GradientButton::setCaptionHighlight(const QColor& color) {
    setColorMember(m_captionHighlight, color);
}
void GradientButton::setCaptionShadow(const QColor& color) {
    setColorMember(m_captionShadow, color);
}
void GradientButton::setBeginColor(const QColor& color) {
    setColorMember(m_beginColor, color);
}
void GradientButton::setEndColor(const QColor& color) {
    setColorMember(m_endColor, color);
}
void GradientButton::setCaptionColor(const QColor& color) {
    setColorMember(m_captionColor, color);
}

void GradientButton::setFrameSize(int value) {
    if (value == m_frameSize || !frameSizeAllowed(value, width(), height()))
        return;
    m_frameSize = value;
    update();
}

void GradientButton::setGradientStyle(GradientStyle value) {
    if (value == m_gradientStyle)
        return;
    m_gradientStyle = value;
    update();
}

void GradientButton::setCaptionStyle(CaptionStyle value) {
    if (value == m_captionStyle)
        return;
    m_captionStyle = value;
    update();
}

void GradientButton::setShadeType(ShadeType value) {
    if (value == m_shadeType)
        return;
    m_shadeType = value;
    update();
}

void GradientButton::setPreset(Preset value) {
    if (!m_designing)
        return;
    applyPreset(value);
    m_preset = value;
    update();
}

void GradientButton::applyPreset(Preset preset) {
    const PresetValues p = presetValues(preset);
    m_beginColor = p.beginColor;
    m_endColor = p.endColor;
    QFont presetFont(QString::fromLatin1(p.fontName), p.fontSize);
    presetFont.setBold(p.bold);
    setFont(presetFont);
    m_captionColor = p.captionColor;
    m_gradientStyle = p.gradientStyle;
    m_shadeType = p.shadeType;
    m_captionStyle = p.captionStyle;
    m_captionHighlight = p.captionHighlight;
    m_captionShadow = p.captionShadow;
    m_frameHighlight = p.frameHighlight;
    m_frameShadow = p.frameShadow;
}

void GradientButton::setCaption(const QString& value) {
    if (value == m_caption)
        return;
    m_caption = value;
    updateShortcut();
    update();
}

void GradientButton::updateShortcut() {
    const QKeySequence mnemonic = QKeySequence::mnemonic(m_caption);
    m_shortcut->setKey(mnemonic);
    m_shortcut->setEnabled(!mnemonic.isEmpty());
}

void GradientButton::click() {
    emit clicked();
}

void GradientButton::swapGradientColors() {
    std::swap(m_beginColor, m_endColor);
}

void GradientButton::paintEvent(QPaintEvent*) {
    paintFace();
    QPainter screen(this);
    screen.drawImage(0, 0, m_buffer);
}

void GradientButton::paintFace() {
    const int w = width();
    const int h = height();
    const qreal ratio = devicePixelRatioF();
    const QSize pixels(qMax(1, qRound(w * ratio)), qMax(1, qRound(h * ratio)));
    if (m_buffer.size() != pixels) {
        m_buffer = QImage(pixels, QImage::Format_RGB32);
        // An unknown gradient style draws nothing; the face then shows this.
        m_buffer.fill(palette().color(QPalette::Button));
    }
    m_buffer.setDevicePixelRatio(ratio);

    QPainter painter(&m_buffer);
    painter.setFont(font());
    painter.setPen(Qt::NoPen);
    for (const GradientFill& fill :
         gradientFills(m_gradientStyle, w, h, m_beginColor, m_endColor)) {
        if (fill.right <= fill.left || fill.bottom <= fill.top)
            continue;
        const QColor& color = fill.color;
        if (fill.ellipse) {
            painter.setBrush(color);
            painter.drawEllipse(
                QRect(fill.left, fill.top, fill.right - fill.left, fill.bottom - fill.top));
        } else {
            painter.fillRect(
                QRect(fill.left, fill.top, fill.right - fill.left, fill.bottom - fill.top), color);
        }
    }
    painter.setBrush(Qt::NoBrush);

    drawFrame(painter, w, h);
    drawCaption(painter, w, h);

    if (!m_designing && m_showsFocus && hasFocus())
        drawFocusRectangle(painter, w, h);
}

void GradientButton::drawFrame(QPainter& painter, int width, int height) {
    const QColor light = shown(m_frameHighlight, QPalette::Light);
    const QColor dark = shown(m_frameShadow, QPalette::Dark);
    const QColor hilite = m_down ? dark : light;
    const QColor shadow = m_down ? light : dark;
    // Nested one-pixel rectangles; the shadow side is drawn last and so owns the
    // top-right and bottom-left corners.
    for (int k = 0; k < m_frameSize; ++k) {
        const int right = width - 1 - k;
        const int bottom = height - 1 - k;
        if (right < k || bottom < k)
            break;
        painter.fillRect(QRect(QPoint(k, k), QPoint(right - 1, k)), hilite);
        painter.fillRect(QRect(QPoint(k, k), QPoint(k, bottom)), hilite);
        painter.fillRect(QRect(QPoint(right, k), QPoint(right, bottom)), shadow);
        painter.fillRect(QRect(QPoint(k, bottom), QPoint(right, bottom)), shadow);
    }
}

// A dotted outline that inverts what lies beneath, so it shows on any gradient. Styles'
// own focus frames are not used: some draw nothing unless focus came from the keyboard.
void GradientButton::drawFocusRectangle(QPainter& painter, int width, int height) {
    if (width < 6 || height < 6)
        return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    QPen dotted(Qt::white, 0, Qt::CustomDashLine);
    dotted.setDashPattern({1, 1});
    painter.setPen(dotted);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(2, 2, width - 5, height - 5));
    painter.restore();
}

void GradientButton::drawCaption(QPainter& painter, int width, int height) {
    m_strippedCaption = stripAccelerators(m_caption);
    const QFontMetrics metrics(font());
    const int textWidth = metrics.horizontalAdvance(m_strippedCaption);
    const int textHeight = metrics.height();
    const int p = m_down ? 1 : 0;
    const int x = (width - textWidth) / 2 + p;
    const int y = (height - textHeight) / 2 + p;
    const int flags = Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;
    auto draw = [&](int left, int top, const QColor& color) {
        painter.setPen(color);
        painter.drawText(QRect(left, top, textWidth, textHeight), flags, m_caption);
    };
    const QColor highlight = shown(m_captionHighlight, QPalette::Light);
    const QColor shadow = shown(m_captionShadow, QPalette::Dark);
    const bool heavy = m_shadeType == ShadeType::Heavy;
    switch (m_captionStyle) {
    case CaptionStyle::Raised:
        draw(x - 1, y - 1, highlight);
        if (heavy)
            draw(x + 1, y + 1, shadow);
        draw(x, y, m_captionColor);
        break;
    case CaptionStyle::Inset:
        if (heavy)
            draw(x - 1, y - 1, shadow);
        draw(x + 1, y + 1, highlight);
        draw(x, y, m_captionColor);
        break;
    case CaptionStyle::Normal:
        draw(x, y, m_captionColor);
        break;
    }
}

void GradientButton::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event->button(), event->position().toPoint());
    m_down = true;
    if (m_swapsColors)
        swapGradientColors();
    update();
}

void GradientButton::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseReleased(event->button(), event->position().toPoint());
    // A click is a left button let go over the button.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        click();
    if (m_swapsColors)
        swapGradientColors();
    m_down = false;
    update();
}

void GradientButton::keyPressEvent(QKeyEvent* event) {
    QWidget::keyPressEvent(event);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        click();
    }
}

void GradientButton::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (!m_designing)
        update();
}

void GradientButton::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    if (!m_designing)
        update();
}

void GradientButton::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    emit mouseEntered(this);
}

void GradientButton::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    emit mouseLeft(this);
}

} // namespace zelvorin

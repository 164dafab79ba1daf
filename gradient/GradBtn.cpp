#include "GradBtn.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

using namespace zelvorin::gradient;

namespace {

struct PresetValues {
    quint32 beginColor;
    quint32 endColor;
    int fontSize;
    const char* fontName;
    quint32 fontColor;
    bool bold;
    TGradientStyle gradientStyle;
    TShadeType shadeType;
    TTextStyle textStyle;
    quint32 txtHiliteClr;
    quint32 txtShadowClr;
    quint32 btnHiliteClr;
    quint32 btnShadowClr;
};

PresetValues presetValues(TPreset preset) {
    using GS = TGradientStyle;
    using ST = TShadeType;
    using TS = TTextStyle;
    switch (preset) {
    case TPreset::GoldCoast:
        return {0x0000FFFF, 0x00008080,     10,          "Arial",      0x0000BBBB,
                true,       GS::gsVertical, ST::stHeavy, TS::tsRaised, 0x00BFFFFF,
                0x00007171, 0x00B3FFFF,     0x00616161};
    case TPreset::LimeBox:
        return {0x00000000, 0x0000FF00,      8,           "Courier",    0x00008000,
                false,      GS::gsRectangle, ST::stLight, TS::tsRaised, 0x00ACFFAC,
                0x00004000, clBtnHighlight,  clBtnShadow};
    case TPreset::Aluminum:
        return {0x00CECECE,  0x005F5F5F,     10,          "Times New Roman", 0x00000000,
                true,        GS::gsVertical, ST::stHeavy, TS::tsInset,       clBtnHighlight,
                clBtnShadow, 0x00FFFFFF,     0x00000000};
    case TPreset::SunRise:
        return {0x0000FFFF, 0x000000FF,       8,           "MS Sans Serif", 0x00000040,
                true,       GS::gsHorizontal, ST::stHeavy, TS::tsRaised,    0x00CFE7E6,
                0x000058B0, clBtnHighlight,   clBtnShadow};
    case TPreset::None:
        break;
    }
    return {0x00800000,  0x00FFFF00,       8,           "MS Sans Serif", 0x00000000,
            false,       GS::gsVertCenter, ST::stLight, TS::tsRaised,    clBtnHighlight,
            clBtnShadow, clBtnHighlight,   clBtnShadow};
}

} // namespace

TGradBtn::TGradBtn(QWidget* parent) : QWidget(parent) {
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

TGradBtn::~TGradBtn() = default;

void TGradBtn::setColorMember(quint32& member, quint32 value) {
    if (member == value)
        return;
    member = value;
    update();
}

void TGradBtn::setBtnHiliteClr(quint32 value) {
    setColorMember(m_btnHiliteClr, value);
}
void TGradBtn::setBtnShadowClr(quint32 value) {
    setColorMember(m_btnShadowClr, value);
}
void TGradBtn::setTxtHiliteClr(quint32 value) {
    setColorMember(m_txtHiliteClr, value);
}
void TGradBtn::setTxtShadowClr(quint32 value) {
    setColorMember(m_txtShadowClr, value);
}
void TGradBtn::setBeginColor(quint32 value) {
    setColorMember(m_beginColor, value);
}
void TGradBtn::setEndColor(quint32 value) {
    setColorMember(m_endColor, value);
}
void TGradBtn::setFontColor(quint32 value) {
    setColorMember(m_fontColor, value);
}

void TGradBtn::setBtnFrameSize(int value) {
    if (value == m_btnFrameSize || !frameSizeAllowed(value, width(), height()))
        return;
    m_btnFrameSize = value;
    update();
}

void TGradBtn::setGradientStyle(TGradientStyle value) {
    if (value == m_gradientStyle)
        return;
    m_gradientStyle = value;
    update();
}

void TGradBtn::setTextStyle(TTextStyle value) {
    if (value == m_textStyle)
        return;
    m_textStyle = value;
    update();
}

void TGradBtn::setTextShadeType(TShadeType value) {
    if (value == m_textShadeType)
        return;
    m_textShadeType = value;
    update();
}

void TGradBtn::setPresets(TPreset value) {
    if (!m_designing)
        return;
    applyPreset(value);
    m_presets = value;
    update();
}

void TGradBtn::applyPreset(TPreset preset) {
    const PresetValues p = presetValues(preset);
    m_beginColor = p.beginColor;
    m_endColor = p.endColor;
    QFont presetFont(QString::fromLatin1(p.fontName), p.fontSize);
    presetFont.setBold(p.bold);
    setFont(presetFont);
    m_fontColor = p.fontColor;
    m_gradientStyle = p.gradientStyle;
    m_textShadeType = p.shadeType;
    m_textStyle = p.textStyle;
    m_txtHiliteClr = p.txtHiliteClr;
    m_txtShadowClr = p.txtShadowClr;
    m_btnHiliteClr = p.btnHiliteClr;
    m_btnShadowClr = p.btnShadowClr;
}

void TGradBtn::setCaption(const QString& value) {
    if (value == m_caption)
        return;
    m_caption = value;
    updateShortcut();
    update();
}

void TGradBtn::updateShortcut() {
    const QKeySequence mnemonic = QKeySequence::mnemonic(m_caption);
    m_shortcut->setKey(mnemonic);
    m_shortcut->setEnabled(!mnemonic.isEmpty());
}

void TGradBtn::click() {
    emit OnClick();
}

void TGradBtn::swapGradientColors() {
    std::swap(m_beginColor, m_endColor);
}

void TGradBtn::paintEvent(QPaintEvent*) {
    Paint();
    QPainter screen(this);
    screen.drawImage(0, 0, m_buffer);
}

void TGradBtn::Paint() {
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
        const QColor color = toQColor(fill.color, palette());
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

    if (!m_designing && m_showFocus && hasFocus())
        drawFocusRectangle(painter, w, h);
}

void TGradBtn::drawFrame(QPainter& painter, int width, int height) {
    const QColor hilite = toQColor(m_down ? m_btnShadowClr : m_btnHiliteClr, palette());
    const QColor shadow = toQColor(m_down ? m_btnHiliteClr : m_btnShadowClr, palette());
    // Nested one-pixel rectangles; the shadow side is drawn last and so owns the
    // top-right and bottom-left corners.
    for (int k = 0; k < m_btnFrameSize; ++k) {
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
void TGradBtn::drawFocusRectangle(QPainter& painter, int width, int height) {
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

void TGradBtn::drawCaption(QPainter& painter, int width, int height) {
    m_strippedCaption = stripAccelerators(m_caption);
    const QFontMetrics metrics(font());
    const int textWidth = metrics.horizontalAdvance(m_strippedCaption);
    const int textHeight = metrics.height();
    const int p = m_down ? 1 : 0;
    const int x = (width - textWidth) / 2 + p;
    const int y = (height - textHeight) / 2 + p;
    const int flags = Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;
    auto draw = [&](int left, int top, quint32 color) {
        painter.setPen(toQColor(color, palette()));
        painter.drawText(QRect(left, top, textWidth, textHeight), flags, m_caption);
    };
    const bool heavy = m_textShadeType == TShadeType::stHeavy;
    switch (m_textStyle) {
    case TTextStyle::tsRaised:
        draw(x - 1, y - 1, m_txtHiliteClr);
        if (heavy)
            draw(x + 1, y + 1, m_txtShadowClr);
        draw(x, y, m_fontColor);
        break;
    case TTextStyle::tsInset:
        if (heavy)
            draw(x - 1, y - 1, m_txtShadowClr);
        draw(x + 1, y + 1, m_txtHiliteClr);
        draw(x, y, m_fontColor);
        break;
    case TTextStyle::tsNormal:
        draw(x, y, m_fontColor);
        break;
    }
}

void TGradBtn::mousePressEvent(QMouseEvent* event) {
    emit OnMouseDown(event->button(), event->position().toPoint());
    m_down = true;
    if (m_swapColors)
        swapGradientColors();
    update();
}

void TGradBtn::mouseReleaseEvent(QMouseEvent* event) {
    emit OnMouseUp(event->button(), event->position().toPoint());
    // A click is a left button let go over the button.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        click();
    if (m_swapColors)
        swapGradientColors();
    m_down = false;
    update();
}

void TGradBtn::keyPressEvent(QKeyEvent* event) {
    QWidget::keyPressEvent(event);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        click();
    }
}

void TGradBtn::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (!m_designing)
        update();
}

void TGradBtn::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    if (!m_designing)
        update();
}

void TGradBtn::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    emit OnMouseEnter(this);
}

void TGradBtn::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    emit OnMouseLeave(this);
}

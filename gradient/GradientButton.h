// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A push button that paints its whole face itself: a colour gradient in one of six
// shapes, a 3D frame and a raised, inset or plain caption. Pressing it inverts the frame,
// moves the caption by a pixel and, optionally, swaps the gradient's colours. The gradient
// text window uses one, disabled and frameless, as its colour bar.
#pragma once

#include "GradientArithmetic.h"

#include <QColor>
#include <QImage>
#include <QWidget>

class QShortcut;

namespace zelvorin {

class GradientButton : public QWidget {
    Q_OBJECT

public:
    explicit GradientButton(QWidget* parent);
    ~GradientButton() override;

    // The frame's and the caption's light and dark sides; an invalid colour (the default)
    // draws in the palette's light or dark colour, so the button follows the desktop.
    QColor frameHighlight() const { return m_frameHighlight; }
    void setFrameHighlight(const QColor& color);
    QColor frameShadow() const { return m_frameShadow; }
    void setFrameShadow(const QColor& color);
    int frameSize() const { return m_frameSize; }
    // Ignored when the frame would not leave room for the face (see frameSizeAllowed).
    void setFrameSize(int value);
    QColor captionHighlight() const { return m_captionHighlight; }
    void setCaptionHighlight(const QColor& color);
    QColor captionShadow() const { return m_captionShadow; }
    void setCaptionShadow(const QColor& color);
    QColor beginColor() const { return m_beginColor; }
    void setBeginColor(const QColor& color);
    QColor endColor() const { return m_endColor; }
    void setEndColor(const QColor& color);
    bool swapsColors() const { return m_swapsColors; }
    void setSwapsColors(bool value) { m_swapsColors = value; }
    bool showsFocus() const { return m_showsFocus; }
    void setShowsFocus(bool value) { m_showsFocus = value; }
    gradient::GradientStyle gradientStyle() const { return m_gradientStyle; }
    void setGradientStyle(gradient::GradientStyle value);
    gradient::CaptionStyle captionStyle() const { return m_captionStyle; }
    void setCaptionStyle(gradient::CaptionStyle value);
    gradient::ShadeType shadeType() const { return m_shadeType; }
    void setShadeType(gradient::ShadeType value);
    gradient::Preset preset() const { return m_preset; }
    // Presets belong to form design: at run time this changes nothing, not even the value.
    void setPreset(gradient::Preset value);
    QString caption() const { return m_caption; }
    void setCaption(const QString& value);
    QColor captionColor() const { return m_captionColor; }
    void setCaptionColor(const QColor& color);

    // Whether a form designer hosts the control; only then do presets apply and the focus
    // rectangle stay hidden. False in the running program.
    bool designing() const { return m_designing; }
    void setDesigning(bool value) { m_designing = value; }
    bool isDown() const { return m_down; }

    // Clicks the button as a mouse click, Enter or the accelerator does.
    void click();

    QSize sizeHint() const override { return {75, 25}; }

signals:
    void clicked();
    void mousePressed(Qt::MouseButton button, const QPoint& position);
    void mouseReleased(Qt::MouseButton button, const QPoint& position);
    void mouseEntered(zelvorin::GradientButton* sender);
    void mouseLeft(zelvorin::GradientButton* sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void paintFace();
    void drawFrame(QPainter& painter, int width, int height);
    void drawCaption(QPainter& painter, int width, int height);
    void drawFocusRectangle(QPainter& painter, int width, int height);
    void swapGradientColors();
    void applyPreset(gradient::Preset preset);
    void updateShortcut();
    void setColorMember(QColor& member, const QColor& value);
    // A colour as drawn: the palette's colour of `role` for an invalid one.
    QColor shown(const QColor& color, QPalette::ColorRole role) const;

    QColor m_frameHighlight;
    QColor m_frameShadow;
    int m_frameSize = 1;
    QColor m_captionHighlight;
    QColor m_captionShadow;
    QColor m_beginColor{0, 0, 0x80};
    QColor m_endColor{0, 0xFF, 0xFF};
    bool m_swapsColors = true;
    bool m_showsFocus = true;
    gradient::GradientStyle m_gradientStyle = gradient::GradientStyle::VerticalCenter;
    gradient::CaptionStyle m_captionStyle = gradient::CaptionStyle::Raised;
    gradient::ShadeType m_shadeType = gradient::ShadeType::Light;
    gradient::Preset m_preset = gradient::Preset::None;
    QString m_caption;
    QColor m_captionColor{0, 0, 0};

    bool m_designing = false;
    bool m_down = false;
    QString m_strippedCaption;
    QImage m_buffer;
    QShortcut* m_shortcut = nullptr;
};

} // namespace zelvorin

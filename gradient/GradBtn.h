// A push button that paints its whole face itself: a colour gradient in one of six
// shapes, a 3D frame and a raised, inset or plain caption. Pressing it inverts the frame,
// moves the caption by a pixel and, optionally, swaps the gradient's colours. The gradient
// text window uses one, disabled and frameless, as its colour bar.
#pragma once

#include "GradBtnArithmetic.h"

#include <QImage>
#include <QWidget>

class QShortcut;

class TGradBtn : public QWidget {
    Q_OBJECT

public:
    explicit TGradBtn(QWidget* parent);
    ~TGradBtn() override;

    quint32 BtnHiliteClr() const { return m_btnHiliteClr; }
    void setBtnHiliteClr(quint32 value);
    quint32 BtnShadowClr() const { return m_btnShadowClr; }
    void setBtnShadowClr(quint32 value);
    int BtnFrameSize() const { return m_btnFrameSize; }
    // Ignored when the frame would not leave room for the face (see frameSizeAllowed).
    void setBtnFrameSize(int value);
    quint32 TxtHiliteClr() const { return m_txtHiliteClr; }
    void setTxtHiliteClr(quint32 value);
    quint32 TxtShadowClr() const { return m_txtShadowClr; }
    void setTxtShadowClr(quint32 value);
    quint32 BeginColor() const { return m_beginColor; }
    void setBeginColor(quint32 value);
    quint32 EndColor() const { return m_endColor; }
    void setEndColor(quint32 value);
    bool SwapColors() const { return m_swapColors; }
    void setSwapColors(bool value) { m_swapColors = value; }
    bool ShowFocus() const { return m_showFocus; }
    void setShowFocus(bool value) { m_showFocus = value; }
    TGradientStyle GradientStyle() const { return m_gradientStyle; }
    void setGradientStyle(TGradientStyle value);
    TTextStyle TextStyle() const { return m_textStyle; }
    void setTextStyle(TTextStyle value);
    TShadeType TextShadeType() const { return m_textShadeType; }
    void setTextShadeType(TShadeType value);
    TPreset Presets() const { return m_presets; }
    // Presets belong to form design: at run time this changes nothing, not even the value.
    void setPresets(TPreset value);
    QString Caption() const { return m_caption; }
    void setCaption(const QString& value);
    // The caption's colour, as a colour value like the others.
    quint32 FontColor() const { return m_fontColor; }
    void setFontColor(quint32 value);

    // Whether a form designer hosts the control; only then do presets apply and the focus
    // rectangle stay hidden. False in the running program.
    bool designing() const { return m_designing; }
    void setDesigning(bool value) { m_designing = value; }
    bool isDown() const { return m_down; }

    // Clicks the button as a mouse click, Enter or the accelerator does.
    void click();

    QSize sizeHint() const override { return {75, 25}; }

signals:
    void OnClick();
    void OnMouseDown(Qt::MouseButton button, const QPoint& position);
    void OnMouseUp(Qt::MouseButton button, const QPoint& position);
    void OnMouseEnter(TGradBtn* sender);
    void OnMouseLeave(TGradBtn* sender);

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
    void Paint();
    void drawFrame(QPainter& painter, int width, int height);
    void drawCaption(QPainter& painter, int width, int height);
    void drawFocusRectangle(QPainter& painter, int width, int height);
    void swapGradientColors();
    void applyPreset(TPreset preset);
    void updateShortcut();
    void setColorMember(quint32& member, quint32 value);

    quint32 m_btnHiliteClr = zelvorin::gradient::clBtnHighlight;
    quint32 m_btnShadowClr = zelvorin::gradient::clBtnShadow;
    int m_btnFrameSize = 1;
    quint32 m_txtHiliteClr = zelvorin::gradient::clBtnHighlight;
    quint32 m_txtShadowClr = zelvorin::gradient::clBtnShadow;
    quint32 m_beginColor = 0x00800000;
    quint32 m_endColor = 0x00FFFF00;
    bool m_swapColors = true;
    bool m_showFocus = true;
    TGradientStyle m_gradientStyle = TGradientStyle::gsVertCenter;
    TTextStyle m_textStyle = TTextStyle::tsRaised;
    TShadeType m_textShadeType = TShadeType::stLight;
    TPreset m_presets = TPreset::None;
    QString m_caption;
    quint32 m_fontColor = 0x00000000;

    bool m_designing = false;
    bool m_down = false;
    QString m_strippedCaption;
    QImage m_buffer;
    QShortcut* m_shortcut = nullptr;
};

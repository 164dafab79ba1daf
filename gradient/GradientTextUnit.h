// The gradient text tool: a small modal window that colours a line of text letter by
// letter from a start colour to an end colour, shows it as coloured text and as HTML
// code (one font element per letter), and copies either to the clipboard. The program
// creates the window once and keeps it, so its text and colours persist between openings.
#pragma once

#include "GradBtn.h"
#include "GradientColors.h"

#include <QColor>
#include <QDialog>

#include <functional>
#include <optional>

class QColorDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QTextEdit;
class QTimer;
class QToolButton;

class TGradientTextForm : public QDialog {
    Q_OBJECT

public:
    // Asks for a colour with `initial` preselected; no value when the user cancels.
    using ColorChooser = std::function<std::optional<QColor>(const QColor& initial)>;

    explicit TGradientTextForm(QWidget* parent);
    ~TGradientTextForm() override;

    quint32 fromColor() const { return m_fromColor; }
    quint32 toColor() const { return m_toColor; }
    // Replaces the colour dialog, for hosts and tests that choose colours another way.
    void setColorChooser(ColorChooser chooser) { m_colorChooser = std::move(chooser); }

    void FormCreate();
    void FormShow();
    void SrcTextEditChange();
    void Timer1Timer();
    void FromBtnPanelMouseDown();
    void ToBtnPanelMouseDown();
    // `position` is in the coordinates of the button panel itself.
    void FromBtnPanelMouseUp(const QPoint& position);
    void ToBtnPanelMouseUp(const QPoint& position);
    void CopyRTFButtonClick();
    void CopyHTMLButtonClick();
    void BuildGradientText();

    // How many times the output has been built; lets callers see that nothing was rebuilt.
    int buildCount() const { return m_buildCount; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    QFrame* createColorButton(const QString& prefix, QPoint position, QWidget** colorPanel);
    bool chooseColor(QFrame* buttonPanel, QWidget* colorPanel, const QPoint& position,
                     quint32& color);
    void setPanelColor(QWidget* panel, quint32 color);
    void centreOnScreen();

    quint32 m_fromColor = 0x0000FFFF;
    quint32 m_toColor = 0x000000FF;
    std::vector<zelvorin::gradient::ColoredLetter> m_letters;
    ColorChooser m_colorChooser;
    int m_buildCount = 0;
    bool m_centred = false;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* SrcTextEdit = nullptr;
    QFrame* FromBtnPanel = nullptr;
    QWidget* FromColorPanel = nullptr;
    QFrame* ToBtnPanel = nullptr;
    QWidget* ToColorPanel = nullptr;
    QTextEdit* PreviewRichEdit = nullptr;
    QTextEdit* HTMLCodeRichEdit = nullptr;
    QFrame* Panel1 = nullptr;
    TGradBtn* GradBtn1 = nullptr;
    QToolButton* CopyRTFButton = nullptr;
    QToolButton* CopyHTMLButton = nullptr;
    QColorDialog* ColorDialog1 = nullptr;
    QTimer* Timer1 = nullptr;
};

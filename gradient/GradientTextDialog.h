// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The gradient text tool: a small modal window that colours a line of text letter by
// letter from a start colour to an end colour, shows it as coloured text and as HTML
// code (one font element per letter), and copies either to the clipboard. The program
// creates the window once and keeps it, so its text and colours persist between openings.
#pragma once

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

namespace zelvorin {

class GradientButton;

class GradientTextDialog : public QDialog {
    Q_OBJECT

public:
    // Asks for a colour with `initial` preselected; no value when the user cancels.
    using ColorChooser = std::function<std::optional<QColor>(const QColor& initial)>;

    explicit GradientTextDialog(QWidget* parent);
    ~GradientTextDialog() override;

    QColor fromColor() const { return m_fromColor; }
    QColor toColor() const { return m_toColor; }
    // Replaces the colour dialog, for hosts and tests that choose colours another way.
    void setColorChooser(ColorChooser chooser) { m_colorChooser = std::move(chooser); }

    // The text waits for a pause in typing before it is built again.
    void buildAfterPause();
    // A colour button let go: over the button, the colour dialog asks for its colour.
    // `position` is in the coordinates of the button panel itself.
    void releaseFromButton(const QPoint& position);
    void releaseToButton(const QPoint& position);
    void copyRichText();
    void copyHtml();
    void buildGradientText();

    // How many times the output has been built; lets callers see that nothing was rebuilt.
    int buildCount() const { return m_buildCount; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    QFrame* createColorButton(const QString& prefix, QPoint position, QWidget** colorPanel);
    void showColors();
    bool chooseColor(QFrame* buttonPanel, QWidget* colorPanel, const QPoint& position,
                     QColor& color);
    void setPanelColor(QWidget* panel, const QColor& color);
    void centreOnScreen();

    QColor m_fromColor{0xFF, 0xFF, 0};
    QColor m_toColor{0xFF, 0, 0};
    std::vector<gradient::ColoredLetter> m_letters;
    ColorChooser m_colorChooser;
    int m_buildCount = 0;
    bool m_centred = false;

    QLineEdit* m_textEdit = nullptr;
    QFrame* m_fromButton = nullptr;
    QWidget* m_fromSwatch = nullptr;
    QFrame* m_toButton = nullptr;
    QWidget* m_toSwatch = nullptr;
    QTextEdit* m_preview = nullptr;
    QTextEdit* m_htmlCode = nullptr;
    GradientButton* m_colorBar = nullptr;
    QColorDialog* m_colorDialog = nullptr;
    QTimer* m_typingPause = nullptr;
};

} // namespace zelvorin

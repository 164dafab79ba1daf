// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window's status bar: a one-pixel spacer, a percentage gauge for the progress of
// loads and reads, and a text panel for the browser's status text and the program's notes.
// Drawn by hand so that the gauge's two-colour text (readable where the bar passes under
// it) is ours.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class QSizeGrip;

namespace zelvorin {

class StatusBar : public QWidget {
    Q_OBJECT
public:
    // The panels from left to right.
    enum class Panel { Spacer, Gauge, Text };

    explicit StatusBar(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);

    // A hidden gauge leaves its panel empty.
    bool gaugeShown() const { return m_gaugeShown; }
    void setGaugeShown(bool shown);
    unsigned gaugePosition() const { return m_gaugePosition; }
    // Percent, 0 to 100 (more counts as 100).
    void setGaugePosition(unsigned percent);
    // The activity the gauge measures, shown before the figure; empty shows the figure alone.
    QString gaugeLabel() const { return m_gaugeLabel; }
    void setGaugeLabel(const QString& label);
    // The bar's colour and its text's colour over the bar; invalid colours take the
    // palette's highlight and highlighted text.
    void setGaugeColors(const QColor& bar, const QColor& text);

    // The rectangle a panel occupies; the text panel always runs to the right end.
    QRect panelRect(Panel panel) const;
    // How many times the bar was painted; lets tests see that an unchanged value redraws
    // nothing.
    int paintCount() const { return m_paintCount; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitHeightToFont();
    void drawBevel(class QPainter& painter, const QRect& outer);
    void drawGauge(QPainter& painter, const QRect& inner);

    QString m_text;
    bool m_gaugeShown = true;
    unsigned m_gaugePosition = 0;
    QString m_gaugeLabel;
    QColor m_gaugeBar;
    QColor m_gaugeText;
    QSizeGrip* m_grip = nullptr;
    int m_paintCount = 0;
};

// The filled width of a percentage gauge: (right - left) x position / 100, rounded.
int gaugeFilledWidth(int innerWidth, unsigned position);
// The gauge's text: the label, if any, then the position and "%".
QString gaugeText(unsigned position, const QString& label = QString());

} // namespace zelvorin

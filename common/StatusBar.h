// The main window's status bar: a one-pixel spacer, a percentage gauge for the download
// progress and a text panel for the browser's status text. Drawn by hand so that the
// gauge's two-colour text (readable where the bar passes under it) is ours.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <vector>

class QSizeGrip;

enum class TdfsStatusPanelType { sptNormal, sptGauge };
enum class TdfsGaugeStyle { gsPercent };

struct TdfsGaugeAttrs {
    TdfsGaugeStyle Style = TdfsGaugeStyle::gsPercent;
    unsigned Position = 0; // percent, 0..100
    QColor Color;          // invalid: the palette's highlight
    QColor TextColor;      // invalid: the palette's highlighted text
};

struct TdfsStatusPanel {
    TdfsStatusPanelType PanelType = TdfsStatusPanelType::sptNormal;
    int Width = 50;
    bool Bevel = true;
    bool Enabled = true;
    Qt::Alignment Alignment = Qt::AlignLeft;
    QString Text;
    TdfsGaugeAttrs GaugeAttrs;
};

class TdfsStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit TdfsStatusBar(QWidget* parent = nullptr);

    int PanelCount() const { return int(m_panels.size()); }
    const TdfsStatusPanel& Panel(int index) const { return m_panels.at(index); }
    void AddPanel(const TdfsStatusPanel& panel);

    void SetPanelEnabled(int index, bool enabled);
    void SetGaugePosition(int index, unsigned percent);
    void SetPanelText(int index, const QString& text);
    // Forces an immediate redraw.
    void Repaint();

    // The rectangle a panel occupies: each panel's right edge is the sum of the widths so
    // far; the last one always runs to the right end of the bar.
    QRect PanelRect(int index) const;
    // How many times the bar was painted; lets tests see that an unchanged value redraws
    // nothing.
    int PaintCount() const { return m_paintCount; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void drawGauge(class QPainter& painter, const QRect& inner, const TdfsStatusPanel& panel);

    std::vector<TdfsStatusPanel> m_panels;
    QSizeGrip* m_grip = nullptr;
    int m_paintCount = 0;
};

namespace zelvorin {
// The filled width of a percentage gauge: (right - left) x position / 100, rounded.
int GaugeFilledWidth(int innerWidth, unsigned position);
// The gauge's text: the panel's own text if any, else the position and "%".
QString GaugeText(const TdfsStatusPanel& panel);
} // namespace zelvorin

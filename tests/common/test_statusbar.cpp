// The status bar's panels and the two-colour percentage gauge, checked on grabbed images.
#include "StatusBar.h"
#include "TestEnvironment.h"

#include <QApplication>

class StatusBarTest : public QObject {
    Q_OBJECT

    TdfsStatusBar* makeBar() {
        auto* bar = new TdfsStatusBar;
        TdfsStatusPanel spacer;
        spacer.Width = 1;
        spacer.Bevel = false;
        bar->AddPanel(spacer);
        TdfsStatusPanel gauge;
        gauge.PanelType = TdfsStatusPanelType::sptGauge;
        gauge.Width = 150;
        gauge.Alignment = Qt::AlignHCenter;
        gauge.GaugeAttrs.Color = QColor(0, 0, 200);
        gauge.GaugeAttrs.TextColor = QColor(255, 255, 255);
        bar->AddPanel(gauge);
        TdfsStatusPanel text;
        bar->AddPanel(text);
        bar->resize(400, 19);
        return bar;
    }

    // Text is anti-aliased: count pixels close to a colour rather than equal to it.
    static int countNear(const QImage& image, const QRect& area, const QColor& colour) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += qAbs(c.red() - colour.red()) + qAbs(c.green() - colour.green()) +
                         qAbs(c.blue() - colour.blue()) <
                     90;
            }
        return n;
    }

    static int countColour(const QImage& image, const QRect& area, const QColor& colour) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += image.pixelColor(x, y) == colour;
        return n;
    }

private slots:
    void panelEdges() {
        std::unique_ptr<TdfsStatusBar> bar(makeBar());
        QCOMPARE(bar->PanelRect(0), QRect(0, 0, 1, 19));
        QCOMPARE(bar->PanelRect(1), QRect(1, 0, 150, 19));
        // The last panel runs to the right end whatever its width says.
        QCOMPARE(bar->PanelRect(2), QRect(151, 0, 249, 19));
        bar->resize(600, 19);
        QCOMPARE(bar->PanelRect(1), QRect(1, 0, 150, 19));
        QCOMPARE(bar->PanelRect(2).width(), 449);
    }

    void gaugeArithmetic() {
        QCOMPARE(zelvorin::GaugeFilledWidth(148, 0), 0);
        QCOMPARE(zelvorin::GaugeFilledWidth(148, 100), 148);
        QCOMPARE(zelvorin::GaugeFilledWidth(148, 50), 74);
        QCOMPARE(zelvorin::GaugeFilledWidth(147, 50), 74); // 73.5 rounds up
        TdfsStatusPanel panel;
        QCOMPARE(zelvorin::GaugeText(panel), QString("0%"));
        panel.GaugeAttrs.Position = 45;
        QCOMPARE(zelvorin::GaugeText(panel), QString("45%"));
        panel.Text = "x";
        QCOMPARE(zelvorin::GaugeText(panel), QString("x"));
    }

    void gaugeDrawing() {
        std::unique_ptr<TdfsStatusBar> bar(makeBar());
        const QColor blue(0, 0, 200);
        const QRect inner = bar->PanelRect(1).adjusted(1, 1, -1, -1);
        QImage empty = bar->grab().toImage();
        // 0%: no bar at all, but the text is there.
        QCOMPARE(countColour(empty, inner, blue), 0);
        const QColor text = bar->palette().color(QPalette::ButtonText);
        QVERIFY(countNear(empty, inner, text) > 0);

        bar->SetGaugePosition(1, 100);
        QImage full = bar->grab().toImage();
        // 100%: the whole inner width filled, the text drawn over it in the text colour.
        QVERIFY(countColour(full, inner, blue) > inner.width() * inner.height() / 2);
        QVERIFY(countNear(full, inner, Qt::white) > 0);
        QCOMPARE(full.pixelColor(inner.left(), inner.top()), blue);
        QCOMPARE(full.pixelColor(inner.right(), inner.bottom()), blue);

        bar->SetGaugePosition(1, 50);
        QImage half = bar->grab().toImage();
        QCOMPARE(half.pixelColor(inner.left() + 2, inner.top()), blue);
        QVERIFY(half.pixelColor(inner.right() - 2, inner.top()) != blue);
        // The text straddles the edge: both its colours show.
        QVERIFY(countNear(half, inner, Qt::white) > 0);
        QVERIFY(countNear(half, inner, text) > 0);

        bar->SetPanelEnabled(1, false);
        QImage disabled = bar->grab().toImage();
        const QColor background = bar->palette().color(QPalette::Button);
        QCOMPARE(countColour(disabled, inner, background), inner.width() * inner.height());
    }

    void unchangedPositionDoesNotRedraw() {
        std::unique_ptr<TdfsStatusBar> bar(makeBar());
        bar->show();
        QVERIFY(QTest::qWaitForWindowExposed(bar.get()));
        bar->SetGaugePosition(1, 30);
        QTRY_VERIFY(bar->PaintCount() > 0);
        // Every repaint asked for so far is done once the posted events have run.
        const auto paintPending = [] {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        };
        paintPending();
        const int painted = bar->PaintCount();
        bar->SetGaugePosition(1, 30);
        paintPending();
        QCOMPARE(bar->PaintCount(), painted);
    }

    void longTextIsCutNotWrapped() {
        std::unique_ptr<TdfsStatusBar> bar(makeBar());
        bar->SetPanelText(2, QString(500, 'W'));
        QImage image = bar->grab().toImage();
        QCOMPARE(image.height(), 19);
        // The text reaches the right end of the bar on its single line.
        const QColor text = bar->palette().color(QPalette::ButtonText);
        QVERIFY(countNear(image, QRect(300, 0, 60, 19), text) > 0);
    }
};

ZELVORIN_TEST_MAIN(StatusBarTest)
#include "test_statusbar.moc"

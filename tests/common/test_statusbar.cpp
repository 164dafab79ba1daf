// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The status bar's panels and the two-colour percentage gauge, checked on grabbed images.
#include "StatusBar.h"
#include "TestEnvironment.h"

#include <QApplication>

class StatusBarTest : public QObject {
    Q_OBJECT

    using Panel = zelvorin::StatusBar::Panel;

    zelvorin::StatusBar* makeBar() {
        auto* bar = new zelvorin::StatusBar;
        bar->setGaugeColors(QColor(0, 0, 200), QColor(255, 255, 255));
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
        std::unique_ptr<zelvorin::StatusBar> bar(makeBar());
        QCOMPARE(bar->panelRect(Panel::Spacer), QRect(0, 0, 1, 19));
        QCOMPARE(bar->panelRect(Panel::Gauge), QRect(1, 0, 150, 19));
        // The last panel runs to the right end whatever its width says.
        QCOMPARE(bar->panelRect(Panel::Text), QRect(151, 0, 249, 19));
        bar->resize(600, 19);
        QCOMPARE(bar->panelRect(Panel::Gauge), QRect(1, 0, 150, 19));
        QCOMPARE(bar->panelRect(Panel::Text).width(), 449);
    }

    // A large desktop font makes the bar taller instead of cutting its texts.
    void heightFollowsTheFont() {
        zelvorin::StatusBar bar;
        QCOMPARE(bar.height(), 19);
        QFont large = bar.font();
        large.setPixelSize(30);
        bar.setFont(large);
        QVERIFY(bar.height() >= bar.fontMetrics().height() + 4);
    }

    void gaugeArithmetic() {
        QCOMPARE(zelvorin::gaugeFilledWidth(148, 0), 0);
        QCOMPARE(zelvorin::gaugeFilledWidth(148, 100), 148);
        QCOMPARE(zelvorin::gaugeFilledWidth(148, 50), 74);
        QCOMPARE(zelvorin::gaugeFilledWidth(147, 50), 74); // 73.5 rounds up
        QCOMPARE(zelvorin::gaugeText(0), QString("0%"));
        QCOMPARE(zelvorin::gaugeText(45), QString("45%"));
    }

    void gaugeDrawing() {
        std::unique_ptr<zelvorin::StatusBar> bar(makeBar());
        const QColor blue(0, 0, 200);
        const QRect inner = bar->panelRect(Panel::Gauge).adjusted(1, 1, -1, -1);
        QImage empty = bar->grab().toImage();
        // 0%: no bar at all, but the text is there.
        QCOMPARE(countColour(empty, inner, blue), 0);
        const QColor text = bar->palette().color(QPalette::ButtonText);
        QVERIFY(countNear(empty, inner, text) > 0);

        bar->setGaugePosition(100);
        QImage full = bar->grab().toImage();
        // 100%: the whole inner width filled, the text drawn over it in the text colour.
        QVERIFY(countColour(full, inner, blue) > inner.width() * inner.height() / 2);
        QVERIFY(countNear(full, inner, Qt::white) > 0);
        QCOMPARE(full.pixelColor(inner.left(), inner.top()), blue);
        QCOMPARE(full.pixelColor(inner.right(), inner.bottom()), blue);

        bar->setGaugePosition(50);
        QImage half = bar->grab().toImage();
        QCOMPARE(half.pixelColor(inner.left() + 2, inner.top()), blue);
        QVERIFY(half.pixelColor(inner.right() - 2, inner.top()) != blue);
        // The text straddles the edge: both its colours show.
        QVERIFY(countNear(half, inner, Qt::white) > 0);
        QVERIFY(countNear(half, inner, text) > 0);

        bar->setGaugeShown(false);
        QImage disabled = bar->grab().toImage();
        const QColor background = bar->palette().color(QPalette::Button);
        QCOMPARE(countColour(disabled, inner, background), inner.width() * inner.height());
    }

    void unchangedPositionDoesNotRedraw() {
        std::unique_ptr<zelvorin::StatusBar> bar(makeBar());
        bar->show();
        QVERIFY(QTest::qWaitForWindowExposed(bar.get()));
        bar->setGaugePosition(30);
        QTRY_VERIFY(bar->paintCount() > 0);
        // Every repaint asked for so far is done once the posted events have run.
        const auto paintPending = [] {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        };
        paintPending();
        const int painted = bar->paintCount();
        bar->setGaugePosition(30);
        paintPending();
        QCOMPARE(bar->paintCount(), painted);
    }

    void longTextIsCutNotWrapped() {
        std::unique_ptr<zelvorin::StatusBar> bar(makeBar());
        bar->setText(QString(500, 'W'));
        QImage image = bar->grab().toImage();
        QCOMPARE(image.height(), 19);
        // The text reaches the right end of the bar on its single line.
        const QColor text = bar->palette().color(QPalette::ButtonText);
        QVERIFY(countNear(image, QRect(300, 0, 60, 19), text) > 0);
    }
};

ZELVORIN_TEST_MAIN(StatusBarTest)
#include "test_statusbar.moc"

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "GradientArithmetic.h"

#include "TestEnvironment.h"

#include <QApplication>

using namespace zelvorin::gradient;

class GradientArithmeticTest : public QObject {
    Q_OBJECT

private slots:
    void mulDivRoundsToNearest_data();
    void mulDivRoundsToNearest();
    void stepColorEndsMatchBeginAndEnd();
    void stepColorKeepsLowByte();
    void bandEdgesTileTheExtent_data();
    void bandEdgesTileTheExtent();
    void frameSizeRule_data();
    void frameSizeRule();
    void strippedCaption_data();
    void strippedCaption();
    void vertCenterRows();
    void horizCenterColumns();
    void rectangleStartsAtTheFace();
    void ellipsesCloseInOnTheCentre();
    void unknownStyleDrawsNothing();
};

void GradientArithmeticTest::mulDivRoundsToNearest_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("numerator");
    QTest::addColumn<int>("denominator");
    QTest::addColumn<int>("expected");
    QTest::newRow("exact") << 10 << 6 << 3 << 20;
    QTest::newRow("round down") << 1 << 75 << 256 << 0;
    QTest::newRow("round up") << 2 << 75 << 256 << 1;        // 0.586
    QTest::newRow("half up") << 1 << 1 << 2 << 1;            // 0.5
    QTest::newRow("negative half") << 1 << -1 << 2 << -1;    // -0.5, away from zero
    QTest::newRow("negative") << 100 << -255 << 155 << -165; // -164.52
    QTest::newRow("negative divisor") << 3 << 1 << -2 << -2;
    QTest::newRow("no 32-bit overflow") << 2000000000 << 3 << 4 << 1500000000;
    QTest::newRow("zero divisor") << 5 << 5 << 0 << -1;
    QTest::newRow("result too large") << 2000000000 << 4 << 2 << -1;
}

void GradientArithmeticTest::mulDivRoundsToNearest() {
    QFETCH(int, number);
    QFETCH(int, numerator);
    QFETCH(int, denominator);
    QFETCH(int, expected);
    QCOMPARE(MulDiv(number, numerator, denominator), expected);
}

void GradientArithmeticTest::stepColorEndsMatchBeginAndEnd() {
    const QColor navy(0, 0, 0x80), aqua(0, 0xFF, 0xFF);
    QCOMPARE(gradientStepColor(navy, aqua, 0, 255), navy);
    QCOMPARE(gradientStepColor(navy, aqua, 255, 255), aqua);
    // Blue from 0x80 to 0xFF: 0x80 + MulDiv(100, 127, 255) = 128 + 50 (49.8).
    QCOMPARE(gradientStepColor(navy, aqua, 100, 255), QColor(0, MulDiv(100, 255, 255), 128 + 50));
    QCOMPARE(gradientStepColor(Qt::black, QColor(0xFF, 0, 0), 6, 12), QColor(128, 0, 0));
}

void GradientArithmeticTest::stepColorKeepsLowByte() {
    // With a zero last step the multiply-divide gives -1, which wraps within the byte.
    QCOMPARE(gradientStepColor(Qt::black, Qt::black, 0, 0), QColor(0xFF, 0xFF, 0xFF));
}

void GradientArithmeticTest::bandEdgesTileTheExtent_data() {
    QTest::addColumn<int>("extent");
    QTest::newRow("75") << 75;
    QTest::newRow("95") << 95;
    QTest::newRow("256") << 256;
    QTest::newRow("1000") << 1000;
}

void GradientArithmeticTest::bandEdgesTileTheExtent() {
    QFETCH(int, extent);
    const auto fills = gradientFills(GradientStyle::Horizontal, extent, 10, Qt::black, Qt::white);
    QCOMPARE(int(fills.size()), 256);
    QCOMPARE(fills.front().left, 0);
    QCOMPARE(fills.back().right, extent);
    for (int i = 0; i < 256; ++i) {
        QCOMPARE(fills[i].left, int(std::lround(double(i) * extent / 256)));
        if (i > 0)
            QCOMPARE(fills[i].left, fills[i - 1].right);
        QCOMPARE(fills[i].color, QColor(i, i, i));
        QCOMPARE(fills[i].top, 0);
        QCOMPARE(fills[i].bottom, 10);
    }
    const auto rows =
        gradientFills(GradientStyle::Vertical, 10, extent, Qt::black, QColor(0xFF, 0xFF, 0xFF));
    QCOMPARE(rows.back().bottom, extent);
    QCOMPARE(rows[100].top, bandEdge(100, extent));
}

void GradientArithmeticTest::frameSizeRule_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("8 on 75x25") << 8 << 75 << 25 << false;
    QTest::newRow("7 on 75x25") << 7 << 75 << 25 << true;
    QTest::newRow("0 on 75x25") << 0 << 75 << 25 << true;
    QTest::newRow("width limits") << 8 << 25 << 75 << false;
    QTest::newRow("0 on 95x19") << 0 << 95 << 19 << true;
    QTest::newRow("5 on 95x19") << 5 << 95 << 19 << false;
    QTest::newRow("4 on 95x19") << 4 << 95 << 19 << true;
}

void GradientArithmeticTest::frameSizeRule() {
    QFETCH(int, size);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, allowed);
    QCOMPARE(frameSizeAllowed(size, width, height), allowed);
}

void GradientArithmeticTest::strippedCaption_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("stripped");
    QTest::newRow("plain") << "OK"
                           << "OK";
    QTest::newRow("leading marker") << "&File"
                                    << "File";
    QTest::newRow("inner marker") << "Save &as"
                                  << "Save as";
    QTest::newRow("doubled") << "A&&B"
                             << "A&B";
    QTest::newRow("last stays") << "A&"
                                << "A&";
    QTest::newRow("single") << "&"
                            << "&";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("blank") << " "
                           << " ";
}

void GradientArithmeticTest::strippedCaption() {
    QFETCH(QString, caption);
    QFETCH(QString, stripped);
    QCOMPARE(stripAccelerators(caption), stripped);
}

void GradientArithmeticTest::vertCenterRows() {
    // 25 rows: 0..12 from the top and 24..12 from the bottom, row 12 in the end colour.
    const QColor end(0xC0, 0, 0);
    const auto fills = gradientFills(GradientStyle::VerticalCenter, 75, 25, Qt::black, end);
    QCOMPARE(int(fills.size()), 26);
    std::vector<QColor> row(25);
    for (const GradientFill& f : fills) {
        QCOMPARE(f.bottom - f.top, 1);
        QCOMPARE(f.left, 0);
        QCOMPARE(f.right, 75);
        row[f.top] = f.color;
    }
    for (int i = 0; i <= 12; ++i) {
        QCOMPARE(row[i], QColor(16 * i, 0, 0));
        QCOMPARE(row[24 - i], QColor(16 * i, 0, 0));
    }
    QCOMPARE(row[12], end);
}

void GradientArithmeticTest::horizCenterColumns() {
    const auto fills =
        gradientFills(GradientStyle::HorizontalCenter, 75, 25, Qt::black, QColor(0x00, 0xFF, 0x00));
    QCOMPARE(int(fills.size()), 2 * 38);
    QCOMPARE(fills[0].left, 0);
    QCOMPARE(fills[1].left, 74);
    QCOMPARE(fills.back().left, 37);
    QCOMPARE(fills.back().color, QColor(0x00, 0xFF, 0x00));
    QCOMPARE(fills[2].color, QColor(0, MulDiv(1, 255, 37), 0));
}

void GradientArithmeticTest::rectangleStartsAtTheFace() {
    const auto fills =
        gradientFills(GradientStyle::Rectangle, 75, 25, Qt::black, QColor(0xFF, 0xFF, 0xFF));
    QCOMPARE(int(fills.size()), 256);
    QCOMPARE(fills[0].left, 0);
    QCOMPARE(fills[0].top, 0);
    QCOMPARE(fills[0].right, 75);
    QCOMPARE(fills[0].bottom, 25);
    QCOMPARE(fills[0].color, QColor(Qt::black));
    QVERIFY(!fills[0].ellipse);
    for (size_t i = 1; i < fills.size(); ++i) {
        QVERIFY(fills[i].left >= fills[i - 1].left);
        QVERIFY(fills[i].right <= fills[i - 1].right);
    }
    QCOMPARE(fills.back().color, QColor(0xFF, 0xFF, 0xFF));
}

void GradientArithmeticTest::ellipsesCloseInOnTheCentre() {
    const auto fills =
        gradientFills(GradientStyle::Elliptic, 75, 25, Qt::black, QColor(0xFF, 0x00, 0x00));
    QCOMPARE(int(fills.size()), 156);
    QVERIFY(fills[0].ellipse);
    // First box: -18.75 + 0.363 and 97.75 - 0.363, truncated, shape one pixel short.
    QCOMPARE(fills[0].left, -18);
    QCOMPARE(fills[0].right, 96);
    QCOMPARE(fills[0].top, -6);
    QCOMPARE(fills[0].bottom, 34);
    const GradientFill& last = fills.back();
    QCOMPARE(last.color, QColor(0xFF, 0x00, 0x00));
    QVERIFY(last.left <= 39 && last.right >= 39);
    QVERIFY(last.top <= 14 && last.bottom >= 14);
}

void GradientArithmeticTest::unknownStyleDrawsNothing() {
    QVERIFY(
        gradientFills(static_cast<GradientStyle>(6), 75, 25, Qt::black, QColor(0xFF, 0xFF, 0xFF))
            .empty());
}

ZELVORIN_TEST_MAIN(GradientArithmeticTest)
#include "GradientArithmeticTest.moc"

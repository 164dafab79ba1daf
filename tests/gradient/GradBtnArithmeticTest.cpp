#include "GradBtnArithmetic.h"

#include "TestEnvironment.h"

#include <QApplication>

using namespace zelvorin::gradient;

class GradBtnArithmeticTest : public QObject {
    Q_OBJECT

private slots:
    void mulDivRoundsToNearest_data();
    void mulDivRoundsToNearest();
    void stepColorEndsMatchBeginAndEnd();
    void stepColorKeepsLowByte();
    void systemColorGivesItsIndexBytes();
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
    void systemColorsUseThePalette();
};

void GradBtnArithmeticTest::mulDivRoundsToNearest_data() {
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

void GradBtnArithmeticTest::mulDivRoundsToNearest() {
    QFETCH(int, number);
    QFETCH(int, numerator);
    QFETCH(int, denominator);
    QFETCH(int, expected);
    QCOMPARE(MulDiv(number, numerator, denominator), expected);
}

void GradBtnArithmeticTest::stepColorEndsMatchBeginAndEnd() {
    const quint32 navy = 0x00800000, aqua = 0x00FFFF00;
    QCOMPARE(gradientStepColor(navy, aqua, 0, 255), navy);
    QCOMPARE(gradientStepColor(navy, aqua, 255, 255), aqua);
    // Blue from 0x80 to 0xFF: 0x80 + MulDiv(100, 127, 255) = 128 + 50 (49.8).
    QCOMPARE(gradientStepColor(navy, aqua, 100, 255),
             colorValue(0, MulDiv(100, 255, 255), 128 + 50));
    QCOMPARE(gradientStepColor(0x00000000, 0x000000FF, 6, 12), colorValue(128, 0, 0));
}

void GradBtnArithmeticTest::stepColorKeepsLowByte() {
    // With a zero last step the multiply-divide gives -1, which wraps within the byte.
    QCOMPARE(gradientStepColor(0x00000000, 0x00000000, 0, 0), colorValue(0xFF, 0xFF, 0xFF));
}

void GradBtnArithmeticTest::systemColorGivesItsIndexBytes() {
    QCOMPARE(gradientStepColor(clBtnHighlight, 0x00000000, 0, 255), colorValue(0x14, 0, 0));
    QCOMPARE(gradientStepColor(0x00000000, clBtnShadow, 255, 255), colorValue(0x10, 0, 0));
}

void GradBtnArithmeticTest::bandEdgesTileTheExtent_data() {
    QTest::addColumn<int>("extent");
    QTest::newRow("75") << 75;
    QTest::newRow("95") << 95;
    QTest::newRow("256") << 256;
    QTest::newRow("1000") << 1000;
}

void GradBtnArithmeticTest::bandEdgesTileTheExtent() {
    QFETCH(int, extent);
    const auto fills = gradientFills(TGradientStyle::gsHorizontal, extent, 10, 0, 0x00FFFFFF);
    QCOMPARE(int(fills.size()), 256);
    QCOMPARE(fills.front().left, 0);
    QCOMPARE(fills.back().right, extent);
    for (int i = 0; i < 256; ++i) {
        QCOMPARE(fills[i].left, int(std::lround(double(i) * extent / 256)));
        if (i > 0)
            QCOMPARE(fills[i].left, fills[i - 1].right);
        QCOMPARE(fills[i].color, colorValue(i, i, i));
        QCOMPARE(fills[i].top, 0);
        QCOMPARE(fills[i].bottom, 10);
    }
    const auto rows = gradientFills(TGradientStyle::gsVertical, 10, extent, 0, 0x00FFFFFF);
    QCOMPARE(rows.back().bottom, extent);
    QCOMPARE(rows[100].top, bandEdge(100, extent));
}

void GradBtnArithmeticTest::frameSizeRule_data() {
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

void GradBtnArithmeticTest::frameSizeRule() {
    QFETCH(int, size);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, allowed);
    QCOMPARE(frameSizeAllowed(size, width, height), allowed);
}

void GradBtnArithmeticTest::strippedCaption_data() {
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

void GradBtnArithmeticTest::strippedCaption() {
    QFETCH(QString, caption);
    QFETCH(QString, stripped);
    QCOMPARE(stripAccelerators(caption), stripped);
}

void GradBtnArithmeticTest::vertCenterRows() {
    // 25 rows: 0..12 from the top and 24..12 from the bottom, row 12 in the end colour.
    const quint32 end = 0x000000C0;
    const auto fills = gradientFills(TGradientStyle::gsVertCenter, 75, 25, 0, end);
    QCOMPARE(int(fills.size()), 26);
    std::vector<quint32> row(25, 0xFFFFFFFF);
    for (const GradientFill& f : fills) {
        QCOMPARE(f.bottom - f.top, 1);
        QCOMPARE(f.left, 0);
        QCOMPARE(f.right, 75);
        row[f.top] = f.color;
    }
    for (int i = 0; i <= 12; ++i) {
        QCOMPARE(row[i], colorValue(16 * i, 0, 0));
        QCOMPARE(row[24 - i], colorValue(16 * i, 0, 0));
    }
    QCOMPARE(row[12], end);
}

void GradBtnArithmeticTest::horizCenterColumns() {
    const auto fills = gradientFills(TGradientStyle::gsHorizCenter, 75, 25, 0, 0x0000FF00);
    QCOMPARE(int(fills.size()), 2 * 38);
    QCOMPARE(fills[0].left, 0);
    QCOMPARE(fills[1].left, 74);
    QCOMPARE(fills.back().left, 37);
    QCOMPARE(fills.back().color, quint32(0x0000FF00));
    QCOMPARE(fills[2].color, colorValue(0, MulDiv(1, 255, 37), 0));
}

void GradBtnArithmeticTest::rectangleStartsAtTheFace() {
    const auto fills = gradientFills(TGradientStyle::gsRectangle, 75, 25, 0, 0x00FFFFFF);
    QCOMPARE(int(fills.size()), 256);
    QCOMPARE(fills[0].left, 0);
    QCOMPARE(fills[0].top, 0);
    QCOMPARE(fills[0].right, 75);
    QCOMPARE(fills[0].bottom, 25);
    QCOMPARE(fills[0].color, quint32(0));
    QVERIFY(!fills[0].ellipse);
    for (size_t i = 1; i < fills.size(); ++i) {
        QVERIFY(fills[i].left >= fills[i - 1].left);
        QVERIFY(fills[i].right <= fills[i - 1].right);
    }
    QCOMPARE(fills.back().color, quint32(0x00FFFFFF));
}

void GradBtnArithmeticTest::ellipsesCloseInOnTheCentre() {
    const auto fills = gradientFills(TGradientStyle::gsElliptic, 75, 25, 0, 0x000000FF);
    QCOMPARE(int(fills.size()), 156);
    QVERIFY(fills[0].ellipse);
    // First box: -18.75 + 0.363 and 97.75 - 0.363, truncated, shape one pixel short.
    QCOMPARE(fills[0].left, -18);
    QCOMPARE(fills[0].right, 96);
    QCOMPARE(fills[0].top, -6);
    QCOMPARE(fills[0].bottom, 34);
    const GradientFill& last = fills.back();
    QCOMPARE(last.color, quint32(0x000000FF));
    QVERIFY(last.left <= 39 && last.right >= 39);
    QVERIFY(last.top <= 14 && last.bottom >= 14);
}

void GradBtnArithmeticTest::unknownStyleDrawsNothing() {
    QVERIFY(gradientFills(static_cast<TGradientStyle>(6), 75, 25, 0, 0xFFFFFF).empty());
}

void GradBtnArithmeticTest::systemColorsUseThePalette() {
    QPalette palette;
    palette.setColor(QPalette::Light, QColor(1, 2, 3));
    palette.setColor(QPalette::Dark, QColor(4, 5, 6));
    QCOMPARE(toQColor(clBtnHighlight, palette), QColor(1, 2, 3));
    QCOMPARE(toQColor(clBtnShadow, palette), QColor(4, 5, 6));
    QCOMPARE(toQColor(0x00332211, palette), QColor(0x11, 0x22, 0x33));
    QCOMPARE(fromQColor(QColor(0x11, 0x22, 0x33)), quint32(0x00332211));
}

ZELVORIN_TEST_MAIN(GradBtnArithmeticTest)
#include "GradBtnArithmeticTest.moc"

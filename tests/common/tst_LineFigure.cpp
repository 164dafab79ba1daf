// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "LineFigure.h"
#include "TestEnvironment.h"

#include <QImage>
#include <QPainter>

using zelvorin::LineGeometry;

namespace {

QImage render(zelvorin::LineFigure& line) {
    QImage image(line.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    line.render(&image);
    return image;
}

} // namespace

class LineFigureTest : public QObject {
    Q_OBJECT

private slots:
    void rounding_data() {
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("expected");
        QTest::newRow("70.7") << 70.7 << 71;
        QTest::newRow("-70.7 truncates") << -70.7 << -70;
        QTest::newRow("half rounds up") << 0.5 << 1;
        QTest::newRow("just below half") << 0.49 << 0;
        QTest::newRow("negative half") << -0.5 << 0;
        QTest::newRow("whole") << 2.0 << 2;
        QTest::newRow("34.2") << 34.2020 << 34;
        QTest::newRow("zero") << 0.0 << 0;
    }

    void rounding() {
        QFETCH(double, x);
        QFETCH(int, expected);
        QCOMPARE(zelvorin::roundLine(x), expected);
    }

    void creationValues() {
        LineGeometry geometry;
        QCOMPARE(geometry.angle(), zelvorin::LineAngle(135));
        QCOMPARE(geometry.width(), 100);
        QCOMPARE(geometry.height(), 100);
        QCOMPARE(geometry.referenceWidth(), 100);
        QCOMPARE(geometry.referenceHeight(), 100);

        zelvorin::LineFigure line;
        QCOMPARE(line.lineStyle(), zelvorin::LineFigure::Style::LeftDownToRightUp);
        QCOMPARE(line.color(), QColor(Qt::black));
        QCOMPARE(line.angle(), zelvorin::LineAngle(135));
        QCOMPARE(line.size(), QSize(100, 100));
    }

    void settingTheAngle_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("angle");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("0 stores 180") << 0 << 180 << 100 << 3;
        QTest::newRow("180") << 180 << 180 << 100 << 3;
        QTest::newRow("200 stores 20") << 200 << 20 << 94 << 34;
        QTest::newRow("360 stores 180") << 360 << 180 << 100 << 3;
        QTest::newRow("135: sides differ by one") << 135 << 135 << 70 << 71;
        QTest::newRow("90: cosine raised to 3") << 90 << 90 << 3 << 100;
        QTest::newRow("45") << 45 << 45 << 71 << 71;
        QTest::newRow("1: sine raised to 3") << 1 << 1 << 100 << 3;
        QTest::newRow("65535 as unsigned 16-bit") << 65535 << 15 << 97 << 26;
    }

    void settingTheAngle() {
        QFETCH(int, value);
        QFETCH(int, angle);
        QFETCH(int, width);
        QFETCH(int, height);
        LineGeometry geometry;
        geometry.setAngle(static_cast<zelvorin::LineAngle>(value));
        QCOMPARE(int(geometry.angle()), angle);
        QCOMPARE(geometry.width(), width);
        QCOMPARE(geometry.height(), height);
        QCOMPARE(geometry.referenceWidth(), 100);
        QCOMPARE(geometry.referenceHeight(), 100);

        zelvorin::LineFigure line;
        line.setProperty("angle", value);
        QCOMPARE(int(line.angle()), angle);
        QCOMPARE(line.size(), QSize(width, height));
    }

    void settingASide_data() {
        QTest::addColumn<QString>("side");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("angle");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("referenceWidth");
        QTest::addColumn<int>("referenceHeight");
        QTest::newRow("width 150 raises the reference")
            << "Width" << 150 << 180 << 150 << 3 << 150 << 100;
        QTest::newRow("height 0") << "Height" << 0 << 180 << 100 << 3 << 100 << 100;
        QTest::newRow("width 71") << "Width" << 71 << 45 << 71 << 71 << 100 << 100;
        QTest::newRow("height 71") << "Height" << 71 << 45 << 71 << 71 << 100 << 100;
        QTest::newRow("height 150 raises the reference")
            << "Height" << 150 << 90 << 3 << 150 << 100 << 150;
        QTest::newRow("width 0") << "Width" << 0 << 90 << 3 << 100 << 100 << 100;
        QTest::newRow("negative height counts as 0")
            << "Height" << -20 << 180 << 100 << 3 << 100 << 100;
        QTest::newRow("negative width counts as 0")
            << "Width" << -5 << 90 << 3 << 100 << 100 << 100;
    }

    void settingASide() {
        QFETCH(QString, side);
        QFETCH(int, value);
        QFETCH(int, angle);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, referenceWidth);
        QFETCH(int, referenceHeight);
        LineGeometry geometry;
        if (side == QLatin1String("Width"))
            geometry.setWidth(value);
        else
            geometry.setHeight(value);
        QCOMPARE(int(geometry.angle()), angle);
        QCOMPARE(geometry.width(), width);
        QCOMPARE(geometry.height(), height);
        QCOMPARE(geometry.referenceWidth(), referenceWidth);
        QCOMPARE(geometry.referenceHeight(), referenceHeight);

        zelvorin::LineFigure line;
        line.setProperty(side.toLower().toLatin1().constData(), value);
        QCOMPARE(int(line.angle()), angle);
        QCOMPARE(line.size(), QSize(width, height));
        QCOMPARE(line.property("width").toInt(), width);
        QCOMPARE(line.property("height").toInt(), height);
    }

    void referenceLengthsOnlyGrow() {
        LineGeometry geometry;
        geometry.setHeight(150);
        geometry.setHeight(50);
        QCOMPARE(geometry.referenceHeight(), 150);
        // asin(50 / 150) is 19.47 degrees; sin 19 degrees times 150 is 48.8.
        QCOMPARE(int(geometry.angle()), 19);
        QCOMPARE(geometry.height(), 49);
        QCOMPARE(geometry.width(), 95);
        geometry.setWidth(40);
        QCOMPARE(geometry.referenceWidth(), 100);
        QCOMPARE(geometry.referenceHeight(), 150);
    }

    void theAboutWindowsLoadOrder() {
        // A stored form applies Width, Height, LineStyle, Color, Angle in that order.
        zelvorin::LineFigure line;
        line.setWidth(71);
        line.setHeight(71);
        line.setLineStyle(zelvorin::LineFigure::Style::LeftDownToRightUp);
        line.setColor(Qt::yellow);
        line.setAngle(45);
        QCOMPARE(line.size(), QSize(71, 71));
        QCOMPARE(line.lineStart(), QPoint(0, 71));
        QCOMPARE(line.lineEnd(), QPoint(71, 0));
    }

    void directionFollowsTheAngle_data() {
        QTest::addColumn<int>("angle");
        QTest::addColumn<bool>("upward");
        QTest::newRow("45") << 45 << true;
        QTest::newRow("89") << 89 << true;
        QTest::newRow("90") << 90 << false;
        QTest::newRow("135") << 135 << false;
        QTest::newRow("180") << 180 << false;
    }

    void directionFollowsTheAngle() {
        QFETCH(int, angle);
        QFETCH(bool, upward);
        zelvorin::LineFigure line;
        line.setAngle(static_cast<zelvorin::LineAngle>(angle));
        const int w = line.width();
        const int h = line.height();
        QCOMPARE(line.lineStart(), upward ? QPoint(0, h) : QPoint(0, 0));
        QCOMPARE(line.lineEnd(), upward ? QPoint(w, 0) : QPoint(w, h));
    }

    void pixelsStopOneShortOfTheEnd() {
        const QList<QPoint> diagonal = zelvorin::linePixels({0, 71}, {71, 0});
        QCOMPARE(diagonal.size(), 71);
        QCOMPARE(diagonal.first(), QPoint(0, 71));
        QCOMPARE(diagonal.last(), QPoint(70, 1));
        QVERIFY(!diagonal.contains(QPoint(71, 0)));
        for (int k = 0; k < diagonal.size(); ++k)
            QCOMPARE(diagonal.at(k), QPoint(k, 71 - k));

        const QList<QPoint> steep = zelvorin::linePixels({0, 0}, {3, 100});
        QCOMPARE(steep.size(), 100);
        QCOMPARE(steep.first(), QPoint(0, 0));
        QVERIFY(!steep.contains(QPoint(3, 100)));
        QVERIFY(zelvorin::linePixels({5, 5}, {5, 5}).isEmpty());
    }

    void paintsOnlyTheLine() {
        zelvorin::LineFigure line;
        line.setWidth(71);
        line.setHeight(71);
        line.setColor(Qt::red);
        line.setAngle(45);
        QImage image = render(line);
        int red = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (x + y == 71) {
                    QCOMPARE(c, QColor(Qt::red));
                    ++red;
                } else {
                    QCOMPARE(c, QColor(Qt::white));
                }
            }
        }
        QCOMPARE(red, 70);

        line.setAngle(135);
        image = render(line);
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(image.pixelColor(image.width() - 1, 0), QColor(Qt::white));

        line.setLineStyle(zelvorin::LineFigure::Style::None);
        image = render(line);
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::white));
        line.setLineStyle(zelvorin::LineFigure::Style::LeftUpToRightDown);
        image = render(line);
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::red));
    }

    void transparentForTheMouse() {
        zelvorin::LineFigure line;
        QVERIFY(line.testAttribute(Qt::WA_TransparentForMouseEvents));
        QVERIFY(!line.autoFillBackground());
    }
};

ZELVORIN_TEST_MAIN(LineFigureTest)
#include "tst_LineFigure.moc"

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "GradientButton.h"

#include "TestEnvironment.h"

#include <QApplication>
#include <QEnterEvent>
#include <QSignalSpy>

#include <cmath>
#include <memory>

using namespace zelvorin::gradient;

namespace {

// The colour the arithmetic gives a pixel: that of the last fill covering it.
QColor lastFillAt(const std::vector<GradientFill>& fills, QPoint point) {
    QColor color;
    for (const GradientFill& f : fills)
        if (f.left <= point.x() && point.x() < f.right && f.top <= point.y() &&
            point.y() < f.bottom)
            color = f.color;
    return color;
}

// A button on a window of its own, sized and coloured for pixel checks: no frame, no
// caption, and colours that no style would draw by chance.
struct Fixture {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    zelvorin::GradientButton* button = new zelvorin::GradientButton(window.get());

    Fixture() {
        window->resize(200, 100);
        button->move(10, 10);
        button->setFrameSize(0);
    }
    QImage face() const { return button->grab().toImage(); }
};

// The colour of band i of 256 covering pixel x of an extent, computed independently.
int bandOfPixel(int x, int extent) {
    int band = -1;
    for (int i = 0; i <= 255; ++i) {
        const int start = int(std::lround(double(i) * extent / 256));
        const int end = int(std::lround(double(i + 1) * extent / 256));
        if (start <= x && x < end)
            band = i;
    }
    return band;
}

} // namespace

class GradientButtonTest : public QObject {
    Q_OBJECT

private slots:
    void constructorDefaults();
    void horizontalBands();
    void verticalBands();
    void vertCenterRowsOnTheFace();
    void horizCenterColumnsOnTheFace();
    void rectangleAndEllipse_data();
    void rectangleAndEllipse();
    void sidesFollowThePaletteUnlessSet();
    void frameSizeRule();
    void framePixels();
    void pressSwapsAndReleaseRestores();
    void pressWithoutSwap();
    void clickByMouseEnterAndAccelerator();
    void releaseOutsideDoesNotClick();
    void mouseEntryAndExit();
    void presetsAtRunTimeChangeNothing();
    void presetsWhileDesigning();
    void strippedCaptionIsMeasured();
    void focusRectangleShowsWithFocus();
};

void GradientButtonTest::constructorDefaults() {
    QWidget parent;
    zelvorin::GradientButton button(&parent);
    QCOMPARE(button.size(), QSize(75, 25));
    // No colour of its own: the palette's light and dark sides.
    QVERIFY(!button.frameHighlight().isValid());
    QVERIFY(!button.frameShadow().isValid());
    QCOMPARE(button.frameSize(), 1);
    QVERIFY(!button.captionHighlight().isValid());
    QVERIFY(!button.captionShadow().isValid());
    QCOMPARE(button.beginColor(), QColor(0x00, 0x00, 0x80));
    QCOMPARE(button.endColor(), QColor(0x00, 0xFF, 0xFF));
    QVERIFY(button.swapsColors());
    QVERIFY(button.showsFocus());
    QCOMPARE(button.gradientStyle(), GradientStyle::VerticalCenter);
    QCOMPARE(button.captionStyle(), CaptionStyle::Raised);
    QCOMPARE(button.shadeType(), ShadeType::Light);
    QCOMPARE(button.preset(), Preset::None);
    QCOMPARE(button.captionColor(), QColor(Qt::black));
    QCOMPARE(button.focusPolicy(), Qt::StrongFocus);
    QVERIFY(!button.designing());
    QVERIFY(!button.isDown());
}

void GradientButtonTest::horizontalBands() {
    Fixture f;
    f.button->setGradientStyle(GradientStyle::Horizontal);
    f.button->setBeginColor(QColor(0x00, 0x00, 0x00));
    f.button->setEndColor(QColor(0xFF, 0xFF, 0xFF));
    const QImage face = f.face();
    QCOMPARE(face.size(), QSize(75, 25));
    for (int x = 0; x < 75; ++x) {
        const int band = bandOfPixel(x, 75);
        QCOMPARE(face.pixelColor(x, 3), QColor(band, band, band));
        QCOMPARE(face.pixelColor(x, 21), QColor(band, band, band));
    }
    // Narrower than 256 bands, the first column shows band 1: band 0 is empty.
    QCOMPARE(face.pixelColor(0, 12), QColor(1, 1, 1));
    f.button->resize(300, 25);
    QCOMPARE(f.face().pixelColor(0, 12), QColor(0, 0, 0));
    QCOMPARE(f.face().pixelColor(299, 12), QColor(255, 255, 255));
}

void GradientButtonTest::verticalBands() {
    Fixture f;
    f.button->resize(40, 300);
    f.button->setGradientStyle(GradientStyle::Vertical);
    f.button->setBeginColor(QColor(0xFF, 0x00, 0x00));
    f.button->setEndColor(QColor(0x00, 0x00, 0x00));
    const QImage face = f.face();
    for (int y = 0; y < 300; ++y) {
        const int band = bandOfPixel(y, 300);
        QCOMPARE(face.pixelColor(5, y), QColor(255 - band, 0, 0));
    }
    QCOMPARE(face.pixelColor(5, 299), QColor(0, 0, 0));
}

void GradientButtonTest::vertCenterRowsOnTheFace() {
    Fixture f;
    f.button->setBeginColor(QColor(0x00, 0x00, 0x00));
    f.button->setEndColor(QColor(0x00, 0xC0, 0x00));
    const QImage face = f.face();
    for (int i = 0; i <= 12; ++i) {
        QCOMPARE(face.pixelColor(20, i), QColor(0, 16 * i, 0));
        QCOMPARE(face.pixelColor(20, 24 - i), QColor(0, 16 * i, 0));
    }
    QCOMPARE(face.pixelColor(74, 12), QColor(0, 0xC0, 0));
}

void GradientButtonTest::horizCenterColumnsOnTheFace() {
    Fixture f;
    f.button->setGradientStyle(GradientStyle::HorizontalCenter);
    f.button->setBeginColor(QColor(0x00, 0x00, 0x00));
    f.button->setEndColor(QColor(0x00, 0x00, 0xFF));
    const QImage face = f.face();
    QCOMPARE(face.pixelColor(0, 5), QColor(0, 0, 0));
    QCOMPARE(face.pixelColor(74, 5), QColor(0, 0, 0));
    QCOMPARE(face.pixelColor(37, 5), QColor(0, 0, 255));
    QCOMPARE(face.pixelColor(10, 5), face.pixelColor(64, 5));
    QCOMPARE(face.pixelColor(10, 5), QColor(0, 0, MulDiv(10, 255, 37)));
}

void GradientButtonTest::rectangleAndEllipse_data() {
    QTest::addColumn<GradientStyle>("style");
    QTest::addColumn<QPoint>("centre");
    QTest::addColumn<int>("centreMinimum");
    QTest::newRow("rectangle") << GradientStyle::Rectangle << QPoint(37, 12) << 255;
    // The ellipses close in on (W / 2 + 2, H / 2 + 2).
    QTest::newRow("ellipse") << GradientStyle::Elliptic << QPoint(39, 14) << MulDiv(140, 255, 155);
}

void GradientButtonTest::rectangleAndEllipse() {
    QFETCH(GradientStyle, style);
    QFETCH(QPoint, centre);
    QFETCH(int, centreMinimum);
    Fixture f;
    f.button->setGradientStyle(style);
    f.button->setBeginColor(QColor(0x00, 0x00, 0x00));
    f.button->setEndColor(QColor(0xFF, 0x00, 0x00));
    const QImage face = f.face();
    // The top-left corner keeps nearly the begin colour, the centre nearly the end colour.
    QVERIFY(face.pixelColor(0, 0).red() <= 5);
    const QColor middle = face.pixelColor(centre);
    QVERIFY2(middle.red() >= centreMinimum, qPrintable(QString::number(middle.red())));
    QCOMPARE(middle.green(), 0);
    QCOMPARE(middle.blue(), 0);
    // Colours grow toward the centre along its row.
    for (int x = 1; x <= centre.x(); ++x)
        QVERIFY(face.pixelColor(x, centre.y()).red() >= face.pixelColor(x - 1, centre.y()).red());
    if (style == GradientStyle::Rectangle) {
        const auto fills = gradientFills(style, 75, 25, Qt::black, QColor(0xFF, 0, 0));
        for (int y : {0, 5, 24})
            for (int x = 0; x < 75; ++x)
                QCOMPARE(face.pixelColor(x, y), lastFillAt(fills, QPoint(x, y)));
    }
}

void GradientButtonTest::sidesFollowThePaletteUnlessSet() {
    Fixture f;
    const QColor light(200, 100, 50), dark(10, 20, 30), face(0, 255, 0);
    QPalette palette = f.button->palette();
    palette.setColor(QPalette::Light, light);
    palette.setColor(QPalette::Dark, dark);
    f.button->setPalette(palette);
    f.button->setBeginColor(face);
    f.button->setEndColor(face);
    f.button->setFrameSize(2);
    QImage image = f.face();
    QCOMPARE(image.pixelColor(0, 12), light);
    QCOMPARE(image.pixelColor(74, 12), dark);
    QCOMPARE(image.pixelColor(37, 12), face);
    // A colour of its own wins over the palette's; an invalid one gives it back.
    f.button->setFrameHighlight(Qt::white);
    QCOMPARE(f.face().pixelColor(0, 12), QColor(Qt::white));
    f.button->setFrameHighlight(QColor());
    QCOMPARE(f.face().pixelColor(0, 12), light);
}

void GradientButtonTest::frameSizeRule() {
    QWidget parent;
    zelvorin::GradientButton button(&parent);
    button.setFrameSize(8);
    QCOMPARE(button.frameSize(), 1);
    button.setFrameSize(7);
    QCOMPARE(button.frameSize(), 7);
    button.setFrameSize(8);
    QCOMPARE(button.frameSize(), 7);
    button.setFrameSize(0);
    QCOMPARE(button.frameSize(), 0);
}

void GradientButtonTest::framePixels() {
    Fixture f;
    const QColor hilite(255, 0, 0), shadow(0, 0, 255), face(0, 255, 0);
    f.button->setFrameHighlight(QColor(0xFF, 0x00, 0x00));
    f.button->setFrameShadow(QColor(0x00, 0x00, 0xFF));
    f.button->setBeginColor(QColor(0x00, 0xFF, 0x00));
    f.button->setEndColor(QColor(0x00, 0xFF, 0x00));
    f.button->setFrameSize(7);
    QImage image = f.face();
    QCOMPARE(image.pixelColor(0, 12), hilite);
    QCOMPARE(image.pixelColor(6, 12), hilite);
    QCOMPARE(image.pixelColor(7, 12), face);
    QCOMPARE(image.pixelColor(37, 6), hilite);
    QCOMPARE(image.pixelColor(37, 7), face);
    QCOMPARE(image.pixelColor(74, 12), shadow);
    QCOMPARE(image.pixelColor(68, 12), shadow);
    QCOMPARE(image.pixelColor(67, 12), face);
    QCOMPARE(image.pixelColor(37, 18), shadow);
    QCOMPARE(image.pixelColor(37, 17), face);
    // The shadow side owns the top-right and bottom-left corners.
    QCOMPARE(image.pixelColor(74, 0), shadow);
    QCOMPARE(image.pixelColor(0, 24), shadow);
    QCOMPARE(image.pixelColor(0, 0), hilite);

    // Pressed, the two colours change places.
    QTest::mousePress(f.button, Qt::LeftButton, {}, QPoint(30, 12));
    image = f.face();
    QCOMPARE(image.pixelColor(3, 12), shadow);
    QCOMPARE(image.pixelColor(71, 12), hilite);
    QTest::mouseRelease(f.button, Qt::LeftButton, {}, QPoint(30, 12));

    f.button->setFrameSize(0);
    image = f.face();
    QCOMPARE(image.pixelColor(0, 12), face);
    QCOMPARE(image.pixelColor(74, 24), face);
}

void GradientButtonTest::pressSwapsAndReleaseRestores() {
    Fixture f;
    f.button->resize(300, 25);
    f.button->setGradientStyle(GradientStyle::Horizontal);
    f.button->setBeginColor(QColor(0x00, 0x00, 0x00));
    f.button->setEndColor(QColor(0xFF, 0x00, 0x00));
    QCOMPARE(f.face().pixelColor(0, 12), QColor(0, 0, 0));
    QCOMPARE(f.face().pixelColor(299, 12), QColor(255, 0, 0));

    QTest::mousePress(f.button, Qt::LeftButton, {}, QPoint(40, 12));
    QVERIFY(f.button->isDown());
    QCOMPARE(f.button->beginColor(), QColor(0xFF, 0x00, 0x00));
    QCOMPARE(f.button->endColor(), QColor(0x00, 0x00, 0x00));
    QCOMPARE(f.face().pixelColor(0, 12), QColor(255, 0, 0));
    QCOMPARE(f.face().pixelColor(299, 12), QColor(0, 0, 0));

    QTest::mouseRelease(f.button, Qt::LeftButton, {}, QPoint(40, 12));
    QVERIFY(!f.button->isDown());
    QCOMPARE(f.button->beginColor(), QColor(0x00, 0x00, 0x00));
    QCOMPARE(f.button->endColor(), QColor(0xFF, 0x00, 0x00));
    QCOMPARE(f.face().pixelColor(0, 12), QColor(0, 0, 0));
}

void GradientButtonTest::pressWithoutSwap() {
    Fixture f;
    f.button->setSwapsColors(false);
    QTest::mousePress(f.button, Qt::RightButton, {}, QPoint(40, 12));
    QVERIFY(f.button->isDown());
    QCOMPARE(f.button->beginColor(), QColor(0x00, 0x00, 0x80));
    QTest::mouseRelease(f.button, Qt::RightButton, {}, QPoint(40, 12));
    QVERIFY(!f.button->isDown());
}

void GradientButtonTest::clickByMouseEnterAndAccelerator() {
    Fixture f;
    f.button->setCaption(QStringLiteral("Save &as"));
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QSignalSpy clicks(f.button, &zelvorin::GradientButton::clicked);
    QSignalSpy downs(f.button, &zelvorin::GradientButton::mousePressed);
    QSignalSpy ups(f.button, &zelvorin::GradientButton::mouseReleased);

    QTest::mouseClick(f.button, Qt::LeftButton, {}, QPoint(20, 10));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(downs.count(), 1);
    QCOMPARE(ups.count(), 1);

    f.button->setFocus();
    QTest::keyClick(f.button, Qt::Key_Return);
    QCOMPARE(clicks.count(), 2);
    QTest::keyClick(f.button, Qt::Key_Space);
    QCOMPARE(clicks.count(), 2);

    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QTest::keyClick(f.window.get(), Qt::Key_A, Qt::AltModifier);
    QCOMPARE(clicks.count(), 3);
    QTest::keyClick(f.window.get(), Qt::Key_S, Qt::AltModifier);
    QCOMPARE(clicks.count(), 3);

    // A disabled button ignores its accelerator.
    f.button->setEnabled(false);
    QTest::keyClick(f.window.get(), Qt::Key_A, Qt::AltModifier);
    QCOMPARE(clicks.count(), 3);
}

void GradientButtonTest::releaseOutsideDoesNotClick() {
    Fixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QSignalSpy clicks(f.button, &zelvorin::GradientButton::clicked);
    QTest::mousePress(f.button, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseRelease(f.button, Qt::LeftButton, {}, QPoint(120, 10));
    QCOMPARE(clicks.count(), 0);
    QVERIFY(!f.button->isDown());
    QCOMPARE(f.button->beginColor(), QColor(0x00, 0x00, 0x80));
}

void GradientButtonTest::mouseEntryAndExit() {
    Fixture f;
    QSignalSpy entered(f.button, &zelvorin::GradientButton::mouseEntered);
    QSignalSpy left(f.button, &zelvorin::GradientButton::mouseLeft);
    const QImage before = f.face();
    QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
    QApplication::sendEvent(f.button, &enter);
    QCOMPARE(entered.count(), 1);
    QCOMPARE(entered.first().first().value<zelvorin::GradientButton*>(), f.button);
    QCOMPARE(f.face(), before); // no hover look
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(f.button, &leave);
    QCOMPARE(left.count(), 1);
    QCOMPARE(left.first().first().value<zelvorin::GradientButton*>(), f.button);
}

void GradientButtonTest::presetsAtRunTimeChangeNothing() {
    Fixture f;
    const QFont font = f.button->font();
    const QImage before = f.face();
    f.button->setPreset(Preset::SunRise);
    QCOMPARE(f.button->preset(), Preset::None);
    QCOMPARE(f.button->beginColor(), QColor(0x00, 0x00, 0x80));
    QCOMPARE(f.button->endColor(), QColor(0x00, 0xFF, 0xFF));
    QCOMPARE(f.button->gradientStyle(), GradientStyle::VerticalCenter);
    QCOMPARE(f.button->shadeType(), ShadeType::Light);
    QCOMPARE(f.button->font(), font);
    QCOMPARE(f.face(), before);
}

void GradientButtonTest::presetsWhileDesigning() {
    Fixture f;
    f.button->setDesigning(true);
    f.button->setPreset(Preset::SunRise);
    QCOMPARE(f.button->preset(), Preset::SunRise);
    QCOMPARE(f.button->beginColor(), QColor(0xFF, 0xFF, 0x00));
    QCOMPARE(f.button->endColor(), QColor(0xFF, 0x00, 0x00));
    QCOMPARE(f.button->gradientStyle(), GradientStyle::Horizontal);
    QCOMPARE(f.button->shadeType(), ShadeType::Heavy);
    QCOMPARE(f.button->captionHighlight(), QColor(0xE6, 0xE7, 0xCF));
    QCOMPARE(f.button->captionShadow(), QColor(0xB0, 0x58, 0x00));
    QCOMPARE(f.button->captionColor(), QColor(0x40, 0x00, 0x00));
    QVERIFY(f.button->font().bold());
    QCOMPARE(f.button->font().pointSize(), 8);

    f.button->setPreset(Preset::Aluminum);
    QCOMPARE(f.button->captionStyle(), CaptionStyle::Inset);
    QCOMPARE(f.button->frameHighlight(), QColor(0xFF, 0xFF, 0xFF));
    QCOMPARE(f.button->frameShadow(), QColor(0x00, 0x00, 0x00));
    QCOMPARE(f.button->font().family(), QStringLiteral("Times New Roman"));

    f.button->setPreset(Preset::None);
    QCOMPARE(f.button->beginColor(), QColor(0x00, 0x00, 0x80));
    QCOMPARE(f.button->gradientStyle(), GradientStyle::VerticalCenter);
    QVERIFY(!f.button->font().bold());
}

void GradientButtonTest::strippedCaptionIsMeasured() {
    auto render = [](const QString& caption) {
        Fixture f;
        f.button->resize(120, 25);
        f.button->setBeginColor(QColor(0xFF, 0xFF, 0xFF));
        f.button->setEndColor(QColor(0xFF, 0xFF, 0xFF));
        f.button->setCaptionStyle(CaptionStyle::Normal);
        f.button->setCaption(caption);
        return f.face();
    };
    // Columns holding caption pixels (anything not white).
    auto inkColumns = [](const QImage& image) {
        int first = -1, last = -1;
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (image.pixelColor(x, y) != QColor(Qt::white)) {
                    if (first < 0)
                        first = x;
                    last = x;
                    break;
                }
        return QPair<int, int>(first, last);
    };
    const QImage marked = render(QStringLiteral("Save &as"));
    const QImage plain = render(QStringLiteral("Save as"));
    const auto markedInk = inkColumns(marked);
    QVERIFY(markedInk.first > 0);
    // Centred on the measured "Save as": the same placement as the plain caption.
    QCOMPARE(markedInk.first, inkColumns(plain).first);
    // The only difference is the underlined "a".
    QVERIFY(marked != plain);
    // "&&" is a shown "&", not a marker: nothing is underlined.
    QVERIFY(render(QStringLiteral("A&&B")) != render(QStringLiteral("A&B")));
}

void GradientButtonTest::focusRectangleShowsWithFocus() {
    Fixture f;
    auto* other = new QWidget(f.window.get());
    other->setFocusPolicy(Qt::StrongFocus);
    other->move(150, 50);
    f.button->setBeginColor(QColor(0xFF, 0xFF, 0xFF));
    f.button->setEndColor(QColor(0xFF, 0xFF, 0xFF));
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    other->setFocus();
    QTRY_VERIFY(other->hasFocus());
    const QImage unfocused = f.face();
    f.button->setFocus();
    QTRY_VERIFY(f.button->hasFocus());
    const QImage focused = f.face();
    QVERIFY(focused != unfocused);
    // Nothing outside the focus rectangle changes.
    for (int x = 0; x < 75; ++x) {
        QCOMPARE(focused.pixelColor(x, 0), unfocused.pixelColor(x, 0));
        QCOMPARE(focused.pixelColor(x, 1), unfocused.pixelColor(x, 1));
    }
    f.button->setShowsFocus(false);
    QCOMPARE(f.face(), unfocused);
}

ZELVORIN_TEST_MAIN(GradientButtonTest)
#include "GradientButtonTest.moc"

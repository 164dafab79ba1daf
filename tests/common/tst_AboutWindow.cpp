// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AboutWindow.h"
#include "LineFigure.h"
#include "TestEnvironment.h"

#include <QEnterEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>

namespace {

QRect colourBounds(const QImage& image, const QColor& colour, const QRect& area) {
    QRect bounds;
    // Compared as 8-bit values: palette colours may carry finer channels than the image.
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) == colour.rgb())
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

template <typename T> T* child(const QWidget& form, const char* name) {
    return form.findChild<T*>(QString::fromLatin1(name));
}

} // namespace

class TestAboutWindow : public QObject {
    Q_OBJECT

private:
    QImage shownImage(zelvorin::AboutWindow& form) {
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            return {};
        return form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

private slots:
    void window() {
        zelvorin::AboutWindow form;
        QCOMPARE(form.windowTitle(), QStringLiteral(" About"));
        QCOMPARE(form.size(), QSize(326, 224));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        const Qt::WindowFlags flags = form.windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(flags & Qt::WindowContextHelpButtonHint));
    }

    void controlsAtTheirPlaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QSize>("minimumSize");
        QTest::newRow("Label6") << "Label6" << QPoint(40, 84) << QSize(71, 13);
        QTest::newRow("Image3") << "Image3" << QPoint(12, 60) << QSize(105, 105);
        QTest::newRow("Image2") << "Image2" << QPoint(268, 124) << QSize(49, 53);
        QTest::newRow("Line_3") << "Line_3" << QPoint(-10, -10) << QSize(71, 71);
        QTest::newRow("Line_4") << "Line_4" << QPoint(-8, -8) << QSize(71, 71);
        QTest::newRow("Line_2") << "Line_2" << QPoint(-12, -13) << QSize(71, 71);
        QTest::newRow("Bevel1") << "Bevel1" << QPoint(16, 112) << QSize(293, 57);
        QTest::newRow("UsefulLabel1") << "UsefulLabel1" << QPoint(96, 120) << QSize(166, 15);
        QTest::newRow("UsefulLabel5") << "UsefulLabel5" << QPoint(44, 144) << QSize(205, 15);
        QTest::newRow("Label5") << "Label5" << QPoint(36, 120) << QSize(52, 15);
        QTest::newRow("TitleLabel1Shadow") << "TitleLabel1Shadow" << QPoint(16, 12) << QSize();
        QTest::newRow("TitleLabel1") << "TitleLabel1" << QPoint(12, 8) << QSize();
        QTest::newRow("Panel1") << "Panel1" << QPoint(0, 183) << QSize(326, 41);
        QTest::newRow("OkButton") << "OkButton" << QPoint(236, 187) << QSize(75, 25);
    }

    void controlsAtTheirPlaces() {
        QFETCH(QString, name);
        QFETCH(QPoint, position);
        QFETCH(QSize, minimumSize);
        zelvorin::AboutWindow form;
        auto* widget = form.findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(widget->mapTo(&form, QPoint(0, 0)), position);
        QVERIFY(widget->width() >= minimumSize.width());
        QVERIFY(widget->height() >= minimumSize.height());
    }

    void fixedSizesAndTexts() {
        zelvorin::AboutWindow form;
        QCOMPARE(child<QWidget>(form, "Image3")->size(), QSize(105, 105));
        QCOMPARE(child<QLabel>(form, "Image3")->pixmap().size(), QSize(25, 25));
        QCOMPARE(child<QWidget>(form, "Image2")->size(), QSize(49, 53));
        QCOMPARE(child<QLabel>(form, "Image2")->pixmap().size(), QSize(38, 39));
        QCOMPARE(child<QWidget>(form, "Bevel1")->size(), QSize(293, 57));
        QCOMPARE(child<QFrame>(form, "Bevel1")->frameShadow(), QFrame::Sunken);
        QCOMPARE(form.okButton()->size(), QSize(75, 25));
        QCOMPARE(form.okButton()->text(), QStringLiteral("Good"));
        QCOMPARE(child<QLabel>(form, "Label6")->text(), QStringLiteral("    Version 1.70"));
        QCOMPARE(child<QLabel>(form, "Label5")->text(), QStringLiteral("Web-site:"));
        QCOMPARE(form.titleLabel()->text(), QStringLiteral("Zelvorin"));
        QCOMPARE(form.titleShadowLabel()->text(), QStringLiteral("Zelvorin"));
        QCOMPARE(form.titleLabel()->font().pixelSize(), 39);
        QVERIFY(form.titleLabel()->font().bold());
        for (const char* name : {"Line_3", "Line_4", "Line_2"}) {
            auto* line = child<zelvorin::LineFigure>(form, name);
            QCOMPARE(line->size(), QSize(71, 71));
            QCOMPARE(line->angle(), zelvorin::LineAngle(45));
            QCOMPARE(line->lineStyle(), zelvorin::LineFigure::Style::LeftDownToRightUp);
        }
        QCOMPARE(child<zelvorin::LineFigure>(form, "Line_3")->color(), QColor(Qt::yellow));
        QCOMPARE(child<zelvorin::LineFigure>(form, "Line_4")->color(), QColor(0xFF, 0x6C, 0x6C));
        QCOMPARE(child<zelvorin::LineFigure>(form, "Line_2")->color(), QColor(0, 0xFF, 0));
    }

    void paintingOrder() {
        zelvorin::AboutWindow form;
        const QStringList order{"Label6",
                                "Image3",
                                "Image2",
                                "Line_3",
                                "Line_4",
                                "Line_2",
                                "Bevel1",
                                "UsefulLabel1",
                                "UsefulLabel5",
                                "Label5",
                                "TitleLabel1Shadow",
                                "TitleLabel1",
                                "Panel1"};
        qsizetype previous = -1;
        for (const QString& name : order) {
            const qsizetype at = form.children().indexOf(form.findChild<QWidget*>(name));
            QVERIFY2(at > previous, qPrintable(name));
            previous = at;
        }
    }

    void links() {
        zelvorin::AboutWindow form;
        zelvorin::LinkLabel* web = form.webSiteLink();
        QCOMPARE(web->text(), QStringLiteral("https://zelvorin.example.org/"));
        QVERIFY(web->activeText());
        QVERIFY(web->startsLinkOnClick());
        QCOMPARE(web->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(web->font().bold());
        QVERIFY(web->font().underline());
        QCOMPARE(web->font().pixelSize(), 12);
        QCOMPARE(web->textColor(), QColor(Qt::blue));

        zelvorin::LinkLabel* contacts = form.contactsLink();
        QCOMPARE(contacts->text(), QStringLiteral("Click here to view other our contacts..."));
        QVERIFY(contacts->activeText());
        QVERIFY(!contacts->startsLinkOnClick());
        QCOMPARE(contacts->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(contacts->textColor(), QColor(Qt::blue));
    }

    void clickingTheLinks() {
        zelvorin::AboutWindow form;
        QStringList opened;
        form.setLinkOpener([&opened](const QString& target) {
            opened.append(target);
            return true;
        });
        QSignalSpy topics(&form, &zelvorin::AboutWindow::helpTopicRequested);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QTest::mouseClick(form.contactsLink(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(topics.count(), 1);
        QCOMPARE(topics.at(0).at(0).toString(), QStringLiteral("Contacts_link"));
        QVERIFY(opened.isEmpty());

        QTest::mouseClick(form.webSiteLink(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(opened, QStringList{QStringLiteral("https://zelvorin.example.org/")});
        QCOMPARE(topics.count(), 1);
    }

    void webLinkColoursFollowTheMouse() {
        zelvorin::AboutWindow form;
        zelvorin::LinkLabel* web = form.webSiteLink();
        web->setLinkOpener([](const QString&) { return true; });
        web->setButtonsProbe([] { return Qt::MouseButtons(Qt::NoButton); });
        const QPoint at(5, 5);
        QEnterEvent enter(at, at, web->mapToGlobal(at));
        QCoreApplication::sendEvent(web, &enter);
        QCOMPARE(web->textColor(), QColor(Qt::yellow));
        QMouseEvent press(QEvent::MouseButtonPress, at, web->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(web, &press);
        QCOMPARE(web->textColor(), QColor(0, 255, 0));
        QMouseEvent release(QEvent::MouseButtonRelease, at, web->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(web, &release);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(web, &leave);
        QCOMPARE(web->textColor(), QColor(Qt::blue));
    }

    void titleFontFamily_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("family");
        QTest::newRow("Verdana installed") << QStringList{"Arial", "Verdana"} << "Verdana";
        QTest::newRow("any case") << QStringList{"VERDANA"} << "Verdana";
        QTest::newRow("missing") << QStringList{"DejaVu Sans", "Arial"} << "Arial";
        QTest::newRow("similar name only") << QStringList{"Verdana Pro"} << "Arial";
        QTest::newRow("no fonts") << QStringList{} << "Arial";
    }

    void titleFontFamily() {
        QFETCH(QStringList, installed);
        QFETCH(QString, family);
        QCOMPARE(zelvorin::AboutWindow::titleFontFamily(installed), family);
    }

    void titleFallsBackOnShow() {
        zelvorin::AboutWindow form;
        QStringList installed{"DejaVu Sans"};
        form.setFontFamiliesProvider([&installed] { return installed; });
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.titleLabel()->font().family(), QStringLiteral("Arial"));
        QCOMPARE(form.titleShadowLabel()->font().family(), QStringLiteral("Arial"));
        QCOMPARE(form.titleShadowLabel()->font().pixelSize(), 39);
        QVERIFY(form.titleShadowLabel()->font().bold());
        form.hide();

        installed = {"verdana"};
        form.show();
        QCOMPARE(form.titleLabel()->font().family(), QStringLiteral("Verdana"));
        QCOMPARE(form.titleShadowLabel()->font().family(), QStringLiteral("Verdana"));
    }

    void titleFollowsTheInstalledFonts() {
        zelvorin::AboutWindow form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.titleLabel()->font().family(),
                 zelvorin::AboutWindow::titleFontFamily(QFontDatabase::families()));
    }

    void grabbedImage() {
        zelvorin::AboutWindow form(QStringLiteral("102.0.5005.177"));
        const QImage image = shownImage(form);
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), QSize(326, 224));

        // Three parallel strokes across the top-left corner, lime innermost.
        const QColor yellow(Qt::yellow), red(0xFF, 0x6C, 0x6C), lime(0, 0xFF, 0);
        QCOMPARE(image.pixelColor(0, 46), lime);
        QCOMPARE(image.pixelColor(46, 0), lime);
        QCOMPARE(image.pixelColor(0, 51), yellow);
        QCOMPARE(image.pixelColor(51, 0), yellow);
        QCOMPARE(image.pixelColor(0, 55), red);
        QCOMPARE(image.pixelColor(55, 0), red);
        const QColor background = image.pixelColor(0, 53);
        QCOMPARE(background, form.palette().color(QPalette::Window));
        QCOMPARE(image.pixelColor(0, 48), background);

        // The title is drawn at (12, 8) with its shadow 4 pixels down and right.
        const QRect titleArea(0, 0, 326, 60);
        const QColor text = form.palette().color(QPalette::WindowText);
        const QColor shadow = form.palette().color(QPalette::Dark);
        const QRect title = colourBounds(image, text, titleArea);
        const QRect shade = colourBounds(image, shadow, titleArea);
        QVERIFY(!title.isEmpty());
        QVERIFY(!shade.isEmpty());
        QVERIFY(title.left() >= 12 && title.left() < 22);
        QVERIFY(title.top() >= 8 && title.top() < 30);
        QCOMPARE(shade.topLeft() - title.topLeft(), QPoint(4, 4));
        QCOMPARE(shade.bottomRight() - title.bottomRight(), QPoint(4, 4));

        // The button sits at the lower right; nothing is drawn to its right.
        const QRect button(236, 187, 75, 25);
        const QColor panel = image.pixelColor(320, 200);
        QCOMPARE(panel, background);
        QCOMPARE(image.pixelColor(2, 220), background);
        bool drawn = false;
        for (int x = button.left(); x <= button.right() && !drawn; ++x)
            drawn = image.pixelColor(x, button.top() + 12) != background;
        QVERIFY(drawn);
        QCOMPARE(image.pixelColor(button.right() + 3, button.top() + 12), background);

        // The small tiles picture sits at the top-left corner of its box.
        QCOMPARE(image.pixelColor(12, 60), QColor(0x40, 0x40, 0x40));
        QCOMPARE(image.pixelColor(12 + 30, 60 + 10), background);
    }

    void webEngineVersionLine() {
        zelvorin::AboutWindow form(QStringLiteral("102.0.5005.177"));
        auto* label = child<QLabel>(form, "WebEngineLabel");
        QVERIFY(label);
        QVERIFY(label->text().contains(QStringLiteral("Chromium 102.0.5005.177")));
        QVERIFY(!label->isHidden());
        // Between the version and the frame around the links.
        QVERIFY(label->y() >= 84 + 13);
        QVERIFY(label->geometry().bottom() < 112);
        form.setWebEngineVersion(QString());
        QVERIFY(label->isHidden());
    }

    void closing() {
        zelvorin::AboutWindow form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(form.isVisible());
        QTest::mouseClick(form.okButton(), Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Accepted));

        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.close());
        QVERIFY(!form.isVisible());
    }
};

ZELVORIN_TEST_MAIN(TestAboutWindow)
#include "tst_AboutWindow.moc"

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "GradientColors.h"
#include "RtfColorReader.h"
#include "RtfWriter.h"

#include "TestEnvironment.h"

#include <QApplication>

#include <cmath>
#include <limits>

using namespace zelvorin::gradient;

namespace {

const QColor Yellow(0xFF, 0xFF, 0);
const QColor Red(0xFF, 0, 0);

QStringList colorTexts(const std::vector<QColor>& colors) {
    QStringList texts;
    for (const QColor& c : colors)
        texts << htmlColorDigits(c);
    return texts;
}

} // namespace

class GradientColorsTest : public QObject {
    Q_OBJECT

private slots:
    void roundHalfUp_data();
    void roundHalfUp();
    void letterSequences_data();
    void letterSequences();
    void smallStepsAndHalfSteps_data();
    void smallStepsAndHalfSteps();
    void everyCharacterCounts();
    void colorDigitsAreRedFirst();
    void htmlCodeOfAbc();
    void htmlCodeEscapesLetters();
    void htmlCodeOfEmptyText();
    void rtfReadsBackToTheLetterColors_data();
    void rtfReadsBackToTheLetterColors();
    void rtfNamesTheFont();
};

void GradientColorsTest::roundHalfUp_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("half up") << 2.5 << 3;
    QTest::newRow("below half") << 2.49 << 2;
    QTest::newRow("negative half truncates") << -2.5 << -2;
    QTest::newRow("negative truncates") << -70.7 << -70;
    QTest::newRow("positive rounds") << 70.7 << 71;
    QTest::newRow("small half") << 0.5 << 1;
    QTest::newRow("zero") << 0.0 << 0;
    QTest::newRow("small negative") << -0.4 << 0;
    QTest::newRow("channel") << 254.5 << 255;
    QTest::newRow("too large clamps") << 1e300 << std::numeric_limits<int>::max();
    QTest::newRow("too small clamps") << -1e300 << std::numeric_limits<int>::min();
    QTest::newRow("not a number") << std::nan("") << 0;
}

void GradientColorsTest::roundHalfUp() {
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(zelvorin::gradient::roundHalfUp(value), expected);
}

void GradientColorsTest::letterSequences_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("from");
    QTest::addColumn<QColor>("to");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("initial text, yellow to red")
        << "Input the text" << Yellow << Red
        << QStringList{"FFFF00", "FFED00", "FFDB00", "FFC900", "FFB700", "FFA500", "FF9300",
                       "FF8100", "FF6F00", "FF5D00", "FF4B00", "FF3900", "FF2700", "FF1500"};
    QTest::newRow("ten letters, black to white")
        << "abcdefghij" << QColor(Qt::black) << QColor(Qt::white)
        << QStringList{"000000", "1A1A1A", "343434", "4E4E4E", "686868",
                       "828282", "9C9C9C", "B6B6B6", "D0D0D0", "EAEAEA"};
    QTest::newRow("one letter") << "x" << Yellow << Red << QStringList{"FFFF00"};
    QTest::newRow("empty") << "" << Yellow << Red << QStringList{};
    QTest::newRow("abc") << "abc" << Yellow << Red << QStringList{"FFFF00", "FFAA00", "FF5500"};
    QTest::newRow("white to black") << "abcd" << QColor(Qt::white) << QColor(Qt::black)
                                    << QStringList{"FFFFFF", "BFBFBF", "7F7F7F", "3F3F3F"};
    QTest::newRow("blue channel") << "ab" << QColor(0, 0, 0xFF) << QColor(Qt::black)
                                  << QStringList{"0000FF", "000080"};
}

void GradientColorsTest::letterSequences() {
    QFETCH(QString, text);
    QFETCH(QColor, from);
    QFETCH(QColor, to);
    QFETCH(QStringList, expected);
    const auto letters = colorLetters(text, from, to);
    QStringList actual;
    for (const ColoredLetter& l : letters)
        actual << htmlColorDigits(l.color);
    QCOMPARE(actual, expected);
}

void GradientColorsTest::smallStepsAndHalfSteps_data() {
    QTest::addColumn<QColor>("from");
    QTest::addColumn<QColor>("to");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("lastRed");
    QTest::newRow("step below one half never moves")
        << QColor(0, 0, 0) << QColor(100, 0, 0) << 300 << 0;
    QTest::newRow("step of minus one half stays")
        << QColor(100, 0, 0) << QColor(99, 0, 0) << 2 << 100;
    QTest::newRow("step of minus one half, long")
        << QColor(100, 0, 0) << QColor(90, 0, 0) << 20 << 100;
    QTest::newRow("step of one half climbs") << QColor(0, 0, 0) << QColor(1, 0, 0) << 2 << 1;
    QTest::newRow("step of one half, long") << QColor(0, 0, 0) << QColor(10, 0, 0) << 20 << 19;
}

void GradientColorsTest::smallStepsAndHalfSteps() {
    QFETCH(QColor, from);
    QFETCH(QColor, to);
    QFETCH(int, count);
    QFETCH(int, lastRed);
    const auto colors = letterColors(from, to, count);
    QCOMPARE(int(colors.size()), count);
    QCOMPARE(colors.back().red(), lastRed);
    for (const QColor& c : colors)
        QVERIFY(c.green() == 0 && c.blue() == 0);
}

void GradientColorsTest::everyCharacterCounts() {
    // Blanks and punctuation take their step like letters; a character beyond the
    // 16-bit range is one letter, not two halves.
    const auto letters = colorLetters(QStringLiteral("a b,") + QString::fromUcs4(U"\U0001F600"),
                                      Qt::black, Qt::white);
    QCOMPARE(int(letters.size()), 5);
    QCOMPARE(letters[1].letter, QStringLiteral(" "));
    QCOMPARE(htmlColorDigits(letters[1].color), QStringLiteral("333333"));
    QCOMPARE(htmlColorDigits(letters[2].color), QStringLiteral("666666"));
    QCOMPARE(letters[4].letter.size(), 2);
    QCOMPARE(colorTexts(letterColors(Qt::black, Qt::white, 5)).size(), 5);
}

void GradientColorsTest::colorDigitsAreRedFirst() {
    QCOMPARE(htmlColorDigits(QColor(0xFF, 0xFF, 0)), QStringLiteral("FFFF00"));
    QCOMPARE(htmlColorDigits(QColor(0xEF, 0xCD, 0xAB)), QStringLiteral("EFCDAB"));
    QCOMPARE(htmlColorDigits(QColor(1, 0, 0)), QStringLiteral("010000"));
}

void GradientColorsTest::htmlCodeOfAbc() {
    QCOMPARE(htmlCodeText(colorLetters(QStringLiteral("abc"), Yellow, Red)),
             QStringLiteral("<font color=\"#FFFF00\"\r\n"
                            ">a</font><font color=\"#FFAA00\"\r\n"
                            ">b</font><font color=\"#FF5500\"\r\n"
                            ">c</font>"));
    const auto pieces = htmlCodePieces(colorLetters(QStringLiteral("ab"), Yellow, Red));
    QCOMPARE(int(pieces.size()), 6);
    QVERIFY(pieces[1].letter);
    QCOMPARE(pieces[1].text, QStringLiteral("a"));
    QCOMPARE(pieces[1].color, Yellow);
    QVERIFY(!pieces[0].letter);
    QVERIFY(!pieces[2].letter);
    QCOMPARE(pieces[4].color, QColor(0xFF, 0x80, 0));
}

void GradientColorsTest::htmlCodeEscapesLetters() {
    const QString code = htmlCodeText(colorLetters(QStringLiteral("<&\">"), Qt::black, Qt::black));
    QCOMPARE(code, QStringLiteral("<font color=\"#000000\"\r\n>&lt;</font>"
                                  "<font color=\"#000000\"\r\n>&amp;</font>"
                                  "<font color=\"#000000\"\r\n>&quot;</font>"
                                  "<font color=\"#000000\"\r\n>&gt;</font>"));
}

void GradientColorsTest::htmlCodeOfEmptyText() {
    QVERIFY(htmlCodeText(colorLetters(QString(), Yellow, Red)).isEmpty());
}

void GradientColorsTest::rtfReadsBackToTheLetterColors_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("initial text") << "Input the text";
    QTest::newRow("rtf specials") << "a{b}\\c";
    QTest::newRow("beyond ascii") << QString::fromUtf8("Grüße €");
    QTest::newRow("one letter") << "x";
    QTest::newRow("empty") << "";
}

void GradientColorsTest::rtfReadsBackToTheLetterColors() {
    QFETCH(QString, text);
    const auto letters = colorLetters(text, Yellow, Red);
    const QByteArray rtf = coloredLettersRtf(QFont(QStringLiteral("Sans")), letters);
    const auto read = zelvorin::test::readRtfLetters(rtf);
    QVERIFY(read.valid);
    QCOMPARE(read.text, text);
    QCOMPARE(read.letterColors.size(), text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QCOMPARE(read.letterColors[i], letters[i].color);
    }
    // Index 0 is the automatic colour, then one entry per distinct letter colour.
    QVERIFY(!read.colorTable.isEmpty());
    QVERIFY(!read.colorTable.front().isValid());
}

void GradientColorsTest::rtfNamesTheFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    const QByteArray rtf =
        coloredLettersRtf(font, colorLetters(QStringLiteral("ab"), Qt::black, Qt::black));
    QCOMPARE(zelvorin::test::readRtfLetters(rtf).fontName, QStringLiteral("DejaVu Sans"));
    QVERIFY(rtf.contains("\\fs17") || rtf.contains("\\fs16"));
}

ZELVORIN_TEST_MAIN(GradientColorsTest)
#include "GradientColorsTest.moc"

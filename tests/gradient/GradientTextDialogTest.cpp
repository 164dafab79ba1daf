// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "GradientTextDialog.h"
#include "GradientButton.h"
#include "RtfColorReader.h"

#include "TestEnvironment.h"

#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace {

struct CharLook {
    QString text;
    QColor color;
    bool bold = false;
};

// Each character of a rich text box with the colour and weight it is shown in.
QList<CharLook> charLooks(const QTextEdit* edit) {
    QList<CharLook> looks;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            for (const QChar ch : fragment.text())
                looks.append({QString(ch), fragment.charFormat().foreground().color(),
                              fragment.charFormat().fontWeight() >= QFont::Bold});
        }
        if (block.next().isValid())
            looks.append({QStringLiteral("\n"), QColor(), false});
    }
    return looks;
}

} // namespace

class GradientTextDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void windowAndControls_data();
    void windowAndControls();
    void firstShowingBuildsTheInitialText();
    void codeBoxShowsLettersBoldAndColoured();
    void typingRebuildsAfterTheDelay();
    void emptyTextEmptiesBothBoxes();
    void colourButtonChoosesAColour_data();
    void colourButtonChoosesAColour();
    void releasedOutsideDoesNothing();
    void cancelOrSameColourDoesNotRebuild();
    void copyHtmlPutsLinesWithCrLf();
    void copyHtmlTakesWhatTheUserTyped();
    void copyRichTextPutsRtfHtmlAndPlainText();
    void windowIsKeptBetweenOpenings();

private:
    std::unique_ptr<zelvorin::GradientTextDialog> m_form;
    QList<QColor> m_offered;
    std::optional<QColor> m_answer;

    template <typename T> T* control(const char* name) {
        return m_form->findChild<T*>(QLatin1String(name));
    }
};

void GradientTextDialogTest::init() {
    m_form = std::make_unique<zelvorin::GradientTextDialog>(nullptr);
    m_offered.clear();
    m_answer.reset();
    m_form->setColorChooser([this](const QColor& initial) {
        m_offered.append(initial);
        return m_answer;
    });
}

void GradientTextDialogTest::cleanup() {
    m_form.reset();
}

void GradientTextDialogTest::windowAndControls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("SrcTextEdit") << "SrcTextEdit" << QRect(44, 8, 365, 19);
    QTest::newRow("FromBtnPanel") << "FromBtnPanel" << QRect(44, 32, 65, 20);
    QTest::newRow("ToBtnPanel") << "ToBtnPanel" << QRect(44, 56, 65, 20);
    QTest::newRow("PreviewRichEdit") << "PreviewRichEdit" << QRect(116, 32, 293, 21);
    QTest::newRow("HTMLCodeRichEdit") << "HTMLCodeRichEdit" << QRect(116, 60, 293, 113);
    QTest::newRow("Panel1") << "Panel1" << QRect(12, 84, 97, 21);
    QTest::newRow("GradBtn1") << "GradBtn1" << QRect(1, 1, 95, 19);
    QTest::newRow("CopyRTFButton") << "CopyRTFButton" << QRect(8, 118, 101, 25);
    QTest::newRow("CopyHTMLButton") << "CopyHTMLButton" << QRect(8, 149, 101, 25);
}

void GradientTextDialogTest::windowAndControls() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QCOMPARE(m_form->windowTitle(), QStringLiteral(" Gradient Text"));
    QCOMPARE(m_form->size(), QSize(428, 209));
    auto* widget = m_form->findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);

    QCOMPARE(control<QLabel>("Label3")->pos(), QPoint(8, 12));
    QCOMPARE(control<QLabel>("Label1")->text(), QStringLiteral("From"));
    QCOMPARE(control<QLabel>("Label2")->pos(), QPoint(8, 60));
    QCOMPARE(control<QLineEdit>("SrcTextEdit")->text(), QStringLiteral("Input the text"));
    QCOMPARE(control<QToolButton>("CopyRTFButton")->text(), QStringLiteral("Copy Rich Text"));
    QCOMPARE(control<QToolButton>("CopyHTMLButton")->text(), QStringLiteral("Copy HTML"));
    QVERIFY(control<QTextEdit>("PreviewRichEdit")->isReadOnly());
    QVERIFY(!control<QTextEdit>("HTMLCodeRichEdit")->isReadOnly());
    QCOMPARE(control<QTimer>("Timer1")->interval(), 700);
    QVERIFY(!control<QTimer>("Timer1")->isActive());

    // The colour bar: frameless, disabled, horizontal, from From to To.
    auto* bar = control<zelvorin::GradientButton>("GradBtn1");
    QVERIFY(!bar->isEnabled());
    QCOMPARE(bar->frameSize(), 0);
    QCOMPARE(bar->gradientStyle(), zelvorin::gradient::GradientStyle::Horizontal);
    QCOMPARE(bar->caption(), QStringLiteral(" "));
    QCOMPARE(bar->beginColor(), QColor(0xFF, 0xFF, 0x00));
    QCOMPARE(bar->endColor(), QColor(0xFF, 0x00, 0x00));
    QCOMPARE(m_form->fromColor(), QColor(0xFF, 0xFF, 0x00));
    QCOMPARE(m_form->toColor(), QColor(0xFF, 0x00, 0x00));
    QCOMPARE(control<QWidget>("FromColorPanel")->palette().color(QPalette::Window),
             QColor(255, 255, 0));
    QCOMPARE(control<QWidget>("ToColorPanel")->palette().color(QPalette::Window),
             QColor(255, 0, 0));
    QVERIFY(control<QWidget>("FromCanvasPanel"));
    QVERIFY(control<QWidget>("ToCanvasPanel"));
}

void GradientTextDialogTest::firstShowingBuildsTheInitialText() {
    auto* preview = control<QTextEdit>("PreviewRichEdit");
    QVERIFY(preview->toPlainText().isEmpty());
    m_form->show();
    QCOMPARE(m_form->buildCount(), 1);
    QCOMPARE(preview->toPlainText(), QStringLiteral("Input the text"));
    const QStringList expected{"FFFF00", "FFED00", "FFDB00", "FFC900", "FFB700",
                               "FFA500", "FF9300", "FF8100", "FF6F00", "FF5D00",
                               "FF4B00", "FF3900", "FF2700", "FF1500"};
    const auto looks = charLooks(preview);
    QCOMPARE(looks.size(), expected.size());
    for (qsizetype i = 0; i < looks.size(); ++i)
        QCOMPARE(looks[i].color, QColor(QLatin1Char('#') + expected[i]));

    // Showing again with a preview in place builds nothing.
    m_form->hide();
    m_form->show();
    QCOMPARE(m_form->buildCount(), 1);
}

void GradientTextDialogTest::codeBoxShowsLettersBoldAndColoured() {
    control<QLineEdit>("SrcTextEdit")->setText(QStringLiteral("a<c"));
    m_form->buildGradientText();
    auto* code = control<QTextEdit>("HTMLCodeRichEdit");
    QCOMPARE(code->toPlainText(), QStringLiteral("<font color=\"#FFFF00\"\n"
                                                 ">a</font><font color=\"#FFAA00\"\n"
                                                 ">&lt;</font><font color=\"#FF5500\"\n"
                                                 ">c</font>"));
    const QColor windowText = code->palette().color(QPalette::Text);
    const auto looks = charLooks(code);
    QString boldText;
    for (const CharLook& look : looks) {
        if (look.bold)
            boldText += look.text;
        else if (look.text != QStringLiteral("\n"))
            QCOMPARE(look.color, windowText);
    }
    QCOMPARE(boldText, QStringLiteral("a&lt;c"));
    for (const CharLook& look : looks) {
        if (look.text == QStringLiteral("a") && look.bold)
            QCOMPARE(look.color, QColor(255, 255, 0));
        if (look.text == QStringLiteral("l") && look.bold)
            QCOMPARE(look.color, QColor(255, 0xAA, 0));
    }
}

void GradientTextDialogTest::typingRebuildsAfterTheDelay() {
    m_form->show();
    const int built = m_form->buildCount();
    auto* timer = control<QTimer>("Timer1");
    control<QLineEdit>("SrcTextEdit")->setText(QStringLiteral("ab"));
    QVERIFY(timer->isActive());
    QCOMPARE(m_form->buildCount(), built);
    QCOMPARE(control<QTextEdit>("PreviewRichEdit")->toPlainText(),
             QStringLiteral("Input the text"));
    control<QLineEdit>("SrcTextEdit")->setText(QStringLiteral("abc"));
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 700);

    m_form->buildAfterPause();
    QVERIFY(!timer->isActive());
    QCOMPARE(m_form->buildCount(), built + 1);
    QCOMPARE(control<QTextEdit>("PreviewRichEdit")->toPlainText(), QStringLiteral("abc"));
}

void GradientTextDialogTest::emptyTextEmptiesBothBoxes() {
    m_form->show();
    control<QLineEdit>("SrcTextEdit")->clear();
    m_form->buildAfterPause();
    QVERIFY(control<QTextEdit>("PreviewRichEdit")->toPlainText().isEmpty());
    QVERIFY(control<QTextEdit>("HTMLCodeRichEdit")->toPlainText().isEmpty());
    QGuiApplication::clipboard()->setText(QStringLiteral("old"));
    m_form->copyHtml();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString());
}

void GradientTextDialogTest::colourButtonChoosesAColour_data() {
    QTest::addColumn<bool>("fromSide");
    QTest::newRow("From") << true;
    QTest::newRow("To") << false;
}

void GradientTextDialogTest::colourButtonChoosesAColour() {
    QFETCH(bool, fromSide);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    auto* button = control<QFrame>(fromSide ? "FromBtnPanel" : "ToBtnPanel");
    auto* swatch = control<QWidget>(fromSide ? "FromColorPanel" : "ToColorPanel");
    const int built = m_form->buildCount();
    m_answer = QColor(0, 0, 255);

    QTest::mousePress(swatch, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(button->frameShadow(), QFrame::Sunken);
    QVERIFY(m_offered.isEmpty());
    QTest::mouseRelease(swatch, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(button->frameShadow(), QFrame::Raised);

    QCOMPARE(m_offered.size(), 1);
    QCOMPARE(m_offered.front(), fromSide ? QColor(255, 255, 0) : QColor(255, 0, 0));
    const QColor blue(0, 0, 0xFF);
    auto* bar = control<zelvorin::GradientButton>("GradBtn1");
    if (fromSide) {
        QCOMPARE(m_form->fromColor(), blue);
        QCOMPARE(bar->beginColor(), blue);
        QCOMPARE(bar->endColor(), QColor(0xFF, 0x00, 0x00));
    } else {
        QCOMPARE(m_form->toColor(), blue);
        QCOMPARE(bar->endColor(), blue);
        QCOMPARE(bar->beginColor(), QColor(0xFF, 0xFF, 0x00));
    }
    QCOMPARE(swatch->palette().color(QPalette::Window), QColor(0, 0, 255));
    QCOMPARE(m_form->buildCount(), built + 1);
    const auto looks = charLooks(control<QTextEdit>("PreviewRichEdit"));
    QCOMPARE(looks.front().color, m_form->fromColor());

    // A press on the outer panel itself counts as well.
    m_answer = QColor(1, 2, 3);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(1, 1));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(1, 1));
    QCOMPARE(m_offered.size(), 2);
    QCOMPARE(m_form->buildCount(), built + 2);
}

void GradientTextDialogTest::releasedOutsideDoesNothing() {
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    auto* button = control<QFrame>("FromBtnPanel");
    auto* swatch = control<QWidget>("FromColorPanel");
    const int built = m_form->buildCount();
    m_answer = QColor(0, 0, 255);
    QTest::mousePress(swatch, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(button->frameShadow(), QFrame::Sunken);
    // Let go to the right of the button, in the preview box.
    QTest::mouseRelease(swatch, Qt::LeftButton, {}, QPoint(5 + 80, 5));
    QCOMPARE(button->frameShadow(), QFrame::Raised);
    QVERIFY(m_offered.isEmpty());
    QCOMPARE(m_form->fromColor(), QColor(0xFF, 0xFF, 0x00));
    QCOMPARE(m_form->buildCount(), built);

    // The handler's own rule, with points on both sides of the edge.
    m_form->releaseToButton(QPoint(65, 10));
    m_form->releaseToButton(QPoint(-1, 10));
    QVERIFY(m_offered.isEmpty());
    m_form->releaseToButton(QPoint(64, 19));
    QCOMPARE(m_offered.size(), 1);
}

void GradientTextDialogTest::cancelOrSameColourDoesNotRebuild() {
    m_form->show();
    const int built = m_form->buildCount();
    m_answer.reset();
    m_form->releaseFromButton(QPoint(5, 5));
    QCOMPARE(m_offered.size(), 1);
    QCOMPARE(m_form->buildCount(), built);

    m_answer = QColor(255, 255, 0); // the From colour already
    m_form->releaseFromButton(QPoint(5, 5));
    QCOMPARE(m_offered.size(), 2);
    QCOMPARE(m_form->buildCount(), built);
    QCOMPARE(m_form->fromColor(), QColor(0xFF, 0xFF, 0x00));

    m_answer = QColor(255, 0, 0); // the To colour already
    m_form->releaseToButton(QPoint(5, 5));
    QCOMPARE(m_form->buildCount(), built);
}

void GradientTextDialogTest::copyHtmlPutsLinesWithCrLf() {
    control<QLineEdit>("SrcTextEdit")->setText(QStringLiteral("abc"));
    m_form->buildGradientText();
    m_form->copyHtml();
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("<font color=\"#FFFF00\"\r\n"
                            ">a</font><font color=\"#FFAA00\"\r\n"
                            ">b</font><font color=\"#FF5500\"\r\n"
                            ">c</font>\r\n"));

    control<QLineEdit>("SrcTextEdit")->setText(QStringLiteral("&\""));
    m_form->buildGradientText();
    m_form->copyHtml();
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("<font color=\"#FFFF00\"\r\n"
                            ">&amp;</font><font color=\"#FF8000\"\r\n"
                            ">&quot;</font>\r\n"));
}

void GradientTextDialogTest::copyHtmlTakesWhatTheUserTyped() {
    control<QLineEdit>("SrcTextEdit")->setText(QStringLiteral("a"));
    m_form->buildGradientText();
    auto* code = control<QTextEdit>("HTMLCodeRichEdit");
    QTextCursor cursor(code->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("\n<br>"));
    m_form->copyHtml();
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("<font color=\"#FFFF00\"\r\n>a</font>\r\n<br>\r\n"));
}

void GradientTextDialogTest::copyRichTextPutsRtfHtmlAndPlainText() {
    m_form->show();
    auto* preview = control<QTextEdit>("PreviewRichEdit");
    QTextCursor caret = preview->textCursor();
    caret.setPosition(2);
    caret.setPosition(5, QTextCursor::KeepAnchor);
    preview->setTextCursor(caret);

    m_form->copyRichText();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data);
    QVERIFY(data->hasFormat(QStringLiteral("text/rtf")));
    QVERIFY(data->hasHtml());
    QCOMPARE(data->text(), QStringLiteral("Input the text"));

    const auto rtf = zelvorin::test::readRtfLetters(data->data(QStringLiteral("text/rtf")));
    QVERIFY(rtf.valid);
    QCOMPARE(rtf.text, QStringLiteral("Input the text"));
    QCOMPARE(rtf.fontName, preview->font().family());
    const auto looks = charLooks(preview);
    QCOMPARE(rtf.letterColors.size(), looks.size());
    for (qsizetype i = 0; i < looks.size(); ++i)
        QCOMPARE(rtf.letterColors[i], looks[i].color);
    QCOMPARE(rtf.letterColors.back(), QColor(0xFF, 0x15, 0));

    QTextDocument html;
    html.setHtml(data->html());
    QCOMPARE(html.toPlainText(), QStringLiteral("Input the text"));
    QVERIFY(data->html().contains(QStringLiteral("#ff1500"), Qt::CaseInsensitive));

    // The caret goes back where it was, with nothing selected.
    QCOMPARE(preview->textCursor().position(), 5);
    QVERIFY(!preview->textCursor().hasSelection());
}

void GradientTextDialogTest::windowIsKeptBetweenOpenings() {
    m_form->show();
    m_answer = QColor(0, 128, 0);
    m_form->releaseToButton(QPoint(5, 5));
    control<QLineEdit>("SrcTextEdit")->setText(QStringLiteral("kept"));
    m_form->buildAfterPause();
    m_form->hide();
    m_form->show();
    QCOMPARE(m_form->toColor(), QColor(0x00, 0x80, 0x00));
    QCOMPARE(control<QLineEdit>("SrcTextEdit")->text(), QStringLiteral("kept"));
    QCOMPARE(control<QTextEdit>("PreviewRichEdit")->toPlainText(), QStringLiteral("kept"));
}

ZELVORIN_TEST_MAIN(GradientTextDialogTest)
#include "GradientTextDialogTest.moc"

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "GradientTextDialog.h"

#include "GradientButton.h"
#include "RtfWriter.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

namespace zelvorin {

using namespace gradient;

GradientTextDialog::GradientTextDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("GradientTextForm"));
    setWindowTitle(QStringLiteral(" Gradient Text"));
    setFixedSize(428, 209);
    QFont formFont = QApplication::font();
    formFont.setPixelSize(11);
    setFont(formFont);

    m_colorChooser = [this](const QColor& initial) -> std::optional<QColor> {
        m_colorDialog->setCurrentColor(initial);
        if (m_colorDialog->exec() != QDialog::Accepted)
            return std::nullopt;
        return m_colorDialog->selectedColor();
    };
    createControls();
    showColors();
}

GradientTextDialog::~GradientTextDialog() = default;

void GradientTextDialog::createControls() {
    auto label = [this](const char* name, const QString& caption, QPoint position) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(QLatin1String(name));
        l->move(position);
        l->adjustSize();
        return l;
    };
    QLabel* textLabel = label("Label3", QStringLiteral("Text"), {8, 12});
    label("Label1", QStringLiteral("From"), {8, 36});
    label("Label2", QStringLiteral("To"), {8, 60});

    m_textEdit = new QLineEdit(QStringLiteral("Input the text"), this);
    m_textEdit->setObjectName(QStringLiteral("SrcTextEdit"));
    m_textEdit->setGeometry(44, 8, 365, 19);
    m_textEdit->setFrame(false);
    textLabel->setBuddy(m_textEdit);
    m_textEdit->setAccessibleName(QStringLiteral("Text"));

    m_fromButton = createColorButton(QStringLiteral("From"), {44, 32}, &m_fromSwatch);
    m_toButton = createColorButton(QStringLiteral("To"), {44, 56}, &m_toSwatch);

    m_preview = new QTextEdit(this);
    m_preview->setObjectName(QStringLiteral("PreviewRichEdit"));
    m_preview->setGeometry(116, 32, 293, 21);
    m_preview->setFrameShape(QFrame::NoFrame);
    m_preview->setReadOnly(true);
    m_preview->setTabChangesFocus(true);
    m_preview->setLineWrapMode(QTextEdit::NoWrap);
    m_preview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_preview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_preview->document()->setDocumentMargin(1);
    m_preview->setAccessibleName(QStringLiteral("Preview"));

    m_htmlCode = new QTextEdit(this);
    m_htmlCode->setObjectName(QStringLiteral("HTMLCodeRichEdit"));
    m_htmlCode->setGeometry(116, 60, 293, 113);
    m_htmlCode->setFrameShape(QFrame::NoFrame);
    m_htmlCode->setLineWrapMode(QTextEdit::NoWrap);
    m_htmlCode->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_htmlCode->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_htmlCode->setAcceptRichText(false);
    // Tab leaves the code for the next control instead of trapping the keyboard in it.
    m_htmlCode->setTabChangesFocus(true);
    m_htmlCode->setAccessibleName(QStringLiteral("HTML code"));

    auto* barFrame = new QFrame(this);
    barFrame->setObjectName(QStringLiteral("Panel1"));
    barFrame->setGeometry(12, 84, 97, 21);
    barFrame->setFrameShape(QFrame::NoFrame);
    barFrame->setAutoFillBackground(true);
    QPalette black = barFrame->palette();
    black.setColor(QPalette::Window, Qt::black);
    barFrame->setPalette(black);

    m_colorBar = new GradientButton(barFrame);
    m_colorBar->setObjectName(QStringLiteral("GradBtn1"));
    m_colorBar->setGeometry(1, 1, 95, 19);
    m_colorBar->setFrameSize(0);
    m_colorBar->setBeginColor(Qt::black);
    m_colorBar->setEndColor(Qt::white);
    m_colorBar->setGradientStyle(GradientStyle::Horizontal);
    m_colorBar->setCaption(QStringLiteral(" "));
    m_colorBar->setEnabled(false);

    auto speedButton = [this](const char* name, const QString& caption, QRect geometry) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setText(caption);
        b->setAccessibleName(caption);
        b->setAutoRaise(true);
        // Flat as a speed button, but still on the Tab round: the copy commands have no
        // other key.
        b->setFocusPolicy(Qt::TabFocus);
        b->setGeometry(geometry);
        return b;
    };
    QToolButton* copyRtf =
        speedButton("CopyRTFButton", QStringLiteral("Copy Rich Text"), QRect(8, 118, 101, 25));
    QToolButton* copyHtml =
        speedButton("CopyHTMLButton", QStringLiteral("Copy HTML"), QRect(8, 149, 101, 25));

    m_colorDialog = new QColorDialog(this);
    m_colorDialog->setObjectName(QStringLiteral("ColorDialog1"));

    // Each change of the text starts the pause anew; the text is built once it ends.
    m_typingPause = new QTimer(this);
    m_typingPause->setObjectName(QStringLiteral("Timer1"));
    m_typingPause->setInterval(700);

    connect(m_textEdit, &QLineEdit::textChanged, m_typingPause, qOverload<>(&QTimer::start));
    connect(m_typingPause, &QTimer::timeout, this, &GradientTextDialog::buildAfterPause);
    connect(copyRtf, &QToolButton::clicked, this, &GradientTextDialog::copyRichText);
    connect(copyHtml, &QToolButton::clicked, this, &GradientTextDialog::copyHtml);
}

// A raised panel framing a black canvas that holds the colour swatch. The inner panels
// leave mouse events to the outer one, so the three act as a single button.
QFrame* GradientTextDialog::createColorButton(const QString& prefix, QPoint position,
                                              QWidget** colorPanel) {
    auto* button = new QFrame(this);
    button->setObjectName(prefix + QStringLiteral("BtnPanel"));
    button->setGeometry(QRect(position, QSize(65, 20)));
    button->setFrameStyle(QFrame::Panel | QFrame::Raised);
    button->setLineWidth(1);
    button->installEventFilter(this);
    button->setAccessibleName(prefix + QStringLiteral(" colour"));

    auto* canvas = new QWidget(button);
    canvas->setObjectName(prefix + QStringLiteral("CanvasPanel"));
    canvas->setGeometry(4, 4, 65 - 8, 20 - 8);
    canvas->setAutoFillBackground(true);
    QPalette black = canvas->palette();
    black.setColor(QPalette::Window, Qt::black);
    canvas->setPalette(black);

    auto* swatch = new QWidget(canvas);
    swatch->setObjectName(prefix + QStringLiteral("ColorPanel"));
    swatch->setGeometry(1, 1, canvas->width() - 2, canvas->height() - 2);
    swatch->setAutoFillBackground(true);
    *colorPanel = swatch;
    return button;
}

void GradientTextDialog::setPanelColor(QWidget* panel, const QColor& color) {
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, color);
    panel->setPalette(p);
}

void GradientTextDialog::showColors() {
    setPanelColor(m_fromSwatch, m_fromColor);
    setPanelColor(m_toSwatch, m_toColor);
    m_colorBar->setBeginColor(m_fromColor);
    m_colorBar->setEndColor(m_toColor);
}

void GradientTextDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_centred) {
        centreOnScreen();
        m_centred = true;
    }
    // The first showing builds the text the window opens with.
    if (m_preview->document()->isEmpty())
        buildGradientText();
}

void GradientTextDialog::centreOnScreen() {
    const QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!target)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(target->availableGeometry().center());
    move(frame.topLeft());
}

void GradientTextDialog::buildAfterPause() {
    m_typingPause->stop();
    buildGradientText();
}

void GradientTextDialog::buildGradientText() {
    ++m_buildCount;
    m_preview->clear();
    m_htmlCode->clear();
    m_letters = colorLetters(m_textEdit->text(), m_fromColor, m_toColor);
    if (m_letters.empty())
        return;

    QTextCursor preview(m_preview->document());
    QTextCharFormat letterFormat;
    for (const ColoredLetter& l : m_letters) {
        letterFormat.setForeground(l.color);
        preview.insertText(l.letter, letterFormat);
    }

    QTextCursor code(m_htmlCode->document());
    QTextCharFormat tagFormat;
    tagFormat.setFontWeight(QFont::Normal);
    tagFormat.setForeground(m_htmlCode->palette().color(QPalette::Text));
    QTextCharFormat codeLetterFormat;
    codeLetterFormat.setFontWeight(QFont::Bold);
    for (const HtmlCodePiece& piece : htmlCodePieces(m_letters)) {
        if (piece.letter) {
            codeLetterFormat.setForeground(piece.color);
            code.insertText(piece.text, codeLetterFormat);
            continue;
        }
        const QStringList lines = piece.text.split(QStringLiteral("\r\n"));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                code.insertBlock();
            code.insertText(lines.at(i), tagFormat);
        }
    }
    m_htmlCode->moveCursor(QTextCursor::Start);
    m_preview->moveCursor(QTextCursor::Start);
}

bool GradientTextDialog::eventFilter(QObject* watched, QEvent* event) {
    const bool from = watched == m_fromButton;
    if (!from && watched != m_toButton)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        // Pressed in while the mouse is down, as a button is.
        (from ? m_fromButton : m_toButton)->setFrameShadow(QFrame::Sunken);
        event->accept();
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        const QPoint position = static_cast<QMouseEvent*>(event)->position().toPoint();
        from ? releaseFromButton(position) : releaseToButton(position);
        event->accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void GradientTextDialog::releaseFromButton(const QPoint& position) {
    if (chooseColor(m_fromButton, m_fromSwatch, position, m_fromColor)) {
        m_colorBar->setBeginColor(m_fromColor);
        buildGradientText();
    }
}

void GradientTextDialog::releaseToButton(const QPoint& position) {
    if (chooseColor(m_toButton, m_toSwatch, position, m_toColor)) {
        m_colorBar->setEndColor(m_toColor);
        buildGradientText();
    }
}

// The shared part of both colour buttons; true when `color` took a new value.
bool GradientTextDialog::chooseColor(QFrame* buttonPanel, QWidget* colorPanel,
                                     const QPoint& position, QColor& color) {
    buttonPanel->setFrameShadow(QFrame::Raised);
    if (!buttonPanel->rect().contains(position))
        return false;
    const std::optional<QColor> chosen = m_colorChooser(color);
    if (!chosen || !chosen->isValid())
        return false;
    // The letters' colours are plain red, green and blue: no transparency, no other model.
    const QColor value = QColor::fromRgb(chosen->rgb());
    if (value == color)
        return false;
    color = value;
    setPanelColor(colorPanel, color);
    return true;
}

void GradientTextDialog::copyRichText() {
    // The copy leaves the caret where it was, with nothing selected.
    QTextCursor cursor = m_preview->textCursor();
    const int caret = cursor.position();

    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/rtf"), coloredLettersRtf(m_preview->font(), m_letters));
    data->setHtml(QTextDocumentFragment(m_preview->document()).toHtml());
    data->setText(m_preview->toPlainText());
    QGuiApplication::clipboard()->setMimeData(data);

    cursor.setPosition(caret);
    m_preview->setTextCursor(cursor);
}

void GradientTextDialog::copyHtml() {
    QStringList lines = m_htmlCode->toPlainText().split(QLatin1Char('\n'));
    // A final line break ends the last line; it does not start another.
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    QGuiApplication::clipboard()->setText(text);
}

} // namespace zelvorin

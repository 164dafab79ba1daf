#include "GradientTextUnit.h"

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

using namespace zelvorin::gradient;

TGradientTextForm::TGradientTextForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("GradientTextForm"));
    setWindowTitle(QStringLiteral(" Gradient Text"));
    setFixedSize(428, 209);
    QFont formFont = QApplication::font();
    formFont.setPixelSize(11);
    setFont(formFont);

    m_colorChooser = [this](const QColor& initial) -> std::optional<QColor> {
        ColorDialog1->setCurrentColor(initial);
        if (ColorDialog1->exec() != QDialog::Accepted)
            return std::nullopt;
        return ColorDialog1->selectedColor();
    };
    createControls();
    FormCreate();
}

TGradientTextForm::~TGradientTextForm() = default;

void TGradientTextForm::createControls() {
    auto label = [this](const char* name, const QString& caption, QPoint position) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(QLatin1String(name));
        l->move(position);
        l->adjustSize();
        return l;
    };
    Label3 = label("Label3", QStringLiteral("Text"), {8, 12});
    Label1 = label("Label1", QStringLiteral("From"), {8, 36});
    Label2 = label("Label2", QStringLiteral("To"), {8, 60});

    SrcTextEdit = new QLineEdit(QStringLiteral("Input the text"), this);
    SrcTextEdit->setObjectName(QStringLiteral("SrcTextEdit"));
    SrcTextEdit->setGeometry(44, 8, 365, 19);
    SrcTextEdit->setFrame(false);
    Label3->setBuddy(SrcTextEdit);
    SrcTextEdit->setAccessibleName(QStringLiteral("Text"));

    FromBtnPanel = createColorButton(QStringLiteral("From"), {44, 32}, &FromColorPanel);
    ToBtnPanel = createColorButton(QStringLiteral("To"), {44, 56}, &ToColorPanel);

    PreviewRichEdit = new QTextEdit(this);
    PreviewRichEdit->setObjectName(QStringLiteral("PreviewRichEdit"));
    PreviewRichEdit->setGeometry(116, 32, 293, 21);
    PreviewRichEdit->setFrameShape(QFrame::NoFrame);
    PreviewRichEdit->setReadOnly(true);
    PreviewRichEdit->setLineWrapMode(QTextEdit::NoWrap);
    PreviewRichEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    PreviewRichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    PreviewRichEdit->document()->setDocumentMargin(1);
    PreviewRichEdit->setAccessibleName(QStringLiteral("Preview"));

    HTMLCodeRichEdit = new QTextEdit(this);
    HTMLCodeRichEdit->setObjectName(QStringLiteral("HTMLCodeRichEdit"));
    HTMLCodeRichEdit->setGeometry(116, 60, 293, 113);
    HTMLCodeRichEdit->setFrameShape(QFrame::NoFrame);
    HTMLCodeRichEdit->setLineWrapMode(QTextEdit::NoWrap);
    HTMLCodeRichEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    HTMLCodeRichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    HTMLCodeRichEdit->setAcceptRichText(false);
    HTMLCodeRichEdit->setAccessibleName(QStringLiteral("HTML code"));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(12, 84, 97, 21);
    Panel1->setFrameShape(QFrame::NoFrame);
    Panel1->setAutoFillBackground(true);
    QPalette black = Panel1->palette();
    black.setColor(QPalette::Window, Qt::black);
    Panel1->setPalette(black);

    GradBtn1 = new TGradBtn(Panel1);
    GradBtn1->setObjectName(QStringLiteral("GradBtn1"));
    GradBtn1->setGeometry(1, 1, 95, 19);
    GradBtn1->setBtnFrameSize(0);
    GradBtn1->setBeginColor(0x00000000);
    GradBtn1->setEndColor(0x00FFFFFF);
    GradBtn1->setGradientStyle(TGradientStyle::gsHorizontal);
    GradBtn1->setCaption(QStringLiteral(" "));
    GradBtn1->setEnabled(false);

    auto speedButton = [this](const char* name, const QString& caption, QRect geometry) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setText(caption);
        b->setAccessibleName(caption);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setGeometry(geometry);
        return b;
    };
    CopyRTFButton =
        speedButton("CopyRTFButton", QStringLiteral("Copy Rich Text"), QRect(8, 118, 101, 25));
    CopyHTMLButton =
        speedButton("CopyHTMLButton", QStringLiteral("Copy HTML"), QRect(8, 149, 101, 25));

    ColorDialog1 = new QColorDialog(this);
    ColorDialog1->setObjectName(QStringLiteral("ColorDialog1"));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(700);

    connect(SrcTextEdit, &QLineEdit::textChanged, this, [this] { SrcTextEditChange(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(CopyRTFButton, &QToolButton::clicked, this, [this] { CopyRTFButtonClick(); });
    connect(CopyHTMLButton, &QToolButton::clicked, this, [this] { CopyHTMLButtonClick(); });
}

// A raised panel framing a black canvas that holds the colour swatch. The inner panels
// leave mouse events to the outer one, so the three act as a single button.
QFrame* TGradientTextForm::createColorButton(const QString& prefix, QPoint position,
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

void TGradientTextForm::setPanelColor(QWidget* panel, quint32 color) {
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, toQColor(color, palette()));
    panel->setPalette(p);
}

void TGradientTextForm::FormCreate() {
    m_fromColor = 0x0000FFFF;
    m_toColor = 0x000000FF;
    setPanelColor(FromColorPanel, m_fromColor);
    setPanelColor(ToColorPanel, m_toColor);
    GradBtn1->setBeginColor(m_fromColor);
    GradBtn1->setEndColor(m_toColor);
}

void TGradientTextForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_centred) {
        centreOnScreen();
        m_centred = true;
    }
    FormShow();
}

void TGradientTextForm::centreOnScreen() {
    const QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!target)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(target->availableGeometry().center());
    move(frame.topLeft());
}

void TGradientTextForm::FormShow() {
    if (PreviewRichEdit->document()->isEmpty())
        BuildGradientText();
}

void TGradientTextForm::SrcTextEditChange() {
    Timer1->stop();
    Timer1->start();
}

void TGradientTextForm::Timer1Timer() {
    Timer1->stop();
    BuildGradientText();
}

void TGradientTextForm::BuildGradientText() {
    ++m_buildCount;
    PreviewRichEdit->clear();
    HTMLCodeRichEdit->clear();
    m_letters = colorLetters(SrcTextEdit->text(), m_fromColor, m_toColor);
    if (m_letters.empty())
        return;

    QTextCursor preview(PreviewRichEdit->document());
    QTextCharFormat letterFormat;
    for (const ColoredLetter& l : m_letters) {
        letterFormat.setForeground(toQColor(l.color, palette()));
        preview.insertText(l.letter, letterFormat);
    }

    QTextCursor code(HTMLCodeRichEdit->document());
    QTextCharFormat tagFormat;
    tagFormat.setFontWeight(QFont::Normal);
    tagFormat.setForeground(HTMLCodeRichEdit->palette().color(QPalette::Text));
    QTextCharFormat codeLetterFormat;
    codeLetterFormat.setFontWeight(QFont::Bold);
    for (const HtmlCodePiece& piece : htmlCodePieces(m_letters)) {
        if (piece.letter) {
            codeLetterFormat.setForeground(toQColor(piece.color, palette()));
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
    HTMLCodeRichEdit->moveCursor(QTextCursor::Start);
    PreviewRichEdit->moveCursor(QTextCursor::Start);
}

bool TGradientTextForm::eventFilter(QObject* watched, QEvent* event) {
    const bool from = watched == FromBtnPanel;
    if (!from && watched != ToBtnPanel)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        from ? FromBtnPanelMouseDown() : ToBtnPanelMouseDown();
        event->accept();
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        const QPoint position = static_cast<QMouseEvent*>(event)->position().toPoint();
        from ? FromBtnPanelMouseUp(position) : ToBtnPanelMouseUp(position);
        event->accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TGradientTextForm::FromBtnPanelMouseDown() {
    FromBtnPanel->setFrameShadow(QFrame::Sunken);
}

void TGradientTextForm::ToBtnPanelMouseDown() {
    ToBtnPanel->setFrameShadow(QFrame::Sunken);
}

void TGradientTextForm::FromBtnPanelMouseUp(const QPoint& position) {
    if (chooseColor(FromBtnPanel, FromColorPanel, position, m_fromColor)) {
        GradBtn1->setBeginColor(m_fromColor);
        BuildGradientText();
    }
}

void TGradientTextForm::ToBtnPanelMouseUp(const QPoint& position) {
    if (chooseColor(ToBtnPanel, ToColorPanel, position, m_toColor)) {
        GradBtn1->setEndColor(m_toColor);
        BuildGradientText();
    }
}

// The shared part of both colour buttons; true when `color` took a new value.
bool TGradientTextForm::chooseColor(QFrame* buttonPanel, QWidget* colorPanel,
                                    const QPoint& position, quint32& color) {
    buttonPanel->setFrameShadow(QFrame::Raised);
    if (!buttonPanel->rect().contains(position))
        return false;
    const std::optional<QColor> chosen = m_colorChooser(toQColor(color, palette()));
    if (!chosen || !chosen->isValid())
        return false;
    const quint32 value = fromQColor(*chosen);
    if (value == color)
        return false;
    color = value;
    setPanelColor(colorPanel, color);
    return true;
}

void TGradientTextForm::CopyRTFButtonClick() {
    // The copy leaves the caret where it was, with nothing selected.
    QTextCursor cursor = PreviewRichEdit->textCursor();
    const int caret = cursor.position();

    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/rtf"),
                  coloredLettersRtf(PreviewRichEdit->font(), m_letters));
    data->setHtml(QTextDocumentFragment(PreviewRichEdit->document()).toHtml());
    data->setText(PreviewRichEdit->toPlainText());
    QGuiApplication::clipboard()->setMimeData(data);

    cursor.setPosition(caret);
    PreviewRichEdit->setTextCursor(cursor);
}

void TGradientTextForm::CopyHTMLButtonClick() {
    QStringList lines = HTMLCodeRichEdit->toPlainText().split(QLatin1Char('\n'));
    // A final line break ends the last line; it does not start another.
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    QGuiApplication::clipboard()->setText(text);
}

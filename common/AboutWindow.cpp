// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AboutWindow.h"

#include "LineFigure.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>

namespace zelvorin {

namespace {

QFont pixelFont(const QString& family, int pixelSize, bool bold = false, bool underline = false) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

// Places a control at its position; the size given is a minimum, so that a desktop font
// wider than the one the window was laid out for never cuts a text.
void place(QWidget* widget, int left, int top, int width, int height) {
    const QSize hint = widget->sizeHint();
    widget->setGeometry(left, top, std::max(width, hint.width()), std::max(height, hint.height()));
}

QLabel* pictureLabel(QWidget* parent, const QString& name, const QPixmap& picture) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(picture);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

LineFigure* decorationLine(QWidget* parent, const QString& name, int left, int top,
                           const QColor& color) {
    auto* line = new LineFigure(parent);
    line->setObjectName(name);
    line->move(left, top);
    // The order a stored form applies them in.
    line->setWidth(71);
    line->setHeight(71);
    line->setLineStyle(LineFigure::Style::LeftDownToRightUp);
    line->setColor(color);
    line->setAngle(45);
    return line;
}

} // namespace

AboutWindow::AboutWindow(const QString& webEngineVersion, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_fontFamilies([] { return QFontDatabase::families(); }) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral(" About"));
    setModal(true);
    setFixedSize(326, 224);
    QFont small = QApplication::font();
    small.setPixelSize(11);
    setFont(small);

    m_version = new QLabel(QStringLiteral("    Version 1.70"), this);
    m_version->setObjectName(QStringLiteral("Label6"));
    place(m_version, 40, 84, 71, 13);

    m_webEngineLabel = new QLabel(this);
    m_webEngineLabel->setObjectName(QStringLiteral("WebEngineLabel"));
    m_webEngineLabel->setFont(pixelFont(small.family(), 9));
    m_webEngineLabel->setForegroundRole(QPalette::PlaceholderText);
    setWebEngineVersion(webEngineVersion);

    createDecorations();

    auto* bevel1 = new QFrame(this);
    bevel1->setObjectName(QStringLiteral("Bevel1"));
    bevel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bevel1->setLineWidth(1);
    bevel1->setAttribute(Qt::WA_TransparentForMouseEvents);
    bevel1->setGeometry(16, 112, 293, 57);

    createLinks();
    createTitle();

    auto* panel1 = new QWidget(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setGeometry(0, 224 - 41, 326, 41);
    m_okButton = new QPushButton(QStringLiteral("Good"), panel1);
    m_okButton->setObjectName(QStringLiteral("OkButton"));
    m_okButton->setFont(pixelFont(QStringLiteral("Arial"), 12));
    m_okButton->setGeometry(236, 4, 75, 25);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
}

void AboutWindow::createDecorations() {
    QLabel* image3 = pictureLabel(this, QStringLiteral("Image3"), tilesPicture());
    image3->setGeometry(12, 60, 105, 105);
    QLabel* image2 = pictureLabel(this, QStringLiteral("Image2"), brushPicture());
    image2->setGeometry(268, 124, 49, 53);

    m_line3 = decorationLine(this, QStringLiteral("Line_3"), -10, -10, Qt::yellow);
    m_line4 = decorationLine(this, QStringLiteral("Line_4"), -8, -8, QColor(0xFF, 0x6C, 0x6C));
    m_line2 = decorationLine(this, QStringLiteral("Line_2"), -12, -13, QColor(0, 0xFF, 0));
}

void AboutWindow::createLinks() {
    const QColor blue(Qt::blue);
    m_webSiteLink = new LinkLabel(QString::fromLatin1(WebSiteAddress), this);
    m_webSiteLink->setObjectName(QStringLiteral("UsefulLabel1"));
    m_webSiteLink->setAccessibleName(QStringLiteral("Web-site"));
    m_webSiteLink->setFont(pixelFont(QStringLiteral("Arial"), 12, true, true));
    m_webSiteLink->setActiveText(true);
    m_webSiteLink->setStartsLinkOnClick(true);
    place(m_webSiteLink, 96, 120, 166, 15);

    m_contactsLink =
        new LinkLabel(QStringLiteral("Click here to view other our contacts..."), this);
    m_contactsLink->setObjectName(QStringLiteral("UsefulLabel5"));
    m_contactsLink->setFont(pixelFont(QStringLiteral("Arial"), 12));
    m_contactsLink->setActiveText(true);
    m_contactsLink->setCursor(Qt::PointingHandCursor);
    place(m_contactsLink, 44, 144, 205, 15);
    connect(m_contactsLink, &LinkLabel::clicked, this, &AboutWindow::showContacts);

    auto* label5 = new QLabel(QStringLiteral("Web-site:"), this);
    label5->setObjectName(QStringLiteral("Label5"));
    label5->setFont(pixelFont(QStringLiteral("Arial"), 12));
    label5->setForegroundRole(QPalette::WindowText);
    place(label5, 36, 120, 52, 15);
}

void AboutWindow::createTitle() {
    m_titleShadow = new QLabel(QStringLiteral("Zelvorin"), this);
    m_titleShadow->setObjectName(QStringLiteral("TitleLabel1Shadow"));
    QPalette shadow = m_titleShadow->palette();
    shadow.setColor(QPalette::WindowText, palette().color(QPalette::Dark));
    m_titleShadow->setPalette(shadow);
    m_titleShadow->move(16, 12);

    m_title = new QLabel(QStringLiteral("Zelvorin"), this);
    m_title->setObjectName(QStringLiteral("TitleLabel1"));
    m_title->move(12, 8);
    applyTitleFont(QStringLiteral("Verdana"));
}

void AboutWindow::applyTitleFont(const QString& family) {
    for (QLabel* label : {m_titleShadow, m_title}) {
        label->setFont(pixelFont(family, 39, true));
        label->adjustSize();
    }
}

void AboutWindow::setWebEngineVersion(const QString& version) {
    m_webEngineLabel->setText(QStringLiteral("    Web engine: Chromium %1").arg(version));
    m_webEngineLabel->setVisible(!version.isEmpty());
    place(m_webEngineLabel, 40, 98, 71, 12);
}

QString AboutWindow::titleFontFamily(const QStringList& installedFamilies) {
    for (const QString& family : installedFamilies) {
        if (family.compare(QLatin1String("Verdana"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("Verdana");
    }
    return QStringLiteral("Arial");
}

void AboutWindow::setFontFamiliesProvider(FontFamiliesProvider provider) {
    if (provider)
        m_fontFamilies = std::move(provider);
    else
        m_fontFamilies = [] { return QFontDatabase::families(); };
}

void AboutWindow::setLinkOpener(LinkLabel::LinkOpener opener) {
    m_webSiteLink->setLinkOpener(std::move(opener));
}

void AboutWindow::showContacts() {
    emit helpTopicRequested(QString::fromLatin1(ContactsTopic));
}

void AboutWindow::showEvent(QShowEvent* event) {
    applyTitleFont(titleFontFamily(m_fontFamilies()));
    if (const QScreen* shown = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(shown->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

void AboutWindow::keyPressEvent(QKeyEvent* event) {
    // There is no cancel button, so Escape must not close the window.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

QPixmap AboutWindow::tilesPicture() {
    // A swatch of a tiled background: four tiles, each with the same small motif.
    QPixmap picture(25, 25);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    const QColor light(0xF4, 0xE3, 0xB5);
    const QColor dark(0x5B, 0x8F, 0xC8);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            const QRect tile(column * 12, row * 12, 12, 12);
            painter.fillRect(tile, light);
            painter.fillRect(tile.adjusted(3, 3, -3, -3), dark);
            painter.setPen(dark.darker(130));
            painter.drawLine(tile.topLeft(), tile.bottomRight());
        }
    }
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.drawRect(0, 0, 24, 24);
    return picture;
}

QPixmap AboutWindow::brushPicture() {
    // A paintbrush leaning to the lower left, with a drop of paint at its tip.
    QPixmap picture(38, 39);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(19, 19.5);
    painter.rotate(45);
    painter.setPen(QPen(QColor(0x4A, 0x2A, 0x10), 1));
    painter.setBrush(QColor(0xB0, 0x6A, 0x2C));
    painter.drawRoundedRect(QRectF(-3, -22, 6, 22), 3, 3);
    painter.setBrush(QColor(0xC0, 0xC0, 0xC8));
    painter.setPen(QPen(QColor(0x60, 0x60, 0x68), 1));
    painter.drawRect(QRectF(-3.5, 0, 7, 5));
    QPainterPath bristles;
    bristles.moveTo(-3.5, 5);
    bristles.lineTo(3.5, 5);
    bristles.quadTo(3.5, 13, 0, 17);
    bristles.quadTo(-3.5, 13, -3.5, 5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xD0, 0x20, 0x30));
    painter.drawPath(bristles);
    return picture;
}

} // namespace zelvorin

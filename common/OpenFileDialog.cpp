// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "OpenFileDialog.h"

#include "ImageFormats.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace zelvorin {

const QList<OpenFileFilter>& openFileFilters() {
    static const QList<OpenFileFilter> filters{
        {QStringLiteral("HTML files (*.htm*;*.shtml;*.asp;*.mht)"),
         QStringLiteral("*.htm*;*.shtml;*.asp;*.mht")},
        {QStringLiteral("Images (%1)").arg(WebImageMask()), WebImageMask()},
        {QStringLiteral("Documents  (*.txt;*.htm*;*.shtml;*.asp;*.mht;*.nws;*.eml)"),
         QStringLiteral("*.txt;*.htm*;*.shtml;*.asp;*.mht;*.nws;*.eml")},
        {QStringLiteral("All files (*.*)"), QStringLiteral("*.*")},
    };
    return filters;
}

int filterIndexForKind(int kind) {
    switch (kind) {
    case 1:
        return 3;
    case 2:
        return 1;
    case 3:
        return 2;
    default:
        return 4;
    }
}

QString qtNameFilter(const OpenFileFilter& filter) {
    // Qt reads blank-separated patterns inside the parentheses; ";" would be taken as part
    // of one pattern.
    QStringList patterns;
    for (const QString& mask : filter.masks.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        patterns.append(mask == QLatin1String("*.*") ? QStringLiteral("*") : mask);
    const qsizetype open = filter.description.lastIndexOf(QLatin1Char('('));
    const QString label = open >= 0 ? filter.description.left(open) : filter.description + ' ';
    return label + '(' + patterns.join(QLatin1Char(' ')) + ')';
}

bool containsCaseInsensitive(const QStringList& list, const QString& text) {
    for (const QString& entry : list) {
        if (entry.compare(text, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

OpenFileLayout arrangeOpenFileControls(const QRect& combo, const QRect& browse, const QSize& ok,
                                       const QSize& cancel) {
    OpenFileLayout layout;
    const int top = combo.top() + combo.height() + 11;
    layout.browse = QRect(QPoint(browse.left(), top), browse.size());
    const int cancelLeft = combo.left() + combo.width() - cancel.width();
    layout.cancel = QRect(QPoint(cancelLeft, top), cancel);
    layout.ok = QRect(QPoint(cancelLeft - ok.width() - 13, top), ok);
    layout.client = QSize(combo.left() + combo.width() + 15, top + browse.height() + 9);
    return layout;
}

namespace {

QString browseWithDesktop(QWidget* parent, const QList<OpenFileFilter>& filters, int filterIndex) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    QStringList nameFilters;
    for (const OpenFileFilter& filter : filters)
        nameFilters.append(zelvorin::qtNameFilter(filter));
    dialog.setNameFilters(nameFilters);
    if (filterIndex >= 1 && filterIndex <= nameFilters.size())
        dialog.selectNameFilter(nameFilters.at(filterIndex - 1));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

} // namespace

OpenFileDialog::OpenFileDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      m_browse(browseWithDesktop) {
    setObjectName(QStringLiteral("OpenFileForm"));
    setWindowTitle(QStringLiteral("Open"));
    setModal(true);
    QFont small = QApplication::font();
    small.setPixelSize(11);
    setFont(small);

    m_fileNameComboBox = new QComboBox(this);
    m_fileNameComboBox->setObjectName(QStringLiteral("FileNameComboBox"));
    m_fileNameComboBox->setAccessibleName(QStringLiteral("File name or address"));
    m_fileNameComboBox->setEditable(true);
    // The list grows only through execute, and the text stays exactly as typed.
    m_fileNameComboBox->setInsertPolicy(QComboBox::NoInsert);
    m_fileNameComboBox->setCompleter(nullptr);
    m_fileNameComboBox->setGeometry(12, 8, 401,
                                    std::max(21, m_fileNameComboBox->sizeHint().height()));

    m_browseButton = new QPushButton(QStringLiteral("Browse ..."), this);
    m_browseButton->setObjectName(QStringLiteral("BrowseButton"));
    m_browseButton->setGeometry(26, 40, 75, 25);

    m_okButton = new QPushButton(QStringLiteral("Ok"), this);
    m_okButton->setObjectName(QStringLiteral("OkButton"));
    m_okButton->setGeometry(250, 40, 75, 25);
    m_okButton->setDefault(true);

    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("CancelButton"));
    m_cancelButton->setGeometry(338, 40, 75, 25);

    setTabOrder(m_browseButton, m_fileNameComboBox);
    setTabOrder(m_fileNameComboBox, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);

    connect(m_fileNameComboBox, &QComboBox::editTextChanged, this, &OpenFileDialog::takeTypedName);
    connect(m_browseButton, &QPushButton::clicked, this, &OpenFileDialog::browseForFile);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    arrangeControls();
}

void OpenFileDialog::setBrowseFunction(BrowseFunction browse) {
    m_browse = browse ? std::move(browse) : BrowseFunction(browseWithDesktop);
}

QStringList OpenFileDialog::history() const {
    QStringList items;
    for (int i = 0; i < m_fileNameComboBox->count(); ++i)
        items.append(m_fileNameComboBox->itemText(i));
    return items;
}

bool OpenFileDialog::execute(int kind) {
    m_filterIndex = filterIndexForKind(kind);
    if (exec() != QDialog::Accepted)
        return false;
    if (m_fileName.trimmed().isEmpty())
        return false;
    const QString text = m_fileNameComboBox->currentText();
    if (!containsCaseInsensitive(history(), text))
        m_fileNameComboBox->addItem(text);
    return true;
}

void OpenFileDialog::arrangeControls() {
    const OpenFileLayout layout =
        arrangeOpenFileControls(m_fileNameComboBox->geometry(), m_browseButton->geometry(),
                                m_okButton->size(), m_cancelButton->size());
    m_browseButton->setGeometry(layout.browse);
    m_okButton->setGeometry(layout.ok);
    m_cancelButton->setGeometry(layout.cancel);
    setFixedSize(layout.client);
}

void OpenFileDialog::showEvent(QShowEvent* event) {
    arrangeControls();
    if (const QScreen* shown = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(shown->availableGeometry().center());
        move(frame.topLeft());
    }
    m_fileNameComboBox->setCurrentIndex(-1);
    m_fileNameComboBox->clearEditText();
    m_fileName.clear();
    m_okButton->setEnabled(false);
    QDialog::showEvent(event);
    m_browseButton->setFocus();
}

void OpenFileDialog::takeTypedName() {
    const QString text = m_fileNameComboBox->currentText();
    if (text.trimmed().isEmpty()) {
        m_okButton->setEnabled(false);
        return;
    }
    m_fileName = text;
    m_okButton->setEnabled(true);
}

void OpenFileDialog::browseForFile() {
    const QString chosen = m_browse(this, openFileFilters(), m_filterIndex);
    if (chosen.isEmpty())
        return;
    m_fileNameComboBox->setEditText(chosen);
    takeTypedName();
    m_fileNameComboBox->setFocus();
    if (QLineEdit* edit = m_fileNameComboBox->lineEdit()) {
        edit->deselect();
        edit->setCursorPosition(static_cast<int>(edit->text().size()));
    }
}

void OpenFileDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AddCustomFilterDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace zelvorin {

AddCustomFilterDialog::AddCustomFilterDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AddCustomFilterForm"));
    setWindowTitle(QStringLiteral(" Add custom filter"));
    setFixedSize(238, 158);

    auto* maskLabel = new QLabel(QStringLiteral("File mask:"), this);
    maskLabel->setObjectName(QStringLiteral("Label1"));
    maskLabel->setGeometry(12, 10, 214, 16);
    m_fileMaskEdit = new QLineEdit(QStringLiteral("*.*"), this);
    m_fileMaskEdit->setObjectName(QStringLiteral("FileMaskEdit"));
    m_fileMaskEdit->setAccessibleName(QStringLiteral("File mask"));
    m_fileMaskEdit->setGeometry(12, 28, 214, 22);
    maskLabel->setBuddy(m_fileMaskEdit);

    auto* nameLabel = new QLabel(QStringLiteral("Filter name:"), this);
    nameLabel->setObjectName(QStringLiteral("Label2"));
    nameLabel->setGeometry(12, 58, 214, 16);
    m_filterNameEdit = new QLineEdit(QStringLiteral("Custom filter #1"), this);
    m_filterNameEdit->setObjectName(QStringLiteral("FilterNameEdit"));
    m_filterNameEdit->setAccessibleName(QStringLiteral("Filter name"));
    m_filterNameEdit->setGeometry(12, 76, 214, 22);
    nameLabel->setBuddy(m_filterNameEdit);

    m_addButton = new QPushButton(QStringLiteral("Add"), this);
    m_addButton->setObjectName(QStringLiteral("AddButton"));
    m_addButton->setGeometry(46, 116, 86, 26);
    m_addButton->setEnabled(false);
    m_addButton->setDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("CancelButton"));
    m_cancelButton->setGeometry(140, 116, 86, 26);

    connect(m_fileMaskEdit, &QLineEdit::textChanged, this, &AddCustomFilterDialog::enableAdd);
    connect(m_filterNameEdit, &QLineEdit::textChanged, this, &AddCustomFilterDialog::enableAdd);
    connect(m_addButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void AddCustomFilterDialog::enableAdd() {
    const QString mask = m_fileMaskEdit->text();
    const QString name = m_filterNameEdit->text();
    const bool bar = mask.contains(QLatin1Char('|')) || name.contains(QLatin1Char('|'));
    m_addButton->setEnabled(!mask.isEmpty() && !name.isEmpty() && !bar);
}

void AddCustomFilterDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_fileMaskEdit->setFocus();
    enableAdd();
}

} // namespace zelvorin

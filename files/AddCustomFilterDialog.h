// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The dialog that names a new file filter; made once and reused, it keeps what was typed.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zelvorin {

class AddCustomFilterDialog : public QDialog {
    Q_OBJECT
public:
    explicit AddCustomFilterDialog(QWidget* parent = nullptr);

    QLineEdit* fileMaskEdit() const { return m_fileMaskEdit; }
    QLineEdit* filterNameEdit() const { return m_filterNameEdit; }
    QPushButton* addButton() const { return m_addButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Enables "Add" exactly when both edits hold some text (blanks count) and neither
    // holds a "|", which would shift the pairs of the filter text.
    void enableAdd();

    QLineEdit* m_fileMaskEdit = nullptr;
    QLineEdit* m_filterNameEdit = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

} // namespace zelvorin

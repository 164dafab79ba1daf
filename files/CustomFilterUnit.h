// File filters: the filter box that holds description and mask pairs and gives the file
// list the mask of its selection, the main window's six-entry filter text, and the
// dialog that names a new custom filter.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QPointer>
#include <QStringList>

class QLabel;
class QLineEdit;
class QPushButton;
#include "UsefulFileControls.h"

namespace zelvorin {

// The main window's filter text: five fixed filters and "Add custom filter...".
extern const QString MainFilterText;
inline const QString AddCustomFilterText = QStringLiteral("Add custom filter...");

// Splits a filter text into descriptions and masks; a trailing description without a
// "|" after it is dropped.
void SplitFilterText(const QString& text, QStringList* descriptions, QStringList* masks);

} // namespace zelvorin

// The filter box: a drop-down list of filter descriptions bound to a file list.
class TFilterComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TFilterComboBox(QWidget* parent = nullptr);

    QString Filter() const { return m_filter; }
    // Ignored when equal to the current text (without regard to case); otherwise
    // rebuilds the entries, selects the first and raises the change notification.
    void SetFilter(const QString& text);
    // The mask of the selection; with nothing selected the last entry is selected first;
    // "*.*" for an empty box.
    QString Mask();
    QStringList Masks() const { return m_masks; }

    TUsefulFileBox* FileList() const { return m_fileList; }
    void SetFileList(TUsefulFileBox* list);

    // Gives the file list the mask of the selection, then raises Change().
    void DoChange();

signals:
    // The change notification (the box's OnChange).
    void Change();

private:
    QString m_filter;
    QStringList m_masks;
    QPointer<TUsefulFileBox> m_fileList;
};

// The dialog that names a new filter; created once and reused, it keeps what was typed.
class TAddCustomFilterForm : public QDialog {
    Q_OBJECT
public:
    explicit TAddCustomFilterForm(QWidget* parent = nullptr);

    QLineEdit* FileMaskEdit() const { return m_fileMaskEdit; }
    QLineEdit* FilterNameEdit() const { return m_filterNameEdit; }
    QPushButton* AddButton() const { return m_addButton; }
    QPushButton* CancelButton() const { return m_cancelButton; }

    // Enables "Add" exactly when both edits hold some text (blanks count) and neither
    // holds a "|", which would shift the pairs of the filter text.
    void FileMaskEditChange();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_label1 = nullptr;
    QLineEdit* m_fileMaskEdit = nullptr;
    QLabel* m_label2 = nullptr;
    QLineEdit* m_filterNameEdit = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

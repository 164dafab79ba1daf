// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The small modal window in which the user types a file name or address, or picks a file
// with the desktop's file-open dialog, and confirms it. One instance lives for the whole
// run, so the names confirmed during the run stay in its drop-down list.
#pragma once

#include <QDialog>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

class QComboBox;
class QPushButton;

namespace zelvorin {

struct OpenFileFilter {
    QString description;
    QString masks;
};

// The filters the browse dialog offers, in order (index from 1).
const QList<OpenFileFilter>& openFileFilters();
// The filter preselected for a kind of request: 1 documents, 2 HTML, 3 images, else all.
int filterIndexForKind(int kind);
// The filter as the Qt file dialog reads it: its patterns separated by blanks, "*.*"
// meaning every name (with or without a dot).
QString qtNameFilter(const OpenFileFilter& filter);
bool containsCaseInsensitive(const QStringList& list, const QString& text);

struct OpenFileLayout {
    QRect browse;
    QRect ok;
    QRect cancel;
    QSize client;
};
// Places the buttons below the combo box and sizes the window around them, so the window
// follows the size of the combo box.
OpenFileLayout arrangeOpenFileControls(const QRect& combo, const QRect& browse, const QSize& ok,
                                       const QSize& cancel);

class OpenFileDialog : public QDialog {
    Q_OBJECT

public:
    // Runs a file-open dialog; returns the chosen full name, or an empty text on cancel.
    using BrowseFunction = std::function<QString(
        QWidget* parent, const QList<OpenFileFilter>& filters, int filterIndex)>;

    explicit OpenFileDialog(QWidget* parent = nullptr);

    // Shows the window modally; on true the confirmed text is in fileName(). The caller
    // sets the caption first.
    bool execute(int kind);
    QString fileName() const { return m_fileName; }

    // The filter the browse dialog preselects (index from 1), set by execute.
    int filterIndex() const { return m_filterIndex; }
    QStringList history() const;
    // Replaces the desktop's file-open dialog (tests, other front ends).
    void setBrowseFunction(BrowseFunction browse);

    QComboBox* fileNameComboBox() const { return m_fileNameComboBox; }
    QPushButton* browseButton() const { return m_browseButton; }
    QPushButton* okButton() const { return m_okButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }

public slots:
    void takeTypedName();
    void browseForFile();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void arrangeControls();

    QComboBox* m_fileNameComboBox = nullptr;
    QPushButton* m_browseButton = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QString m_fileName;
    int m_filterIndex = 4;
    BrowseFunction m_browse;
};

} // namespace zelvorin

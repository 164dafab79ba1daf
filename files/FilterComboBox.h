// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// File filters: the filter box that holds description and mask pairs and gives the folder
// session's files the mask of its selection, and the main window's six-entry filter text.
#pragma once

#include <QComboBox>
#include <QStringList>

namespace zelvorin {

class FolderSession;

// The main window's filter text: five fixed filters and "Add custom filter...".
extern const QString MainFilterText;
inline const QString AddCustomFilterText = QStringLiteral("Add custom filter...");

// Splits a filter text into descriptions and masks; a trailing description without a
// "|" after it is dropped.
void splitFilterText(const QString& text, QStringList* descriptions, QStringList* masks);

class FilterComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit FilterComboBox(FolderSession* session, QWidget* parent = nullptr);

    QString filterText() const { return m_filterText; }
    // Ignored when equal to the current text (without regard to case); otherwise
    // rebuilds the entries, selects the first and applies it.
    void setFilterText(const QString& text);
    // The mask of the selection; with nothing selected the last entry is selected first;
    // "*.*" for an empty box.
    QString mask();
    QStringList masks() const { return m_masks; }

    // Gives the files the mask of the selection, then raises filterApplied().
    void applySelection();

signals:
    void filterApplied();

private:
    FolderSession* m_session = nullptr;
    QString m_filterText;
    QStringList m_masks;
};

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FilterComboBox.h"

#include "FolderFiles.h"
#include "FolderSession.h"
#include "ImageFormats.h"

namespace zelvorin {

// The two image filters list the images of today's web; their positions, which the
// settings keep, stay where they were.
const QString MainFilterText =
    QStringLiteral("Background Images (%1)|%1|"
                   "HTML files (*.htm*;*.shtml;*.asp;*.mht)|*.htm*;*.shtml;*.asp;*.mht|"
                   "Images (%1)|%1|"
                   "Documents  (*.txt;*.htm*;*.shtml;*.asp;*.mht;*.nws;*.eml)|"
                   "*.txt;*.htm*;*.shtml;*.asp;*.mht;*.nws;*.eml|"
                   "All files (*.*)|*.*|"
                   "Add custom filter...| ")
        .arg(WebImageMask());

void splitFilterText(const QString& text, QStringList* descriptions, QStringList* masks) {
    descriptions->clear();
    masks->clear();
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype bar = text.indexOf(QLatin1Char('|'), start);
        if (bar < 0)
            break; // a description with no mask after it
        const QString description = text.mid(start, bar - start);
        const qsizetype next = text.indexOf(QLatin1Char('|'), bar + 1);
        const QString mask = next < 0 ? text.mid(bar + 1) : text.mid(bar + 1, next - bar - 1);
        descriptions->append(description);
        masks->append(mask);
        if (next < 0)
            break;
        start = next + 1;
    }
}

FilterComboBox::FilterComboBox(FolderSession* session, QWidget* parent)
    : QComboBox(parent), m_session(session) {
    setEditable(false);
    // A user's choice arrives as a click and then as a change on the platform the
    // filter rules were written for; the file panel's guard flag counts on both.
    connect(this, &QComboBox::activated, this, [this] {
        applySelection();
        applySelection();
    });
}

void FilterComboBox::setFilterText(const QString& text) {
    if (QString::compare(text, m_filterText, Qt::CaseInsensitive) == 0 && count() > 0)
        return;
    m_filterText = text;
    QStringList descriptions;
    splitFilterText(text, &descriptions, &m_masks);
    {
        const QSignalBlocker blocker(this);
        clear();
        addItems(descriptions);
        setCurrentIndex(descriptions.isEmpty() ? -1 : 0);
    }
    applySelection();
}

QString FilterComboBox::mask() {
    if (currentIndex() < 0 && count() > 0) {
        const QSignalBlocker blocker(this);
        setCurrentIndex(count() - 1);
    }
    if (count() == 0 || currentIndex() < 0 || currentIndex() >= m_masks.size())
        return QStringLiteral("*.*");
    return m_masks.at(currentIndex());
}

void FilterComboBox::applySelection() {
    m_session->files()->setMask(mask());
    emit filterApplied();
}

} // namespace zelvorin

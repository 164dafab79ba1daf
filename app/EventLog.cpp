// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "EventLog.h"

namespace zelvorin {

EventLog::EventLog(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName("LogRichEdit");
    setAccessibleName(QStringLiteral("Event log"));
    setReadOnly(true);
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUndoRedoEnabled(false);
    // 16250871 is 0xF7F7F7: a very light grey.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, QColor(0xF7, 0xF7, 0xF7));
    setPalette(colours);
    hide();
}

void EventLog::addLine(const QString& line) {
    if (m_lineCount > MaxLines)
        clearLines();
    // A line with breaks of its own would count as several; keep one entry per event.
    QString single = line;
    single.replace('\n', ' ').replace('\r', ' ');
    appendPlainText(single);
    ++m_lineCount;
}

void EventLog::clearLines() {
    clear();
    m_lineCount = 0;
}

} // namespace zelvorin

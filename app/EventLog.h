// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The event log pane: a running text log of everything the browser reports, kept at most
// 1001 lines (it is emptied before a line is added once it holds more than 1000). Hidden
// at start; only the developer entries show and clear it.
#pragma once

#include <QPlainTextEdit>

namespace zelvorin {

class EventLog : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int MaxLines = 1000;

    explicit EventLog(QWidget* parent = nullptr);

    void addLine(const QString& line);
    void clearLines();
    int lineCount() const { return m_lineCount; }

private:
    int m_lineCount = 0;
};

} // namespace zelvorin

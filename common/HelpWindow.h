// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The help window: shows the program's HTML help pages, one anchor per topic identifier.
// One window serves the whole run (the program values keep it); a help file that cannot
// be found is reported in the window itself.
#pragma once

#include <QDialog>
#include <QString>

class QTextBrowser;

namespace zelvorin {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the topic's anchor of the help file and brings the window to the front.
    void ShowTopic(const QString& helpFile, const QString& topic);

    QString CurrentFile() const { return m_file; }
    QString CurrentTopic() const { return m_topic; }
    // True when the last request found no help file.
    bool FileMissing() const { return m_missing; }
    QTextBrowser* Browser() const { return m_browser; }

private:
    QTextBrowser* m_browser = nullptr;
    QString m_file;
    QString m_topic;
    bool m_missing = false;
};

// Help contexts: a control's number of the help file's topic about it (the help pages have
// an anchor "context-<number>" for each). A control without one takes its parent's.
void SetHelpContext(QWidget* widget, int context);
// The context of the widget or of its nearest parent that has one; 0 for none.
int HelpContextOf(const QWidget* widget);
QString HelpContextTopic(int context);

} // namespace zelvorin

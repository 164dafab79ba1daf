// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the status bar shows when several things report at once.
//
// Page loads, downloads and folder reads each keep their own figure. The gauge follows the
// activity that started first until it ends, named on the gauge ("Folder 10%"), so one
// activity's figure never jumps with another's progress.
//
// Texts come from several sources too. The newest one shows; a source that withdraws its
// text (sets it empty) uncovers the one before it, so the program's note about the chosen
// image comes back when the link under the pointer or "Loading..." is gone.
#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

namespace zelvorin {

class StatusBar;

class StatusReports : public QObject {
    Q_OBJECT
public:
    enum class Activity { Page, Download, Folder };
    enum class Source { Note, Browser, Download, Folder, Settings };

    // Shows on the given bar, and lives as long as it does.
    explicit StatusReports(StatusBar* bar);

    // A running activity at a percentage (0 to 100); not running ends it.
    void setProgress(Activity activity, bool running, int percent);
    // An empty text withdraws the source's text.
    void setText(Source source, const QString& text);

    std::optional<Activity> gaugeActivity() const;

private:
    struct Progress {
        Activity activity;
        int percent;
    };
    struct Text {
        Source source;
        QString text;
    };

    void showGauge();

    StatusBar* m_bar;
    // Running activities in the order they started.
    QList<Progress> m_running;
    // Sources with a text, the newest last.
    QList<Text> m_texts;
};

// The name the gauge gives an activity.
QString activityName(StatusReports::Activity activity);

} // namespace zelvorin

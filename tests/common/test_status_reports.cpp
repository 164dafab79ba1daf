// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Several activities and text sources sharing the status bar: each keeps its own figure,
// and a withdrawn text uncovers the one it covered.
#include "StatusBar.h"
#include "StatusReports.h"
#include "TestEnvironment.h"

using zelvorin::StatusReports;
using Activity = StatusReports::Activity;
using Source = StatusReports::Source;

namespace {
// One step of a script: an activity's progress (a percent below 0 ends it).
struct Step {
    Activity activity;
    int percent;
};
using Texts = QList<std::pair<Source, QString>>;
} // namespace

Q_DECLARE_METATYPE(QList<Step>)
Q_DECLARE_METATYPE(Texts)

class StatusReportsTest : public QObject {
    Q_OBJECT

private slots:
    void gaugeFollowsTheFirstStarted_data() {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QString>("shown");
        QTest::newRow("alone") << QList<Step>{{Activity::Folder, 10}} << "Folder 10%";
        QTest::newRow("a page load does not move the folder read")
            << QList<Step>{{Activity::Folder, 10}, {Activity::Page, 42}, {Activity::Page, 80}}
            << "Folder 10%";
        QTest::newRow("the folder read moves on under a page load")
            << QList<Step>{{Activity::Folder, 10}, {Activity::Page, 42}, {Activity::Folder, 20}}
            << "Folder 20%";
        QTest::newRow("the next one shows when the first ends")
            << QList<Step>{{Activity::Folder, 10},
                           {Activity::Page, 42},
                           {Activity::Download, 5},
                           {Activity::Folder, -1}}
            << "Page 42%";
        QTest::newRow("a download started last shows when the others end")
            << QList<Step>{{Activity::Page, 42}, {Activity::Download, 5}, {Activity::Page, -1}}
            << "Download 5%";
        QTest::newRow("an ended activity restarts behind the running one")
            << QList<Step>{{Activity::Page, 42},
                           {Activity::Page, -1},
                           {Activity::Folder, 3},
                           {Activity::Page, 0}}
            << "Folder 3%";
        QTest::newRow("figures beyond the ends are held to them")
            << QList<Step>{{Activity::Download, 250}} << "Download 100%";
        QTest::newRow("all ended")
            << QList<Step>{{Activity::Page, 42}, {Activity::Page, -1}} << QString();
    }

    void gaugeFollowsTheFirstStarted() {
        QFETCH(QList<Step>, steps);
        QFETCH(QString, shown);
        zelvorin::StatusBar bar;
        StatusReports reports(&bar);
        for (const Step& step : steps)
            reports.setProgress(step.activity, step.percent >= 0, step.percent);
        QCOMPARE(bar.gaugeShown(), !shown.isEmpty());
        if (!shown.isEmpty())
            QCOMPARE(zelvorin::gaugeText(bar.gaugePosition(), bar.gaugeLabel()), shown);
    }

    void withdrawnTextsUncoverTheNote_data() {
        QTest::addColumn<Texts>("texts");
        QTest::addColumn<QString>("shown");
        const QString note = "paper.png 1 KB, 48 x 48 \u2014 Text contrast 3.1:1 at worst";
        QTest::newRow("a link under the pointer covers the note")
            << Texts{{Source::Note, note}, {Source::Browser, "https://example.org/"}}
            << "https://example.org/";
        QTest::newRow("the note comes back when the pointer leaves")
            << Texts{{Source::Note, note},
                     {Source::Browser, "https://example.org/"},
                     {Source::Browser, "Loading..."},
                     {Source::Browser, ""}}
            << note;
        QTest::newRow("and after a folder read") << Texts{{Source::Note, note},
                                                          {Source::Folder, "Reading folder... 10"},
                                                          {Source::Browser, "https://example.org/"},
                                                          {Source::Folder, ""},
                                                          {Source::Browser, ""}}
                                                 << note;
        QTest::newRow("a new note replaces the old one")
            << Texts{{Source::Note, note},
                     {Source::Browser, "https://example.org/"},
                     {Source::Note, "linen.jpg"},
                     {Source::Browser, ""}}
            << "linen.jpg";
        QTest::newRow("a withdrawn note leaves nothing")
            << Texts{{Source::Note, note}, {Source::Note, ""}} << QString();
    }

    void withdrawnTextsUncoverTheNote() {
        QFETCH(Texts, texts);
        QFETCH(QString, shown);
        zelvorin::StatusBar bar;
        StatusReports reports(&bar);
        for (const auto& [source, text] : texts)
            reports.setText(source, text);
        QCOMPARE(bar.text(), shown);
    }
};

ZELVORIN_TEST_MAIN(StatusReportsTest)
#include "test_status_reports.moc"

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AddCustomFilterDialog.h"
#include "FilePanel.h"
#include "FileTestSupport.h"
#include "FilterComboBox.h"
#include "FolderFiles.h"
#include "FolderSession.h"
#include "TestEnvironment.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace zelvorin;

namespace {

// Answers the custom filter dialog once it is shown: fills the edits (unless null) and
// presses Add, or presses Cancel.
int dialogRuns = 0;

void answerDialog(AddCustomFilterDialog* form, const QString& name, const QString& mask, bool add) {
    QTimer::singleShot(0, form, [=] {
        ++dialogRuns;
        if (!name.isNull()) {
            form->filterNameEdit()->setText(name);
            form->fileMaskEdit()->setText(mask);
        }
        QTest::mouseClick(add ? form->addButton() : form->cancelButton(), Qt::LeftButton);
    });
}

} // namespace

class FilterComboBoxTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<FilePanel> makePanel() {
        const QString path = m_dir.path() + "/files";
        QDir().mkpath(path);
        test::touchAll(path, {"a.jpg", "b.gif", "page.html", "notes.txt", "icon.ico", "readme"});
        auto panel = std::make_unique<FilePanel>(nullptr);
        panel->resize(170, 500);
        panel->show();
        panel->showStartingFolder(path);
        return panel;
    }

private slots:
    void init() { test::resetCurrentFolder(); }

    void splitting_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("descriptions");
        QTest::addColumn<QStringList>("masks");
        QTest::newRow("pairs") << "A|*.a|B|*.b" << QStringList{"A", "B"}
                               << QStringList{"*.a", "*.b"};
        QTest::newRow("trailing bar") << "A|*.a|" << QStringList{"A"} << QStringList{"*.a"};
        QTest::newRow("lone description dropped")
            << "A|*.a|B" << QStringList{"A"} << QStringList{"*.a"};
        QTest::newRow("blank mask")
            << "Add custom filter...| " << QStringList{"Add custom filter..."} << QStringList{" "};
        QTest::newRow("empty") << "" << QStringList{} << QStringList{};
    }
    void splitting() {
        QFETCH(QString, text);
        QFETCH(QStringList, descriptions);
        QFETCH(QStringList, masks);
        QStringList d;
        QStringList m;
        splitFilterText(text, &d, &m);
        QCOMPARE(d, descriptions);
        QCOMPARE(m, masks);
    }

    void mainFilterText() {
        QStringList d;
        QStringList m;
        splitFilterText(MainFilterText, &d, &m);
        QCOMPARE(
            d,
            QStringList(
                {"Background Images "
                 "(*.jpg;*.gif;*.png;*.bmp;*.jpeg;*.webp;*.avif;*.svg;*.svgz;*.ico;*.apng)",
                 "HTML files (*.htm*;*.shtml;*.asp;*.mht)",
                 "Images (*.jpg;*.gif;*.png;*.bmp;*.jpeg;*.webp;*.avif;*.svg;*.svgz;*.ico;*.apng)",
                 "Documents  (*.txt;*.htm*;*.shtml;*.asp;*.mht;*.nws;*.eml)", "All files (*.*)",
                 "Add custom filter..."}));
        QCOMPARE(m, QStringList(
                        {"*.jpg;*.gif;*.png;*.bmp;*.jpeg;*.webp;*.avif;*.svg;*.svgz;*.ico;*.apng",
                         "*.htm*;*.shtml;*.asp;*.mht",
                         "*.jpg;*.gif;*.png;*.bmp;*.jpeg;*.webp;*.avif;*.svg;*.svgz;*.ico;*.apng",
                         "*.txt;*.htm*;*.shtml;*.asp;*.mht;*.nws;*.eml", "*.*", " "}));
    }

    void boxRules() {
        FolderSession session;
        FilterComboBox box(&session);
        QCOMPARE(box.mask(), QStringLiteral("*.*")); // empty box
        QSignalSpy changes(&box, &FilterComboBox::filterApplied);
        box.setFilterText("A|*.a|B|*.b");
        QCOMPARE(changes.count(), 1);
        QCOMPARE(box.currentIndex(), 0);
        box.setFilterText("a|*.A|b|*.B"); // equal without regard to case: ignored
        QCOMPARE(changes.count(), 1);
        box.setCurrentIndex(-1);
        QCOMPARE(box.mask(), QStringLiteral("*.b")); // nothing selected: the last entry
        QCOMPARE(box.currentIndex(), 1);
        // What it applies is the files' mask.
        box.applySelection();
        QCOMPARE(session.files()->mask(), QStringLiteral("*.b"));
    }

    void dialogTextsAndAddButton() {
        AddCustomFilterDialog form;
        QCOMPARE(form.windowTitle(), QStringLiteral(" Add custom filter"));
        QCOMPARE(form.size(), QSize(238, 158));
        QCOMPARE(form.fileMaskEdit()->text(), QStringLiteral("*.*"));
        QCOMPARE(form.filterNameEdit()->text(), QStringLiteral("Custom filter #1"));
        QCOMPARE(form.addButton()->text(), QStringLiteral("Add"));
        QCOMPARE(form.cancelButton()->text(), QStringLiteral("Cancel"));
        QCOMPARE(form.findChild<QLabel*>("Label1")->text(), QStringLiteral("File mask:"));
        QCOMPARE(form.findChild<QLabel*>("Label2")->text(), QStringLiteral("Filter name:"));
        QVERIFY(!form.addButton()->isEnabled());
        form.show();
        QVERIFY(form.addButton()->isEnabled());
        form.filterNameEdit()->clear();
        QVERIFY(!form.addButton()->isEnabled());
        QTest::keyClicks(form.filterNameEdit(), " ");
        QVERIFY(form.addButton()->isEnabled());
        form.fileMaskEdit()->clear();
        QVERIFY(!form.addButton()->isEnabled());
        QTest::keyClicks(form.fileMaskEdit(), "*.a|b");
        QVERIFY(!form.addButton()->isEnabled()); // a bar would shift the filter pairs
    }

    void choosingAddCustomFilterAndCancelling() {
        auto panel = makePanel();
        FilterComboBox* box = panel->filterBox();
        QCOMPARE(panel->session()->files()->names(), QStringList({"a.jpg", "b.gif", "icon.ico"}));
        answerDialog(panel->customFilterDialog(), QString(), QString(), false);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_End); // the user picks the last entry
        QCOMPARE(box->currentIndex(), 0);
        QCOMPARE(box->currentText(),
                 QStringLiteral(
                     "Background Images "
                     "(*.jpg;*.gif;*.png;*.bmp;*.jpeg;*.webp;*.avif;*.svg;*.svgz;*.ico;*.apng)"));
        QCOMPARE(panel->session()->files()->names(), QStringList({"a.jpg", "b.gif", "icon.ico"}));

        // From the tool bar button while HTML files is selected: Cancel keeps it.
        panel->selectFilter(1);
        QCOMPARE(panel->session()->files()->names(), QStringList({"page.html"}));
        answerDialog(panel->customFilterDialog(), QString(), QString(), false);
        panel->addCustomFilter();
        QCOMPARE(box->currentIndex(), 1);
        QCOMPARE(panel->session()->files()->names(), QStringList({"page.html"}));

        // The guard flag was cleared by the second notification: the dialog opens again,
        // and Cancel after choosing "Add custom filter..." goes back to the first filter.
        const int runs = dialogRuns;
        answerDialog(panel->customFilterDialog(), QString(), QString(), false);
        QTest::keyClick(box, Qt::Key_End);
        QCOMPARE(dialogRuns, runs + 1);
        QCOMPARE(box->currentIndex(), 0);
    }

    void addingTwoCustomFilters() {
        auto panel = makePanel();
        FilterComboBox* box = panel->filterBox();
        answerDialog(panel->customFilterDialog(), "Icons", "*.ico", true);
        QTest::keyClick(box, Qt::Key_End);
        QCOMPARE(box->itemText(5), QStringLiteral("Icons"));
        QCOMPARE(box->currentIndex(), 5);
        QCOMPARE(panel->session()->files()->names(), QStringList({"icon.ico"}));
        QVERIFY(
            box->filterText().endsWith("All files (*.*)|*.*|Icons|*.ico|Add custom filter...| "));

        answerDialog(panel->customFilterDialog(), "Texts", "*.txt", true);
        panel->addCustomFilter();
        QCOMPARE(box->count(), 8);
        QCOMPARE(box->itemText(5), QStringLiteral("Icons"));
        QCOMPARE(box->itemText(6), QStringLiteral("Texts"));
        QCOMPARE(box->itemText(7), QStringLiteral("Add custom filter..."));
        QCOMPARE(box->currentIndex(), 6);
        QCOMPARE(panel->session()->files()->names(), QStringList({"notes.txt"}));
        // The dialog keeps what was typed last.
        QCOMPARE(panel->customFilterDialog()->filterNameEdit()->text(), QStringLiteral("Texts"));
        QCOMPARE(panel->selectedFilter(), 6);
    }

    void restoringTheSavedFilter_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("selected");
        QTest::newRow("7") << 7 << 0;
        QTest::newRow("5") << 5 << 0;
        QTest::newRow("-1") << -1 << 0;
        QTest::newRow("3") << 3 << 3;
        QTest::newRow("4") << 4 << 4;
    }
    void restoringTheSavedFilter() {
        QFETCH(int, stored);
        QFETCH(int, selected);
        auto panel = makePanel();
        panel->restoreFilter(stored);
        QCOMPARE(panel->selectedFilter(), selected);
        QCOMPARE(panel->session()->files()->mask(), panel->filterBox()->masks().at(selected));
        if (selected == 3) {
            QCOMPARE(panel->filterBox()->currentText(),
                     QStringLiteral("Documents  (*.txt;*.htm*;*.shtml;*.asp;*.mht;*.nws;*.eml)"));
        }
    }

    void sameFilterAgainDoesNotReRead() {
        auto panel = makePanel();
        const int reads = panel->session()->files()->readCount();
        QTest::keyClick(panel->filterBox(), Qt::Key_Home); // already the first
        panel->selectFilter(0);
        QCOMPARE(panel->session()->files()->readCount(), reads);
        panel->selectFilter(4);
        QCOMPARE(panel->session()->files()->names(),
                 QStringList({"a.jpg", "b.gif", "icon.ico", "notes.txt", "page.html", "readme"}));
    }
};

ZELVORIN_TEST_MAIN(FilterComboBoxTest)
#include "tst_FilterComboBox.moc"

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FavoriteFolders.h"
#include "ManageFoldersDialog.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

using namespace zelvorin;
using zelvorin::FolderEntry;
using zelvorin::FolderList;

class TestManageFoldersDialog : public QObject {
    Q_OBJECT

private slots:
    void init();
    void layoutAndCaptions_data();
    void layoutAndCaptions();
    void windowSizeAndButtons();
    void showFillsFocusesAndSelectsFirst();
    void showOfEmptyListSelectsNothing();
    void clientHeightGrowsToTheMinimum();
    void addAppendsNormalizedFolder();
    void addIgnoresCancelledAndMissingFolders_data();
    void addIgnoresCancelledAndMissingFolders();
    void addOfListedFolderReplacesOnlyItsData();
    void addHandlerCanVetoOrAdjust();
    void removeAsksAndSelectsNeighbour_data();
    void removeAsksAndSelectsNeighbour();
    void removeAnswerNoOrNoSelectionKeepsList();
    void removeQuestionIsAskedAsWritten();
    void moveUpAndDown_data();
    void moveUpAndDown();
    void okReplacesTheList();
    void cancelAndEscapeLeaveTheList_data();
    void cancelAndEscapeLeaveTheList();
    void escapeWithModifierAndEnterDoNothing();
    void editFavoriteFoldersRunsTheDialog();
    void editFavoriteFoldersCancelLeavesFavorites();

private:
    QString makeFolder(const QString& name) {
        const QString path = m_root.filePath(name);
        QDir().mkpath(path);
        return path;
    }
    // A dialog on `m_list`, shown, with a chooser returning `m_chosen` and a confirmation
    // answering `m_answer`.
    void showForm(ManageFoldersDialog& form) {
        form.setFolderList(&m_list);
        form.setFolderChooser([this](QWidget*) { return m_chosen; });
        form.setRemoveConfirmation([this](QWidget*) {
            ++m_questions;
            return m_answer;
        });
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }
    static QStringList shown(const ManageFoldersDialog& form) {
        return zelvorin::folderPaths(form.entries());
    }

    QTemporaryDir m_root;
    FolderList m_list;
    QString m_chosen;
    bool m_answer = true;
    int m_questions = 0;
};

void TestManageFoldersDialog::init() {
    m_list = {{"/one", 1}, {"/two", 2}, {"/three", 3}};
    m_chosen.clear();
    m_answer = true;
    m_questions = 0;
}

void TestManageFoldersDialog::layoutAndCaptions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("ok") << "OkButton"
                        << "&Ok" << QRect(8, 12, 75, 25);
    QTest::newRow("cancel") << "CancelButton"
                            << "&Cancel" << QRect(8, 44, 75, 25);
    QTest::newRow("add") << "AddButton"
                         << "&Add ..." << QRect(8, 104, 75, 25);
    QTest::newRow("remove") << "DeleteButton"
                            << "&Remove ..." << QRect(8, 136, 75, 25);
    QTest::newRow("up") << "MoveUpButton"
                        << "Move &Up" << QRect(8, 180, 75, 25);
    QTest::newRow("down") << "MoveDownButton"
                          << "Move &Down" << QRect(8, 212, 75, 25);
}

void TestManageFoldersDialog::layoutAndCaptions() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);
    ManageFoldersDialog form(nullptr);
    showForm(form);
    auto* button = form.findChild<QPushButton*>(name);
    QVERIFY(button);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->geometry(), geometry);
    QCOMPARE(button->parentWidget(), form.ControlPanel);
    // No default button: Enter presses nothing.
    QVERIFY(!button->isDefault());
    QVERIFY(!button->autoDefault());
    QVERIFY(!button->accessibleName().isEmpty());
}

void TestManageFoldersDialog::windowSizeAndButtons() {
    ManageFoldersDialog form(nullptr);
    QCOMPARE(form.size(), QSize(485, 333));
    showForm(form);
    QCOMPARE(form.size(), QSize(485, 333));
    QVERIFY(form.minimumSize() != form.maximumSize());
    const QRect screen = form.screen()->availableGeometry();
    QVERIFY(qAbs(form.frameGeometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(form.frameGeometry().center().y() - screen.center().y()) <= 1);
    // The button column is as wide as the buttons with their left offset on both sides.
    QCOMPARE(form.ControlPanel->width(), 2 * 8 + 75);
    QVERIFY(form.ControlPanel->geometry().right() < form.MainOuterPanel->width());
    QCOMPARE(form.FolderListBox->parentWidget(), form.ItemListPanel);
    // Tab goes from the list to the buttons in their column's order.
    QTRY_COMPARE(QApplication::focusWidget(), form.FolderListBox);
    const QList<QWidget*> order = {form.OkButton,     form.CancelButton, form.AddButton,
                                   form.DeleteButton, form.MoveUpButton, form.MoveDownButton,
                                   form.FolderListBox};
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void TestManageFoldersDialog::showFillsFocusesAndSelectsFirst() {
    ManageFoldersDialog form(nullptr);
    showForm(form);
    QCOMPARE(form.entries(), m_list);
    QCOMPARE(form.selectedIndex(), 0);
    QTRY_COMPARE(QApplication::focusWidget(), form.FolderListBox);
}

void TestManageFoldersDialog::showOfEmptyListSelectsNothing() {
    m_list.clear();
    ManageFoldersDialog form(nullptr);
    showForm(form);
    QCOMPARE(form.FolderListBox->count(), 0);
    QCOMPARE(form.selectedIndex(), -1);
}

void TestManageFoldersDialog::clientHeightGrowsToTheMinimum() {
    ManageFoldersDialog form(nullptr);
    form.resize(485, 120);
    showForm(form);
    // Down button's bottom (212 + 25) + Ok's top (12) + both borders (2 * 4) + 4.
    QCOMPARE(form.height(), 261);
    QVERIFY(form.MoveDownButton->geometry().bottom() < form.ControlPanel->height());
}

void TestManageFoldersDialog::addAppendsNormalizedFolder() {
    const QString folder = makeFolder("pictures");
    m_chosen = folder + "/";
    ManageFoldersDialog form(nullptr);
    showForm(form);
    QTest::mouseClick(form.AddButton, Qt::LeftButton);
    QCOMPARE(shown(form), QStringList({"/one", "/two", "/three", folder}));
    QCOMPARE(form.entries().last().data, quintptr(0));
    QCOMPARE(form.selectedIndex(), 3);
    // The list given to the dialog changes only through Ok.
    QCOMPARE(m_list.size(), 3);
}

void TestManageFoldersDialog::addIgnoresCancelledAndMissingFolders_data() {
    QTest::addColumn<QString>("chosen");
    QTest::newRow("cancelled") << QString();
    QTest::newRow("missing") << m_root.filePath("not-there");
    QTest::newRow("a file") << QStringLiteral("FILE");
}

void TestManageFoldersDialog::addIgnoresCancelledAndMissingFolders() {
    QFETCH(QString, chosen);
    if (chosen == "FILE") {
        chosen = m_root.filePath("plain-file");
        QVERIFY(zelvorin::test::writeFile(chosen, "x"));
    }
    m_chosen = chosen;
    bool handlerCalled = false;
    ManageFoldersDialog form(nullptr);
    form.setFolderAddedHandler([&](QString&, quintptr&, bool&) { handlerCalled = true; });
    showForm(form);
    form.FolderListBox->setCurrentRow(1);
    QTest::mouseClick(form.AddButton, Qt::LeftButton);
    QCOMPARE(form.entries(), m_list);
    QCOMPARE(form.selectedIndex(), 1);
    QVERIFY(!handlerCalled);
}

void TestManageFoldersDialog::addOfListedFolderReplacesOnlyItsData() {
    const QString folder = makeFolder("Holiday");
    m_list = {{"/one", 1}, {folder, 7}, {"/three", 3}};
    m_chosen = folder + "/";
    QString seenName;
    quintptr seenData = 0;
    ManageFoldersDialog form(nullptr);
    form.setFolderAddedHandler([&](QString& name, quintptr& data, bool&) {
        seenName = name;
        seenData = data;
        data = 42;
    });
    showForm(form);
    QTest::mouseClick(form.AddButton, Qt::LeftButton);
    QCOMPARE(seenName, folder);
    QCOMPARE(seenData, quintptr(7));
    QCOMPARE(form.entries(), FolderList({{"/one", 1}, {folder, 42}, {"/three", 3}}));
    QCOMPARE(form.selectedIndex(), 1);
}

void TestManageFoldersDialog::addHandlerCanVetoOrAdjust() {
    const QString folder = makeFolder("adjust");
    m_chosen = folder;
    bool veto = true;
    ManageFoldersDialog form(nullptr);
    form.setFolderAddedHandler([&](QString& name, quintptr& data, bool& cancel) {
        QVERIFY(!cancel);
        QCOMPARE(data, quintptr(0));
        cancel = veto;
        name += "/inner";
        data = 9;
    });
    showForm(form);
    QTest::mouseClick(form.AddButton, Qt::LeftButton);
    QCOMPARE(form.entries(), m_list);
    veto = false;
    QTest::mouseClick(form.AddButton, Qt::LeftButton);
    QCOMPARE(form.entries().size(), 4);
    QCOMPARE(form.entries().last(), FolderEntry({folder + "/inner", 9}));
    QCOMPARE(form.selectedIndex(), 3);
}

void TestManageFoldersDialog::removeAsksAndSelectsNeighbour_data() {
    QTest::addColumn<FolderList>("list");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<int>("selected");
    const FolderList three = {{"/one", 1}, {"/two", 2}, {"/three", 3}};
    QTest::newRow("first") << three << 0 << QStringList({"/two", "/three"}) << 0;
    QTest::newRow("middle") << three << 1 << QStringList({"/one", "/three"}) << 1;
    QTest::newRow("last selects the one before")
        << three << 2 << QStringList({"/one", "/two"}) << 1;
    QTest::newRow("only entry leaves no selection")
        << FolderList({{"/only", 0}}) << 0 << QStringList() << -1;
}

void TestManageFoldersDialog::removeAsksAndSelectsNeighbour() {
    QFETCH(FolderList, list);
    QFETCH(int, removed);
    QFETCH(QStringList, left);
    QFETCH(int, selected);
    m_list = list;
    ManageFoldersDialog form(nullptr);
    showForm(form);
    form.FolderListBox->setCurrentRow(removed);
    QTest::mouseClick(form.DeleteButton, Qt::LeftButton);
    QCOMPARE(m_questions, 1);
    QCOMPARE(shown(form), left);
    QCOMPARE(form.selectedIndex(), selected);
}

void TestManageFoldersDialog::removeAnswerNoOrNoSelectionKeepsList() {
    m_answer = false;
    ManageFoldersDialog form(nullptr);
    showForm(form);
    form.FolderListBox->setCurrentRow(1);
    QTest::mouseClick(form.DeleteButton, Qt::LeftButton);
    QCOMPARE(m_questions, 1);
    QCOMPARE(form.entries(), m_list);
    QCOMPARE(form.selectedIndex(), 1);

    m_answer = true;
    form.FolderListBox->clearSelection();
    QTest::mouseClick(form.DeleteButton, Qt::LeftButton);
    QCOMPARE(m_questions, 1);
    QCOMPARE(form.entries(), m_list);
}

void TestManageFoldersDialog::removeQuestionIsAskedAsWritten() {
    // The dialog's own question box, answered No through its default button.
    ManageFoldersDialog form(nullptr);
    form.setFolderList(&m_list);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    bool seen = false;
    QTimer::singleShot(0, &form, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen = true;
        QCOMPARE(box->windowTitle(), QStringLiteral("Remove from the list"));
        QCOMPARE(box->text(), QStringLiteral("You are sure to REMOVE this folder from the list?"));
        QCOMPARE(box->icon(), QMessageBox::Question);
        QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
        box->defaultButton()->click();
    });
    QTest::mouseClick(form.DeleteButton, Qt::LeftButton);
    QVERIFY(seen);
    QCOMPARE(form.entries(), m_list);
}

void TestManageFoldersDialog::moveUpAndDown_data() {
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("selectedAfter");
    QTest::newRow("up from middle") << 1 << true << QStringList({"/two", "/one", "/three"}) << 0;
    QTest::newRow("up from last") << 2 << true << QStringList({"/one", "/three", "/two"}) << 1;
    QTest::newRow("up on first does nothing")
        << 0 << true << QStringList({"/one", "/two", "/three"}) << 0;
    QTest::newRow("down from first") << 0 << false << QStringList({"/two", "/one", "/three"}) << 1;
    QTest::newRow("down from middle") << 1 << false << QStringList({"/one", "/three", "/two"}) << 2;
    QTest::newRow("down on last does nothing")
        << 2 << false << QStringList({"/one", "/two", "/three"}) << 2;
    QTest::newRow("up without selection")
        << -1 << true << QStringList({"/one", "/two", "/three"}) << -1;
    QTest::newRow("down without selection")
        << -1 << false << QStringList({"/one", "/two", "/three"}) << -1;
}

void TestManageFoldersDialog::moveUpAndDown() {
    QFETCH(int, selected);
    QFETCH(bool, up);
    QFETCH(QStringList, expected);
    QFETCH(int, selectedAfter);
    ManageFoldersDialog form(nullptr);
    showForm(form);
    if (selected < 0)
        form.FolderListBox->clearSelection();
    else
        form.FolderListBox->setCurrentRow(selected);
    QTest::mouseClick(up ? form.MoveUpButton : form.MoveDownButton, Qt::LeftButton);
    QCOMPARE(shown(form), expected);
    QCOMPARE(form.selectedIndex(), selectedAfter);
    // Data values travel with their entries.
    for (const FolderEntry& entry : form.entries())
        QCOMPARE(entry.data, m_list.at(zelvorin::indexOfFolder(m_list, entry.path)).data);
}

void TestManageFoldersDialog::okReplacesTheList() {
    const QString folder = makeFolder("added");
    m_chosen = folder;
    ManageFoldersDialog form(nullptr);
    showForm(form);
    QTest::mouseClick(form.AddButton, Qt::LeftButton);
    form.FolderListBox->setCurrentRow(0);
    QTest::mouseClick(form.DeleteButton, Qt::LeftButton);
    form.FolderListBox->setCurrentRow(1);
    QTest::mouseClick(form.MoveUpButton, Qt::LeftButton);
    QTest::mouseClick(form.OkButton, Qt::LeftButton);
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QVERIFY(!form.isVisible());
    QCOMPARE(m_list, FolderList({{"/three", 3}, {"/two", 2}, {folder, 0}}));
}

void TestManageFoldersDialog::cancelAndEscapeLeaveTheList_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("cancel button") << false;
    QTest::newRow("escape key") << true;
}

void TestManageFoldersDialog::cancelAndEscapeLeaveTheList() {
    QFETCH(bool, escape);
    const FolderList before = m_list;
    m_chosen = makeFolder("extra");
    ManageFoldersDialog form(nullptr);
    showForm(form);
    QTest::mouseClick(form.AddButton, Qt::LeftButton);
    form.FolderListBox->setCurrentRow(0);
    QTest::mouseClick(form.DeleteButton, Qt::LeftButton);
    QCOMPARE(form.entries().size(), 3);
    if (escape)
        QTest::keyClick(form.FolderListBox, Qt::Key_Escape);
    else
        QTest::mouseClick(form.CancelButton, Qt::LeftButton);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(m_list, before);
}

void TestManageFoldersDialog::escapeWithModifierAndEnterDoNothing() {
    ManageFoldersDialog form(nullptr);
    showForm(form);
    QTest::keyClick(form.FolderListBox, Qt::Key_Escape, Qt::ShiftModifier);
    QTest::keyClick(form.FolderListBox, Qt::Key_Escape, Qt::ControlModifier);
    QVERIFY(form.isVisible());
    QTest::keyClick(form.FolderListBox, Qt::Key_Return);
    QTest::keyClick(form.FolderListBox, Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(form.isVisible());
    form.OkButton->setFocus();
    QTest::keyClick(form.OkButton, Qt::Key_Return);
    QVERIFY(form.isVisible());
    QCOMPARE(m_list.size(), 3);
    // Escape reaches the form whichever control has the focus.
    QTest::keyClick(form.MoveDownButton, Qt::Key_Escape);
    QVERIFY(!form.isVisible());
}

void TestManageFoldersDialog::editFavoriteFoldersRunsTheDialog() {
    const QString folder = makeFolder("from dialog");
    QWidget owner;
    FavoriteFolders folders(&owner);
    folders.setDialogCaption(QStringLiteral(" Favorite Folders"));
    folders.favoriteFolders() = {{"/x", 5}, {"/y", 6}};
    folders.setFolderAddedHandler([](QString&, quintptr& data, bool&) { data = 11; });
    QString caption;
    folders.setDialogPreparer([&](ManageFoldersDialog* form) {
        form->setFolderChooser([&](QWidget*) { return folder; });
        QTimer::singleShot(0, form, [form, &caption] {
            caption = form->windowTitle();
            QVERIFY(form->isModal());
            QTest::mouseClick(form->AddButton, Qt::LeftButton);
            form->FolderListBox->setCurrentRow(0);
            QTest::mouseClick(form->MoveDownButton, Qt::LeftButton);
            QTest::mouseClick(form->OkButton, Qt::LeftButton);
        });
    });
    folders.editFavoriteFolders();
    QCOMPARE(caption, QStringLiteral(" Favorite Folders"));
    QCOMPARE(folders.favoriteFolders(), FolderList({{"/y", 6}, {"/x", 5}, {folder, 11}}));
    // The dialog lives only while it is shown.
    QVERIFY(owner.findChildren<ManageFoldersDialog*>().isEmpty());
}

void TestManageFoldersDialog::editFavoriteFoldersCancelLeavesFavorites() {
    FavoriteFolders folders(nullptr);
    folders.setDialogCaption(QStringLiteral("Mine"));
    folders.favoriteFolders() = {{"/x", 5}, {"/y", 6}};
    QString caption;
    folders.setDialogPreparer([&](ManageFoldersDialog* form) {
        form->setRemoveConfirmation([](QWidget*) { return true; });
        QTimer::singleShot(0, form, [form, &caption] {
            caption = form->windowTitle();
            QTest::mouseClick(form->DeleteButton, Qt::LeftButton);
            QCOMPARE(form->entries().size(), 1);
            QTest::keyClick(form->FolderListBox, Qt::Key_Escape);
        });
    });
    folders.editFavoriteFolders();
    QCOMPARE(caption, QStringLiteral("Mine"));
    QCOMPARE(folders.favoriteFolders(), FolderList({{"/x", 5}, {"/y", 6}}));
}

ZELVORIN_TEST_MAIN(TestManageFoldersDialog)
#include "tst_ManageFoldersDialog.moc"

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "OpenFileDialog.h"
#include "TestEnvironment.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

using zelvorin::OpenFileFilter;

namespace {

// The window under test never starts the desktop's file dialog, which would wait for a user;
// tests that browse install their own stand-in.
class Form : public zelvorin::OpenFileDialog {
public:
    Form() {
        setBrowseFunction([](QWidget*, const QList<OpenFileFilter>&, int) { return QString(); });
    }
};

} // namespace

class TestOpenFileForm : public QObject {
    Q_OBJECT

private:
    // Runs Execute with `action` carried out inside the modal loop. A window that the
    // action leaves open is cancelled, and the test fails.
    bool execute(zelvorin::OpenFileDialog& form, int kind, const std::function<void()>& action) {
        bool leftOpen = false;
        QTimer::singleShot(0, &form, [&] {
            // Focus and the default button behave as on a desktop only in an active window.
            form.activateWindow();
            if (!QTest::qWaitForWindowActive(&form))
                QTest::qFail("the window did not become active", __FILE__, __LINE__);
            action();
            if (form.isVisible()) {
                leftOpen = true;
                form.reject();
            }
        });
        const bool result = form.execute(kind);
        if (leftOpen)
            QTest::qFail("the window was left open", __FILE__, __LINE__);
        return result;
    }

    // Typing goes where the user would click first: into the combo box.
    static void type(zelvorin::OpenFileDialog& form, const QString& text) {
        form.fileNameComboBox()->setFocus();
        QTest::keyClicks(form.fileNameComboBox()->lineEdit(), text);
    }

private slots:
    void filters_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("masks");
        QTest::addColumn<QString>("qtFilter");
        QTest::newRow("1") << 1 << "HTML files (*.htm*;*.shtml;*.asp;*.mht)"
                           << "*.htm*;*.shtml;*.asp;*.mht"
                           << "HTML files (*.htm* *.shtml *.asp *.mht)";
        QTest::newRow("2")
            << 2
            << "Images (*.jpg;*.gif;*.png;*.bmp;*.jpeg;*.webp;*.avif;*.svg;*.svgz;*.ico;*.apng)"
            << "*.jpg;*.gif;*.png;*.bmp;*.jpeg;*.webp;*.avif;*.svg;*.svgz;*.ico;*.apng"
            << "Images (*.jpg *.gif *.png *.bmp *.jpeg *.webp *.avif *.svg *.svgz *.ico *.apng)";
        QTest::newRow("3") << 3 << "Documents  (*.txt;*.htm*;*.shtml;*.asp;*.mht;*.nws;*.eml)"
                           << "*.txt;*.htm*;*.shtml;*.asp;*.mht;*.nws;*.eml"
                           << "Documents  (*.txt *.htm* *.shtml *.asp *.mht *.nws *.eml)";
        QTest::newRow("4") << 4 << "All files (*.*)"
                           << "*.*"
                           << "All files (*)";
    }

    void filters() {
        QFETCH(int, index);
        QFETCH(QString, description);
        QFETCH(QString, masks);
        QFETCH(QString, qtFilter);
        const QList<OpenFileFilter>& list = zelvorin::openFileFilters();
        QCOMPARE(list.size(), 4);
        QCOMPARE(list.at(index - 1).description, description);
        QCOMPARE(list.at(index - 1).masks, masks);
        QCOMPARE(zelvorin::qtNameFilter(list.at(index - 1)), qtFilter);
    }

    void filterIndexByKind_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("index");
        QTest::newRow("documents") << 1 << 3;
        QTest::newRow("open document") << 2 << 1;
        QTest::newRow("background") << 3 << 2;
        QTest::newRow("0") << 0 << 4;
        QTest::newRow("other") << 9 << 4;
        QTest::newRow("negative") << -1 << 4;
    }

    void filterIndexByKind() {
        QFETCH(int, kind);
        QFETCH(int, index);
        QCOMPARE(zelvorin::filterIndexForKind(kind), index);
        Form form;
        int seen = 0;
        form.setBrowseFunction([&seen](QWidget*, const QList<OpenFileFilter>& filters, int i) {
            seen = i;
            return filters.size() == 4 ? QString() : QStringLiteral("wrong filters");
        });
        QVERIFY(!execute(form, kind, [&] {
            form.browseButton()->click();
            form.cancelButton()->click();
        }));
        QCOMPARE(seen, index);
        QCOMPARE(form.filterIndex(), index);
    }

    void arrangement() {
        const zelvorin::OpenFileLayout table = zelvorin::arrangeOpenFileControls(
            QRect(12, 8, 401, 21), QRect(26, 0, 75, 25), QSize(75, 25), QSize(75, 25));
        QCOMPARE(table.browse, QRect(26, 40, 75, 25));
        QCOMPARE(table.ok, QRect(250, 40, 75, 25));
        QCOMPARE(table.cancel, QRect(338, 40, 75, 25));
        QCOMPARE(table.client, QSize(428, 74));

        const zelvorin::OpenFileLayout taller = zelvorin::arrangeOpenFileControls(
            QRect(12, 8, 300, 30), QRect(26, 40, 80, 27), QSize(70, 27), QSize(90, 27));
        QCOMPARE(taller.browse, QRect(26, 49, 80, 27));
        QCOMPARE(taller.cancel, QRect(222, 49, 90, 27));
        QCOMPARE(taller.ok, QRect(139, 49, 70, 27));
        QCOMPARE(taller.client, QSize(327, 85));
    }

    void windowFollowsTheComboBox() {
        Form form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Open"));
        QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(form.windowFlags() & Qt::WindowCloseButtonHint));
        form.show();
        const QRect combo = form.fileNameComboBox()->geometry();
        QCOMPARE(combo.topLeft(), QPoint(12, 8));
        QCOMPARE(combo.width(), 401);
        const int top = combo.top() + combo.height() + 11;
        QCOMPARE(form.browseButton()->geometry(), QRect(26, top, 75, 25));
        QCOMPARE(form.okButton()->geometry(), QRect(250, top, 75, 25));
        QCOMPARE(form.cancelButton()->geometry(), QRect(338, top, 75, 25));
        QCOMPARE(form.size(), QSize(428, top + 25 + 9));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QCOMPARE(form.browseButton()->text(), QStringLiteral("Browse ..."));
        QCOMPARE(form.okButton()->text(), QStringLiteral("Ok"));
        QCOMPARE(form.cancelButton()->text(), QStringLiteral("Cancel"));
        form.hide();
    }

    void showClearsTheWindow() {
        Form form;
        QVERIFY(execute(form, 2, [&] {
            QCOMPARE(form.focusWidget(), form.browseButton());
            QVERIFY(!form.okButton()->isEnabled());
            type(form, QStringLiteral("page.htm"));
            form.okButton()->click();
        }));
        QVERIFY(!execute(form, 2, [&] {
            QVERIFY(form.fileNameComboBox()->currentText().isEmpty());
            QVERIFY(form.fileName().isEmpty());
            QVERIFY(!form.okButton()->isEnabled());
            QCOMPARE(form.focusWidget(), form.browseButton());
            form.cancelButton()->click();
        }));
    }

    void blanksKeepOkDisabled() {
        Form form;
        QVERIFY(!execute(form, 2, [&] {
            type(form, QStringLiteral("   "));
            QVERIFY(!form.okButton()->isEnabled());
            // Enter does nothing while Ok is disabled.
            QTest::keyClick(form.fileNameComboBox()->lineEdit(), Qt::Key_Return);
            QVERIFY(form.isVisible());
            type(form, QStringLiteral("a"));
            QVERIFY(form.okButton()->isEnabled());
            QTest::keyClick(form.fileNameComboBox()->lineEdit(), Qt::Key_Backspace);
            QVERIFY(!form.okButton()->isEnabled());
            form.cancelButton()->click();
        }));
    }

    void fileNameKeepsSurroundingBlanks() {
        Form form;
        QVERIFY(execute(form, 2, [&] {
            type(form, QStringLiteral("  page one.htm  "));
            QTest::keyClick(form.fileNameComboBox()->lineEdit(), Qt::Key_Return);
        }));
        QCOMPARE(form.fileName(), QStringLiteral("  page one.htm  "));
        QCOMPARE(form.history(), QStringList{QStringLiteral("  page one.htm  ")});
    }

    void cancelEscapeAndCloseReturnFalse_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "cancel";
        QTest::newRow("Escape") << "escape";
        QTest::newRow("Escape in the combo box") << "escape-combo";
        QTest::newRow("close") << "close";
    }

    void cancelEscapeAndCloseReturnFalse() {
        QFETCH(QString, how);
        Form form;
        QVERIFY(!execute(form, 3, [&] {
            type(form, QStringLiteral("image.png"));
            QVERIFY(form.okButton()->isEnabled());
            if (how == QLatin1String("cancel"))
                form.cancelButton()->click();
            else if (how == QLatin1String("escape"))
                QTest::keyClick(&form, Qt::Key_Escape);
            else if (how == QLatin1String("escape-combo"))
                QTest::keyClick(form.fileNameComboBox()->lineEdit(), Qt::Key_Escape);
            else
                form.close();
        }));
        QVERIFY(form.history().isEmpty());
    }

    void historyIgnoresCase() {
        Form form;
        auto confirm = [&](const QString& name) {
            return execute(form, 2, [&] {
                type(form, name);
                form.okButton()->click();
            });
        };
        QVERIFY(confirm(QStringLiteral("Page.html")));
        QVERIFY(confirm(QStringLiteral("PAGE.HTML")));
        QCOMPARE(form.fileName(), QStringLiteral("PAGE.HTML"));
        QCOMPARE(form.history(), QStringList{QStringLiteral("Page.html")});
        QVERIFY(confirm(QStringLiteral("other.htm")));
        QVERIFY(confirm(QStringLiteral("page.HTML")));
        QCOMPARE(form.history(),
                 (QStringList{QStringLiteral("Page.html"), QStringLiteral("other.htm")}));
    }

    void choosingFromTheHistoryCountsAsAChange() {
        Form form;
        QVERIFY(execute(form, 2, [&] {
            type(form, QStringLiteral("first.htm"));
            form.okButton()->click();
        }));
        QVERIFY(execute(form, 2, [&] {
            QVERIFY(!form.okButton()->isEnabled());
            form.fileNameComboBox()->setCurrentIndex(0);
            QVERIFY(form.okButton()->isEnabled());
            QCOMPARE(form.fileName(), QStringLiteral("first.htm"));
            form.okButton()->click();
        }));
        QCOMPARE(form.history().size(), 1);
    }

    void browsePutsTheCaretAtTheEnd() {
        Form form;
        const QString chosen = QStringLiteral("/home/someone/My Pages/index.html");
        form.setBrowseFunction([&](QWidget* parent, const QList<OpenFileFilter>&, int) {
            return parent == &form ? chosen : QString();
        });
        QVERIFY(execute(form, 2, [&] {
            form.browseButton()->click();
            QLineEdit* edit = form.fileNameComboBox()->lineEdit();
            QCOMPARE(edit->text(), chosen);
            QCOMPARE(form.fileName(), chosen);
            QVERIFY(form.okButton()->isEnabled());
            QVERIFY(form.fileNameComboBox()->hasFocus());
            QCOMPARE(edit->cursorPosition(), chosen.size());
            QVERIFY(!edit->hasSelectedText());
            QTest::keyClicks(edit, QStringLiteral("#top"));
            QCOMPARE(form.fileName(), chosen + QStringLiteral("#top"));
            form.okButton()->click();
        }));
        QCOMPARE(form.fileName(), chosen + QStringLiteral("#top"));
    }

    void cancelledBrowseChangesNothing() {
        Form form;
        form.setBrowseFunction(
            [](QWidget*, const QList<OpenFileFilter>&, int) { return QString(); });
        QVERIFY(execute(form, 3, [&] {
            type(form, QStringLiteral("typed.png"));
            form.browseButton()->click();
            QCOMPARE(form.fileNameComboBox()->currentText(), QStringLiteral("typed.png"));
            QCOMPARE(form.fileName(), QStringLiteral("typed.png"));
            form.okButton()->click();
        }));
    }
};

ZELVORIN_TEST_MAIN(TestOpenFileForm)
#include "tst_OpenFileDialog.moc"

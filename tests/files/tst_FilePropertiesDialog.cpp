// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's own properties window: the facts it shows for files and folders, and
// when it shows instead of the file manager's.
#include "FileCommandsTestSupport.h"
#include "FileProperties.h"
#include "FilePropertiesDialog.h"
#include "LosslessNames.h"
#include "TestEnvironment.h"

#include <QLabel>

#include <unistd.h>

using namespace zelvorin;
using namespace zelvorin::test;

class FilePropertiesDialogTest : public QObject {
    Q_OBJECT

    QString m_folder;

    QString label(const QWidget* dialog, const char* name) const {
        const auto* text = dialog->findChild<QLabel*>(name);
        return text ? text->text() : QStringLiteral("<no label>");
    }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        m_folder = qEnvironmentVariable("HOME") + "/properties";
        QDir().mkpath(m_folder);
    }

    void factsOfAFile() {
        const QString path = m_folder + "/notes.txt";
        QVERIFY(put(path, QByteArray(2048, 'x')));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                                QFile::WriteUser | QFile::ReadGroup));
        const QDateTime modified(QDate(2021, 3, 4), QTime(5, 6, 7));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
        file.close();

        zelvorin::FilePropertiesDialog dialog(path, nullptr);
        QCOMPARE(label(&dialog, "NameValue"), QString("notes.txt"));
        QCOMPARE(label(&dialog, "LocationValue"), m_folder);
        QVERIFY2(label(&dialog, "TypeValue").contains("text/plain"),
                 qPrintable(label(&dialog, "TypeValue")));
        QCOMPARE(label(&dialog, "SizeValue"), QString("2,048 bytes (2.0 kB)"));
        QCOMPARE(label(&dialog, "PermissionsValue"), QString("rw-r----- (640)"));
        QCOMPARE(label(&dialog, "ModifiedValue"),
                 QLocale().toString(modified, QLocale::LongFormat));
        QVERIFY(!label(&dialog, "AccessedValue").isEmpty());
        const QFileInfo info(path);
        QVERIFY(
            label(&dialog, "OwnerValue")
                .startsWith(info.owner().isEmpty() ? QString::number(::getuid()) : info.owner()));
        QVERIFY(dialog.windowTitle().contains("notes.txt"));
    }

    void factsOfAFolder() {
        const QString folder = m_folder + "/with items";
        QDir().mkpath(folder + "/sub");
        QVERIFY(put(folder + "/.hidden", "h"));
        QVERIFY(put(folder + "/a.gif", "a"));
        zelvorin::FilePropertiesDialog dialog(folder, nullptr);
        QCOMPARE(label(&dialog, "NameValue"), QString("with items"));
        QCOMPARE(label(&dialog, "LocationValue"), m_folder);
        QVERIFY(label(&dialog, "TypeValue").contains("inode/directory"));
        QCOMPARE(label(&dialog, "SizeValue"), QString("3 item(s)"));
    }

    void theRootHasANameAndNoLocation() {
        zelvorin::FilePropertiesDialog dialog("/", nullptr);
        QCOMPARE(label(&dialog, "NameValue"), QString("/"));
        QCOMPARE(label(&dialog, "LocationValue"), QString());
    }

    void sizes_data() {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << qint64(0) << "0 bytes";
        QTest::newRow("small") << qint64(1023) << "1,023 bytes";
        QTest::newRow("over 2 GiB")
            << qint64(3) * 1024 * 1024 * 1024 << "3,221,225,472 bytes (3.0 GB)";
    }
    void sizes() {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(zelvorin::SizeText(bytes), text);
    }

    void showPropertiesChoosesTheWindow() {
        QWidget owner;
        platform::DesktopServices desktop;
        const QString path = m_folder + "/shown.gif";
        QVERIFY(put(path, "x"));
        const auto shown = [&](const QString& path) {
            return showProperties(&owner, platform::encodePath(path), desktop).ok();
        };
        QStringList asked;
        desktop.showItemProperties = [&](const QString& p) {
            asked << p;
            return true;
        };
        QVERIFY(shown(path));
        QCOMPARE(asked, QStringList({path}));
        QVERIFY(owner.findChildren<zelvorin::FilePropertiesDialog*>().isEmpty());

        desktop.showItemProperties = [](const QString&) { return false; };
        QVERIFY(shown(path));
        QCOMPARE(owner.findChildren<zelvorin::FilePropertiesDialog*>().size(), 1);

        QVERIFY(!shown(m_folder + "/missing.gif"));
        QVERIFY(!shown(QString()));
        QCOMPARE(owner.findChildren<zelvorin::FilePropertiesDialog*>().size(), 1);
    }

    void sameFileSystem() {
        const auto same = [](const QString& a, const QString& b) {
            return zelvorin::platform::onSameFileSystem(QFile::encodeName(a), QFile::encodeName(b));
        };
        QVERIFY(same(m_folder, qEnvironmentVariable("HOME")));
        QVERIFY(!same(m_folder + "/missing", m_folder));
        const QString other = otherFileSystemFolder(m_folder);
        if (other.isEmpty())
            QSKIP("no second file system");
        QVERIFY(!same(other, m_folder));
        QDir(other).removeRecursively();
    }
};

ZELVORIN_TEST_MAIN(FilePropertiesDialogTest)
#include "tst_FilePropertiesDialog.moc"

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A settings file that is not a valid store is moved aside, kept, and replaced by a new one.
#include "RegistryHive.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"

#include <QRegularExpression>
#include <QtEndian>

namespace {
const QString kInterface = QStringLiteral("Software\\Morvenkast\\Zelvorin\\Interface");

// A valid store of several pages.
QByteArray validStoreBytes(const QString& file) {
    {
        zelvorin::SettingsStore registry(file);
        for (int i = 0; i < 300; ++i)
            registry.writeString(kInterface, QStringLiteral("Value%1").arg(i),
                                 QString(100, QLatin1Char('x')));
    }
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

QStringList brokenCopies(const QString& file) {
    const QFileInfo info(file);
    return QDir(info.absolutePath())
        .entryList({info.fileName() + ".broken-*"}, QDir::AllEntries | QDir::NoDotAndDotDot);
}
} // namespace

class TestRegistryRecovery : public QObject {
    Q_OBJECT

private:
    QString m_folder;
    QString m_file;

private slots:
    void init() {
        static int counter = 0;
        m_folder = QDir::tempPath() + QStringLiteral("/zelvorin-recovery-%1-%2")
                                          .arg(QCoreApplication::applicationPid())
                                          .arg(++counter);
        QDir(m_folder).removeRecursively();
        QDir().mkpath(m_folder);
        m_file = m_folder + "/registry.db";
    }
    void cleanup() { QDir(m_folder).removeRecursively(); }

    void brokenFileIsMovedAside_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("garbage") << "garbage";
        QTest::newRow("truncated to half") << "half";
        QTest::newRow("only the header") << "header";
        QTest::newRow("another program's database") << "foreign";
        QTest::newRow("text file") << "text";
    }
    void brokenFileIsMovedAside() {
        QFETCH(QString, kind);
        QByteArray bytes;
        if (kind == "garbage") {
            for (int i = 0; i < 8192; ++i)
                bytes.append(char((i * 7919 + 13) % 251));
        } else if (kind == "text") {
            bytes = "FormWidth=610\n";
        } else {
            bytes = validStoreBytes(m_file);
            QFile::remove(m_file);
            QVERIFY(bytes.size() > 8192);
            if (kind == "half")
                bytes.truncate(bytes.size() / 2);
            else if (kind == "header")
                bytes.truncate(100);
            else // the application id in the header names another program
                qToBigEndian<quint32>(0x12345678, bytes.data() + 68);
        }
        QVERIFY(zelvorin::test::writeFile(m_file, bytes));

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not a valid settings store.*moved"));
        zelvorin::SettingsStore registry(m_file);
        QCOMPARE(registry.readInteger(kInterface, "FormWidth", 610), 610);
        QCOMPARE(registry.readString(kInterface, "Value1", "dflt"), QStringLiteral("dflt"));

        const QStringList aside = brokenCopies(m_file);
        QCOMPARE(aside.size(), 1);
        QVERIFY(aside.at(0).contains(QRegularExpression("^registry\\.db\\.broken-\\d{8}-\\d{6}")));
        QFile kept(m_folder + "/" + aside.at(0));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), bytes);

        QVERIFY(registry.writeInteger(kInterface, "FormWidth", 800));
        QCOMPARE(zelvorin::SettingsStore(m_file).readInteger(kInterface, "FormWidth", 0), 800);
        QVERIFY(zelvorin::platform::RegistryHive(m_file).checkIntegrity());
        QCOMPARE(brokenCopies(m_file).size(), 1);
    }

    void folderInPlaceIsMovedAside() {
        QVERIFY(zelvorin::test::writeFile(m_file + "/inside.txt", "keep me"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("folder is in its place"));
        zelvorin::SettingsStore registry(m_file);
        QCOMPARE(registry.readBool(kInterface, "ShowWelcomePage", true), true);
        const QStringList aside = brokenCopies(m_file);
        QCOMPARE(aside.size(), 1);
        QVERIFY(QFileInfo(m_folder + "/" + aside.at(0) + "/inside.txt").isFile());
        QVERIFY(registry.writeBool(kInterface, "ShowWelcomePage", false));
        QVERIFY(QFileInfo(m_file).isFile());
        QCOMPARE(zelvorin::SettingsStore(m_file).readBool(kInterface, "ShowWelcomePage", true),
                 false);
    }

    void emptyFileBecomesAStore() {
        QVERIFY(zelvorin::test::writeFile(m_file, QByteArray()));
        zelvorin::SettingsStore registry(m_file);
        QVERIFY(registry.writeInteger(kInterface, "FormWidth", 5));
        QCOMPARE(registry.readInteger(kInterface, "FormWidth", 0), 5);
        QVERIFY(brokenCopies(m_file).isEmpty());
    }

    void repeatedDamageKeepsEveryCopy() {
        for (int round = 0; round < 3; ++round) {
            QVERIFY(
                zelvorin::test::writeFile(m_file, "not a database " + QByteArray::number(round)));
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("moved it to"));
            QCOMPARE(zelvorin::SettingsStore(m_file).readInteger(kInterface, "FormWidth", 1), 1);
            QCOMPARE(brokenCopies(m_file).size(), round + 1);
        }
    }

    void fileReplacedWhileOpenIsNoticed() {
        zelvorin::SettingsStore registry(m_file);
        QVERIFY(registry.writeInteger(kInterface, "FormWidth", 1));
        // Another process moved the file away (say, after finding it damaged).
        QVERIFY(QFile::rename(m_file, m_file + ".elsewhere"));
        QFile::remove(m_file + "-wal");
        QFile::remove(m_file + "-shm");
        QCOMPARE(registry.readInteger(kInterface, "FormWidth", 42), 42);
        QVERIFY(registry.writeInteger(kInterface, "FormWidth", 2));
        QCOMPARE(zelvorin::SettingsStore(m_file).readInteger(kInterface, "FormWidth", 0), 2);
    }

    void unwritableFolderGivesDefaultsAndFalse() {
        const QString file = "/proc/zelvorin-no-such-folder/registry.db";
        zelvorin::SettingsStore registry(file);
        QCOMPARE(registry.readInteger(kInterface, "FormWidth", 610), 610);
        QCOMPARE(registry.dataSize(kInterface, "FormWidth"), -1);
        QVERIFY(!registry.openKey(kInterface, true));
        QVERIFY(!registry.writeInteger(kInterface, "FormWidth", 1));
    }
};

ZELVORIN_TEST_MAIN(TestRegistryRecovery)
#include "test_registry_recovery.moc"

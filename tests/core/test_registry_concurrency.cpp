// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Two processes writing the same store at once lose no write and corrupt nothing. The
// writers are this test executable itself, started with "--writer".
#include "RegistryHive.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"

#include <QProcess>

namespace {
const QString kShared = QStringLiteral("Software\\Morvenkast\\Zelvorin\\Shared");
constexpr int kWrites = 200;

int runWriter(const QString& file, const QString& tag) {
    for (int i = 0; i < kWrites; ++i) {
        // A new store object now and then, as separate program runs would make.
        zelvorin::SettingsStore registry(file);
        const QString name = QStringLiteral("%1-%2").arg(tag).arg(i);
        if (!registry.writeInteger(kShared, name, i) ||
            !registry.writeString(kShared + "\\" + tag, name, name.repeated(20)))
            return 2;
        if (i % 20 == 19) {
            const QStringList list{tag, QString::number(i)};
            if (!registry.writeStringList(kShared, tag + "List", &list, 1))
                return 3;
            // Values come and go, and keys with them.
            registry.writeInteger(kShared + "\\Scratch", tag, i);
            registry.deleteValue(kShared + "\\Scratch", tag);
        }
    }
    return 0;
}
} // namespace

class TestRegistryConcurrency : public QObject {
    Q_OBJECT

private slots:
    void twoWritersLoseNothing() {
        const QString folder =
            QDir::tempPath() +
            QStringLiteral("/zelvorin-concurrency-%1").arg(QCoreApplication::applicationPid());
        QDir(folder).removeRecursively();
        const QString file = folder + "/registry.db";
        QProcess first;
        QProcess second;
        first.setProcessChannelMode(QProcess::ForwardedChannels);
        second.setProcessChannelMode(QProcess::ForwardedChannels);
        first.start(QCoreApplication::applicationFilePath(), {"--writer", file, "A"});
        second.start(QCoreApplication::applicationFilePath(), {"--writer", file, "B"});
        QVERIFY(first.waitForFinished(120000));
        QVERIFY(second.waitForFinished(120000));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);

        zelvorin::SettingsStore registry(file);
        for (const QString tag : {"A", "B"}) {
            for (int i = 0; i < kWrites; ++i) {
                const QString name = QStringLiteral("%1-%2").arg(tag).arg(i);
                QCOMPARE(registry.readInteger(kShared, name, -1), i);
                QCOMPARE(registry.readString(kShared + "\\" + tag, name, ""), name.repeated(20));
            }
            QStringList list;
            QVERIFY(registry.readStringList(kShared, tag + "List", &list, 1));
            QCOMPARE(list, (QStringList{tag, QString::number(kWrites - 1)}));
        }
        zelvorin::platform::RegistryHive hive(file);
        QVERIFY(!hive.keyExists(kShared + "\\Scratch"));
        QCOMPARE(hive.values(kShared).value_or(QList<zelvorin::platform::RegistryValue>()).size(),
                 2 * kWrites + 4);
        QVERIFY(hive.checkIntegrity());
        QDir(folder).removeRecursively();
    }
};

int main(int argc, char** argv) {
    if (argc == 4 && qstrcmp(argv[1], "--writer") == 0) {
        QCoreApplication app(argc, argv);
        return runWriter(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    zelvorin::test::TestEnvironment environment;
    QApplication app(argc, argv);
    TestRegistryConcurrency test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_registry_concurrency.moc"

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A process killed at any moment while it writes settings leaves every value either as it
// was or as it was being written, and the store always opens again. The writer is this test
// executable itself, started with "--writer".
#include "RegistryHive.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <cstdio>

namespace {
const QString kKey = QStringLiteral("Software\\Morvenkast\\Zelvorin\\History");
constexpr int kValues = 8;

QString payload(int round, int index) {
    // Long enough to span several database pages, so a torn write would show.
    return QStringLiteral("round %1 value %2 ").arg(round).arg(index).repeated(200);
}

QStringList listFor(int round) {
    QStringList list;
    for (int i = 0; i <= round % 5; ++i)
        list << QStringLiteral("/folder/%1/%2").arg(round).arg(i);
    return list;
}

// Writes round after round until killed; reports each finished round on stdout.
int runWriter(const QString& file, int firstRound) {
    zelvorin::SettingsStore registry(file);
    for (int round = firstRound;; ++round) {
        for (int i = 0; i < kValues; ++i) {
            if (!registry.writeString(kKey, QStringLiteral("Text%1").arg(i), payload(round, i)) ||
                !registry.writeInteger(kKey, QStringLiteral("Number%1").arg(i), round))
                return 2;
        }
        const QStringList list = listFor(round);
        if (!registry.writeStringList(kKey, "LastFolders", &list, 1))
            return 2;
        std::printf("%d\n", round);
        std::fflush(stdout);
    }
}

// The round a text value belongs to, or -1 when it is not exactly what some round wrote.
int roundOfText(const QString& text, int index) {
    const QStringList words = text.split(' ');
    if (words.size() < 2 || words[0] != QLatin1String("round"))
        return -1;
    bool ok = false;
    const int round = words[1].toInt(&ok);
    return ok && text == payload(round, index) ? round : -1;
}
} // namespace

class TestRegistryCrash : public QObject {
    Q_OBJECT

private slots:
    void killedWriterNeverLeavesHalfAValue() {
        const QString folder =
            QDir::tempPath() +
            QStringLiteral("/zelvorin-crash-%1").arg(QCoreApplication::applicationPid());
        QDir(folder).removeRecursively();
        const QString file = folder + "/registry.db";
        int lastFinished = -1;
        int nextRound = 0;
        int killedMidRound = 0;
        for (int attempt = 0; attempt < 30; ++attempt) {
            QProcess writer;
            writer.start(QCoreApplication::applicationFilePath(),
                         {"--writer", file, QString::number(nextRound)});
            QVERIFY(writer.waitForStarted());
            QThread::msleep(20 + QRandomGenerator::global()->bounded(200));
            writer.kill();
            QVERIFY(writer.waitForFinished());
            QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
            for (const QByteArray& line : writer.readAllStandardOutput().split('\n'))
                if (!line.isEmpty())
                    lastFinished = qMax(lastFinished, line.toInt());

            zelvorin::SettingsStore registry(file);
            int highest = -1;
            for (int i = 0; i < kValues; ++i) {
                const QString name = QStringLiteral("Text%1").arg(i);
                const QString text = registry.readString(kKey, name, "missing");
                if (text == "missing" || (text.isEmpty() && lastFinished < 0))
                    continue;
                const int round = roundOfText(text, i);
                QVERIFY2(round >= 0, qPrintable("torn value " + name + ": " + text.left(60)));
                // Every round the writer reported finished is on disk.
                QVERIFY(round >= lastFinished);
                highest = qMax(highest, round);
                const int number =
                    registry.readInteger(kKey, QStringLiteral("Number%1").arg(i), -1);
                QVERIFY(number == round || number == round - 1 || number == -1);
            }
            QStringList list;
            if (registry.readStringList(kKey, "LastFolders", &list, 1)) {
                // The list is written in one piece: all of one round.
                const int round = list.at(0).section('/', 2, 2).toInt();
                QCOMPARE(list, listFor(round));
                QVERIFY(round >= lastFinished);
            }
            if (highest > lastFinished)
                ++killedMidRound;
            QVERIFY(zelvorin::platform::RegistryHive(file).checkIntegrity());
            nextRound = qMax(highest, lastFinished) + 1;
        }
        QVERIFY2(lastFinished >= 0, "the writer never finished a round");
        qInfo("writer killed 30 times, %d times in the middle of a round; last round %d",
              killedMidRound, lastFinished);
        QDir(folder).removeRecursively();
    }
};

int main(int argc, char** argv) {
    if (argc == 4 && qstrcmp(argv[1], "--writer") == 0) {
        QCoreApplication app(argc, argv);
        return runWriter(QString::fromLocal8Bit(argv[2]), atoi(argv[3]));
    }
    zelvorin::test::TestEnvironment environment;
    QApplication app(argc, argv);
    TestRegistryCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_registry_crash.moc"

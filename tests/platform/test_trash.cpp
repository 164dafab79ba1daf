// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The freedesktop trash: files go there by renaming, their .trashinfo names the original
// path byte for byte (%XX-escaped), names never collide, and a file that cannot go stays
// where it is, with the system's reason.
#include "LosslessNames.h"
#include "RawFiles.h"
#include "TestEnvironment.h"
#include "Trash.h"

#include <QDateTime>
#include <QDir>
#include <QProcess>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zelvorin;
using namespace zelvorin::test;

namespace {

// The value of a key of a .trashinfo file.
QByteArray infoValue(const QByteArray& info, const QByteArray& key) {
    for (const QByteArray& line : info.split('\n'))
        if (line.startsWith(key + '='))
            return line.mid(key.size() + 1);
    return QByteArray();
}

bool chattr(const char* flag, const QByteArray& path) {
    QProcess process;
    process.start(QStringLiteral("chattr"),
                  {QString::fromLatin1(flag), platform::openablePath(path)});
    return process.waitForFinished() && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

const platform::AskFunction NeverAsked = [](QWidget*, const QString&, const QString&) {
    [] { QFAIL("asked"); }();
    return false;
};

} // namespace

class TestTrash : public QObject {
    Q_OBJECT

    QByteArray m_folder;
    QByteArray m_trash;
    QList<QByteArray> m_immutable;

private slots:
    void init() {
        static int count = 0;
        m_folder = QFile::encodeName(qEnvironmentVariable("HOME")) + "/trash-" +
                   QByteArray::number(++count);
        QVERIFY(QDir().mkpath(QString::fromUtf8(m_folder)));
        m_trash = QFile::encodeName(qEnvironmentVariable("XDG_DATA_HOME")) + "/Trash";
    }
    void cleanup() {
        for (const QByteArray& path : std::as_const(m_immutable))
            chattr("-i", path);
        m_immutable.clear();
    }

    void asksFirst() {
        const QByteArray path = m_folder + "/doomed.txt";
        QVERIFY(makeFile(path, "bye"));
        bool answer = false;
        QString asked;
        const platform::AskFunction ask = [&](QWidget*, const QString& title,
                                              const QString& question) {
            asked = title + u'|' + question;
            return answer;
        };
        QVERIFY(
            platform::moveToTrash({path}, true, nullptr, QStringLiteral(" Zelvorin"), ask).kind ==
            platform::FileResult::Kind::Declined);
        QVERIFY(asked.startsWith(QStringLiteral(" Zelvorin|")));
        QVERIFY(asked.contains(QStringLiteral("\"doomed.txt\"")));
        QVERIFY(exists(path));
        answer = true;
        QVERIFY(platform::moveToTrash({path}, true, nullptr, QStringLiteral(" Zelvorin"), ask));
        QVERIFY(!exists(path));
        QCOMPARE(contents(m_trash + "/files/doomed.txt"), QByteArray("bye"));
        const QByteArray info = contents(m_trash + "/info/doomed.txt.trashinfo");
        QVERIFY(info.startsWith("[Trash Info]\n"));
        const QDateTime when =
            QDateTime::fromString(QString::fromLatin1(infoValue(info, "DeletionDate")),
                                  QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
        QVERIFY(when.isValid());
        QVERIFY(qAbs(when.secsTo(QDateTime::currentDateTime())) < 120);
    }

    // The original path is kept byte for byte, whatever the name.
    void thePathIsEscapedFromTheBytes_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("escaped");
        QTest::newRow("plain") << QByteArray("plain.txt") << QByteArray("plain.txt");
        QTest::newRow("blank, ampersand, percent")
            << QByteArray("a b&c%d.gif") << QByteArray("a%20b%26c%25d.gif");
        QTest::newRow("UTF-8") << QByteArray("f\xC3\xBCr.png") << QByteArray("f%C3%BCr.png");
        QTest::newRow("not UTF-8")
            << QByteArray("caf\xE9 \xFF.png") << QByteArray("caf%E9%20%FF.png");
        QTest::newRow("line break") << QByteArray("two\nlines") << QByteArray("two%0Alines");
    }
    void thePathIsEscapedFromTheBytes() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, escaped);
        const QByteArray path = m_folder + '/' + name;
        QVERIFY(makeFile(path, name));
        QVERIFY(platform::moveToTrash({path}, false, nullptr, QString(), NeverAsked));
        QVERIFY(!exists(path));
        QCOMPARE(contents(m_trash + "/files/" + name), name);
        const QByteArray info = contents(m_trash + "/info/" + name + ".trashinfo");
        QCOMPARE(infoValue(info, "Path"), m_folder.toPercentEncoding("/") + '/' + escaped);
        QCOMPARE(QByteArray::fromPercentEncoding(infoValue(info, "Path")), path);
    }

    void aNameInTheTrashIsNeverReused() {
        QVERIFY(QDir().mkpath(QString::fromUtf8(m_folder + "/one")));
        QVERIFY(QDir().mkpath(QString::fromUtf8(m_folder + "/two")));
        QVERIFY(makeFile(m_folder + "/one/same.gif", "one"));
        QVERIFY(makeFile(m_folder + "/two/same.gif", "two"));
        QVERIFY(makeFile(m_folder + "/one/same", "no extension"));
        QVERIFY(platform::moveToTrash(
            {m_folder + "/one/same.gif", m_folder + "/two/same.gif", m_folder + "/one/same"}, false,
            nullptr, QString(), NeverAsked));
        QCOMPARE(contents(m_trash + "/files/same.gif"), QByteArray("one"));
        QCOMPARE(contents(m_trash + "/files/same.2.gif"), QByteArray("two"));
        QCOMPARE(QByteArray::fromPercentEncoding(
                     infoValue(contents(m_trash + "/info/same.2.gif.trashinfo"), "Path")),
                 m_folder + "/two/same.gif");
        QCOMPARE(contents(m_trash + "/files/same"), QByteArray("no extension"));
    }

    void aFileThatCannotGoStaysWithTheReason_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("error");
        QTest::newRow("missing") << "missing" << ENOENT;
        QTest::newRow("a path through a file") << "through a file" << ENOTDIR;
        QTest::newRow("an immutable folder") << "immutable folder" << EPERM;
    }
    void aFileThatCannotGoStaysWithTheReason() {
        QFETCH(QString, kind);
        QFETCH(int, error);
        QByteArray path = m_folder + "/kept.gif";
        QVERIFY(makeFile(path, "kept"));
        if (kind == "missing") {
            path = m_folder + "/missing.gif";
        } else if (kind == "through a file") {
            path = m_folder + "/kept.gif/inner.gif";
        } else {
            m_immutable << m_folder;
            if (!chattr("+i", m_folder))
                QSKIP("the immutable attribute cannot be set here");
        }
        const QStringList before =
            QDir(QString::fromUtf8(m_trash + "/info")).entryList(QDir::Files);
        int asked = 0;
        const platform::FileResult result = platform::moveToTrash(
            {path}, true, nullptr, QString(),
            [&](QWidget*, const QString&, const QString&) { return ++asked, true; });
        // Nothing is asked about a file that is not there.
        QCOMPARE(asked, kind == "immutable folder" ? 1 : 0);
        QVERIFY(result.failed());
        QCOMPARE(result.error, error);
        QCOMPARE(result.reason, QString::fromLocal8Bit(std::strerror(error)));
        QCOMPARE(result.path, path);
        QCOMPARE(contents(m_folder + "/kept.gif"), QByteArray("kept"));
        // No .trashinfo is left behind for a file that is not in the trash.
        QCOMPARE(QDir(QString::fromUtf8(m_trash + "/info")).entryList(QDir::Files), before);
    }

    // An info file whose file never arrived (a trashing stopped between the two) goes at
    // the next trashing into that trash, unless it is young enough to be another
    // program's trashing under way.
    void orphanInfoFilesAreRemoved_data() {
        QTest::addColumn<bool>("old");
        QTest::addColumn<bool>("withFile");
        QTest::addColumn<bool>("kept");
        QTest::newRow("old, without its file") << true << false << false;
        QTest::newRow("young, without its file") << false << false << true;
        QTest::newRow("old, with its file") << true << true << true;
    }
    void orphanInfoFilesAreRemoved() {
        QFETCH(bool, old);
        QFETCH(bool, withFile);
        QFETCH(bool, kept);
        QVERIFY(makeFile(m_folder + "/first.txt", "first"));
        QVERIFY(platform::moveToTrash({m_folder + "/first.txt"}, false, nullptr, QString(),
                                      NeverAsked));
        const QByteArray info = m_trash + "/info/left behind.txt.trashinfo";
        QVERIFY(makeFile(info, "[Trash Info]\nPath=/x/left%20behind.txt\n"));
        if (withFile)
            QVERIFY(makeFile(m_trash + "/files/left behind.txt", "here"));
        if (old) {
            const timespec hourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
            QVERIFY(::utimensat(AT_FDCWD, info.constData(), hourAgo, 0) == 0);
        }
        QVERIFY(makeFile(m_folder + "/second.txt", "second"));
        QVERIFY(platform::moveToTrash({m_folder + "/second.txt"}, false, nullptr, QString(),
                                      NeverAsked));
        QCOMPARE(exists(info), kept);
        QVERIFY(exists(m_trash + "/info/first.txt.trashinfo"));
        QVERIFY(exists(m_trash + "/info/second.txt.trashinfo"));
    }

    void aTrashThatIsNotAFolderIsNotUsed() {
        // The home trash cannot be made: the file stays, and the reason says why.
        QVERIFY(zelvorin::test::removeTree(m_trash));
        QVERIFY(makeFile(m_trash, "not a folder"));
        const QByteArray path = m_folder + "/kept.gif";
        QVERIFY(makeFile(path, "kept"));
        const platform::FileResult result =
            platform::moveToTrash({path}, false, nullptr, QString(), NeverAsked);
        QVERIFY(::unlink(m_trash.constData()) == 0);
        QVERIFY(result.failed());
        QCOMPARE(result.error, ENOTDIR);
        QVERIFY(exists(path));
    }
};

ZELVORIN_TEST_MAIN(TestTrash)
#include "test_trash.moc"

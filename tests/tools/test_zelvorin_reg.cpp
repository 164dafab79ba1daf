// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "LosslessNames.h"
#include "RegFile.h"
#include "RegTool.h"
#include "RegistryHive.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"

#include <QProcess>

using zelvorin::tools::RegToolFiles;

namespace {
const QString kKey = QStringLiteral("HKCU\\Software\\Morvenkast\\Zelvorin\\Options");
const QString kPath = QStringLiteral("Software\\Morvenkast\\Zelvorin\\Options");

struct Result {
    int code = 0;
    QString out;
    QString err;
};
} // namespace

class TestZelvorinReg : public QObject {
    Q_OBJECT

private:
    QString m_folder;
    RegToolFiles m_files;

    Result run(const QStringList& arguments, const QString& answers = QString()) {
        QString input = answers;
        Result result;
        QTextStream in(&input, QIODevice::ReadOnly);
        QTextStream out(&result.out);
        QTextStream err(&result.err);
        result.code = zelvorin::tools::runRegTool(arguments, m_files, in, out, err);
        out.flush();
        err.flush();
        return result;
    }
    QString file(const QString& name) const { return m_folder + "/" + name; }
    QByteArray read(const QString& name) const {
        QFile f(file(name));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

private slots:
    void init() {
        static int counter = 0;
        m_folder = QDir::tempPath() + QStringLiteral("/zelvorin-reg-%1-%2")
                                          .arg(QCoreApplication::applicationPid())
                                          .arg(++counter);
        QDir(m_folder).removeRecursively();
        QDir().mkpath(m_folder);
        m_files = {file("user.db"), file("machine.db")};
    }
    void cleanup() { QDir(m_folder).removeRecursively(); }

    void addAndQuery_data() {
        QTest::addColumn<QStringList>("add");
        QTest::addColumn<QString>("line");
        QTest::newRow("text") << QStringList{"/v", "DefaultFolder", "/d", "/home/u/Pictures"}
                              << "    DefaultFolder    REG_SZ    /home/u/Pictures";
        QTest::newRow("typed text")
            << QStringList{"/v", "X", "/t", "reg_sz", "/d", "a b"} << "    X    REG_SZ    a b";
        QTest::newRow("expand") << QStringList{"/v", "E", "/t", "REG_EXPAND_SZ", "/d", "$HOME"}
                                << "    E    REG_EXPAND_SZ    $HOME";
        QTest::newRow("decimal dword") << QStringList{"/v", "N", "/t", "REG_DWORD", "/d", "610"}
                                       << "    N    REG_DWORD    0x262";
        QTest::newRow("hex dword") << QStringList{"/v", "N", "/t", "REG_DWORD", "/d", "0xFFFFFFFF"}
                                   << "    N    REG_DWORD    0xffffffff";
        QTest::newRow("negative dword") << QStringList{"/v", "N", "/t", "REG_DWORD", "/d", "-1"}
                                        << "    N    REG_DWORD    0xffffffff";
        QTest::newRow("binary") << QStringList{"/v", "B", "/t", "REG_BINARY", "/d", "00ff1a"}
                                << "    B    REG_BINARY    00FF1A";
        QTest::newRow("default value")
            << QStringList{"/ve", "/d", "x"} << "    (Default)    REG_SZ    x";
    }
    void addAndQuery() {
        QFETCH(QStringList, add);
        QFETCH(QString, line);
        const Result added = run(QStringList{"add", kKey} + add);
        QCOMPARE(added.code, 0);
        QVERIFY(added.out.contains("completed successfully"));
        const Result queried = run({"query", kKey});
        QCOMPARE(queried.code, 0);
        QVERIFY2(queried.out.contains(line + "\n"), qPrintable(queried.out));
        QVERIFY(queried.out.contains("HKEY_CURRENT_USER\\" + kPath + "\n"));
    }

    void toolAndStoreAgree() {
        QCOMPARE(
            run({"add", kKey, "/v", "HideBrowserDialogues", "/t", "REG_DWORD", "/d", "1"}).code, 0);
        zelvorin::SettingsStore registry(m_files.currentUser);
        QCOMPARE(registry.readBool(kPath, "HideBrowserDialogues", false), true);
        QVERIFY(registry.writeString(kPath, "DefaultFolder", "/srv/images"));
        const Result one = run({"query", kKey.toLower(), "/v", "defaultfolder"});
        QCOMPARE(one.code, 0);
        QVERIFY(one.out.contains("    DefaultFolder    REG_SZ    /srv/images\n"));
        QVERIFY(!one.out.contains("HideBrowserDialogues"));
    }

    void overwriteAsksUnlessForced() {
        QCOMPARE(run({"add", kKey, "/v", "V", "/d", "old"}).code, 0);
        Result refused = run({"add", kKey, "/v", "V", "/d", "new"}, "n\n");
        QCOMPARE(refused.code, 1);
        QVERIFY(refused.out.contains("overwrite"));
        QCOMPARE(zelvorin::SettingsStore(m_files.currentUser).readString(kPath, "V", ""), "old");
        QCOMPARE(run({"add", kKey, "/v", "V", "/d", "new"}, "").code, 1);
        QCOMPARE(run({"add", kKey, "/v", "V", "/d", "yes"}, "yes\n").code, 0);
        QCOMPARE(run({"add", kKey, "/v", "V", "/d", "forced", "/F"}).code, 0);
        QCOMPARE(zelvorin::SettingsStore(m_files.currentUser).readString(kPath, "V", ""), "forced");
    }

    void deleteValuesAndKeys() {
        QCOMPARE(run({"add", kKey + "\\Sub", "/v", "A", "/d", "1"}).code, 0);
        QCOMPARE(run({"add", kKey, "/v", "B", "/d", "2"}).code, 0);
        QCOMPARE(run({"add", kKey, "/v", "C", "/d", "3"}).code, 0);
        QCOMPARE(run({"delete", kKey, "/v", "B"}, "n\n").code, 1);
        QCOMPARE(run({"delete", kKey, "/v", "B", "/f"}).code, 0);
        QCOMPARE(run({"query", kKey, "/v", "B"}).code, 1);
        QCOMPARE(run({"delete", kKey, "/v", "B", "/f"}).code, 1);
        QCOMPARE(run({"delete", kKey, "/va", "/f"}).code, 0);
        QCOMPARE(run({"query", kKey, "/v", "C"}).code, 1);
        QCOMPARE(run({"query", kKey + "\\Sub", "/v", "A"}).code, 0);
        QCOMPARE(run({"delete", "HKCU\\Software\\Morvenkast"}, "y\n").code, 0);
        QCOMPARE(run({"query", "HKCU\\Software\\Morvenkast"}).code, 1);
        QCOMPARE(run({"query", "HKCU\\Software"}).code, 0);
        QCOMPARE(run({"delete", "HKCU", "/f"}).code, 1);
    }

    void exportImportRoundTrip() {
        zelvorin::platform::RegistryHive hive(m_files.currentUser);
        QByteArray longBinary;
        for (int i = 0; i < 300; ++i)
            longBinary.append(char(i));
        QVERIFY(hive.writeValue(kPath, "Quoted", 1, "C:\\dir \"x\" \\\\server"));
        QVERIFY(hive.writeValue(kPath, "Unicode", 1, QStringLiteral("\u00e4\u6f22").toUtf8()));
        QVERIFY(hive.writeValue(kPath, "Lines", 1, "one\ntwo"));
        QVERIFY(hive.writeValue(kPath, "Expand", 2, "%HOME%/x"));
        QVERIFY(hive.writeValue(kPath, "Number", 4, QByteArray("\x0a\0\0\0", 4)));
        QVERIFY(hive.writeValue(kPath, "Long", 3, longBinary));
        QVERIFY(hive.writeValue(kPath, "Empty", 3, QByteArray()));
        QVERIFY(hive.writeValue(kPath, "Multi", 7, QByteArray("a\0b\0\0", 5)));
        QVERIFY(hive.writeValue(kPath, "", 1, "unnamed"));
        QVERIFY(hive.createKey(kPath + "\\Empty Key"));

        QCOMPARE(run({"export", "HKCU\\Software", file("a.reg")}).code, 0);
        const QByteArray exported = read("a.reg");
        QVERIFY(exported.startsWith("Windows Registry Editor Version 5.00\n\n"));
        QVERIFY(
            exported.contains("[HKEY_CURRENT_USER\\Software\\Morvenkast\\Zelvorin\\Options]\n"));
        QVERIFY(exported.contains("\"Quoted\"=\"C:\\\\dir \\\"x\\\" \\\\\\\\server\"\n"));
        QVERIFY(exported.contains("\"Number\"=dword:0000000a\n"));
        QVERIFY(exported.contains("\"Expand\"=hex(2):25,00,48,00"));
        QVERIFY(exported.contains("@=\"unnamed\"\n"));
        QVERIFY(exported.contains(",\\\n  "));

        QCOMPARE(run({"delete", "HKCU\\Software", "/f"}).code, 0);
        QCOMPARE(run({"query", kKey}).code, 1);
        QCOMPARE(run({"import", file("a.reg")}).code, 0);
        QCOMPARE(run({"export", "HKCU\\Software", file("b.reg")}).code, 0);
        QCOMPARE(read("b.reg"), exported);
        zelvorin::platform::RegistryValue value;
        QCOMPARE(hive.readValue(kPath, "Long", &value), zelvorin::platform::RegistryLookup::Found);
        QCOMPARE(value.data, longBinary);
        QCOMPARE(hive.readValue(kPath, "Lines", &value), zelvorin::platform::RegistryLookup::Found);
        QCOMPARE(value.data, QByteArray("one\ntwo"));
        QCOMPARE(value.type, 1u);

        // Overwriting an export file asks first.
        QCOMPARE(run({"export", kKey, file("b.reg")}, "n\n").code, 1);
        QCOMPARE(read("b.reg"), exported);
        QCOMPARE(run({"export", kKey, file("b.reg"), "/y"}).code, 0);
        QVERIFY(read("b.reg") != exported);
    }

    // Texts with a byte that is not UTF-8 or a U+FEFF are shown escaped, exported so and
    // read back to the very bytes; only the file's own byte order mark is dropped.
    void textsThatCannotBeSeenAreEscapedAndReadBack_data() {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("shown");
        QTest::newRow("not UTF-8") << QByteArray("/home/u/caf\xe9") << "\"/home/u/caf\\xe9\"";
        QTest::newRow("leading U+FEFF") << QByteArray("\xef\xbb\xbftext") << "\"\\ufefftext\"";
        QTest::newRow("backslash beside a byte") << QByteArray("C:\\x\xff") << "\"C:\\\\x\\xff\"";
    }
    void textsThatCannotBeSeenAreEscapedAndReadBack() {
        QFETCH(QByteArray, raw);
        QFETCH(QString, shown);
        const QString text = zelvorin::platform::losslessText(raw);
        QCOMPARE(run({"add", kKey, "/v", text, "/d", text, "/f"}).code, 0);
        zelvorin::platform::RegistryValue value;
        zelvorin::platform::RegistryHive hive(m_files.currentUser);
        QCOMPARE(hive.readValue(kPath, text, &value), zelvorin::platform::RegistryLookup::Found);
        QCOMPARE(value.data, raw);
        QCOMPARE(zelvorin::platform::losslessBytes(value.name), raw);

        const Result query = run({"query", kKey});
        QVERIFY2(query.out.contains("    " + shown + "    REG_SZ    " + shown + "\n"),
                 qPrintable(query.out));
        QCOMPARE(run({"export", kKey, file("a.reg")}).code, 0);
        QVERIFY2(QString::fromUtf8(read("a.reg")).contains(shown + "=" + shown + "\n"),
                 read("a.reg").constData());
        // With a byte order mark of its own, which is dropped.
        QVERIFY(zelvorin::test::writeFile(file("b.reg"), "\xef\xbb\xbf" + read("a.reg")));
        QCOMPARE(run({"delete", kKey, "/f"}).code, 0);
        QCOMPARE(run({"import", file("b.reg")}).code, 0);
        QCOMPARE(hive.readValue(kPath, text, &value), zelvorin::platform::RegistryLookup::Found);
        QCOMPARE(value.data, raw);
        QCOMPARE(zelvorin::platform::losslessBytes(value.name), raw);
    }

    // The executable takes its arguments as their bytes.
    void argumentsAreTakenAsBytes() {
        const QString program = qEnvironmentVariable("ZELVORIN_PROGRAM_DIR") + "/zelvorin-reg";
        if (!QFileInfo(program).isExecutable())
            QSKIP("zelvorin-reg is not built");
        QProcess tool;
        tool.start("sh",
                   {"-c",
                    "\"$1\" --hive \"$2\" add \"$3\" /v A /d \"$(printf 'caf\\351')\" /f && "
                    "\"$1\" --hive \"$2\" add \"$3\" /v B /d \"$(printf '\\357\\273\\277b')\" /f",
                    "sh", program, m_files.currentUser, kKey});
        QVERIFY(tool.waitForFinished());
        QCOMPARE(tool.exitCode(), 0);
        zelvorin::platform::RegistryValue value;
        zelvorin::platform::RegistryHive hive(m_files.currentUser);
        QCOMPARE(hive.readValue(kPath, "A", &value), zelvorin::platform::RegistryLookup::Found);
        QCOMPARE(value.data, QByteArray("caf\xe9"));
        QCOMPARE(hive.readValue(kPath, "B", &value), zelvorin::platform::RegistryLookup::Found);
        QCOMPARE(value.data, QByteArray("\xef\xbb\xbf"
                                        "b"));
    }

    void importDeletesAndReadsUtf16_data() {
        QTest::addColumn<bool>("bigEndian");
        QTest::newRow("little-endian") << false;
        QTest::newRow("big-endian") << true;
    }
    void importDeletesAndReadsUtf16() {
        QFETCH(bool, bigEndian);
        QCOMPARE(run({"add", kKey, "/v", "Gone", "/d", "x"}).code, 0);
        QCOMPARE(run({"add", "HKCU\\Software\\Old\\Deep", "/v", "V", "/d", "x"}).code, 0);
        const QString text = "Windows Registry Editor Version 5.00\r\n\r\n"
                             "; a comment\r\n"
                             "[-HKEY_CURRENT_USER\\Software\\Old]\r\n"
                             "\"Skipped\"=\"x\"\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Morvenkast\\Zelvorin\\Options]\r\n"
                             "\"Gone\"=-\r\n"
                             "\"Name\"=\"\u00e4 text\"\r\n"
                             "\"Bytes\"=hex:01,\\\r\n  02\r\n";
        QByteArray bytes(bigEndian ? "\xfe\xff" : "\xff\xfe");
        for (const QChar c : text) {
            const char low = char(c.unicode() & 0xff);
            const char high = char(c.unicode() >> 8);
            bytes.append(bigEndian ? high : low);
            bytes.append(bigEndian ? low : high);
        }
        QVERIFY(zelvorin::test::writeFile(file("u.reg"), bytes));
        const Result imported = run({"import", file("u.reg")});
        QVERIFY2(imported.code == 0, qPrintable(imported.err));
        zelvorin::SettingsStore registry(m_files.currentUser);
        QVERIFY(!registry.openKey("Software\\Old", false));
        QVERIFY(!registry.valueExists(kPath, "Gone"));
        QCOMPARE(registry.readString(kPath, "Name", ""), QStringLiteral("\u00e4 text"));
        QByteArray buffer;
        QVERIFY(registry.readBinary(kPath, "Bytes", buffer));
        QCOMPARE(buffer, QByteArray("\x01\x02"));
    }

    // A hive that cannot be written is named with the system's reason.
    void writeFailureGivesTheReason_data() {
        QTest::addColumn<QString>("hive");
        QTest::addColumn<QString>("reason");
        QTest::newRow("path through a file") << "plain/registry.db"
                                             << "Not a directory";
        QTest::newRow("dangling symbolic link") << "link.db"
                                                << "which cannot be reached";
    }
    void writeFailureGivesTheReason() {
        QFETCH(QString, hive);
        QFETCH(QString, reason);
        QVERIFY(zelvorin::test::writeFile(file("plain"), "a file, not a folder"));
        QVERIFY(QFile::link(file("gone/target.db"), file("link.db")));
        const Result result = run({"--hive", file(hive), "add", kKey, "/v", "V", "/d", "x", "/f"});
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.startsWith("ERROR: Could not write to " + file(hive) + ": ") &&
                     result.err.contains(reason),
                 qPrintable(result.err));
    }

    // A full file system, made as a small tmpfs in a mount namespace of the tool's own.
    void fullFileSystemGivesTheReason() {
        const QString program = qEnvironmentVariable("ZELVORIN_PROGRAM_DIR") + "/zelvorin-reg";
        if (!QFileInfo(program).isExecutable())
            QSKIP("zelvorin-reg is not built");
        // unshare's own refusal ends it with 1, as the tool's error does.
        if (!zelvorin::test::mountNamespaceAvailable())
            QSKIP("no mount namespace of the test's own can be made here");
        QVERIFY(QDir().mkpath(file("small")));
        const QString script =
            "mount -t tmpfs -o size=512k zelvorin-test \"$1\" || exit 77\n"
            "\"$2\" --hive \"$1/registry.db\" add 'HKCU\\A' /v Small /d x /f >/dev/null || "
            "exit 78\n"
            "head -c 2000000 /dev/zero > \"$1/filler\" 2>/dev/null\n"
            "exec \"$2\" --hive \"$1/registry.db\" add 'HKCU\\A' /v Big /t REG_BINARY /d \"$3\" "
            "/f\n";
        QProcess tool;
        tool.start("unshare",
                   {"-rm", "sh", "-c", script, "sh", file("small"), program, QString(65536, '0')});
        if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit ||
            tool.exitCode() == 77 || (tool.exitCode() != 1 && tool.exitCode() != 78))
            QSKIP("a small file system cannot be mounted here");
        QCOMPARE(tool.exitCode(), 1);
        const QString err = QString::fromLocal8Bit(tool.readAllStandardError());
        QVERIFY2(err.startsWith("ERROR: Could not write to " + file("small") + "/registry.db: ") &&
                     (err.contains("No space left on device") || err.contains("disk is full")),
                 qPrintable(err));
    }

    // Both roots are written, or neither.
    void importIsAllOrNothing_data() {
        QTest::addColumn<bool>("userWritable");
        QTest::addColumn<bool>("machineWritable");
        QTest::newRow("both written") << true << true;
        QTest::newRow("machine hive cannot be written") << true << false;
        QTest::newRow("user hive cannot be written") << false << true;
    }
    void importIsAllOrNothing() {
        QFETCH(bool, userWritable);
        QFETCH(bool, machineWritable);
        QVERIFY(zelvorin::test::writeFile(file("plain"), "a file, not a folder"));
        if (!userWritable)
            m_files.currentUser = file("plain/user.db");
        if (!machineWritable)
            m_files.localMachine = file("plain/machine.db");
        QVERIFY(zelvorin::test::writeFile(file("both.reg"),
                                          "Windows Registry Editor Version 5.00\n\n"
                                          "[HKEY_CURRENT_USER\\Software\\Imported]\n"
                                          "\"A\"=\"1\"\n\n"
                                          "[HKEY_LOCAL_MACHINE\\Software\\Imported]\n"
                                          "\"B\"=\"2\"\n"));
        const Result result = run({"import", file("both.reg")});
        const bool all = userWritable && machineWritable;
        for (const QString& hive : {m_files.currentUser, m_files.localMachine})
            if (!hive.startsWith(file("plain")))
                QCOMPARE(zelvorin::platform::RegistryHive(hive).keyExists("Software\\Imported"),
                         all);
        QCOMPARE(result.code, all ? 0 : 1);
        if (!all)
            QVERIFY2(result.err.contains("nothing was imported") &&
                         result.err.contains(file("plain")),
                     qPrintable(result.err));
    }

    // A name the file format cannot hold is refused before anything is written.
    void exportRefusesNamesItCannotWrite_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("line break in a key") << "Software\\Two\nLines"
                                             << "V"
                                             << "key \"HKEY_CURRENT_USER\\Software\\Two\\nLines\"";
        QTest::newRow("line break in a value name") << "Software\\K"
                                                    << "Two\nLines"
                                                    << "value \"Two\\nLines\"";
        QTest::newRow("carriage return") << "Software\\K"
                                         << "A\rB"
                                         << "value \"A\\rB\"";
        QTest::newRow("NUL character") << "Software\\K" << QString("A") + QChar(0) + "B"
                                       << "value \"A\\0B\"";
        QTest::newRow("byte that is not UTF-8 in a key")
            << zelvorin::platform::losslessText("Software\\caf\xe9") << "V"
            << "key \"HKEY_CURRENT_USER\\Software\\caf\\xe9\"";
    }
    void exportRefusesNamesItCannotWrite() {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, shown);
        {
            zelvorin::platform::RegistryHive hive(m_files.currentUser);
            QVERIFY(hive.writeValue("Software\\Fine", "Fine", 1, "x"));
            QVERIFY(hive.writeValue(key, value, 1, "x"));
        }
        const Result result = run({"export", "HKCU\\Software", file("out.reg")});
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.startsWith("ERROR: Nothing was exported") && result.err.contains(shown),
                 qPrintable(result.err));
        QVERIFY(!QFileInfo::exists(file("out.reg")));
        QCOMPARE(run({"export", "HKCU\\Software\\Fine", file("out.reg")}).code, 0);
    }

    void badInput_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing") << QStringList() << ""
                                 << "Usage";
        QTest::newRow("unknown command") << QStringList{"copy", kKey} << ""
                                         << "Unknown command";
        QTest::newRow("unknown option") << QStringList{"--hives", "x"} << ""
                                        << "Unknown option";
        QTest::newRow("no key") << QStringList{"query"} << ""
                                << "Invalid syntax";
        QTest::newRow("bad root") << QStringList{"query", "HKCR\\x"} << ""
                                  << "Invalid key name";
        QTest::newRow("missing key") << QStringList{"query", "HKCU\\Nope"} << ""
                                     << "unable to find";
        QTest::newRow("missing /v data") << QStringList{"add", kKey, "/v"} << ""
                                         << "needs an argument";
        QTest::newRow("bad type") << QStringList{"add", kKey, "/v", "a", "/t", "REG_QWORD"} << ""
                                  << "Invalid type";
        QTest::newRow("bad dword")
            << QStringList{"add", kKey, "/v", "a", "/t", "REG_DWORD", "/d", "ten"} << ""
            << "32-bit number";
        QTest::newRow("dword too big")
            << QStringList{"add", kKey, "/v", "a", "/t", "REG_DWORD", "/d", "4294967296"} << ""
            << "32-bit number";
        QTest::newRow("odd binary")
            << QStringList{"add", kKey, "/v", "a", "/t", "REG_BINARY", "/d", "abc"} << ""
            << "hexadecimal digits";
        QTest::newRow("binary not hex")
            << QStringList{"add", kKey, "/v", "a", "/t", "REG_BINARY", "/d", "zz"} << ""
            << "hexadecimal digits";
        QTest::newRow("export missing key") << QStringList{"export", "HKCU\\Nope", "@out.reg"} << ""
                                            << "does not exist";
        QTest::newRow("import missing file") << QStringList{"import", "@none.reg"} << ""
                                             << "Could not read";
        QTest::newRow("no header")
            << QStringList{"import", "@bad.reg"} << "[HKEY_CURRENT_USER\\A]\n"
            << "Line 1: the file must start with";
        QTest::newRow("value before key")
            << QStringList{"import", "@bad.reg"} << "REGEDIT4\n\"a\"=\"b\"\n"
            << "Line 2: a value comes before";
        QTest::newRow("bad root in file")
            << QStringList{"import", "@bad.reg"}
            << "Windows Registry Editor Version 5.00\n\n[HKEY_USERS\\x]\n"
            << "Line 3: unknown root";
        QTest::newRow("bad dword in file")
            << QStringList{"import", "@bad.reg"}
            << "Windows Registry Editor Version 5.00\n[HKCU\\x]\n\"n\"=dword:123456789\n"
            << "Line 3:";
        QTest::newRow("unterminated string")
            << QStringList{"import", "@bad.reg"}
            << "Windows Registry Editor Version 5.00\n[HKCU\\x]\n\"n\"=\"abc\n"
            << "Line 3:";
        QTest::newRow("bad hex")
            << QStringList{"import", "@bad.reg"}
            << "Windows Registry Editor Version 5.00\n[HKCU\\x]\n\"n\"=hex:1,2g\n"
            << "Line 3:";
    }
    void badInput() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        QFETCH(QString, message);
        if (!file.isEmpty())
            QVERIFY(zelvorin::test::writeFile(this->file("bad.reg"), file.toUtf8()));
        for (QString& argument : arguments)
            if (argument.startsWith('@'))
                argument = this->file(argument.mid(1));
        const Result result = run(arguments);
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        // A rejected import changes nothing.
        QVERIFY(!zelvorin::SettingsStore(m_files.currentUser).openKey("x", false));
    }

    void executableReportsThroughExitCode() {
        const QString program = qEnvironmentVariable("ZELVORIN_PROGRAM_DIR") + "/zelvorin-reg";
        if (!QFileInfo(program).isExecutable())
            QSKIP("zelvorin-reg is not built");
        QProcess tool;
        tool.start(program, {"--hive", m_files.currentUser, "add", kKey, "/v", "V", "/t",
                             "REG_DWORD", "/d", "7"});
        QVERIFY(tool.waitForFinished());
        QCOMPARE(tool.exitCode(), 0);
        tool.start(program, {"--hive", m_files.currentUser, "query", kKey, "/v", "V"});
        QVERIFY(tool.waitForFinished());
        QCOMPARE(tool.exitCode(), 0);
        QVERIFY(tool.readAllStandardOutput().contains("    V    REG_DWORD    0x7\n"));
        tool.start(program, {"--hive", m_files.currentUser, "query", kKey, "/v", "W"});
        QVERIFY(tool.waitForFinished());
        QCOMPARE(tool.exitCode(), 1);
        QVERIFY(tool.readAllStandardError().startsWith("ERROR:"));
        tool.start(program, {"--help"});
        QVERIFY(tool.waitForFinished());
        QCOMPARE(tool.exitCode(), 0);
        QVERIFY(tool.readAllStandardOutput().contains("zelvorin-reg [--hive FILE]"));
    }
};

ZELVORIN_TEST_MAIN(TestZelvorinReg)
#include "test_zelvorin_reg.moc"

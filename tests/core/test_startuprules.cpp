// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Pure rules of start-up and of the window: the web engine's version check, consent to
// running it without its sandbox, the on-screen rule for saving the geometry, and the
// decoded settings root.
#include "BrowserVersion.h"
#include "ProgramValues.h"
#include "SandboxConsent.h"
#include "SettingsStore.h"
#include "StartingFolder.h"
#include "TestEnvironment.h"
#include "WindowGeometry.h"

#include <QApplication>
#include <QDir>

namespace {
// Sets or (for a null value) unsets an environment variable for one test case.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QByteArray& value)
        : m_name(name), m_wasSet(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        set(value);
    }
    ~ScopedVariable() { set(m_wasSet ? m_old : QByteArray()); }

private:
    void set(const QByteArray& value) {
        if (value.isNull())
            qunsetenv(m_name);
        else
            qputenv(m_name, value);
    }
    const char* m_name;
    bool m_wasSet;
    QByteArray m_old;
};
} // namespace

class StartupRulesTest : public QObject {
    Q_OBJECT
private slots:
    void sandboxProblem_data() {
        QTest::addColumn<bool>("root");
        QTest::addColumn<QByteArrayList>("arguments");
        QTest::addColumn<QByteArray>("disableSandbox");
        QTest::addColumn<QByteArray>("chromiumFlags");
        QTest::addColumn<bool>("refused");
        const QByteArray unset;
        QTest::newRow("normal user")
            << false << QByteArrayList{"zelvorin"} << unset << unset << false;
        QTest::newRow("root") << true << QByteArrayList{"zelvorin"} << unset << unset << true;
        QTest::newRow("root, flag")
            << true << QByteArrayList{"zelvorin", "--no-sandbox"} << unset << unset << false;
        QTest::newRow("root, flag after other arguments")
            << true << QByteArrayList{"zelvorin", "x", "--no-sandbox"} << unset << unset << false;
        QTest::newRow("root, look-alike flag")
            << true << QByteArrayList{"zelvorin", "--no-sandbox=0", "--nosandbox", "-no-sandbox"}
            << unset << unset << true;
        QTest::newRow("root, flag as the program's name")
            << true << QByteArrayList{"--no-sandbox"} << unset << unset << true;
        QTest::newRow("root, variable")
            << true << QByteArrayList{"zelvorin"} << QByteArray("1") << unset << false;
        QTest::newRow("root, engine flags with consent")
            << true << QByteArrayList{"zelvorin"} << unset
            << QByteArray("--disable-gpu --no-sandbox") << false;
        QTest::newRow("root, engine flags without consent")
            << true << QByteArrayList{"zelvorin"} << unset << QByteArray("--disable-gpu") << true;
    }
    void sandboxProblem() {
        QFETCH(bool, root);
        QFETCH(QByteArrayList, arguments);
        QFETCH(QByteArray, disableSandbox);
        QFETCH(QByteArray, chromiumFlags);
        QFETCH(bool, refused);
        ScopedVariable disable("QTWEBENGINE_DISABLE_SANDBOX", disableSandbox);
        ScopedVariable flags("QTWEBENGINE_CHROMIUM_FLAGS", chromiumFlags);
        const QString problem = zelvorin::SandboxProblem(root, arguments);
        QCOMPARE(!problem.isEmpty(), refused);
        if (refused) {
            // The text names both ways to consent.
            QVERIFY(problem.contains("zelvorin --no-sandbox"));
            QVERIFY(problem.contains("QTWEBENGINE_DISABLE_SANDBOX=1"));
        }
    }

    void engineArguments_data() {
        QTest::addColumn<QByteArrayList>("given");
        QTest::addColumn<QByteArrayList>("expected");
        const QByteArrayList plain{"zelvorin", "\xff\xfe not UTF-8"};
        QTest::newRow("no flag: unchanged") << plain << plain;
        QTest::newRow("flag: repeated after the separator")
            << QByteArrayList{"zelvorin", "--no-sandbox"}
            << QByteArrayList{"zelvorin", "--no-sandbox", "--webEngineArgs", "--no-sandbox"};
        QTest::newRow("separator given: flag put right after it")
            << QByteArrayList{"zelvorin", "--no-sandbox", "--WEBENGINEARGS", "--lang=de"}
            << QByteArrayList{"zelvorin", "--no-sandbox", "--WEBENGINEARGS", "--no-sandbox",
                              "--lang=de"};
        QTest::newRow("flag already for the engine")
            << QByteArrayList{"zelvorin", "--webEngineArgs", "--no-sandbox"}
            << QByteArrayList{"zelvorin", "--webEngineArgs", "--no-sandbox"};
        QTest::newRow("look-alike separator is no separator")
            << QByteArrayList{"zelvorin", "--webEngineArgsX", "--no-sandbox"}
            << QByteArrayList{"zelvorin", "--webEngineArgsX", "--no-sandbox", "--webEngineArgs",
                              "--no-sandbox"};
    }
    void engineArguments() {
        QFETCH(QByteArrayList, given);
        QFETCH(QByteArrayList, expected);
        QCOMPARE(zelvorin::EngineArguments(given), expected);
    }

    void consentAddedToEngineFlags_data() {
        QTest::addColumn<QByteArrayList>("arguments");
        QTest::addColumn<QByteArray>("flags");
        QTest::addColumn<QByteArray>("expected");
        const QByteArrayList consent{"zelvorin", "--no-sandbox"};
        QTest::newRow("flags set")
            << consent << QByteArray("--disable-gpu") << QByteArray("--disable-gpu --no-sandbox");
        QTest::newRow("flags set empty")
            << consent << QByteArray("") << QByteArray(" --no-sandbox");
        QTest::newRow("flags already consent")
            << consent << QByteArray("--no-sandbox") << QByteArray("--no-sandbox");
        QTest::newRow("flags unset: the arguments carry it")
            << consent << QByteArray() << QByteArray();
        QTest::newRow("no consent: flags untouched")
            << QByteArrayList{"zelvorin"} << QByteArray("--disable-gpu")
            << QByteArray("--disable-gpu");
    }
    void consentAddedToEngineFlags() {
        QFETCH(QByteArrayList, arguments);
        QFETCH(QByteArray, flags);
        QFETCH(QByteArray, expected);
        ScopedVariable scoped("QTWEBENGINE_CHROMIUM_FLAGS", flags);
        zelvorin::AddConsentToEngineFlags(arguments);
        QCOMPARE(qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"), !expected.isNull());
        QCOMPARE(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), expected);
    }

    void browserVersion_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("passes");
        QTest::newRow("4.71.1712.6") << "4.71.1712.6" << true;
        QTest::newRow("4.70.1300") << "4.70.1300" << false;
        QTest::newRow("5.0") << "5.0" << true;
        QTest::newRow("6 has no dot: major 0") << "6" << false;
        QTest::newRow("4.71 has one dot: minor 0") << "4.71" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("chromium") << "102.0.5005.177" << true;
        QTest::newRow("not a number") << "x.y.z" << false;
        QTest::newRow("4.72.") << "4.72." << true;
    }
    void browserVersion() {
        QFETCH(QString, version);
        QFETCH(bool, passes);
        QCOMPARE(zelvorin::CheckBrowserVersion(version), passes);
    }

    void onScreen_data() {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<bool>("onScreen");
        QTest::newRow("centred") << QRect(100, 100, 610, 442) << true;
        QTest::newRow("almost past the right edge") << QRect(1275, 100, 610, 442) << false;
        QTest::newRow("caption just inside right inset") << QRect(1260, 100, 610, 442) << true;
        QTest::newRow("above the screen") << QRect(100, -30, 610, 442) << false;
        QTest::newRow("caption strip reaches inset") << QRect(100, -5, 610, 442) << true;
        QTest::newRow("below the screen") << QRect(100, 790, 610, 442) << false;
        QTest::newRow("left of the screen") << QRect(-615, 100, 610, 442) << false;
    }
    void onScreen() {
        QFETCH(QRect, frame);
        QFETCH(bool, onScreen);
        QCOMPARE(zelvorin::IsWindowOnScreen(frame, 20, QSize(1280, 800)), onScreen);
    }

    void programValues() {
        const QString folder = QDir::tempPath() + "/zelvorin-values";
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        zelvorin::ProgramValues values(folder, nullptr);
        QCOMPARE(values.SettingsRoot(), QString("Software\\Morvenkast\\Zelvorin"));
        QCOMPARE(values.ProgramFolder(), folder + "/");
        // Without the help file in the program folder the bare name stays.
        values.ResolveHelpFile();
        QCOMPARE(values.HelpFileName(), QString("zelvorin.html"));
        zelvorin::test::writeFile(folder + "/zelvorin.html", "<html></html>");
        values.ResolveHelpFile();
        QCOMPARE(values.HelpFileName(), folder + "/zelvorin.html");
        QDir(folder).removeRecursively();
    }

    void startingFolder() {
        const QString base = QDir::tempPath() + "/zelvorin-start";
        QDir(base).removeRecursively();
        QDir().mkpath(base + "/program");
        QDir().mkpath(base + "/last");
        QDir().mkpath(base + "/default");
        zelvorin::StartingFolderChoice choice{base + "/last", base + "/default", base + "/program/",
                                              base + "/data"};
        QCOMPARE(zelvorin::ChooseStartingFolder(choice), base + "/last");
        // An empty last folder falls back to the default folder.
        choice.lastFolder.clear();
        QCOMPARE(zelvorin::ChooseStartingFolder(choice), base + "/default");
        // A saved folder that no longer exists gives the Samples folder, made and filled.
        choice.lastFolder = base + "/gone";
        const QString samples = base + "/program/Samples";
        QCOMPARE(zelvorin::ChooseStartingFolder(choice), samples);
        QVERIFY(QDir(samples).entryList(QDir::Files).size() >= 12);
        // A Samples folder the user emptied stays as it is.
        QDir(samples).removeRecursively();
        QDir().mkpath(samples);
        QCOMPARE(zelvorin::ChooseStartingFolder(choice), samples);
        QVERIFY(QDir(samples).entryList(QDir::Files).isEmpty());
        QDir(samples).removeRecursively();
        // A program folder nobody can write to: the Samples go to the user's data folder.
        zelvorin::test::writeFile(base + "/blocked", "a file where a folder should be");
        choice.programFolder = base + "/blocked/";
        QCOMPARE(zelvorin::ChooseStartingFolder(choice), base + "/data/Samples");
        QDir(base).removeRecursively();
    }

    void installedProgramFolder() {
        const QString prefix = QDir::tempPath() + "/zelvorin-prefix";
        QDir(prefix).removeRecursively();
        QDir().mkpath(prefix + "/bin");
        QCOMPARE(zelvorin::ProgramValues::LocateProgramFolder(prefix + "/bin"), prefix + "/bin/");
        zelvorin::test::writeFile(prefix + "/share/zelvorin/zelvorin.html", "x");
        QCOMPARE(zelvorin::ProgramValues::LocateProgramFolder(prefix + "/bin"),
                 prefix + "/share/zelvorin/");
        QDir(prefix).removeRecursively();
    }
};

ZELVORIN_TEST_MAIN(StartupRulesTest)
#include "test_startuprules.moc"

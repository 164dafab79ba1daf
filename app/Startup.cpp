// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Startup.h"

#include "BrowserVersion.h"
#include "FileListView.h"
#include "FilePanel.h"
#include "FolderFiles.h"
#include "FolderSession.h"
#include "HelpWindow.h"
#include "MainWindow.h"
#include "PlatformInfo.h"
#include "ProgramValues.h"
#include "SandboxConsent.h"
#include "SettingsStore.h"
#include "UrlSchemes.h"
#include "WorkerPool.h"

#include <QApplication>
#include <QFontDatabase>
#include <QImageReader>
#include <QMessageBox>
#include <QTimer>
#include <QWebEngineView>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

namespace zelvorin {

QString InstalledBrowserVersion() {
    return QString::fromLatin1(qWebEngineChromiumVersion());
}

namespace {
void refuseOldBrowser(ProgramValues& values) {
    values.showHelpTopic(QStringLiteral("Install_IE"));
    QMessageBox box(QMessageBox::Warning, ProductTitle,
                    QStringLiteral("This program required\nthe Qt WebEngine browser 4    \nor "
                                   "higher."),
                    QMessageBox::Ok);
    box.exec();
}

// For start-up measurements: ends the run once the first page has loaded, and with
// ZELVORIN_QUIT_AFTER_FIRST_PAGE=list once the starting folder's list is painted too.
void quitAfterFirstPageIfAsked(MainWindow& form) {
    if (!qEnvironmentVariableIsSet("ZELVORIN_QUIT_AFTER_FIRST_PAGE"))
        return;
    const bool list = qgetenv("ZELVORIN_QUIT_AFTER_FIRST_PAGE") == "list";
    // What is still awaited: the page, and the list when asked for.
    auto awaited = std::make_shared<std::pair<bool, bool>>(true, list);
    const auto arrived = [&form, awaited](bool page) {
        bool& flag = page ? awaited->first : awaited->second;
        if (!flag)
            return;
        flag = false;
        std::printf("zelvorin: %s\n", page ? "first page loaded" : "file list painted");
        std::fflush(stdout);
        // Closing, not quitting, so the run ends the way a user's does.
        if (!awaited->first && !awaited->second)
            QTimer::singleShot(0, &form, &QWidget::close);
    };
    QObject::connect(form.webView(), &QWebEngineView::loadFinished, &form,
                     [arrived] { arrived(true); });
    if (!list)
        return;
    FileListView* files = form.filePanel()->fileList();
    QObject::connect(files->session()->files(), &FolderFiles::readFinished, &form,
                     [files, arrived] {
                         files->viewport()->repaint();
                         arrived(false);
                     });
}

// Reads what the window's first paint asks for, on a worker while the engine starts on the
// main thread: the system's fonts (the configuration and caches the font list is made from)
// and the image format plugins, which the menu bar's own icons load, all of them, to look
// for the one that reads them. Both are safe to read from any thread.
void readAheadForFirstPaint() {
    QFontDatabase::families();
    QImageReader::supportedImageFormats();
}

} // namespace

int RunProgram(int argc, char** argv) {
    QByteArrayList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    const QString sandboxProblem = SandboxProblem(platform::runningAsRoot(), arguments);
    const bool display = platform::displayAvailable();
    // A refusal box that nobody may see would wait for ever: started from a terminal, or
    // with no display to show it on, the text goes to standard error and the run ends.
    if (!sandboxProblem.isEmpty() && (!display || platform::standardErrorIsTerminal())) {
        std::fprintf(stderr, "%s\n", qPrintable(sandboxProblem));
        return 2;
    }
    if (!display) {
        const char* flag = NoSandboxFlagGiven(arguments) ? " --no-sandbox" : "";
        std::fprintf(stderr,
                     "Zelvorin needs a display to show its window, and none is set (DISPLAY "
                     "and WAYLAND_DISPLAY are empty).\nRun it on a virtual display instead:\n"
                     "    xvfb-run -a -s \"-screen 0 1280x800x24\" zelvorin%s\n",
                     flag);
        return 1;
    }
    // QApplication keeps using its argument vector, so the bytes stay alive with it.
    QByteArrayList engineArguments = EngineArguments(arguments);
    AddConsentToEngineFlags(arguments);
    std::vector<char*> engineArgv;
    for (QByteArray& argument : engineArguments)
        engineArgv.push_back(argument.data());
    engineArgv.push_back(nullptr);
    int engineArgc = int(engineArguments.size());

    RegisterUrlSchemes();
    QApplication app(engineArgc, engineArgv.data());
    QApplication::setApplicationName(QStringLiteral("Zelvorin"));
    QApplication::setOrganizationName(QStringLiteral("Morvenkast"));
    QApplication::setDesktopFileName(DesktopEntryId);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zelvorin.svg")));

    if (!sandboxProblem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(sandboxProblem));
        QMessageBox::critical(nullptr, ProductTitle, sandboxProblem);
        return 2;
    }

    WorkerPool startupReads(1);
    startupReads.start(readAheadForFirstPaint);
    ProgramValues values(ProgramValues::LocateProgramFolder(QApplication::applicationDirPath()),
                         std::make_unique<SettingsStore>());
    values.ResolveHelpFile();

    int result = 0;
    if (CheckBrowserVersion(InstalledBrowserVersion())) {
        MainWindow form(values);
        quitAfterFirstPageIfAsked(form);
        form.show();
        result = app.exec();
    } else {
        refuseOldBrowser(values);
        // The help page stays readable until the user closes it.
        if (values.helpWindow()->isVisible())
            app.exec();
        result = 3;
    }
    values.FreeSettings();
    return result;
}

} // namespace zelvorin

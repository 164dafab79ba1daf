#include "Startup.h"

#include "BrowserVersion.h"
#include "HelpWindow.h"
#include "MainUnit.h"
#include "NeededRegistryLib.h"
#include "PlatformInfo.h"
#include "ProgramValues.h"
#include "UrlSchemes.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWebEngineView>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>
#include <cstdio>
#include <unistd.h>

namespace zelvorin {

QString InstalledBrowserVersion() {
    return QString::fromLatin1(qWebEngineChromiumVersion());
}

QString SandboxProblem() {
    if (geteuid() != 0)
        return {};
    if (qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX") ||
        qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").contains("--no-sandbox"))
        return {};
    return QStringLiteral(
        "Zelvorin is running as root. Its web engine (Chromium) refuses to start as root "
        "with its sandbox on, and Zelvorin never turns the sandbox off by itself.\n\n"
        "Start Zelvorin as a normal user. If you accept the risk of running web pages "
        "without the sandbox, set QTWEBENGINE_DISABLE_SANDBOX=1 before starting it.");
}

namespace {
void refuseOldBrowser(const ProgramValues& values) {
    ShowHelpTopic(values.HelpFileName(), QStringLiteral("Install_IE"));
    QMessageBox box(QMessageBox::Warning, ProductTitle,
                    QStringLiteral("This program required\nthe Qt WebEngine browser 4    \nor "
                                   "higher."),
                    QMessageBox::Ok);
    box.exec();
}

// For start-up measurements: ends the run once the first page has loaded.
void quitAfterFirstPageIfAsked(TMainForm& form) {
    if (!qEnvironmentVariableIsSet("ZELVORIN_QUIT_AFTER_FIRST_PAGE"))
        return;
    QObject::connect(form.WebBrowser1, &QWebEngineView::loadFinished, &form, [&form] {
        std::fputs("zelvorin: first page loaded\n", stdout);
        std::fflush(stdout);
        // Closing, not quitting, so the run ends the way a user's does.
        QTimer::singleShot(0, &form, &QWidget::close);
    });
}
} // namespace

int RunProgram(int argc, char** argv) {
    if (!platform::displayAvailable()) {
        std::fputs("Zelvorin needs a display to show its window, and none is set (DISPLAY and "
                   "WAYLAND_DISPLAY are empty).\nRun it on a virtual display instead:\n"
                   "    xvfb-run -a -s \"-screen 0 1280x800x24\" zelvorin\n",
                   stderr);
        return 1;
    }
    RegisterUrlSchemes();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zelvorin"));
    QApplication::setOrganizationName(QStringLiteral("Morvenkast"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zelvorin.svg")));

    if (const QString problem = SandboxProblem(); !problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        QMessageBox::critical(nullptr, ProductTitle, problem);
        return 2;
    }

    ProgramValues values(ProgramValues::LocateProgramFolder(QApplication::applicationDirPath()),
                         std::make_unique<TUsefulRegistry>());
    values.ResolveHelpFile();

    int result = 0;
    if (CheckBrowserVersion(InstalledBrowserVersion())) {
        TMainForm form(values);
        quitAfterFirstPageIfAsked(form);
        form.show();
        result = app.exec();
    } else {
        refuseOldBrowser(values);
        // The help page stays readable until the user closes it.
        if (SharedHelpWindow()->isVisible())
            app.exec();
        result = 3;
    }
    values.FreeSettings();
    return result;
}

} // namespace zelvorin

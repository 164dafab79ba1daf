// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Takes a picture of the main window as it looks at start, for the README and for looking
// at the window without a display: zelvorin-screenshot OUTPUT.png [WIDTH HEIGHT]
// It runs on its own temporary settings, so the user's are never touched. As root, the web
// engine needs QTWEBENGINE_DISABLE_SANDBOX=1 in the environment.
#include "ActionRegistry.h"
#include "FileListView.h"
#include "FilePanel.h"
#include "FolderFiles.h"
#include "FolderSession.h"
#include "MainWindow.h"
#include "ProgramValues.h"
#include "SettingsStore.h"
#include "SettingsTable.h"
#include "UrlSchemes.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: zelvorin-screenshot OUTPUT.png [WIDTH HEIGHT]\n", stderr);
        return 1;
    }
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    zelvorin::RegisterUrlSchemes();
    QApplication app(argc, argv);
    const int width = argc >= 4 ? QString::fromLocal8Bit(argv[2]).toInt() : 1000;
    const int height = argc >= 4 ? QString::fromLocal8Bit(argv[3]).toInt() : 680;

    zelvorin::ProgramValues values(
        zelvorin::ProgramValues::LocateProgramFolder(QApplication::applicationDirPath()),
        std::make_unique<zelvorin::SettingsStore>(home.path() + "/registry.db"));
    const zelvorin::settings::SettingsAccess settings(values.Settings(), values.SettingsRoot());
    settings.write(zelvorin::settings::WindowState, 0);
    settings.write(zelvorin::settings::FormWidth, width);
    settings.write(zelvorin::settings::FormHeight, height);

    zelvorin::MainWindow form(values);
    form.show();
    const QString output = QString::fromLocal8Bit(argv[1]);
    bool saved = false;
    const auto shoot = [&] {
        saved = form.grab().save(output);
        app.quit();
    };
    const QString page = argc >= 5 ? QString::fromLocal8Bit(argv[4]) : QString();
    const QString image = argc >= 6 ? QString::fromLocal8Bit(argv[5]) : QString();
    const auto choose = [&] {
        const QString samples = form.filePanel()->session()->folder() + "/";
        if (page == QLatin1String("gallery"))
            form.actions().action(zelvorin::Command::ShowImageGallery)->trigger();
        else
            form.openAddress(samples + page);
        if (!image.isEmpty())
            form.filePanel()->session()->files()->selectFile(image);
        QTimer::singleShot(1500, &form, shoot);
    };
    if (page.isEmpty())
        QObject::connect(form.webView(), &QWebEngineView::loadFinished, &form,
                         [&] { QTimer::singleShot(1500, &form, shoot); });
    else
        QTimer::singleShot(1000, &form, choose);
    QTimer::singleShot(20000, &form, shoot);
    app.exec();
    if (!saved) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program-wide values and the one owner above the windows: everything that lives for
// the whole run (the settings store, the program folder, the help file, the titles) is
// reached through one `ProgramValues` object handed to the windows that need it.
#pragma once

#include "ProgramServices.h"

#include <QString>
#include <memory>

namespace zelvorin {

class HelpWindow;
class SettingsStore;

// " Zelvorin": application title, main window caption without a page title, and the
// title of every message box. The leading blank is part of it.
inline const QString ProductTitle = QStringLiteral(" Zelvorin");
inline const QString SamplesFolderName = QStringLiteral("Samples");
// The highest filter-box entry that a saved "LastFileFilter" may restore.
inline constexpr int LastFilterIndex = 4;
// The help pages; a full path once found in the program folder.
inline const QString HelpFileBaseName = QStringLiteral("zelvorin.html");
inline const QString ProductWebSite = QStringLiteral("https://zelvorin.example.org/");
inline const QString SupportEmail = QStringLiteral("support@zelvorin.example.org");
// The name of the installed desktop entry (and the AppStream id): desktops match the
// running window to its entry and icon by it.
inline const QString DesktopEntryId = QStringLiteral("com.morvenkast.Zelvorin");

class ProgramValues {
public:
    // Takes ownership of the settings store (may be null in tests that need none).
    ProgramValues(const QString& programFolder, std::unique_ptr<SettingsStore> settings);
    ~ProgramValues();

    // Folder of the program's files (help pages, Samples), with a trailing "/".
    QString ProgramFolder() const { return m_programFolder; }
    QString HelpFileName() const { return m_helpFileName; }
    // "Software\Morvenkast\Zelvorin", decoded once from its stored form.
    QString SettingsRoot() const { return m_settingsRoot; }
    SettingsStore* Settings() const { return m_settings.get(); }

    // What the program asks of the world outside it; tests change pieces of it before the
    // windows that take them are made.
    ProgramServices& services() { return m_services; }
    const ProgramServices& services() const { return m_services; }
    // The help window of the run, made on first use.
    HelpWindow* helpWindow();
    // Opens a topic of the help file in the help window.
    void showHelpTopic(const QString& topic);

    // Makes the help file a full path when it lies in the program folder.
    void ResolveHelpFile();
    // Frees the settings store (the last step of a run).
    void FreeSettings();

    // The folder the running program's files live in: the executable's folder in a build
    // tree, share/zelvorin beside bin/ when installed.
    static QString LocateProgramFolder(const QString& executableFolder);

private:
    QString m_programFolder;
    QString m_helpFileName = HelpFileBaseName;
    QString m_settingsRoot;
    std::unique_ptr<SettingsStore> m_settings;
    ProgramServices m_services;
    std::unique_ptr<HelpWindow> m_helpWindow;
};

} // namespace zelvorin

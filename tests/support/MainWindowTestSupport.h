// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Helpers for tests that drive the real main window with its browser: a window on a
// settings hive of its own, waiting for what the preview shows, and clicking elements of
// the shown page as a user would.
#pragma once

#include "ActionRegistry.h"
#include "MainMenus.h"
#include "MainToolbar.h"
#include "MainWindow.h"
#include "PreviewTestSupport.h"
#include "ProgramValues.h"
#include "SettingsTable.h"

#include <QRect>
#include <QString>
#include <QVariant>
#include <memory>

class QWebEnginePage;

namespace zelvorin::test {

class MainWindowFixture {
public:
    // On a fresh settings hive of its own, or on the hive file given.
    explicit MainWindowFixture(const QString& hive = QString());
    ~MainWindowFixture();

    settings::SettingsAccess settings() const;
    ProgramValues& values() const { return *m_values; }
    // Makes the window (replacing one made before), without showing it.
    zelvorin::MainWindow* create();
    // Makes and shows the window and waits for its first page.
    zelvorin::MainWindow* open();
    zelvorin::MainWindow* form() const { return m_form.get(); }
    QWebEnginePage* page() const;
    void close();

private:
    QString m_hive;
    std::unique_ptr<ProgramValues> m_values;
    std::unique_ptr<zelvorin::MainWindow> m_form;
};

// Runs a script in the page's own world and returns its value (invalid on failure).
QVariant pageValue(QWebEnginePage* page, const QString& script);
// The visible text of the shown document.
QString pageText(QWebEnginePage* page);
// Waits until the shown document's title contains `text`.
bool waitForTitle(QWebEnginePage* page, const QString& text, int timeoutMs = 15000);
// A left click with the mouse at the centre of the first element matching `selector`.
bool clickElement(zelvorin::MainWindow* form, const QString& selector);
// Chooses an entry of the filter box as the user does.
void chooseFilter(zelvorin::MainWindow* form, int index);
// Shows a folder in the file column and waits until the file list holds `count` names.
bool showFolder(zelvorin::MainWindow* form, const QString& folder, int count);

} // namespace zelvorin::test

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ProgramValues.h"

#include "HelpWindow.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFileInfo>

namespace zelvorin {

namespace {
// The settings root is kept encoded in the program file so that it is not one of the
// plain strings a casual look at the binary shows; it is decoded once at start.
constexpr char EncodedSettingsRoot[] = "U29mdHdhcmVcTW9ydmVua2FzdFxaZWx2b3Jpbg==";
} // namespace

ProgramValues::ProgramValues(const QString& programFolder,
                             std::unique_ptr<zelvorin::SettingsStore> settings)
    : m_programFolder(programFolder.endsWith('/') ? programFolder : programFolder + '/'),
      m_settingsRoot(QString::fromLatin1(QByteArray::fromBase64(EncodedSettingsRoot))),
      m_settings(std::move(settings)) {}

ProgramValues::~ProgramValues() = default;

HelpWindow* ProgramValues::helpWindow() {
    if (!m_helpWindow)
        m_helpWindow = std::make_unique<HelpWindow>();
    return m_helpWindow.get();
}

void ProgramValues::showHelpTopic(const QString& topic) {
    helpWindow()->ShowTopic(m_helpFileName, topic);
}

void ProgramValues::ResolveHelpFile() {
    const QString full = m_programFolder + HelpFileBaseName;
    if (QFileInfo::exists(full))
        m_helpFileName = full;
}

void ProgramValues::FreeSettings() {
    m_settings.reset();
}

QString ProgramValues::LocateProgramFolder(const QString& executableFolder) {
    const QString installed = QDir::cleanPath(executableFolder + "/../share/zelvorin");
    if (QFileInfo::exists(installed + "/" + HelpFileBaseName))
        return installed + "/";
    return QDir::cleanPath(executableFolder) + "/";
}

} // namespace zelvorin

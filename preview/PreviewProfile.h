// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The one web profile of the preview, set up in one place: its name and storage, its
// settings, the program's schemes with their handlers, the scripts injected into every
// frame, the table of local images handed out to pages and the local files each local
// page loaded. It must outlive every page
// made on it (the main window's browser and the browser windows opened from it).
#pragma once

#include "LoadedLocalFiles.h"
#include "LocalImageUrls.h"

#include <QObject>
#include <QString>

class QWebEngineProfile;

namespace zelvorin {

class CommandSchemeHandler;
class LocalImageSchemeHandler;
class LocalPageSchemeHandler;

class PreviewProfile : public QObject {
    Q_OBJECT
public:
    // Its storage lies below the user's data folder ($XDG_DATA_HOME), so tests that give
    // themselves their own data folder never touch the user's.
    explicit PreviewProfile(QObject* parent = nullptr);
    ~PreviewProfile() override;

    QWebEngineProfile* profile() const { return m_profile; }
    LocalImageUrls& localImages() { return m_localImages; }
    const LoadedLocalFiles& loadedLocalFiles() const { return m_loadedLocalFiles; }
    // The secret of the program's frame scripts: the key of their messages' digest and the
    // mark of their reports to the program; new each run, in nothing a page can see.
    QString scriptKey() const { return m_scriptKey; }
    // "Hide dialogues of web browser": every page on the profile (the preview's, and the
    // browser windows opened from it, earlier ones included) shows no dialogs of its own
    // while this is set.
    void setSilent(bool silent) { m_silent = silent; }
    bool silent() const { return m_silent; }

private:
    QString m_scriptKey;
    bool m_silent = false;
    LocalImageUrls m_localImages;
    LoadedLocalFiles m_loadedLocalFiles;
    QWebEngineProfile* m_profile = nullptr;
    CommandSchemeHandler* m_commandHandler = nullptr;
    LocalImageSchemeHandler* m_imageHandler = nullptr;
    LocalPageSchemeHandler* m_pageHandler = nullptr;
};

} // namespace zelvorin

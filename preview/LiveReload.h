// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Live reload of the preview: when the shown page is a local file and it, or a file it
// loads from its own folder or below (frames, style sheets, scripts, images), changes on
// disk, the page is loaded again once the change has settled (the file monitor's merge
// time), keeping its scroll position, and the background image and colour chosen for it
// are put back. Files are compared by their stamps (which file, size, time of writing),
// so a change to another file of the folder reloads nothing.
#pragma once

#include "FileStamp.h"

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QObject>
#include <QString>
#include <QUrl>

#include <optional>

namespace zelvorin {

class FolderMonitor;
class Preview;

class LiveReload : public QObject {
    Q_OBJECT
public:
    // The time a change must settle before the page is loaded again: the merge time of
    // the monitor of the shown folder's files.
    static constexpr int SettleTime = 500;

    explicit LiveReload(Preview* preview, QObject* parent = nullptr);
    ~LiveReload() override;

    // "Reload the page when it changes"; on from the start.
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    // Tests: the files followed (raw paths), the changes of their folders looked at and
    // the reloads made so far.
    QList<QByteArray> watchedFiles() const { return m_files.keys(); }
    int checkCount() const { return m_checks; }
    int reloadCount() const { return m_reloads; }

signals:
    // The files of the shown page are followed (after each load of a local page).
    void watching();
    // The page was loaded again and what the preview knows of was put back; the place to
    // put back anything else the user chose for the page.
    void reloaded();

private:
    void pageChanged(const QUrl& url);
    void loadFinished(bool ok);
    void collectFiles();
    void watch(const QStringList& addresses);
    void stopWatching();
    void folderChanged();
    void reload();
    void restore();

    Preview* m_preview = nullptr;
    bool m_enabled = true;
    QUrl m_pageUrl; // without its fragment
    // What the user chose for the shown page.
    QString m_image;
    std::optional<QColor> m_colour;
    QHash<QByteArray, platform::FileStamp> m_files;
    QHash<QString, FolderMonitor*> m_monitors; // by folder
    quint64 m_collectRun = 0;
    bool m_reloading = false;
    int m_checks = 0;
    int m_reloads = 0;
};

} // namespace zelvorin

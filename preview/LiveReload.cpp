// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "LiveReload.h"

#include "FolderMonitor.h"
#include "LosslessNames.h"
#include "PageScripts.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"

#include <QDir>
#include <QFileInfo>

namespace zelvorin {

namespace {

// The folders of one page that are followed at most; a site that spreads its files over
// more is followed in the first ones its page names.
constexpr int MostFolders = 32;

QUrl withoutFragment(const QUrl& url) {
    return url.adjusted(QUrl::RemoveFragment);
}

// The path text of a local address, from its bytes: a page or a file it loads need not
// have a name that is UTF-8.
QString localPath(const QUrl& url) {
    return platform::openablePath(platform::rawPathOfUrl(url));
}

} // namespace

LiveReload::LiveReload(Preview* preview, QObject* parent) : QObject(parent), m_preview(preview) {
    PreviewPage* page = preview->page();
    connect(page, &QWebEnginePage::urlChanged, this, &LiveReload::pageChanged);
    connect(page, &QWebEnginePage::loadFinished, this, &LiveReload::loadFinished);
    connect(preview, &Preview::backgroundImageSet, this,
            [this](const QString& path) { m_image = path; });
    connect(preview, &Preview::backgroundColourSet, this,
            [this](const QColor& colour) { m_colour = colour; });
}

LiveReload::~LiveReload() {
    stopWatching();
}

void LiveReload::setEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (!enabled)
        stopWatching();
    else if (!m_preview->isLoading())
        collectFiles();
}

void LiveReload::pageChanged(const QUrl& url) {
    // Moving within the document keeps it; any other address is another page, whose
    // background is its own (a reload of ours never changes the address).
    const QUrl page = withoutFragment(url);
    if (page == m_pageUrl)
        return;
    m_pageUrl = page;
    m_image.clear();
    m_colour.reset();
    m_reloading = false;
    stopWatching();
}

void LiveReload::loadFinished(bool ok) {
    if (m_reloading) {
        m_reloading = false;
        if (ok)
            restore();
    }
    if (ok && m_enabled)
        collectFiles();
    else
        stopWatching();
}

void LiveReload::collectFiles() {
    const QUrl url = m_preview->page()->url();
    if (!url.isLocalFile()) {
        stopWatching();
        return;
    }
    const quint64 run = ++m_collectRun;
    pagescripts::Run(m_preview->page(), pagescripts::Call(QStringLiteral("PageFiles.js")), this,
                     [this, run](const QVariant& found) {
                         if (run != m_collectRun)
                             return;
                         // The documents of the page's frames are of origins the script
                         // cannot enter; what they loaded the profile noted.
                         QStringList addresses = found.toStringList();
                         const PreviewPage* page = m_preview->page();
                         for (const QUrl& file :
                              page->previewProfile()->loadedLocalFiles().of(page->url()))
                             addresses.append(file.toString(QUrl::FullyEncoded));
                         watch(addresses);
                     });
}

void LiveReload::watch(const QStringList& addresses) {
    const QUrl url = m_preview->page()->url();
    if (!m_enabled || !url.isLocalFile() || withoutFragment(url) != m_pageUrl)
        return;
    const QString page = QFileInfo(localPath(url)).absoluteFilePath();
    QString top = QFileInfo(page).absolutePath();
    if (!top.endsWith(QLatin1Char('/')))
        top += QLatin1Char('/');
    QHash<QByteArray, platform::FileStamp> files;
    QSet<QString> folders;
    const auto follow = [&](const QString& path) {
        const QString clean = QDir::cleanPath(path);
        // Only the page's own folder and those below it: a page that loads a file from
        // elsewhere is not taken to be edited there.
        if (clean != page && !clean.startsWith(top))
            return;
        const QString folder = QFileInfo(clean).absolutePath();
        // Each folder is followed by a thread of its own.
        if (!folders.contains(folder) && folders.size() >= MostFolders)
            return;
        const QByteArray raw = platform::encodePath(clean);
        if (!files.contains(raw))
            files.insert(raw, platform::fileStamp(raw));
        folders.insert(folder);
    };
    follow(page);
    for (const QString& address : addresses) {
        const QUrl resource(address);
        if (resource.isLocalFile())
            follow(localPath(resource));
    }
    m_files = std::move(files);

    for (auto it = m_monitors.begin(); it != m_monitors.end();) {
        if (folders.contains(it.key())) {
            ++it;
        } else {
            delete it.value();
            it = m_monitors.erase(it);
        }
    }
    for (const QString& folder : std::as_const(folders)) {
        if (m_monitors.contains(folder))
            continue;
        auto* monitor = new FolderMonitor(this);
        monitor->setWatchesSubtree(false);
        monitor->setFilter(FolderChange::FileName | FolderChange::Size | FolderChange::LastWrite);
        monitor->setDelayTime(SettleTime);
        monitor->setFolder(folder);
        connect(monitor, &FolderMonitor::changed, this, &LiveReload::folderChanged);
        try {
            monitor->setActive(true);
        } catch (const FolderMonitorError& error) {
            // Without a watch the page simply is not reloaded; the browser's own Refresh
            // still works.
            qWarning("Live reload cannot follow %s: %s", qPrintable(folder), error.what());
        }
        m_monitors.insert(folder, monitor);
    }
    emit watching();
}

void LiveReload::stopWatching() {
    ++m_collectRun;
    qDeleteAll(m_monitors);
    m_monitors.clear();
    m_files.clear();
}

void LiveReload::folderChanged() {
    // While a load is under way (the user may be leaving the page) a reload would cut it
    // short; the load's end takes new stamps anyway.
    if (!m_enabled || m_reloading || m_files.isEmpty() || m_preview->isLoading())
        return;
    ++m_checks;
    bool changed = false;
    for (auto it = m_files.cbegin(); it != m_files.cend() && !changed; ++it)
        changed = platform::fileStamp(it.key()) != it.value();
    if (!changed)
        return;
    // A page caught between deleting and writing (some editors save so) is reloaded
    // when it is back, which the monitor reports too.
    const QUrl url = m_preview->page()->url();
    if (!url.isLocalFile() || !platform::fileStamp(platform::rawPathOfUrl(url)).regular)
        return;
    reload();
}

void LiveReload::reload() {
    m_reloading = true;
    ++m_reloads;
    PreviewPage* page = m_preview->page();
    page->expectProgramNavigation(QWebEnginePage::NavigationTypeReload);
    // A reload keeps the scroll position (the engine restores it with the document's
    // history state). Bypassing the cache: a style sheet or script the engine kept from
    // the last load would hide the very change the user made.
    page->triggerAction(QWebEnginePage::ReloadAndBypassCache);
}

void LiveReload::restore() {
    if (m_colour)
        m_preview->setBackgroundColour(*m_colour);
    if (!m_image.isEmpty())
        m_preview->setBackgroundImage(m_image);
    emit reloaded();
}

} // namespace zelvorin

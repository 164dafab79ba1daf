// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FolderSession.h"

#include "FolderAnswers.h"
#include "FolderFiles.h"
#include "FolderListing.h"
#include "FolderMonitor.h"
#include "FolderPaths.h"
#include "LosslessNames.h"
#include "RawFolderReader.h"
#include "Volumes.h"
#include "WorkerPool.h"

#include <QThread>

#include <algorithm>
#include <cerrno>

namespace zelvorin {

namespace {

QByteArray parentBytes(const QByteArray& path) {
    QByteArray text = path;
    while (text.size() > 1 && text.endsWith('/'))
        text.chop(1);
    const qsizetype slash = text.lastIndexOf('/');
    if (text == "/" || slash < 0)
        return QByteArray();
    return slash == 0 ? QByteArray("/") : text.left(slash);
}

QByteArray nearestExistingAncestor(const QByteArray& path) {
    QByteArray folder = parentBytes(path);
    while (!folder.isEmpty() && !platform::folderExistsBytes(folder))
        folder = parentBytes(folder);
    return folder.isEmpty() ? QByteArray("/") : folder;
}

const QString DirectoryNotFoundText = QStringLiteral("Directory not found");

} // namespace

FolderSession::FolderSession(QObject* parent) : FolderSession(FolderAccess(), {}, parent) {}

FolderSession::FolderSession(FolderAccess access, std::shared_ptr<OnceWarning> watchLimitWarning,
                             QObject* parent)
    : QObject(parent),
      m_pool(std::make_unique<WorkerPool>(std::max(2, QThread::idealThreadCount()))) {
    m_answers = new FolderAnswers(m_pool.get(), std::move(access), this);
    connect(m_answers, &FolderAnswers::waitingChanged, this, &FolderSession::waitingChanged);
    m_files = new FolderFiles(m_pool.get(), m_answers, this);
    connect(m_files, &FolderFiles::selectionTold, this, &FolderSession::tellChosenFile);
    connect(m_files, &FolderFiles::failed, this, &FolderSession::failed);
    moveTo(platform::currentFolderBytes());

    m_folderMonitor = new FolderMonitor(this, watchLimitWarning);
    m_folderMonitor->setObjectName(QStringLiteral("DirRxFolderMonitor1"));
    m_folderMonitor->setDelayTime(1000);
    m_folderMonitor->setFilter(FolderChange::FolderName);
    connect(m_folderMonitor, &FolderMonitor::changed, this, &FolderSession::foldersChangedOnDisk);
    m_fileMonitor = new FolderMonitor(this, watchLimitWarning);
    m_fileMonitor->setObjectName(QStringLiteral("FileRxFolderMonitor1"));
    m_fileMonitor->setDelayTime(500);
    m_fileMonitor->setFilter(FolderChange::FileName | FolderChange::Size | FolderChange::LastWrite);
    m_fileMonitor->setWatchesSubtree(false);
    connect(m_fileMonitor, &FolderMonitor::changed, this, &FolderSession::filesChangedOnDisk);
}

FolderSession::~FolderSession() {
    // The reads end before the pool that runs them.
    if (m_listing)
        disconnect(m_listing.get(), nullptr, this, nullptr);
    m_listing.reset();
    delete m_files;
    delete m_answers;
}

QString FolderSession::chosenFile() const {
    return m_files->selectedPath();
}

FilePurpose FolderSession::purpose() const {
    return m_purposeRule ? m_purposeRule() : FilePurpose::Document;
}

void FolderSession::tellChosenFile() {
    emit fileChosen(chosenFile(), purpose());
}

bool FolderSession::isReadingFolders() const {
    return m_listing && !m_listing->isFinished();
}

bool FolderSession::isSettled() const {
    // A change dealt with may still be read in the background.
    return m_folderMonitor->isSettled() && m_fileMonitor->isSettled() && !m_files->isReading() &&
           !isReadingFolders() && !m_answers->isWaiting();
}

bool FolderSession::sameFolder(const QString& a, const QString& b) const {
    return QString::compare(strippedFolderPath(a), strippedFolderPath(b),
                            m_caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}

void FolderSession::forgetQuestion() {
    if (m_question != 0)
        m_answers->forget(std::exchange(m_question, 0));
}

void FolderSession::setFolder(const QString& path, IfMissing ifMissing) {
    if (ifMissing == IfMissing::Tell) {
        changeFolder(path, [this](const QString& message, bool) { emit failed(message); });
        return;
    }
    // A folder that may not answer is not asked here: the change asks it in a worker,
    // and one that has gone is passed over just the same.
    const QByteArray target = absoluteFolderBytes(m_folderBytes, platform::encodePath(path));
    if (!m_answers->mayBlock(target) && !m_answers->mayBlock(m_folderBytes) &&
        !platform::folderExistsBytes(target))
        return;
    changeFolder(path, [this](const QString& message, bool exists) {
        if (exists)
            emit failed(message);
    });
}

void FolderSession::openFolder(const QByteArray& path) {
    changeFolder(platform::openablePath(path), [this, path](const QString& message, bool exists) {
        if (exists) {
            emit failed(message);
            return;
        }
        fallBackToExistingAncestor(path, [this] { emit failed(DirectoryNotFoundText); });
    });
}

void FolderSession::changeFolder(const QString& path, Refused refused) {
    if (path.isEmpty() || sameFolder(path, m_folder))
        return;
    // A newer change replaces the one waiting for an answer.
    forgetQuestion();
    const QByteArray target = absoluteFolderBytes(m_folderBytes, platform::encodePath(path));
    if (m_answers->mayBlock(target) || m_answers->mayBlock(m_folderBytes)) {
        askAndEnter(target, std::move(refused));
        return;
    }
    try {
        changeToFolder(splitPath(path).folder, nullptr);
    } catch (const FileControlError& error) {
        refused(error.message(), platform::folderExistsBytes(target));
    }
}

void FolderSession::askAndEnter(const QByteArray& target, Refused refused) {
    forgetQuestion();
    m_question = m_answers->ask(target, [this, target, refused = std::move(refused)](
                                            std::optional<FolderSnapshot> answered) {
        m_question = 0;
        if (!answered) {
            emit failed(folderNotAnsweringText(platform::openablePath(target)));
            showIfUnshown();
        } else if (answered->isFile) {
            // A file's path shows the folder that holds it.
            askAndEnter(parentBytes(target), refused);
        } else {
            enterAnswered(*answered, refused);
        }
    });
}

void FolderSession::enterAnswered(const FolderSnapshot& answered, Refused refused) {
    if (!answered.exists) {
        refused(cannotOpenFolderText(platform::openablePath(answered.folder), ENOENT), false);
        showIfUnshown();
        return;
    }
    try {
        // Entered only now that it answered, by its absolute path: the folder shown so far
        // is not asked, as it may be on a server that is gone.
        changeToFolder(QString(), &answered);
    } catch (const FileControlError& error) {
        refused(error.message(), answered.exists);
        showIfUnshown();
    }
}

void FolderSession::changeToFolder(const QString& folder, const FolderSnapshot* answered) {
    if (answered) {
        changeCurrentFolder(platform::openablePath(answered->folder));
        moveTo(answered->folder);
    } else {
        // The old folder first, so that a relative path resolves against what is shown.
        if (platform::folderExistsBytes(m_folderBytes))
            platform::changeFolderBytes(m_folderBytes);
        changeCurrentFolder(folder);
        moveTo(platform::currentFolderBytes());
    }
    buildRows(answered);
    showChange();
}

void FolderSession::moveTo(const QByteArray& folder) {
    if (!m_folderBytes.isEmpty() || !m_volume.isEmpty())
        m_lastFolderOfVolume.insert(m_volume, m_folderBytes);
    m_folderBytes = folder;
    m_folder = platform::openablePath(folder);
    const platform::Volume volume = platform::volumeOf(m_folder, platform::mountedVolumes());
    m_volume = volume.rootPath;
    m_caseSensitive = volume.caseSensitive;
    m_casePreserving = volume.casePreserving;
}

void FolderSession::setVolume(const QString& root) {
    if (root.isEmpty() || root == m_volume)
        return;
    forgetQuestion();
    const QByteArray rootBytes = platform::encodePath(root);
    QByteArray target = m_lastFolderOfVolume.value(root);
    if (target.isEmpty())
        target = rootBytes;
    if (m_answers->mayBlock(rootBytes) || m_answers->mayBlock(m_folderBytes)) {
        const auto tell = [this](const QString& message, bool) { emit failed(message); };
        if (target == rootBytes) {
            askAndEnter(target, tell);
            return;
        }
        // The folder last shown there may be gone: then its root.
        askAndEnter(target, [this, rootBytes, tell](const QString&, bool) {
            askAndEnter(rootBytes, tell);
        });
        return;
    }
    if (!platform::folderExistsBytes(target))
        target = rootBytes;
    if (const int error = platform::changeFolderBytes(target); error != 0) {
        emit failed(cannotOpenFolderText(platform::openablePath(target), error));
        return;
    }
    moveTo(platform::currentFolderBytes());
    buildRows();
    showChange();
}

void FolderSession::fallBackToExistingAncestor(const QByteArray& path, std::function<void()> then) {
    if (m_answers->mayBlock(path)) {
        // The walk up asks each level in turn: all of it runs in the worker.
        forgetQuestion();
        m_question = m_answers->ask(
            path,
            [this, path, then = std::move(then)](std::optional<FolderSnapshot> found) {
                m_question = 0;
                if (!found) {
                    emit failed(folderNotAnsweringText(platform::openablePath(path)));
                    return;
                }
                try {
                    changeToFolder(platform::openablePath(found->folder),
                                   found->exists ? &*found : nullptr);
                } catch (const FileControlError& error) {
                    emit failed(error.message());
                    return;
                }
                if (then)
                    then();
            },
            [path] { return readFolderSnapshot(nearestExistingAncestor(path)); });
        return;
    }
    try {
        changeToFolder(platform::openablePath(nearestExistingAncestor(path)), nullptr);
    } catch (const FileControlError& error) {
        emit failed(error.message());
        return;
    }
    if (then)
        then();
}

void FolderSession::refreshFolders() {
    if (!m_answers->mayBlock(m_folderBytes)) {
        refreshRows();
        return;
    }
    const QByteArray folder = m_folderBytes;
    m_answers->ask(folder, [this, folder](std::optional<FolderSnapshot> answered) {
        if (folder != m_folderBytes)
            return; // another folder is shown meanwhile
        if (!answered) {
            emit failed(folderNotAnsweringText(m_folder));
        } else if (answered->exists) {
            buildRows(&*answered);
            showChange();
        } else {
            refreshRows();
        }
    });
}

void FolderSession::refreshRows() {
    if (!platform::folderExistsBytes(m_folderBytes)) {
        fallBackToExistingAncestor(m_folderBytes, {});
        return;
    }
    if (m_rowsBuilt) {
        // The rows stay until the new subfolders are there.
        readSubfolders(std::make_shared<FolderListing>(m_folderBytes, m_pool.get(),
                                                       m_answers->access().headLimit),
                       true);
        showChange();
        return;
    }
    buildRows();
    showChange();
}

void FolderSession::buildRows(const FolderSnapshot* answered) {
    m_rowsBuilt = true;
    m_levels.clear();
    m_subfolders.clear();
    const QByteArray& folder = m_folderBytes;
    if (folder.startsWith('/')) {
        m_levels.push_back("/");
        if (answered) {
            m_levels.insert(m_levels.end(), answered->existingLevels.begin(),
                            answered->existingLevels.end());
        } else {
            QByteArray accumulated;
            for (const QByteArray& part : folder.mid(1).split('/')) {
                if (part.isEmpty())
                    continue;
                accumulated += '/' + part;
                if (platform::folderExistsBytes(accumulated))
                    m_levels.push_back(accumulated);
            }
        }
    }
    std::shared_ptr<FolderListing> listing;
    if (answered)
        listing = FolderListing::fromSnapshot(*answered);
    else if (folder.startsWith('/'))
        listing =
            std::make_shared<FolderListing>(folder, m_pool.get(), m_answers->access().headLimit);
    readSubfolders(std::move(listing), false);
    emit levelsChanged();
}

void FolderSession::readSubfolders(std::shared_ptr<FolderListing> listing, bool keepRows) {
    if (m_listing)
        disconnect(m_listing.get(), nullptr, this, nullptr);
    m_listing = std::move(listing);
    if (!keepRows)
        m_subfolders.clear();
    if (m_listing)
        connect(m_listing.get(), &FolderListing::finished, this, &FolderSession::takeSubfolders);
}

void FolderSession::takeSubfolders() {
    if (!m_listing)
        return;
    std::vector<std::pair<QString, QByteArray>> sorted;
    sorted.reserve(m_listing->subfolders().size());
    for (const FolderListing::Subfolder& subfolder : m_listing->subfolders())
        sorted.emplace_back(platform::displayName(subfolder.name), subfolder.name);
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        const int folded = QString::compare(a.first, b.first, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a.second < b.second;
    });
    m_subfolders.clear();
    m_subfolders.reserve(sorted.size());
    for (auto& [display, name] : sorted)
        m_subfolders.push_back(std::move(name));
    emit subfoldersChanged();
}

void FolderSession::showChange() {
    // The files take their part of the read before it starts; whatever they leave is read
    // for the subfolders alone.
    const std::shared_ptr<FolderListing> listing = m_listing;
    m_files->showFolder(m_folderBytes, listing);
    if (listing)
        listing->start();
    followShownFolder();
    emit folderChanged(m_folder);
}

void FolderSession::setReadsHeld(bool held) {
    m_readsHeld = held;
    m_files->setReadsHeld(held);
}

void FolderSession::showIfUnshown() {
    if (m_readsHeld || isChangingFolder())
        return;
    if (!m_rowsBuilt) {
        buildRows();
        showChange();
        return;
    }
    m_files->readIfUnread();
    if (m_following && (!m_folderMonitor->isActive() || !m_fileMonitor->isActive()))
        followShownFolder();
}

void FolderSession::setFollowingChanges(bool follow) {
    m_following = follow;
    if (!follow) {
        m_folderMonitor->setActive(false);
        m_fileMonitor->setActive(false);
    } else if (m_rowsBuilt) {
        followShownFolder();
    }
}

void FolderSession::followShownFolder() {
    if (!m_following)
        return;
    try {
        m_folderMonitor->setActive(false);
        m_fileMonitor->setActive(false);
        m_folderMonitor->setFolder(m_folder);
        m_fileMonitor->setFolder(m_folder);
        // The rows' read of the folder gives the watches below it their first level.
        m_folderMonitor->setRootSubfolders(m_listing ? m_listing->sharedSubfolders() : nullptr);
        m_folderMonitor->setActive(true);
        m_fileMonitor->setActive(true);
    } catch (const FolderMonitorError& error) {
        emit failed(error.message());
    }
}

void FolderSession::foldersChangedOnDisk() {
    m_folderMonitor->setActive(false);
    m_fileMonitor->setActive(false);
    // The rows' change notification has the monitors follow again.
    refreshFolders();
}

void FolderSession::filesChangedOnDisk() {
    try {
        m_fileMonitor->setActive(false);
        // When the monitor can tell which names changed, only those are looked at again:
        // in a large folder that costs a small part of reading it all.
        const std::optional<QSet<QByteArray>> changed = m_fileMonitor->takeChangedNames();
        if (changed)
            m_files->refreshNamesKeepingSelection(platform::encodePath(m_fileMonitor->folder()),
                                                  *changed);
        else
            m_files->refreshKeepingSelection();
        m_fileMonitor->setActive(true);
    } catch (const FolderMonitorError& error) {
        emit failed(error.message());
    }
}

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The file column without its widgets: the shown folder (also the process's current
// folder, so that relative paths resolve against what is shown), the volume it is on and
// the folder last shown on each volume, the rows of the folder tree (the path from the
// root down, then the subfolders), the files with their mask, reads and selection
// (FolderFiles), and the two folder monitors that keep both current. The volume box, the
// folder tree and the file list only show it and forward input; it tells what the user
// chose by fileChosen().
//
// A folder on a volume that may not answer is asked in the background first: the change
// is made when it answers, and failed() tells when it does not within the limit. Nothing
// waits meanwhile; a newer folder change replaces the waiting one.
#pragma once

#include "ProgramServices.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zelvorin {

class FolderAnswers;
class FolderFiles;
class FolderListing;
class FolderMonitor;
class WorkerPool;
struct FolderSnapshot;

// What a chosen file is for: with the "Background Images" filter it goes behind the shown
// page, with any other it is opened as a document.
enum class FilePurpose { Background, Document };

class FolderSession : public QObject {
    Q_OBJECT
public:
    // What a folder change from code does when its folder is missing.
    enum class IfMissing { Tell, PassOver };

    explicit FolderSession(QObject* parent = nullptr);
    // Folders are reached as `access` says; the monitors tell the system's watch limit
    // through `watchLimitWarning` (their own when none is given).
    FolderSession(FolderAccess access, std::shared_ptr<OnceWarning> watchLimitWarning,
                  QObject* parent = nullptr);
    ~FolderSession() override;

    // The file column's background work runs here.
    WorkerPool* workers() const { return m_pool.get(); }

    // The shown folder as a path text (see platform/LosslessNames.h) and its raw bytes.
    QString folder() const { return m_folder; }
    QByteArray folderBytes() const { return m_folderBytes; }
    // Shows a folder (a file's path shows the folder that holds it). Failures are told by
    // failed(); a missing folder is passed over without a word when asked so.
    void setFolder(const QString& path, IfMissing ifMissing = IfMissing::Tell);
    // Opens a row of the folder tree: a folder that has gone leads to its nearest existing
    // ancestor and the message "Directory not found".
    void openFolder(const QByteArray& path);
    // A folder change waits for its folder to answer.
    bool isChangingFolder() const { return m_question != 0; }

    // The volume (mount point) of the shown folder. Choosing another one shows the folder
    // last shown on it, or its root.
    QString volume() const { return m_volume; }
    void setVolume(const QString& root);

    // The folder tree's rows: the existing folders from "/" down to the shown folder, then
    // its subfolders' raw names in the order shown (the latter once read).
    const std::vector<QByteArray>& levels() const { return m_levels; }
    const std::vector<QByteArray>& subfolders() const { return m_subfolders; }
    // Names on the shown folder's volume keep their case (else they are shown in lower
    // case).
    bool casePreserving() const { return m_casePreserving; }
    // The shown folder's subfolders are still being read.
    bool isReadingFolders() const;
    // Reads the rows again and raises the change notification. A shown folder that has
    // gone meanwhile gives way to its nearest existing ancestor.
    void refreshFolders();

    FolderFiles* files() const { return m_files; }
    // The selected file (empty for none) and what it is for.
    QString chosenFile() const;
    FilePurpose purpose() const;
    // What a chosen file is for, asked whenever one is told (the file panel: by its
    // filter); without a rule, a document.
    void setPurposeRule(std::function<FilePurpose()> rule) { m_purposeRule = std::move(rule); }
    // Tells fileChosen() of the selection now in the file list.
    void tellChosenFile();

    // While held, nothing is read (the owner is about to set folder and mask);
    // showIfUnshown() reads the folder shown when nothing has been read yet.
    void setReadsHeld(bool held);
    void showIfUnshown();

    // The monitors follow the shown folder and keep the rows and files current (off by
    // default). The folder monitor watches everything below the folder for folders, the
    // file monitor the folder itself for files.
    void setFollowingChanges(bool follow);
    FolderMonitor* folderMonitor() const { return m_folderMonitor; }
    FolderMonitor* fileMonitor() const { return m_fileMonitor; }
    // Both monitors are settled, no question is open and nothing is being read: every
    // change on disk made before has been dealt with and shown.
    bool isSettled() const;
    // What the monitors' changes run: the rows, or the files, read again (public for the
    // benchmarks, which time them).
    void foldersChangedOnDisk();
    void filesChangedOnDisk();

signals:
    // Another folder is shown (or the same one again after a refresh): the rows are
    // rebuilt, the files are being read, the monitors follow it.
    void folderChanged(const QString& folder);
    // The rows from the root down were made anew (the subfolders follow when read).
    void levelsChanged();
    void subfoldersChanged();
    // The selection of the file list changed, by the user or by a refresh; `path` is
    // empty when nothing is selected.
    void fileChosen(const QString& path, zelvorin::FilePurpose purpose);
    // A folder change waits for a folder that may not answer, or no longer does.
    void waitingChanged(bool waiting);
    // Something the user asked for failed; the message says why.
    void failed(const QString& message);

private:
    // Told when a folder change cannot be made: why, and whether the folder exists.
    using Refused = std::function<void(const QString& message, bool exists)>;

    void changeFolder(const QString& path, Refused refused);
    void askAndEnter(const QByteArray& target, Refused refused);
    void enterAnswered(const FolderSnapshot& answered, Refused refused);
    // Makes the folder current (raises FileControlError), then shows it.
    void changeToFolder(const QString& folder, const FolderSnapshot* answered);
    void moveTo(const QByteArray& folder);
    void fallBackToExistingAncestor(const QByteArray& path, std::function<void()> then);
    void refreshRows();
    void buildRows(const FolderSnapshot* answered = nullptr);
    void readSubfolders(std::shared_ptr<FolderListing> listing, bool keepRows);
    void takeSubfolders();
    void showChange();
    void followShownFolder();
    bool sameFolder(const QString& a, const QString& b) const;
    void forgetQuestion();

    // First, so that it is the last to go: the jobs of everything below end before it.
    std::unique_ptr<WorkerPool> m_pool;
    FolderAnswers* m_answers = nullptr;
    FolderFiles* m_files = nullptr;
    FolderMonitor* m_folderMonitor = nullptr;
    FolderMonitor* m_fileMonitor = nullptr;
    QString m_folder;
    QByteArray m_folderBytes;
    QString m_volume;
    QHash<QString, QByteArray> m_lastFolderOfVolume;
    std::vector<QByteArray> m_levels;
    std::vector<QByteArray> m_subfolders;
    bool m_caseSensitive = true;
    bool m_casePreserving = true;
    bool m_rowsBuilt = false;
    bool m_readsHeld = false;
    bool m_following = false;
    // The read whose subfolders the rows show (or are waiting for); the next change hands
    // it to the files.
    std::shared_ptr<FolderListing> m_listing;
    // The folder change waiting for its folder's answer (0: none).
    quint64 m_question = 0;
    std::function<FilePurpose()> m_purposeRule;
};

} // namespace zelvorin

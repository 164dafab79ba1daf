// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The files of the shown folder as the file list shows them, without the list: the sorted
// entries (a FileListModel) and the selection the views share, the mask and the kinds of
// entry that decide what is listed, the reads that fill them and the refreshes that keep
// them current. A folder is read by a FolderListing: a small one at once, a large one by a
// worker whose sorted batches fill the list while the window goes on; the change
// notification follows the end of the read, and a file asked for meanwhile is selected
// when its name arrives. A folder that may not answer is asked in the background first.
#pragma once

#include "FileKinds.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QItemSelection;
class QItemSelectionModel;

namespace zelvorin {

class FileListModel;
class FolderAnswers;
class FolderListing;
class MarkedNames;
class WorkerPool;

class FolderFiles : public QObject {
    Q_OBJECT
public:
    // What the file list's pointer shows while a read goes on: nothing special, the wait
    // cursor while the read holds the window (its start), the busy cursor while it goes on
    // in the background.
    enum class Busy { None, Holding, Background };

    // The folder is the current folder until showFolder().
    FolderFiles(WorkerPool* pool, FolderAnswers* answers, QObject* parent);
    ~FolderFiles() override;

    FileListModel* model() const { return m_model; }
    QItemSelectionModel* selection() const { return m_selection; }

    // The listed folder as a path text (see platform/LosslessNames.h) and its raw bytes.
    QString folder() const { return m_folder; }
    QByteArray folderBytes() const { return m_folderBytes; }
    // Lists another folder (the session has made it current), taking the file list's part
    // of `listing` when given (a read of it made for the folder change), else reading it.
    // The same folder again is read only when it never was.
    void showFolder(const QByteArray& folder, const std::shared_ptr<FolderListing>& listing);

    QString mask() const { return m_mask; }
    void setMask(const QString& mask);
    FileKinds kinds() const { return m_kinds; }
    void setKinds(FileKinds kinds);
    // Marks the entries whose shown names the rule accepts (called from reading threads),
    // and the marked names in list order as they are now.
    void setMarkRule(std::function<bool(const QString&)> rule);
    std::shared_ptr<const MarkedNames> markedNames() const;

    // A read of the folder is under way (the list is filled as it goes), or waits for the
    // folder to answer.
    bool isReading() const;
    // While held, setters keep their settings but read nothing (the owner is about to set
    // them all); readIfUnread() reads once, when nothing has been read yet.
    void setReadsHeld(bool held);
    void readIfUnread();

    int count() const;
    // The names in list order, as shown.
    QStringList names() const;
    int selectedRow() const;
    // Selects a row (-1: none) without the change notification.
    void selectRow(int row);
    // The same, for a caller that tells of the choice itself: the row counts as told, so
    // a later move back to the previous row is told again.
    void selectRowTold(int row);
    // The selected file's full path as a path text and as raw bytes; empty without one.
    QString selectedPath() const;
    QByteArray selectedPathBytes() const;
    // Selects the entry of that name (case ignored) and tells it; a name not read yet is
    // selected when it arrives.
    void selectFile(const QString& name);

    // Re-reads the folder: drops the entries that are gone or no longer match, adds the
    // new ones at their sorted places, then raises the change notification.
    void reread();
    void refreshKeepingSelection();
    // The same refresh when only the given raw names of `folder` can have changed (as a
    // folder monitor reports them): each is looked up again instead of the whole folder,
    // with the very result a full re-read would give. Falls back to the full re-read when
    // the names do not apply (another folder, settings changed since the last read, a
    // folder that cannot be read).
    void refreshNamesKeepingSelection(const QByteArray& folder, const QSet<QByteArray>& names);

    // For tests and benchmarks.
    int busyCursorCount() const { return m_busyCursorCount; }
    int readCount() const { return m_readCount; }
    // Refreshes done by looking up changed names only.
    int recheckCount() const { return m_recheckCount; }
    int lastReadError() const { return m_lastReadError; }

signals:
    // The change notification: after every read, and when the user moves the selection.
    void selectionTold();
    // A read that goes on after the call that started it: entries read so far and a
    // rough count of all (0 when unknown); then its end.
    void readProgress(qint64 read, qint64 estimate);
    void readFinished();
    // A read of the folder starts; the files of these names, or any, changed on disk.
    void readStarted(const QByteArray& folder);
    void namesChanged(const QSet<QByteArray>& names);
    void anyNameMayHaveChanged();
    void busyChanged(zelvorin::FolderFiles::Busy busy);
    // The folder could not be read (it does not answer).
    void failed(const QString& message);

private:
    // Rows the view lays out in one go (about 6 ms on the machines measured).
    static constexpr int LayoutBatchRows = 65536;

    void tell();
    void selectionChanged();
    // Reads the folder, or takes the file list's part of `listing` when given. A folder
    // that may not answer is asked in the background first; when it does not answer, the
    // list stays as it was. A fresh read (another folder) starts from an empty list.
    void readFileNames(std::shared_ptr<FolderListing> listing = {}, bool fresh = false);
    void startRead(std::shared_ptr<FolderListing> listing, bool fresh);
    void takeBatches();
    void finishRead();
    void cancelRead();
    void selectArrived();
    void showLongListing();
    void setBusy(Busy busy);
    bool recheckNames(const QSet<QByteArray>& names);
    void refreshKeepingSelectionBy(const std::function<void()>& read);

    WorkerPool* m_pool = nullptr;
    FolderAnswers* m_answers = nullptr;
    FileListModel* m_model = nullptr;
    QItemSelectionModel* m_selection = nullptr;
    QString m_folder;
    QByteArray m_folderBytes;
    QString m_mask = QStringLiteral("*.*");
    FileKinds m_kinds = FileKind::Normal;
    int m_lastSelected = -1;
    bool m_updating = false;
    int m_busyCursorCount = 0;
    int m_readCount = 0;
    int m_recheckCount = 0;
    // The symbolic links of the folder as last read: what each is listed as depends on
    // its target, which may change without any change to the folder.
    QSet<QByteArray> m_linkNames;
    int m_lastReadError = 0;
    QString m_lastReadMask;
    FileKinds m_lastReadKinds;

    // The read under way and its stamp.
    std::shared_ptr<FolderListing> m_listing;
    // The question to a folder that may not answer, before its read.
    quint64 m_question = 0;
    quint32 m_readGeneration = 0;
    bool m_readLong = false;
    // Set while start() of a read runs: the long listing holds the window then, and goes
    // on in the background afterwards.
    bool m_inReadStart = false;
    bool m_takeScheduled = false;
    // The read's rows come whole from its reader (a list that started empty).
    bool m_rowsFromReader = false;
    bool m_rowsTimerPending = false;
    QElapsedTimer m_sinceRows;
    Busy m_busy = Busy::None;
    // Selected again when its name arrives: the selection before the read (raw) and a
    // file asked for during it (shown name).
    QByteArray m_keepRaw;
    QString m_pendingName;
    // The file asked for during the read, told when it arrived: not told again at the end.
    QByteArray m_toldOnArrival;
    // Refreshes asked for during a read, run at its end.
    bool m_fullRefreshAfterRead = false;
    bool m_readsHeld = false;
    std::optional<QSet<QByteArray>> m_namesAfterRead;
};

} // namespace zelvorin

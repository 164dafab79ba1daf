// TUsefulFileBox: the sorted file list of one folder. A folder is read by a FolderListing:
// a small one at once, a large one by a worker whose sorted batches fill the list while
// the window goes on; the change notification follows the end of the read, and a file
// asked for meanwhile is selected when its name arrives.
#pragma once

#include "UsefulFileControls.h"

#include <QElapsedTimer>
#include <QListView>
#include <QPointer>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>

#include <QLineEdit>
class TUsefulDirectoryBox;

namespace zelvorin {
class FileListModel;
class FileThumbnails;
class FolderListing;
class MarkedNames;
} // namespace zelvorin

class TUsefulFileBox : public QListView {
    Q_OBJECT
public:
    explicit TUsefulFileBox(QWidget* parent = nullptr);
    ~TUsefulFileBox() override;

    // The listed folder (a path text, see platform/LosslessNames.h): after a change, the
    // current folder as read back.
    QString Directory() const { return m_directory; }
    QByteArray DirectoryBytes() const { return m_directoryBytes; }
    // Raises zelvorin::FileControlError when the folder cannot be made current.
    void SetDirectory(const QString& path);
    // The same with the read of the folder the caller made: the file list takes its part
    // of it before it starts (a listing made from a snapshot proved the folder answers).
    void SetDirectoryFrom(const QString& path,
                          const std::shared_ptr<zelvorin::FolderListing>& listing);

    QString Mask() const { return m_mask; }
    void SetMask(const QString& mask);
    TFileType FileType() const { return m_fileType; }
    void SetFileType(TFileType type);
    bool ShowGlyphs() const { return m_showGlyphs; }
    void SetShowGlyphs(bool show);
    int ItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int height);
    // Images show their thumbnails as row icons, in rows tall enough for them ("Show
    // thumbnails"). Off by default: the list then looks as it always did.
    bool ShowThumbnails() const { return m_thumbnails != nullptr; }
    void SetShowThumbnails(bool show);
    zelvorin::FileThumbnails* Thumbnails() const { return m_thumbnails; }
    QLineEdit* FileEdit() const { return m_fileEdit; }
    void SetFileEdit(QLineEdit* edit);

    // The selected file's full path as a path text (see platform/LosslessNames.h; empty
    // without a selection). File actions take the raw bytes.
    QString FileName() const;
    // The same path as raw bytes.
    QByteArray FileNameBytes() const;
    // The full path of entry `row` as a path text; empty outside the list.
    QString EntryPath(int row) const;

    // The names in list order, as shown.
    QStringList Items() const;
    // Marks the entries whose shown names the rule accepts (called from reading threads),
    // and the marked names in list order as they are now.
    void SetMarkRule(std::function<bool(const QString&)> rule);
    std::shared_ptr<const zelvorin::MarkedNames> MarkedNames() const;
    // A read of the folder is under way (the list is filled as it goes).
    bool Reading() const;
    // While held, setters and showing keep their settings but read nothing (the owner is
    // about to set them all); ReadIfUnread() reads once, when nothing has been read yet.
    void SetReadsHeld(bool held);
    void ReadIfUnread();
    // The same names as path texts, each keeping its bytes.
    QStringList LosslessItems() const;
    int Count() const;
    int ItemIndex() const;
    // Selects a row (-1: none) without the change notification.
    void SetItemIndex(int row);
    // The same, for a caller that runs the change handler itself: the row counts as
    // notified, so a later move back to the previous row still notifies.
    void SetItemIndexHandled(int row);

    // Re-reads the folder: drops the entries that are gone or no longer match, adds the
    // new ones at their sorted places, then raises the change notification.
    void Update();
    void RefreshKeepingSelection();
    // The same refresh when only the given raw names of `folder` can have changed (as a
    // folder monitor reports them): each is looked up again instead of the whole folder,
    // with the very result a full re-read would give. Falls back to the full re-read when
    // the names do not apply (another folder, settings changed since the last read, a
    // folder that cannot be read).
    void RefreshNamesKeepingSelection(const QByteArray& folder, const QSet<QByteArray>& names);
    void SelectFile(const QString& name);
    // Applies a path typed by the user: folder, pattern or file (see SplitPath).
    void ApplyFilePath(const QString& text);

    TUsefulDirectoryBox* DirList() const { return m_dirList; }
    void SetDirList(TUsefulDirectoryBox* list) { m_dirList = list; }

    // For tests and benchmarks.
    int BusyCursorCount() const { return m_busyCursorCount; }
    int ReadCount() const { return m_readCount; }
    // Refreshes done by looking up changed names only.
    int RecheckCount() const { return m_recheckCount; }
    int LastReadError() const { return m_lastReadError; }
    zelvorin::FileListModel* Model() const { return m_model; }

signals:
    // The change notification (the control's OnChange).
    void Change();
    // A read that goes on after the call that started it: entries read so far and a
    // rough count of all (0 when unknown); then its end.
    void ReadProgress(qint64 read, qint64 estimate);
    void ReadFinished();

protected:
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Rows the view lays out in one go (about 6 ms on the machines measured).
    static constexpr int LayoutBatchRows = 65536;

    void DoChange();
    // Reads the folder, or takes the file list's part of `listing` when given. A folder
    // that may not answer is read by a worker the call waits for; when it does not answer,
    // the list stays as it was. A fresh read (another folder) starts from an empty list.
    void ReadFileNames(std::shared_ptr<zelvorin::FolderListing> listing = {}, bool fresh = false);
    void TakeBatches();
    void FinishRead();
    void CancelRead();
    void SelectArrived();
    void ShowLongListing();
    bool WouldList(const QByteArray& name) const;
    bool RecheckNames(const QSet<QByteArray>& names);
    void RefreshKeepingSelectionBy(const std::function<void()>& read);
    void UpdateItemHeight();

    zelvorin::FileListModel* m_model = nullptr;
    zelvorin::FileThumbnails* m_thumbnails = nullptr;
    QString m_directory;
    QByteArray m_directoryBytes;
    QString m_mask = QStringLiteral("*.*");
    TFileType m_fileType = TFileAttr::ftNormal;
    bool m_showGlyphs = false;
    int m_itemHeight = 17;
    QPointer<QLineEdit> m_fileEdit;
    QPointer<TUsefulDirectoryBox> m_dirList;
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
    TFileType m_lastReadType;

    // The read under way and its stamp.
    std::shared_ptr<zelvorin::FolderListing> m_listing;
    quint32 m_readGeneration = 0;
    bool m_readLong = false;
    // Set while start() of a read runs: the busy cursor of a long listing is the
    // application's then, and the list's own once the read goes on in the background.
    bool m_inReadStart = false;
    bool m_takeScheduled = false;
    // The read's rows come whole from its reader (a list that started empty).
    bool m_rowsFromReader = false;
    bool m_rowsTimerPending = false;
    QElapsedTimer m_sinceRows;
    bool m_overrideCursor = false;
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

// TUsefulFileBox: the sorted file list of one folder.
#pragma once

#include "UsefulFileControls.h"

#include <QListView>
#include <QPointer>
#include <QSet>

#include <functional>

#include <QLineEdit>
class TUsefulDirectoryBox;

namespace zelvorin {
class FileListModel;
class FileThumbnails;
struct FolderSnapshot;
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
    // The same with the folder already read by the caller (it proved to answer).
    void SetDirectoryFrom(const QString& path, const zelvorin::FolderSnapshot* answered);

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

protected:
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void DoChange();
    // Reads the folder, or takes its entries from `answered` when given. A folder that may
    // not answer is read in a worker; when it does not answer, the list stays as it was.
    void ReadFileNames(const zelvorin::FolderSnapshot* answered = nullptr);
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
};

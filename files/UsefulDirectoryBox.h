// TUsefulDirectoryBox: the path of the shown folder from the root down, one row per
// level, followed by the shown folder's subfolders.
#pragma once

#include "UsefulFileControls.h"

#include <QHash>
#include <QListWidget>
#include <QPointer>

#include <memory>

class QFontMetrics;
#include <QLabel>
class TUsefulFileBox;
class TUsefulDriveBox;
namespace zelvorin {
struct FolderSnapshot;
class FolderListing;
namespace platform {
class SharedSubfolders;
}
} // namespace zelvorin

class TUsefulDirectoryBox : public QListWidget {
    Q_OBJECT
public:
    enum Role { PathBytesRole = Qt::UserRole + 1, SubfolderRole };

    explicit TUsefulDirectoryBox(QWidget* parent = nullptr);

    // The shown folder as a path text (see platform/LosslessNames.h) and its raw bytes.
    QString Directory() const { return m_directory; }
    QByteArray DirectoryBytes() const { return m_directoryBytes; }
    // Raises zelvorin::FileControlError when the folder cannot be entered.
    void SetDirectory(const QString& path);

    // The volume (mount point) of the shown folder; choosing another one shows the folder
    // last shown on it, or its root.
    QString Drive() const;
    void SetDrive(const QString& root);

    TUsefulFileBox* FileList() const { return m_fileList; }
    void SetFileList(TUsefulFileBox* list);
    TUsefulDriveBox* DriveBox() const { return m_driveBox; }
    void SetDriveBox(TUsefulDriveBox* box) { m_driveBox = box; }
    QLabel* DirLabel() const { return m_dirLabel; }
    void SetDirLabel(QLabel* label);

    int ItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int height);

    // The full path of a row with one trailing "/", as a path text; empty outside the list.
    QString ItemPath(int row) const;
    QByteArray ItemPathBytes(int row) const;

    // Opens the selected row's folder; a folder that is gone leads to its nearest
    // existing ancestor and the message "Directory not found".
    void OpenCurrent();
    // Rebuilds the list and raises the change notification. A shown folder that has
    // gone meanwhile gives way to its nearest existing ancestor.
    void Refresh();

    bool CaseSensitive() const { return m_caseSensitive; }
    // The subfolders of the shown folder as its read finds them, for a folder monitor
    // that watches below it (null before the first read).
    std::shared_ptr<const zelvorin::platform::SharedSubfolders> SharedSubfolders() const;
    // The shown folder's subfolders are still being read.
    bool Reading() const;
    // While held, showing the list reads nothing (the owner is about to set the folder);
    // ReadIfUnread() builds it for the folder shown when nothing has been read yet.
    void SetReadsHeld(bool held);
    void ReadIfUnread();

signals:
    void Change();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Each takes the folder's rows (and the file list its entries) from `answered` when
    // given, read already by a worker, instead of reading the folder here. The subfolder
    // rows come from one read of the folder that the file list shares.
    void BuildList(const zelvorin::FolderSnapshot* answered = nullptr);
    void ReadSubfolders(std::shared_ptr<zelvorin::FolderListing> listing, bool keepRows);
    void AddSubfolders();
    void AddItem(const QString& display, const QByteArray& path, bool subfolder);
    void DoChange();
    void ChangeToFolder(const QString& folder, const zelvorin::FolderSnapshot* answered = nullptr);
    // A folder change where the new or the shown folder may not answer.
    void SetDirectoryAnswering(const QString& path, QByteArray target);
    void UpdateDirLabel();
    void UpdateItemHeight();
    bool SameFolder(const QString& a, const QString& b) const;
    void FallBackToExistingAncestor(const QByteArray& path);

    QString m_directory;
    QByteArray m_directoryBytes;
    QPointer<TUsefulFileBox> m_fileList;
    QPointer<TUsefulDriveBox> m_driveBox;
    QPointer<QLabel> m_dirLabel;
    int m_itemHeight = 17;
    bool m_caseSensitive = true;
    bool m_casePreserving = true;
    bool m_changingDrive = false;
    // Set while a change enters a folder that a worker read: the volume change on the way
    // asks the file system nothing.
    bool m_enteringAnswered = false;
    QHash<QString, QByteArray> m_lastFolderOfVolume;
    // The read whose subfolders the rows show (or are waiting for); the next folder
    // change hands it to the file list.
    std::shared_ptr<zelvorin::FolderListing> m_listing;
    int m_currentRow = -1;
    bool m_built = false;
    bool m_readsHeld = false;
};

// Directory label helpers: a path shortened with ".../" until it fits a width.
QString ShortenPathToWidth(const QString& path, const QFontMetrics& metrics, int width);
QString CutFirstFolder(const QString& text);

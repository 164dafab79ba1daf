// The file browsing column of the main window (its MainFilePanel): the volume box, the
// folder list, the filter box and the file list on their panels, the two folder
// monitors that keep the lists current, and the handlers that bind them together.
#pragma once

#include "CustomFilterUnit.h"
#include "FolderMonitor.h"
#include "UsefulFileControls.h"

#include <QPointer>

#include <optional>

class QFrame;

namespace zelvorin {

class FileListCommands;
class SplitterBar;

// What a file chosen in the list is for: with the "Background Images" filter it goes
// behind the shown page, with any other it is opened as a document.
enum class ChosenFileKind { BackgroundImage, Document };

class FilePanel : public TUsefulPanel {
    Q_OBJECT
public:
    explicit FilePanel(QWidget* parent);
    ~FilePanel() override;

    TUsefulDriveBox* DriveComboBox1() const { return m_driveComboBox1; }
    TUsefulDirectoryBox* DirectoryListBox1() const { return m_directoryListBox1; }
    TFilterComboBox* FilterComboBox1() const { return m_filterComboBox1; }
    TUsefulFileBox* FileListBox1() const { return m_fileListBox1; }
    TUsefulPanel* DirectoryBoxPanel() const { return m_directoryBoxPanel; }
    TUsefulPanel* DriveComboBoxPanel() const { return m_driveComboBoxPanel; }
    TUsefulPanel* FilterComboBoxPanel() const { return m_filterComboBoxPanel; }
    SplitterBar* Splitter1() const { return m_splitter1; }
    FolderMonitor* DirRxFolderMonitor1() const { return m_dirRxFolderMonitor1; }
    FolderMonitor* FileRxFolderMonitor1() const { return m_fileRxFolderMonitor1; }
    // The lists' commands: mouse, keys, context menus, drag and drop.
    FileListCommands* Commands() const { return m_commands; }

    // The selected file (empty for none) and what it is for.
    QString ChosenFile() const;
    ChosenFileKind ChosenKind() const;
    // Tells `fileChosen` of the selection now in the file list.
    void ReportFileChosen();
    // Both folder monitors are settled and no list is reading: every change on disk made
    // before has been dealt with and shown (see FolderMonitor::Settled).
    bool isSettled() const;

    // The custom filter dialog (made by the panel unless the host gives its own).
    TAddCustomFilterForm* CustomFilterForm() const { return m_customFilterForm; }
    void SetCustomFilterForm(TAddCustomFilterForm* form);

    // Shows the folder (when it exists) and makes sure both monitors follow it.
    void ApplyStartingFolder(const QString& folder);
    // Start-up: the folder and the stored "LastFileFilter" to show once the window is on
    // screen. Until ApplyPendingStart() (or ApplyStartingFolder()) the lists read nothing,
    // so the folder is read once, with its filter, after the window is shown.
    void SetStartingFolder(const QString& folder, int storedFilter);
    void ApplyPendingStart();
    bool HasPendingStart() const { return m_pendingStart.has_value(); }
    // Start-up: selects the saved "LastFileFilter"; below 0 or above the last fixed filter
    // counts as 0.
    void RestoreFileFilter(int storedIndex);
    // Close: the value to store as "LastFileFilter".
    int SelectedFilterIndex() const;
    // Selects a filter and gives the file list its mask, without the change handler.
    void selectFilterByPosition(int position);

    int DirBoxHeight() const;
    void SetDirBoxHeight(int height);

    // Handlers (the main window's operations on the file column).
    void DirectoryListBox1Change();
    void DirRxFolderMonitor1Change();
    void FileRxFolderMonitor1Change();
    void FilterComboBox1Change();
    void CustomFilterSpeedButtonClick();
    void ComboBoxPanelResize(QWidget* panel);

signals:
    // The selection of the file list changed, by the user or by a refresh; `path` is empty
    // when nothing is selected.
    void fileChosen(const QString& path, zelvorin::ChosenFileKind kind);
    // The folder list's change notification, after the monitors follow the new folder.
    void DirectoryChanged(const QString& folder);
    // A read of the file list's folder goes on in the background: entries read so far and
    // a rough count of all (0 when unknown); then its end.
    void ReadingFolder(qint64 read, qint64 estimate);
    void FolderRead();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateDrivePanel();
    void CreateDirectoryPanel();
    void CreateFilePanel();
    void CreateMonitors();
    void FollowShownFolder();
    void ReleaseReads();
    void EnterFolder(const QString& folder);
    void ReportError(const std::exception& error);

    TUsefulPanel* m_driveComboBoxPanel = nullptr;
    TUsefulDriveBox* m_driveComboBox1 = nullptr;
    TUsefulPanel* m_directoryBoxPanel = nullptr;
    TUsefulDirectoryBox* m_directoryListBox1 = nullptr;
    SplitterBar* m_splitter1 = nullptr;
    TUsefulPanel* m_usefulPanel3 = nullptr;
    TUsefulPanel* m_filterComboBoxPanel = nullptr;
    TFilterComboBox* m_filterComboBox1 = nullptr;
    TUsefulPanel* m_usefulPanel5 = nullptr;
    TUsefulFileBox* m_fileListBox1 = nullptr;
    FolderMonitor* m_dirRxFolderMonitor1 = nullptr;
    FolderMonitor* m_fileRxFolderMonitor1 = nullptr;
    FileListCommands* m_commands = nullptr;
    QPointer<TAddCustomFilterForm> m_customFilterForm;
    // Set after the custom filter dialog ran from a choice of "Add custom filter...": the
    // second notification of that same choice only clears it.
    bool m_customFilterGuard = false;
    // The starting folder, shown once the window is on screen.
    std::optional<QString> m_pendingStart;
};

} // namespace zelvorin

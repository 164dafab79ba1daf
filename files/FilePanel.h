// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The file browsing column of the main window (its MainFilePanel): the volume box, the
// folder tree, the filter box and the file list on their panels, all showing one folder
// session, plus the filter rules of the column (the custom filter dialog, the stored
// filter) and the commands of the lists.
#pragma once

#include "EnablingPanel.h"
#include "ProgramServices.h"

#include <QPointer>

#include <optional>

namespace zelvorin {

class AddCustomFilterDialog;
class FileListCommands;
class FileListView;
class FilterComboBox;
class FolderSession;
class FolderTreeView;
class SplitterBar;
class VolumeBox;

class FilePanel : public EnablingPanel {
    Q_OBJECT
public:
    // The column reaches folders, the desktop and the user as `services` say.
    explicit FilePanel(QWidget* parent, ProgramServices services = {});
    ~FilePanel() override;

    FolderSession* session() const { return m_session; }
    VolumeBox* volumeBox() const { return m_volumeBox; }
    FolderTreeView* folderTree() const { return m_folderTree; }
    FilterComboBox* filterBox() const { return m_filterBox; }
    FileListView* fileList() const { return m_fileList; }
    EnablingPanel* volumePanel() const { return m_volumePanel; }
    EnablingPanel* folderTreePanel() const { return m_folderTreePanel; }
    EnablingPanel* filterPanel() const { return m_filterPanel; }
    SplitterBar* splitter() const { return m_splitter; }
    // The lists' commands: mouse, keys, context menus, drag and drop.
    FileListCommands* commands() const { return m_commands; }
    const ProgramServices& services() const { return m_services; }
    // Tells the user that something asked for failed, and why.
    void showError(const QString& text);

    // The custom filter dialog (made by the panel unless the host gives its own).
    AddCustomFilterDialog* customFilterDialog() const;
    void setCustomFilterDialog(AddCustomFilterDialog* dialog);

    // Shows the folder (when it exists) and makes sure both monitors follow it.
    void showStartingFolder(const QString& folder);
    // Start-up: the folder and the stored "LastFileFilter" to show once the window is on
    // screen. Until applyPendingStart() (or showStartingFolder()) nothing is read, so the
    // folder is read once, with its filter, after the window is shown.
    void setStartingFolder(const QString& folder, int storedFilter);
    void applyPendingStart();
    bool hasPendingStart() const { return m_pendingStart.has_value(); }
    // Start-up: selects the saved "LastFileFilter"; below 0 or above the last fixed filter
    // counts as 0.
    void restoreFilter(int storedIndex);
    // Close: the value to store as "LastFileFilter".
    int selectedFilter() const;
    // Selects a filter and gives the files its mask, without the filter's handler.
    void selectFilter(int position);
    // Names a new filter in the dialog and selects it; Cancel goes back to the filter
    // selected before (the first, when that was "Add custom filter...").
    void addCustomFilter();

    int folderTreeHeight() const;
    void setFolderTreeHeight(int height);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createVolumePanel();
    void createFolderTreePanel();
    void createFilePanel();
    void filterApplied();
    void fitComboToPanel(QWidget* panel);

    ProgramServices m_services;
    FolderSession* m_session = nullptr;
    EnablingPanel* m_volumePanel = nullptr;
    VolumeBox* m_volumeBox = nullptr;
    EnablingPanel* m_folderTreePanel = nullptr;
    FolderTreeView* m_folderTree = nullptr;
    SplitterBar* m_splitter = nullptr;
    EnablingPanel* m_lowerPanel = nullptr;
    EnablingPanel* m_filterPanel = nullptr;
    FilterComboBox* m_filterBox = nullptr;
    FileListView* m_fileList = nullptr;
    FileListCommands* m_commands = nullptr;
    QPointer<AddCustomFilterDialog> m_customFilterDialog;
    // Set after the custom filter dialog ran from a choice of "Add custom filter...": the
    // second notification of that same choice only clears it.
    bool m_customFilterGuard = false;
    // The starting folder, shown once the window is on screen.
    std::optional<QString> m_pendingStart;
};

} // namespace zelvorin

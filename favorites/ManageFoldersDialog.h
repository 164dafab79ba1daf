// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The favorites dialog: edits its own copy of a folder list (add, remove, reorder) and
// hands the result back to the list only through "&Ok".
#pragma once

#include "FavoriteFolders.h"
#include "FolderEntry.h"

#include <QDialog>
#include <functional>

class QKeyEvent;
class QListWidget;
class QPushButton;
class QWidget;

namespace zelvorin {

class ManageFoldersDialog : public QDialog {
    Q_OBJECT

public:
    // Returns the chosen folder's path, or an empty text when the user cancelled.
    using FolderChooser = std::function<QString(QWidget* parent)>;
    // True when the user agrees to remove the selected folder.
    using RemoveConfirmation = std::function<bool(QWidget* parent)>;

    explicit ManageFoldersDialog(QWidget* parent);

    // The list that "&Ok" replaces; the dialog shows its entries each time it is shown.
    void setFolderList(FolderList* list) { m_folderList = list; }
    void setFolderAddedHandler(FolderAddedHandler handler) {
        m_onAddFolderFromDialog = std::move(handler);
    }
    void setFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }
    void setRemoveConfirmation(RemoveConfirmation confirm) { m_confirmRemove = std::move(confirm); }

    // The entries as the list box holds them now.
    FolderList entries() const;
    // The selected entry's index, or -1.
    int selectedIndex() const;

    void showEntries();
    // True when the key was taken (Escape without modifiers closes like "&Cancel").
    bool closeOnEscape(QKeyEvent* event);
    void keepChanges();
    void dropChanges();
    void addFolder();
    void removeFolder();
    void moveUp();
    void moveDown();

    // The width of the border inside the outer panel's edge.
    static constexpr int MainOuterPanelBorderWidth = 4;

    QWidget* MainOuterPanel = nullptr;
    QWidget* ItemListPanel = nullptr;
    QListWidget* FolderListBox = nullptr;
    QWidget* ControlPanel = nullptr;
    QPushButton* OkButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* AddButton = nullptr;
    QPushButton* DeleteButton = nullptr;
    QPushButton* MoveUpButton = nullptr;
    QPushButton* MoveDownButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* addButton(const QString& name, const QString& caption, int top,
                           void (ManageFoldersDialog::*handler)());
    void selectRow(int row);

    FolderList* m_folderList = nullptr;
    FolderAddedHandler m_onAddFolderFromDialog;
    FolderChooser m_chooseFolder;
    RemoveConfirmation m_confirmRemove;
};

} // namespace zelvorin

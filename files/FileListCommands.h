// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The commands of the file list and the folder tree: selecting with the mouse (the list's
// own mouse handling would select on a drag and deselect on Ctrl+click), opening with a
// double-click, Delete to the trash, the two context menus (copy the name, copy the name
// and path, properties), dragging a file out of the list and taking dropped files in.
// Every action works on the file's raw bytes, so a name that is not UTF-8 reaches the
// very file; every failure is told at once with the system's reason. Owned by the file
// panel; what the user chose is told by its folder session. No window and no web engine
// are needed to use or test it.
#pragma once

#include "FileDragDrop.h"
#include "FileMessages.h"
#include "ShellOperations.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

class QAction;
class QKeyEvent;
class QMenu;

namespace zelvorin {

class DropTransfers;
class FileDragSource;
class FileDropTarget;
class FilePanel;

class FileListCommands : public QObject {
    Q_OBJECT
public:
    explicit FileListCommands(FilePanel* panel);

    // The context menus the window built for the two lists, with their entries of the
    // lists' own: each menu pops up over its list, the entries run the commands here, and
    // the file list's entries are enabled only while a file is selected.
    struct ContextMenus {
        QMenu* fileList = nullptr;
        QAction* copyName = nullptr;
        QAction* copyNameAndPath = nullptr;
        QAction* fileProperties = nullptr;
        QMenu* folderList = nullptr;
        QAction* folderProperties = nullptr;
    };
    void setContextMenus(const ContextMenus& menus);

    FileDropTarget* dropTarget() const { return m_dropTarget; }
    FileDragSource* dragSource() const { return m_dragSource; }
    // The dropped files still being copied.
    DropTransfers* dropTransfers() const { return m_transfers; }
    // The drag state: the left press point in list coordinates ((-1, -1): none) and
    // whether a drag from the list is running.
    QPoint dragStartPoint() const { return m_dragStartPoint; }
    bool isDraggingOut() const { return m_draggingOut; }

    // The file list's mouse: a press selects the row under the pointer and tells of it;
    // a move past the threshold with the left button held drags the file out.
    void pressOnFiles(Qt::MouseButton button, QPoint position);
    void moveOverFiles(QPoint position);
    void releaseOverFiles(Qt::MouseButton button, QPoint position);
    // Opens the selected file with the desktop's program.
    void openChosenFile();
    // Delete (no Shift, Ctrl or Alt) moves the selected file to the trash after asking;
    // true when the key was taken.
    bool deleteOnKey(QKeyEvent* event);
    void enableFileMenu();
    void copyFileName();
    void copyFilePath();
    void showFileProperties();
    void showFolderProperties();
    // Opens the folder of the tree's row under the pointer.
    void openFolderUnder(Qt::MouseButton button, QPoint position);
    void answerDropEffect(Qt::KeyboardModifiers keys, QPoint position, Qt::DropActions& effect);
    // Copies or moves the dropped files into the shown folder: moves on one file system at
    // once, copies afterwards (see DropTransfers).
    void takeDrop(Qt::KeyboardModifiers keys, QPoint position, Qt::DropActions& effect);
    void dragDropped(DragEffect effect, bool& continueDrop);
    // Ends the list's drop registration; the window calls it when it closes.
    void stopTakingDrops();

private:
    void hookMouseAndKeys();
    void createDragAndDrop();
    // Tells the user of a failed action on a file of the list, and has the list look at
    // that file again.
    void tellIfFailed(FileAction action, const platform::FileResult& result);

    FilePanel* m_panel = nullptr;
    QPointer<QMenu> m_fileListPopupMenu;
    FileDropTarget* m_dropTarget = nullptr;
    FileDragSource* m_dragSource = nullptr;
    DropTransfers* m_transfers = nullptr;
    QPoint m_dragStartPoint{-1, -1};
    bool m_draggingOut = false;
    // Set by a double-click on the folder list: the release that ends it opens nothing.
    bool m_dirDoubleClick = false;
};

} // namespace zelvorin

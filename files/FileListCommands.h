// The commands of the file list and the folder list: selecting with the mouse (the list's
// own mouse handling would select on a drag and deselect on Ctrl+click), opening with a
// double-click, Delete to the trash, the two context menus (copy the name, copy the name
// and path, properties), dragging a file out of the list and taking dropped files in.
// Every action works on the file's raw bytes, so a name that is not UTF-8 reaches the
// very file; every failure is told at once with the system's reason. Owned by the file
// panel, which tells the rest of the program what the user chose; no window and no web
// engine are needed to use or test it.
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
    void SetContextMenus(const ContextMenus& menus);

    TDropFileTarget* FileBoxDropFileTarget1() const { return m_dropTarget; }
    TDropFileSource* FileBoxDropFileSource1() const { return m_dropSource; }
    // The drag state: the left press point in list coordinates ((-1, -1): none) and
    // whether a drag from the list is running.
    QPoint DragStartPoint() const { return m_dragStartPoint; }
    bool OwnDrag() const { return m_ownDrag; }

    void FileListBox1MouseDown(Qt::MouseButton button, QPoint position);
    void FileListBox1MouseMove(QPoint position);
    void FileListBox1MouseUp(Qt::MouseButton button, QPoint position);
    void FileListBox1DblClick();
    bool FileListBox1KeyDown(QKeyEvent* event);
    void FileListPopupMenuPopup();
    void Copyname1Click();
    void Copynameandpath1Click();
    void Properties1Click();
    void Properties2Click();
    void DirectoryListBox1MouseUp(Qt::MouseButton button, QPoint position);
    void FileBoxDropFileTarget1GetDropEffect(Qt::KeyboardModifiers keys, QPoint position,
                                             Qt::DropActions& effect);
    void FileBoxDropFileTarget1Drop(Qt::KeyboardModifiers keys, QPoint position,
                                    Qt::DropActions& effect);
    void FileBoxDropFileSource1Drop(TDragType type, bool& continueDrop);
    // Ends the list's drop registration; the window calls it when it closes.
    void FormClose();

private:
    void hookMouseAndKeys();
    void createDragAndDrop();
    // Tells the user of a failed action on a file of the list, and has the list look at
    // that file again.
    void tellIfFailed(FileAction action, const platform::FileResult& result);

    FilePanel* m_panel = nullptr;
    QPointer<QMenu> m_fileListPopupMenu;
    TDropFileTarget* m_dropTarget = nullptr;
    TDropFileSource* m_dropSource = nullptr;
    QPoint m_dragStartPoint{-1, -1};
    bool m_ownDrag = false;
    // Set by a double-click on the folder list: the release that ends it opens nothing.
    bool m_dirDoubleClick = false;
};

} // namespace zelvorin

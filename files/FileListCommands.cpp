// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileListCommands.h"

#include "DropTransfers.h"
#include "EventHook.h"
#include "FileDragSource.h"
#include "FileDropTarget.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "FileMessages.h"
#include "FilePanel.h"
#include "FileProperties.h"
#include "FilePropertiesDialog.h"
#include "FolderFiles.h"
#include "FolderMonitor.h"
#include "FolderSession.h"
#include "FolderTreeView.h"
#include "LosslessNames.h"
#include "RawFolderReader.h"
#include "ShellFiles.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>

#include <cerrno>

namespace zelvorin {

using platform::FileResult;

namespace {

// A press followed by a movement of more than this many pixels on either axis starts a
// drag out of the file list.
constexpr int DragThreshold = 10;

// The folder monitors stay off while it lives, so a change the program makes itself does
// not come back as a refresh; they are on again afterwards, whatever happened.
class MonitorsPaused {
public:
    explicit MonitorsPaused(FilePanel* panel) : m_panel(panel) {
        m_panel->session()->fileMonitor()->setActive(false);
        m_panel->session()->folderMonitor()->setActive(false);
    }
    ~MonitorsPaused() {
        try {
            m_panel->session()->folderMonitor()->setActive(true);
            m_panel->session()->fileMonitor()->setActive(true);
        } catch (const FolderMonitorError& error) {
            m_panel->showError(error.message());
        }
    }
    MonitorsPaused(const MonitorsPaused&) = delete;
    MonitorsPaused& operator=(const MonitorsPaused&) = delete;

private:
    FilePanel* m_panel;
};

QByteArray nameOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// The text, and for a path the file:// address, put on the clipboard. The text is the
// name's own bytes, not the text the list shows for a name that is not UTF-8.
void putOnClipboard(const QByteArray& text, const QByteArray& path = QByteArray()) {
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/plain"), text);
    if (!path.isEmpty())
        data->setUrls({platform::fileUrl(path)});
    QApplication::clipboard()->setMimeData(data);
}

} // namespace

FileListCommands::FileListCommands(FilePanel* panel) : QObject(panel), m_panel(panel) {
    setObjectName(QStringLiteral("FileListCommands"));
    hookMouseAndKeys();
    createDragAndDrop();
    m_transfers = new DropTransfers(panel->session()->workers(), panel, this);
    connect(m_transfers, &DropTransfers::failed, panel, &FilePanel::showError);
}

void FileListCommands::hookMouseAndKeys() {
    FileListView* list = m_panel->fileList();
    FolderTreeView* folders = m_panel->folderTree();

    // The list's own mouse handling would select on a move with the button held and
    // deselect on Ctrl+click; the handlers here decide the selection instead.
    new EventHook(list->viewport(), [this](QEvent* event) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            m_panel->fileList()->setFocus(Qt::MouseFocusReason);
            pressOnFiles(mouse->button(), mouse->position().toPoint());
            if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton)
                openChosenFile();
            return true;
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            moveOverFiles(mouse->position().toPoint());
            return mouse->buttons() != Qt::NoButton;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            releaseOverFiles(mouse->button(), mouse->position().toPoint());
            return true;
        }
        default:
            return false;
        }
    });
    new EventHook(list, [this](QEvent* event) {
        return event->type() == QEvent::KeyPress && deleteOnKey(static_cast<QKeyEvent*>(event));
    });
    new EventHook(folders->viewport(), [this](QEvent* event) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        switch (event->type()) {
        case QEvent::MouseButtonDblClick:
            m_dirDoubleClick = true;
            return false;
        case QEvent::MouseButtonPress:
#ifndef Q_OS_WIN
            // Here the context menu opens on the press, and the folder under the pointer
            // must be open by then.
            if (mouse->button() == Qt::RightButton) {
                openFolderUnder(mouse->button(), mouse->position().toPoint());
                return true;
            }
#endif
            return false;
        case QEvent::MouseButtonRelease:
#ifndef Q_OS_WIN
            if (mouse->button() == Qt::RightButton)
                return false;
#endif
            // A double-click has opened its folder on its first release; the list now
            // shows that folder, and the second release must not open a second one.
            if (m_dirDoubleClick) {
                m_dirDoubleClick = false;
                return false;
            }
            openFolderUnder(mouse->button(), mouse->position().toPoint());
            return false;
        default:
            return false;
        }
    });
}

void FileListCommands::createDragAndDrop() {
    m_dropTarget = new FileDropTarget(this);
    m_dropTarget->setObjectName(QStringLiteral("FileBoxDropFileTarget1"));
    m_dropTarget->setDragEffects(DragEffect::Copy | DragEffect::Move);
    m_dropTarget->setReadsDataOnEnter(true);
    m_dropTarget->setShowsImage(true);
    m_dropTarget->setEffectHandler(
        [this](Qt::KeyboardModifiers keys, QPoint position, Qt::DropActions& effect) {
            answerDropEffect(keys, position, effect);
        });
    m_dropTarget->setDropHandler(
        [this](Qt::KeyboardModifiers keys, QPoint position, Qt::DropActions& effect) {
            takeDrop(keys, position, effect);
        });
    m_dragSource = new FileDragSource(this);
    m_dragSource->setObjectName(QStringLiteral("FileBoxDropFileSource1"));
    m_dragSource->setDragEffects(DragEffect::Copy | DragEffect::Move | DragEffect::Link);
    m_dragSource->setShowsImage(false);
    m_dragSource->setDropHandler(
        [this](DragEffect type, bool& continueDrop) { dragDropped(type, continueDrop); });
    FileListView* list = m_panel->fileList();
    try {
        m_dropTarget->registerControl(list);
    } catch (const DropTargetError& error) {
        m_panel->showError(error.message() + list->objectName());
    }
}

void FileListCommands::setContextMenus(const ContextMenus& menus) {
    const auto popUpOver = [](QWidget* list, QMenu* menu) {
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(list, &QWidget::customContextMenuRequested, menu,
                [menu, list](QPoint at) { menu->popup(list->mapToGlobal(at)); });
    };
    m_fileListPopupMenu = menus.fileList;
    popUpOver(m_panel->fileList(), menus.fileList);
    popUpOver(m_panel->folderTree(), menus.folderList);
    connect(menus.fileList, &QMenu::aboutToShow, this, &FileListCommands::enableFileMenu);
    connect(menus.copyName, &QAction::triggered, this, &FileListCommands::copyFileName);
    connect(menus.copyNameAndPath, &QAction::triggered, this, &FileListCommands::copyFilePath);
    connect(menus.fileProperties, &QAction::triggered, this, &FileListCommands::showFileProperties);
    connect(menus.folderProperties, &QAction::triggered, this,
            &FileListCommands::showFolderProperties);
}

void FileListCommands::pressOnFiles(Qt::MouseButton button, QPoint position) {
    FolderFiles* files = m_panel->session()->files();
    const QModelIndex under = m_panel->fileList()->indexAt(position);
    const int row = under.isValid() ? under.row() : -1;
    if (row != files->selectedRow()) {
        files->selectRowTold(row);
        if (row >= 0)
            m_panel->session()->tellChosenFile();
    }
    if (button == Qt::LeftButton)
        m_dragStartPoint = position;
}

void FileListCommands::moveOverFiles(QPoint position) {
    if (m_dragStartPoint == QPoint(-1, -1))
        return;
    if (qAbs(position.x() - m_dragStartPoint.x()) <= DragThreshold &&
        qAbs(position.y() - m_dragStartPoint.y()) <= DragThreshold)
        return;
    m_dragStartPoint = QPoint(-1, -1);
    // A drag needs its data before it starts; the selection cannot change under the
    // pointer while it runs, so this is the path handed over at the drop.
    const QByteArray path = m_panel->session()->files()->selectedPathBytes();
    m_dragSource->files().clear();
    m_dragSource->mappedNames().clear();
    if (!path.isEmpty())
        m_dragSource->files().append(path);
    m_draggingOut = true;
    m_dragSource->run(m_panel->fileList());
    m_draggingOut = false;
}

void FileListCommands::releaseOverFiles(Qt::MouseButton, QPoint) {
    m_dragStartPoint = QPoint(-1, -1);
}

void FileListCommands::openChosenFile() {
    const QByteArray path = m_panel->session()->files()->selectedPathBytes();
    if (path.isEmpty())
        return;
    FileResult result = openWithShell(path, m_panel->services().desktop);
    result.path = path;
    tellIfFailed(FileAction::Open, result);
}

bool FileListCommands::deleteOnKey(QKeyEvent* event) {
    if (event->key() != Qt::Key_Delete ||
        (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)))
        return false;
    FolderFiles* files = m_panel->session()->files();
    if (files->selectedRow() < 0)
        return false;
    FileResult result = FileResult::declined();
    {
        // The deletion must not trigger a refresh of its own.
        const MonitorsPaused paused(m_panel);
        const int index = files->selectedRow();
        const QByteArray raw = files->model()->at(index).raw;
        const QByteArray target = files->selectedPathBytes();
        const QByteArray shown = files->folderBytes();
        try {
            result = moveToTrashWithShell({target}, true, m_panel->window());
        } catch (const std::exception& error) {
            result = FileResult::failure(QString::fromLocal8Bit(error.what()), target);
        }
        // The question's dialog ran events: a folder change asked for before may have
        // arrived meanwhile, and then the list is another folder's.
        if (files->folderBytes() == shown) {
            // Whatever the answer, the list keeps the entry exactly while the file is there.
            if (!platform::entryMayExistBytes(target)) {
                // The entry is found again by its name.
                int row = files->model()->findRaw(raw);
                if (row < 0 && index < files->count())
                    row = index;
                files->selectRowTold(-1);
                if (row >= 0)
                    files->model()->removeRows({row});
            }
            files->selectRowTold(files->count() > index ? index : index - 1);
            m_panel->session()->tellChosenFile();
        }
    }
    // Told once the list and the monitors are as they should be.
    if (result.failed())
        m_panel->showError(FileFailureMessage(FileAction::Trash, {{result.path, result.reason}}));
    return true;
}

void FileListCommands::tellIfFailed(FileAction action, const FileResult& result) {
    if (!result.failed())
        return;
    m_panel->showError(FileFailureMessage(action, {{result.path, result.reason}}));
    // The file may be gone without the monitor having told the list yet.
    if (result.error == ENOENT)
        m_panel->session()->files()->refreshNamesKeepingSelection(m_panel->session()->folderBytes(),
                                                                  {nameOf(result.path)});
}

void FileListCommands::enableFileMenu() {
    if (!m_fileListPopupMenu)
        return;
    const bool selected = m_panel->session()->files()->selectedRow() >= 0;
    for (QAction* entry : m_fileListPopupMenu->actions())
        entry->setEnabled(selected);
}

void FileListCommands::copyFileName() {
    FolderFiles* files = m_panel->session()->files();
    const int row = files->selectedRow();
    if (row >= 0)
        putOnClipboard(files->model()->at(row).raw);
}

void FileListCommands::copyFilePath() {
    const QByteArray path = m_panel->session()->files()->selectedPathBytes();
    if (!path.isEmpty())
        putOnClipboard(path, path);
}

void FileListCommands::showFileProperties() {
    const QByteArray path = m_panel->session()->files()->selectedPathBytes();
    if (path.isEmpty())
        return;
    FileResult result = showProperties(m_panel->window(), path, m_panel->services().desktop);
    result.path = path;
    tellIfFailed(FileAction::Properties, result);
}

void FileListCommands::showFolderProperties() {
    FolderTreeView* folders = m_panel->folderTree();
    if (folders->currentRow() < 0)
        return;
    QByteArray folder = m_panel->session()->folderBytes();
    while (folder.size() > 1 && folder.endsWith('/'))
        folder.chop(1);
    FileResult result = showProperties(m_panel->window(), folder, m_panel->services().desktop);
    if (result.failed())
        m_panel->showError(FileFailureMessage(FileAction::Properties, {{folder, result.reason}}));
}

void FileListCommands::openFolderUnder(Qt::MouseButton, QPoint position) {
    FolderTreeView* folders = m_panel->folderTree();
    const QModelIndex under = folders->indexAt(position);
    if (!under.isValid())
        return;
    folders->setCurrentRow(under.row());
    folders->openCurrentRow();
}

void FileListCommands::answerDropEffect(Qt::KeyboardModifiers keys, QPoint,
                                        Qt::DropActions& effect) {
    const QList<QByteArray>& dropped = m_dropTarget->files();
    const bool same =
        !m_draggingOut && !dropped.isEmpty() &&
        platform::onSameFileSystem(dropped.first(), m_panel->session()->folderBytes());
    effect = FileDropEffect(m_draggingOut, keys, !dropped.isEmpty(), same, effect);
}

void FileListCommands::takeDrop(Qt::KeyboardModifiers, QPoint, Qt::DropActions& effect) {
    if (m_draggingOut) {
        effect = Qt::IgnoreAction;
        return;
    }
    const QByteArray folder = m_panel->session()->folderBytes();
    const QByteArray into = folder.endsWith('/') ? folder : folder + '/';
    const bool copy = effect.testFlag(Qt::CopyAction);
    const bool move = !copy && effect.testFlag(Qt::MoveAction);
    bool allMoved = true;
    QList<FileFailure> failures;
    QList<DroppedFile> copies;
    // The list is not touched: the dropped files show up through the file monitor.
    for (const QByteArray& path : m_dropTarget->files()) {
        // Folders are not taken (the file list holds files only); such an item was not
        // moved either.
        if (platform::folderExistsBytes(path)) {
            allMoved = false;
            continue;
        }
        // The questions are asked now, while the source waits for the drop's answer; the
        // copies run afterwards with the answers given.
        DroppedFile file{path, into + nameOf(path), false};
        platform::TransferOptions options = shellTransferOptions(m_panel->window());
        options.renameOnly = true;
        options.ask = [&file](QWidget* owner, const QString& title, const QString& question) {
            return file.replaceAgreed = platform::askWithMessageBox(owner, title, question);
        };
        FileResult result = FileResult::declined();
        if (copy || move)
            result = move ? platform::moveFile(path, file.destination, options)
                          : platform::transferAllowed(path, file.destination, options);
        // Copies, and moves to another file system, go on after the answer.
        if (copy ? result.ok() : result.error == EXDEV) {
            copies.append(file);
            result = FileResult::declined();
        } else if (copy || !result.ok()) {
            allMoved = false;
        }
        if (result.failed())
            failures.append({path, result.reason});
    }
    // A source told "moved" may remove its originals: it hears so only when every item
    // was moved by the time it is answered, so a file still being copied, or a skipped,
    // refused or failed one never costs its original.
    if (move && (!allMoved || !copies.isEmpty()))
        effect = Qt::CopyAction;
    // Told after the drop has answered its source, which waits for that answer.
    QTimer::singleShot(0, m_transfers,
                       [transfers = m_transfers, copies, failures, folder,
                        action = move ? FileAction::Move : FileAction::Copy] {
                           transfers->start(copies, action, folder, failures);
                       });
}

void FileListCommands::dragDropped(DragEffect, bool&) {
    FolderFiles* files = m_panel->session()->files();
    if (files->selectedRow() >= 0) {
        m_dragSource->files().clear();
        m_dragSource->mappedNames().clear();
        m_dragSource->files().append(files->selectedPathBytes());
    }
    m_draggingOut = false;
    m_dragStartPoint = QPoint(-1, -1);
}

void FileListCommands::stopTakingDrops() {
    m_dropTarget->unregisterControl();
}

} // namespace zelvorin

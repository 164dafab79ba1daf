#include "FileListCommands.h"

#include "EventHook.h"
#include "FileListModel.h"
#include "FileMessages.h"
#include "FilePanel.h"
#include "FileProperties.h"
#include "FilePropertiesDialog.h"
#include "LosslessNames.h"
#include "NeededLib.h"
#include "RawFolderReader.h"

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
        m_panel->FileRxFolderMonitor1()->setActive(false);
        m_panel->DirRxFolderMonitor1()->setActive(false);
    }
    ~MonitorsPaused() {
        try {
            m_panel->DirRxFolderMonitor1()->setActive(true);
            m_panel->FileRxFolderMonitor1()->setActive(true);
        } catch (const std::exception& error) {
            showFileError(m_panel, QString::fromUtf8(error.what()));
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
}

void FileListCommands::hookMouseAndKeys() {
    TUsefulFileBox* files = m_panel->FileListBox1();
    TUsefulDirectoryBox* folders = m_panel->DirectoryListBox1();

    // The list's own mouse handling would select on a move with the button held and
    // deselect on Ctrl+click; the handlers here decide the selection instead.
    new EventHook(files->viewport(), [this](QEvent* event) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            m_panel->FileListBox1()->setFocus(Qt::MouseFocusReason);
            FileListBox1MouseDown(mouse->button(), mouse->position().toPoint());
            if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton)
                FileListBox1DblClick();
            return true;
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            FileListBox1MouseMove(mouse->position().toPoint());
            return mouse->buttons() != Qt::NoButton;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            FileListBox1MouseUp(mouse->button(), mouse->position().toPoint());
            return true;
        }
        default:
            return false;
        }
    });
    new EventHook(files, [this](QEvent* event) {
        return event->type() == QEvent::KeyPress &&
               FileListBox1KeyDown(static_cast<QKeyEvent*>(event));
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
                DirectoryListBox1MouseUp(mouse->button(), mouse->position().toPoint());
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
            DirectoryListBox1MouseUp(mouse->button(), mouse->position().toPoint());
            return false;
        default:
            return false;
        }
    });
}

void FileListCommands::createDragAndDrop() {
    m_dropTarget = new TDropFileTarget(this);
    m_dropTarget->setObjectName(QStringLiteral("FileBoxDropFileTarget1"));
    m_dropTarget->SetDragtypes(TDragType::dtCopy | TDragType::dtMove);
    m_dropTarget->SetGetDataOnEnter(true);
    m_dropTarget->SetShowImage(true);
    m_dropTarget->SetOnGetDropEffect(
        [this](Qt::KeyboardModifiers keys, QPoint position, Qt::DropActions& effect) {
            FileBoxDropFileTarget1GetDropEffect(keys, position, effect);
        });
    m_dropTarget->SetOnDrop(
        [this](Qt::KeyboardModifiers keys, QPoint position, Qt::DropActions& effect) {
            FileBoxDropFileTarget1Drop(keys, position, effect);
        });
    m_dropSource = new TDropFileSource(this);
    m_dropSource->setObjectName(QStringLiteral("FileBoxDropFileSource1"));
    m_dropSource->SetDragtypes(TDragType::dtCopy | TDragType::dtMove | TDragType::dtLink);
    m_dropSource->SetShowImage(false);
    m_dropSource->SetOnDrop([this](TDragType type, bool& continueDrop) {
        FileBoxDropFileSource1Drop(type, continueDrop);
    });
    TUsefulFileBox* files = m_panel->FileListBox1();
    try {
        m_dropTarget->Register(files);
    } catch (const DropTargetError& error) {
        showFileError(m_panel, error.message() + files->objectName());
    }
}

void FileListCommands::SetContextMenus(const ContextMenus& menus) {
    const auto popUpOver = [](QWidget* list, QMenu* menu) {
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(list, &QWidget::customContextMenuRequested, menu,
                [menu, list](QPoint at) { menu->popup(list->mapToGlobal(at)); });
    };
    m_fileListPopupMenu = menus.fileList;
    popUpOver(m_panel->FileListBox1(), menus.fileList);
    popUpOver(m_panel->DirectoryListBox1(), menus.folderList);
    connect(menus.fileList, &QMenu::aboutToShow, this, &FileListCommands::FileListPopupMenuPopup);
    connect(menus.copyName, &QAction::triggered, this, &FileListCommands::Copyname1Click);
    connect(menus.copyNameAndPath, &QAction::triggered, this,
            &FileListCommands::Copynameandpath1Click);
    connect(menus.fileProperties, &QAction::triggered, this, &FileListCommands::Properties1Click);
    connect(menus.folderProperties, &QAction::triggered, this, &FileListCommands::Properties2Click);
}

void FileListCommands::FileListBox1MouseDown(Qt::MouseButton button, QPoint position) {
    TUsefulFileBox* files = m_panel->FileListBox1();
    const QModelIndex under = files->indexAt(position);
    const int row = under.isValid() ? under.row() : -1;
    if (row != files->ItemIndex()) {
        files->SetItemIndexHandled(row);
        if (row >= 0)
            m_panel->ReportFileChosen();
    }
    if (button == Qt::LeftButton)
        m_dragStartPoint = position;
}

void FileListCommands::FileListBox1MouseMove(QPoint position) {
    if (m_dragStartPoint == QPoint(-1, -1))
        return;
    if (qAbs(position.x() - m_dragStartPoint.x()) <= DragThreshold &&
        qAbs(position.y() - m_dragStartPoint.y()) <= DragThreshold)
        return;
    m_dragStartPoint = QPoint(-1, -1);
    // A drag needs its data before it starts; the selection cannot change under the
    // pointer while it runs, so this is the path handed over at the drop.
    const QByteArray path = m_panel->FileListBox1()->FileNameBytes();
    m_dropSource->Files().clear();
    m_dropSource->MappedNames().clear();
    if (!path.isEmpty())
        m_dropSource->Files().append(path);
    m_ownDrag = true;
    m_dropSource->Execute(m_panel->FileListBox1());
    m_ownDrag = false;
}

void FileListCommands::FileListBox1MouseUp(Qt::MouseButton, QPoint) {
    m_dragStartPoint = QPoint(-1, -1);
}

void FileListCommands::FileListBox1DblClick() {
    const QByteArray path = m_panel->FileListBox1()->FileNameBytes();
    if (path.isEmpty())
        return;
    FileResult result = OpenWithShell(path);
    result.path = path;
    tellIfFailed(FileAction::Open, result);
}

bool FileListCommands::FileListBox1KeyDown(QKeyEvent* event) {
    if (event->key() != Qt::Key_Delete ||
        (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)))
        return false;
    TUsefulFileBox* files = m_panel->FileListBox1();
    if (files->ItemIndex() < 0)
        return false;
    FileResult result = FileResult::declined();
    {
        // The deletion must not trigger a refresh of its own.
        const MonitorsPaused paused(m_panel);
        const int index = files->ItemIndex();
        const QByteArray raw = files->Model()->at(index).raw;
        const QByteArray target = files->FileNameBytes();
        try {
            result = DeleteToRecycleBin({target}, true, m_panel->window());
        } catch (const std::exception& error) {
            result = FileResult::failure(QString::fromLocal8Bit(error.what()), target);
        }
        // Whatever the answer, the list keeps the entry exactly while the file is there.
        if (!platform::entryMayExistBytes(target)) {
            // The question's dialog ran events; the entry is found again by its name.
            int row = files->Model()->findRaw(raw);
            if (row < 0 && index < files->Count())
                row = index;
            files->SetItemIndexHandled(-1);
            if (row >= 0)
                files->Model()->removeRows({row});
        }
        files->SetItemIndexHandled(files->Count() > index ? index : index - 1);
        m_panel->ReportFileChosen();
    }
    // Told once the list and the monitors are as they should be.
    if (result.failed())
        showFileError(m_panel->window(),
                      FileFailureMessage(FileAction::Trash, {{result.path, result.reason}}));
    return true;
}

void FileListCommands::tellIfFailed(FileAction action, const FileResult& result) {
    if (!result.failed())
        return;
    showFileError(m_panel->window(), FileFailureMessage(action, {{result.path, result.reason}}));
    // The file may be gone without the monitor having told the list yet.
    if (result.error == ENOENT)
        m_panel->FileListBox1()->RefreshNamesKeepingSelection(
            m_panel->FileListBox1()->DirectoryBytes(), {nameOf(result.path)});
}

void FileListCommands::FileListPopupMenuPopup() {
    if (!m_fileListPopupMenu)
        return;
    const bool selected = m_panel->FileListBox1()->ItemIndex() >= 0;
    for (QAction* entry : m_fileListPopupMenu->actions())
        entry->setEnabled(selected);
}

void FileListCommands::Copyname1Click() {
    TUsefulFileBox* files = m_panel->FileListBox1();
    const int row = files->ItemIndex();
    if (row >= 0)
        putOnClipboard(files->Model()->at(row).raw);
}

void FileListCommands::Copynameandpath1Click() {
    const QByteArray path = m_panel->FileListBox1()->FileNameBytes();
    if (!path.isEmpty())
        putOnClipboard(path, path);
}

void FileListCommands::Properties1Click() {
    const QByteArray path = m_panel->FileListBox1()->FileNameBytes();
    if (path.isEmpty())
        return;
    FileResult result = ShowShellProperties(m_panel->window(), path);
    result.path = path;
    tellIfFailed(FileAction::Properties, result);
}

void FileListCommands::Properties2Click() {
    TUsefulDirectoryBox* folders = m_panel->DirectoryListBox1();
    if (folders->currentRow() < 0)
        return;
    QByteArray folder = folders->DirectoryBytes();
    while (folder.size() > 1 && folder.endsWith('/'))
        folder.chop(1);
    FileResult result = ShowShellProperties(m_panel->window(), folder);
    if (result.failed())
        showFileError(m_panel->window(),
                      FileFailureMessage(FileAction::Properties, {{folder, result.reason}}));
}

void FileListCommands::DirectoryListBox1MouseUp(Qt::MouseButton, QPoint position) {
    TUsefulDirectoryBox* folders = m_panel->DirectoryListBox1();
    const QModelIndex under = folders->indexAt(position);
    if (!under.isValid())
        return;
    folders->setCurrentRow(under.row());
    try {
        folders->OpenCurrent();
    } catch (const std::exception& error) {
        showFileError(folders, QString::fromUtf8(error.what()));
    }
}

void FileListCommands::FileBoxDropFileTarget1GetDropEffect(Qt::KeyboardModifiers keys, QPoint,
                                                           Qt::DropActions& effect) {
    const QList<QByteArray>& dropped = m_dropTarget->Files();
    const bool same =
        !m_ownDrag && !dropped.isEmpty() &&
        platform::onSameFileSystem(dropped.first(), m_panel->FileListBox1()->DirectoryBytes());
    effect = FileDropEffect(m_ownDrag, keys, !dropped.isEmpty(), same, effect);
}

void FileListCommands::FileBoxDropFileTarget1Drop(Qt::KeyboardModifiers, QPoint,
                                                  Qt::DropActions& effect) {
    if (m_ownDrag) {
        effect = Qt::IgnoreAction;
        return;
    }
    const QByteArray folder = m_panel->FileListBox1()->DirectoryBytes();
    const QByteArray into = folder.endsWith('/') ? folder : folder + '/';
    const bool copy = effect.testFlag(Qt::CopyAction);
    const bool move = !copy && effect.testFlag(Qt::MoveAction);
    bool allMoved = true;
    QList<FileFailure> failures;
    QWidget* owner = m_panel->window();
    // The list is not touched: the dropped files show up through the file monitor.
    for (const QByteArray& path : m_dropTarget->Files()) {
        // Folders are not taken (the file list holds files only); such an item was not
        // moved either.
        if (platform::folderExistsBytes(path)) {
            allMoved = false;
            continue;
        }
        const QByteArray destination = into + nameOf(path);
        FileResult result = FileResult::declined();
        if (copy)
            result = CopyFileWithShell(path, destination, true, true, owner);
        else if (move)
            result = MoveFileWithShell(path, destination, true, true, owner);
        if (!result.ok())
            allMoved = false;
        if (result.failed())
            failures.append({path, result.reason});
    }
    // A source told "moved" may remove its originals; it hears so only when every item
    // was moved, so a skipped, refused or failed item never costs its original.
    if (move && !allMoved)
        effect = Qt::CopyAction;
    if (!failures.isEmpty()) {
        // Told after the drop has answered its source, which waits for that answer.
        const QString text = FileFailureMessage(move ? FileAction::Move : FileAction::Copy,
                                                failures, platform::openablePath(folder));
        QTimer::singleShot(0, this, [this, text] { showFileError(m_panel->window(), text); });
    }
}

void FileListCommands::FileBoxDropFileSource1Drop(TDragType, bool&) {
    TUsefulFileBox* files = m_panel->FileListBox1();
    if (files->ItemIndex() >= 0) {
        m_dropSource->Files().clear();
        m_dropSource->MappedNames().clear();
        m_dropSource->Files().append(files->FileNameBytes());
    }
    m_ownDrag = false;
    m_dragStartPoint = QPoint(-1, -1);
}

void FileListCommands::FormClose() {
    m_dropTarget->Unregister();
}

} // namespace zelvorin

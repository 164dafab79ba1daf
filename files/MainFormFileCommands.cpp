// The main window's commands on the file list and the folder list (selecting with the
// mouse, opening, deleting to the trash, the context menus, properties) and the file
// list's drag and drop of files.
#include "MainUnit.h"

#include "EventHook.h"
#include "FileDragDrop.h"
#include "FileListModel.h"
#include "FileMessages.h"
#include "FilePanel.h"
#include "FileProperties.h"
#include "FilePropertiesDialog.h"
#include "NeededLib.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace {

// A press followed by a movement of more than this many pixels on either axis starts a
// drag out of the file list.
constexpr int DragThreshold = 10;

} // namespace

void TMainForm::connectFileCommands() {
    TUsefulFileBox* files = MainFilePanel->FileListBox1();
    TUsefulDirectoryBox* folders = MainFilePanel->DirectoryListBox1();

    // The list's own mouse handling would select on a move with the button held and
    // deselect on Ctrl+click; the window's handlers decide the selection instead.
    new zelvorin::EventHook(files->viewport(), [this](QEvent* event) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            MainFilePanel->FileListBox1()->setFocus(Qt::MouseFocusReason);
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
    new zelvorin::EventHook(files, [this](QEvent* event) {
        return event->type() == QEvent::KeyPress &&
               FileListBox1KeyDown(static_cast<QKeyEvent*>(event));
    });
    new zelvorin::EventHook(folders->viewport(), [this](QEvent* event) {
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

    connect(FileListPopupMenu, &QMenu::aboutToShow, this, &TMainForm::FileListPopupMenuPopup);
    connect(Copyname1, &QAction::triggered, this, &TMainForm::Copyname1Click);
    connect(Copynameandpath1, &QAction::triggered, this, &TMainForm::Copynameandpath1Click);
    connect(Properties1, &QAction::triggered, this, &TMainForm::Properties1Click);
    connect(Properties2, &QAction::triggered, this, &TMainForm::Properties2Click);

    FileBoxDropFileTarget1 = new TDropFileTarget(this);
    FileBoxDropFileTarget1->setObjectName(QStringLiteral("FileBoxDropFileTarget1"));
    FileBoxDropFileTarget1->SetDragtypes(TDragType::dtCopy | TDragType::dtMove);
    FileBoxDropFileTarget1->SetGetDataOnEnter(true);
    FileBoxDropFileTarget1->SetShowImage(true);
    FileBoxDropFileTarget1->SetOnGetDropEffect(
        [this](Qt::KeyboardModifiers keys, QPoint position, Qt::DropActions& effect) {
            FileBoxDropFileTarget1GetDropEffect(keys, position, effect);
        });
    FileBoxDropFileTarget1->SetOnDrop(
        [this](Qt::KeyboardModifiers keys, QPoint position, Qt::DropActions& effect) {
            FileBoxDropFileTarget1Drop(keys, position, effect);
        });
    FileBoxDropFileSource1 = new TDropFileSource(this);
    FileBoxDropFileSource1->setObjectName(QStringLiteral("FileBoxDropFileSource1"));
    FileBoxDropFileSource1->SetDragtypes(TDragType::dtCopy | TDragType::dtMove | TDragType::dtLink);
    FileBoxDropFileSource1->SetShowImage(false);
    FileBoxDropFileSource1->SetOnDrop([this](TDragType type, bool& continueDrop) {
        FileBoxDropFileSource1Drop(type, continueDrop);
    });
    try {
        FileBoxDropFileTarget1->Register(files);
    } catch (const zelvorin::DropTargetError& error) {
        zelvorin::showFileError(this, error.message() + files->objectName());
    }
}

// Every change of the selection made here reaches the preview through the file list's
// one notification path.
void TMainForm::RunFileListBox1Change() {
    emit MainFilePanel->FileListBox1Change();
}

void TMainForm::FileListBox1MouseDown(Qt::MouseButton button, QPoint position) {
    TUsefulFileBox* files = MainFilePanel->FileListBox1();
    const QModelIndex under = files->indexAt(position);
    const int row = under.isValid() ? under.row() : -1;
    if (row != files->ItemIndex()) {
        files->SetItemIndexHandled(row);
        if (row >= 0)
            RunFileListBox1Change();
    }
    if (button == Qt::LeftButton)
        m_dragStartPoint = position;
}

void TMainForm::FileListBox1MouseMove(QPoint position) {
    if (m_dragStartPoint == QPoint(-1, -1))
        return;
    if (qAbs(position.x() - m_dragStartPoint.x()) <= DragThreshold &&
        qAbs(position.y() - m_dragStartPoint.y()) <= DragThreshold)
        return;
    m_dragStartPoint = QPoint(-1, -1);
    // A drag needs its data before it starts; the selection cannot change under the
    // pointer while it runs, so this is the path handed over at the drop.
    const QString path = MainFilePanel->FileListBox1()->FileName();
    FileBoxDropFileSource1->Files().clear();
    FileBoxDropFileSource1->MappedNames().clear();
    if (!path.isEmpty())
        FileBoxDropFileSource1->Files().append(path);
    m_ownDrag = true;
    FileBoxDropFileSource1->Execute(MainFilePanel->FileListBox1());
    m_ownDrag = false;
}

void TMainForm::FileListBox1MouseUp(Qt::MouseButton, QPoint) {
    m_dragStartPoint = QPoint(-1, -1);
}

void TMainForm::FileListBox1DblClick() {
    const QString path = MainFilePanel->FileListBox1()->FileName();
    if (!path.isEmpty())
        OpenWithShell(path);
}

bool TMainForm::FileListBox1KeyDown(QKeyEvent* event) {
    if (event->key() != Qt::Key_Delete ||
        (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)))
        return false;
    TUsefulFileBox* files = MainFilePanel->FileListBox1();
    if (files->ItemIndex() < 0)
        return false;
    // The deletion must not trigger a refresh of its own.
    MainFilePanel->FileRxFolderMonitor1()->SetActive(false);
    MainFilePanel->DirRxFolderMonitor1()->SetActive(false);

    const int index = files->ItemIndex();
    const QByteArray raw = files->Model()->at(index).raw;
    const QString target = files->FileName();
    bool deleted = false;
    try {
        deleted = DeleteToRecycleBin(target, true);
    } catch (...) {
        deleted = !QFileInfo(target).exists() && !QFileInfo(target).isSymLink();
    }
    if (deleted) {
        // The question's dialog ran events; the entry is found again by its name.
        int row = files->Model()->findRaw(raw);
        if (row < 0 && index < files->Count())
            row = index;
        files->SetItemIndexHandled(-1);
        if (row >= 0)
            files->Model()->removeRows({row});
    }
    files->SetItemIndexHandled(files->Count() > index ? index : index - 1);
    RunFileListBox1Change();

    try {
        MainFilePanel->DirRxFolderMonitor1()->SetActive(true);
        MainFilePanel->FileRxFolderMonitor1()->SetActive(true);
    } catch (const std::exception& error) {
        zelvorin::showFileError(this, QString::fromUtf8(error.what()));
    }
    return true;
}

void TMainForm::FileListPopupMenuPopup() {
    const bool selected = MainFilePanel->FileListBox1()->ItemIndex() >= 0;
    for (QAction* entry : FileListPopupMenu->actions())
        entry->setEnabled(selected);
}

void TMainForm::Copyname1Click() {
    TUsefulFileBox* files = MainFilePanel->FileListBox1();
    const int row = files->ItemIndex();
    if (row >= 0)
        QApplication::clipboard()->setText(files->Model()->at(row).name);
}

void TMainForm::Copynameandpath1Click() {
    const QString path = MainFilePanel->FileListBox1()->FileName();
    if (!path.isEmpty())
        QApplication::clipboard()->setText(path);
}

void TMainForm::Properties1Click() {
    const QString path = MainFilePanel->FileListBox1()->FileName();
    if (!path.isEmpty())
        ShowShellProperties(this, path);
}

void TMainForm::Properties2Click() {
    TUsefulDirectoryBox* folders = MainFilePanel->DirectoryListBox1();
    if (folders->currentRow() >= 0)
        ShowShellProperties(this, StripTrailingSlashes(folders->Directory()));
}

void TMainForm::DirectoryListBox1MouseUp(Qt::MouseButton, QPoint position) {
    TUsefulDirectoryBox* folders = MainFilePanel->DirectoryListBox1();
    const QModelIndex under = folders->indexAt(position);
    if (!under.isValid())
        return;
    folders->setCurrentRow(under.row());
    try {
        folders->OpenCurrent();
    } catch (const std::exception& error) {
        zelvorin::showFileError(folders, QString::fromUtf8(error.what()));
    }
}

void TMainForm::FileBoxDropFileTarget1GetDropEffect(Qt::KeyboardModifiers keys, QPoint,
                                                    Qt::DropActions& effect) {
    const QStringList& dropped = FileBoxDropFileTarget1->Files();
    const bool same = !m_ownDrag && !dropped.isEmpty() &&
                      zelvorin::platform::onSameFileSystem(
                          dropped.first(), MainFilePanel->FileListBox1()->Directory());
    effect = zelvorin::FileDropEffect(m_ownDrag, keys, !dropped.isEmpty(), same, effect);
}

void TMainForm::FileBoxDropFileTarget1Drop(Qt::KeyboardModifiers, QPoint, Qt::DropActions& effect) {
    if (m_ownDrag) {
        effect = Qt::IgnoreAction;
        return;
    }
    const QString folder = WithTrailingBackslash(MainFilePanel->FileListBox1()->Directory());
    const bool copy = effect.testFlag(Qt::CopyAction);
    const bool move = !copy && effect.testFlag(Qt::MoveAction);
    bool allMoved = true;
    // The list is not touched: the dropped files show up through the file monitor.
    for (const QString& path : FileBoxDropFileTarget1->Files()) {
        const QFileInfo info(path);
        if (!info.exists() || info.isDir())
            continue;
        const QString destination = folder + info.fileName();
        if (copy)
            CopyFileWithShell(path, destination, true, true, this);
        else if (move && !MoveFileWithShell(path, destination, true, true, this))
            allMoved = false;
    }
    // A source told "moved" may remove its originals; it hears so only when every file
    // was moved, so a refused or failed move never costs the file its original.
    if (move && !allMoved)
        effect = Qt::CopyAction;
}

void TMainForm::FileBoxDropFileSource1Drop(TDragType, bool&) {
    TUsefulFileBox* files = MainFilePanel->FileListBox1();
    if (files->ItemIndex() >= 0) {
        FileBoxDropFileSource1->Files().clear();
        FileBoxDropFileSource1->MappedNames().clear();
        FileBoxDropFileSource1->Files().append(files->FileName());
    }
    m_ownDrag = false;
    m_dragStartPoint = QPoint(-1, -1);
}

void TMainForm::FormClose() {
    if (FileBoxDropFileTarget1 != nullptr)
        FileBoxDropFileTarget1->Unregister();
}

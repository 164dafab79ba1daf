#include "UsefulFileBox.h"

#include "FileIcons.h"
#include "FileItemDelegate.h"
#include "FileListModel.h"
#include "FileMask.h"
#include "FileMessages.h"
#include "FileThumbnails.h"
#include "FolderListing.h"
#include "LosslessNames.h"
#include "RawFolderReader.h"
#include "SlowFolders.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <string_view>

using namespace zelvorin;

TUsefulFileBox::TUsefulFileBox(QWidget* parent) : QListView(parent) {
    m_model = new FileListModel(this);
    setModel(m_model);
    setItemDelegate(new FileItemDelegate(this));
    setUniformItemSizes(true);
    // The view lays a list out row by row; a list of a million rows is laid out in parts,
    // one a turn of the event loop, instead of in one stall after every change.
    setLayoutMode(QListView::Batched);
    setBatchSize(LayoutBatchRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    resize(180, 120);
    m_directoryBytes = platform::currentFolderBytes();
    m_directory = platform::openablePath(m_directoryBytes);
    // The first read waits for the first setter or for the first showing, so a list set
    // up in code does not read the launch folder with settings about to change.
    // Icons are switched on once the control stands, so the first sizing sees them.
    SetShowGlyphs(true);
}

TUsefulFileBox::~TUsefulFileBox() = default;

void TUsefulFileBox::SetDirectory(const QString& path) {
    SetDirectoryFrom(path, nullptr);
}

void TUsefulFileBox::SetDirectoryFrom(const QString& path,
                                      const std::shared_ptr<FolderListing>& listing) {
    if (path == m_directory) {
        // Shown, never read: the caller's read of it serves as the first.
        if (m_readCount == 0 && !m_readsHeld && listing && listing->folder() == m_directoryBytes)
            ReadFileNames(listing, false);
        return;
    }
    const QByteArray target = absoluteFolderBytes(m_directoryBytes, platform::encodePath(path));
    const bool answered = listing && listing->isSnapshot();
    if (answered || folderMayBlock(m_directoryBytes) || folderMayBlock(target)) {
        std::shared_ptr<FolderListing> read = answered ? listing : nullptr;
        if (!read) {
            const std::optional<FolderSnapshot> fetched = answeringSnapshot(target);
            if (!fetched)
                throw FolderNotAnswering(path);
            read = FolderListing::fromSnapshot(*fetched);
        }
        // Entered only now that it answered; neither the old folder nor the current one
        // is asked for anything, as either may be on a server that is gone.
        ChangeCurrentFolder(platform::openablePath(target));
        if (target == m_directoryBytes)
            return;
        m_directoryBytes = target;
        m_directory = platform::openablePath(target);
        ReadFileNames(read, true);
        return;
    }
    // The old folder first, so that a relative path resolves against what is shown.
    if (platform::folderExistsBytes(m_directoryBytes))
        platform::changeFolderBytes(m_directoryBytes);
    ChangeCurrentFolder(path);
    const QByteArray now = platform::currentFolderBytes();
    if (now == m_directoryBytes && !m_directoryBytes.isEmpty())
        return;
    m_directoryBytes = now;
    m_directory = platform::openablePath(now);
    // The caller's read serves when it is of this very folder.
    ReadFileNames(listing && listing->folder() == now ? listing : nullptr, true);
}

void TUsefulFileBox::SetMask(const QString& mask) {
    if (mask == m_mask)
        return;
    m_mask = mask;
    ReadFileNames();
}

void TUsefulFileBox::SetFileType(TFileType type) {
    if (type == m_fileType)
        return;
    m_fileType = type;
    ReadFileNames();
}

void TUsefulFileBox::SetShowGlyphs(bool show) {
    if (show == m_showGlyphs)
        return;
    m_showGlyphs = show;
    m_model->setShowIcons(show);
    UpdateItemHeight();
    viewport()->update();
}

void TUsefulFileBox::SetItemHeight(int height) {
    m_itemHeight = height;
    UpdateItemHeight();
}

void TUsefulFileBox::SetShowThumbnails(bool show) {
    if (show == ShowThumbnails())
        return;
    if (show) {
        m_thumbnails = new FileThumbnails(this);
        m_thumbnails->setFolder(m_directoryBytes);
    } else {
        delete m_thumbnails;
        m_thumbnails = nullptr;
    }
    static_cast<FileItemDelegate*>(itemDelegate())->setThumbnails(m_thumbnails);
    UpdateItemHeight();
    viewport()->update();
}

void TUsefulFileBox::UpdateItemHeight() {
    const int lineHeight = FontLineHeight(font());
    int height = std::max(m_itemHeight, lineHeight);
    if (m_showGlyphs)
        height = std::max(height, FileIcons::smallIconSize() + 1);
    if (height != m_itemHeight)
        m_itemHeight = height;
    // Thumbnail rows are taller than ItemHeight without changing it, so switching them
    // off gives the rows back exactly.
    const int rowHeight =
        m_thumbnails ? std::max(m_itemHeight, m_thumbnails->side() + 2) : m_itemHeight;
    static_cast<FileItemDelegate*>(itemDelegate())->setItemHeight(rowHeight);
    doItemsLayout();
}

void TUsefulFileBox::SetReadsHeld(bool held) {
    m_readsHeld = held;
}

void TUsefulFileBox::ReadIfUnread() {
    if (m_readCount == 0)
        ReadFileNames();
}

void TUsefulFileBox::showEvent(QShowEvent* event) {
    if (m_readCount == 0 && !m_readsHeld)
        ReadFileNames();
    QListView::showEvent(event);
}

void TUsefulFileBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        UpdateItemHeight();
    QListView::changeEvent(event);
}

void TUsefulFileBox::SetFileEdit(QLineEdit* edit) {
    m_fileEdit = edit;
}

int TUsefulFileBox::Count() const {
    return m_model->count();
}

QStringList TUsefulFileBox::Items() const {
    return m_model->names();
}

QStringList TUsefulFileBox::LosslessItems() const {
    QStringList names;
    names.reserve(Count());
    for (int row = 0; row < Count(); ++row)
        names.append(platform::openablePath(m_model->at(row).raw));
    return names;
}

int TUsefulFileBox::ItemIndex() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TUsefulFileBox::SetItemIndex(int row) {
    const bool updating = m_updating;
    m_updating = true;
    if (row < 0 || row >= Count()) {
        selectionModel()->clear();
    } else {
        const QModelIndex index = m_model->index(row);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
    }
    m_updating = updating;
}

void TUsefulFileBox::SetItemIndexHandled(int row) {
    SetItemIndex(row);
    m_lastSelected = ItemIndex();
}

QByteArray TUsefulFileBox::FileNameBytes() const {
    const int row = ItemIndex();
    if (row < 0)
        return QByteArray();
    return JoinFolderAndName(m_directoryBytes, m_model->at(row).raw);
}

QString TUsefulFileBox::FileName() const {
    const int row = ItemIndex();
    return row < 0 ? QString() : EntryPath(row);
}

QString TUsefulFileBox::EntryPath(int row) const {
    if (row < 0 || row >= Count())
        return QString();
    const FileListEntry& entry = m_model->at(row);
    if (platform::roundTrips(entry.raw))
        return JoinFolderAndName(m_directory, entry.name);
    return platform::openablePath(JoinFolderAndName(m_directoryBytes, entry.raw));
}

void TUsefulFileBox::DoChange() {
    m_lastSelected = ItemIndex();
    if (m_fileEdit) {
        m_fileEdit->setText(m_lastSelected >= 0 ? m_model->at(m_lastSelected).name : m_mask);
        m_fileEdit->selectAll();
    }
    emit Change();
}

void TUsefulFileBox::selectionChanged(const QItemSelection& selected,
                                      const QItemSelection& deselected) {
    QListView::selectionChanged(selected, deselected);
    if (m_updating)
        return;
    // The user's own choice outranks a selection waiting for its name.
    m_keepRaw.clear();
    m_pendingName.clear();
    if (ItemIndex() != m_lastSelected)
        DoChange();
}

void TUsefulFileBox::SetMarkRule(std::function<bool(const QString&)> rule) {
    m_model->setMarkRule(std::move(rule));
}

std::shared_ptr<const MarkedNames> TUsefulFileBox::MarkedNames() const {
    return m_model->markedNames();
}

void TUsefulFileBox::RefreshKeepingSelectionBy(const std::function<void()>& read) {
    const int row = ItemIndex();
    const QString name = row >= 0 ? m_model->displayName(row) : QString();
    SetItemIndex(-1);
    read();
    if (!name.isEmpty()) {
        SetItemIndex(m_model->find(name));
        if (ItemIndex() != m_lastSelected)
            DoChange();
    }
}

void TUsefulFileBox::RefreshKeepingSelection() {
    if (m_listing) {
        // Run once the read under way has ended: it may not have reached the changes yet.
        m_fullRefreshAfterRead = true;
        return;
    }
    if (m_thumbnails)
        m_thumbnails->recheckAll();
    RefreshKeepingSelectionBy([this] { ReadFileNames(); });
}

void TUsefulFileBox::RefreshNamesKeepingSelection(const QByteArray& folder,
                                                  const QSet<QByteArray>& names) {
    if (m_listing) {
        // The names are looked at once the read under way has ended: until then a name
        // it read before the change could come back after the change was dealt with.
        if (!platform::sameFolderBytes(folder, m_directoryBytes))
            m_fullRefreshAfterRead = true;
        else if (m_namesAfterRead)
            m_namesAfterRead->unite(names);
        else
            m_namesAfterRead = names;
        return;
    }
    if (m_thumbnails)
        m_thumbnails->forget(names);
    // The names tell what changed since the last read only while nothing else did.
    const bool applies = m_readCount > 0 && m_lastReadError == 0 && m_lastReadMask == m_mask &&
                         m_lastReadType == m_fileType &&
                         platform::sameFolderBytes(folder, m_directoryBytes);
    RefreshKeepingSelectionBy([&] {
        if (!applies || !RecheckNames(names))
            ReadFileNames();
    });
}

void TUsefulFileBox::SelectFile(const QString& name) {
    const int current = ItemIndex();
    if (current >= 0 && m_model->displayName(current) == name)
        return;
    const int row = m_model->find(name);
    if (row < 0 && m_listing) {
        // Not read yet: selected when it arrives, and told then (or at the read's end).
        m_keepRaw.clear();
        m_pendingName = name;
        SetItemIndex(-1);
        return;
    }
    m_pendingName.clear();
    SetItemIndex(row);
    DoChange();
}

void TUsefulFileBox::ApplyFilePath(const QString& text) {
    if (text.isEmpty() || text == FileName())
        return;
    // Splitting the path asks the file system; a folder that may not answer has to prove
    // first that it does.
    const QByteArray typed = absoluteFolderBytes(m_directoryBytes, platform::encodePath(text));
    if (folderMayBlock(typed) || folderMayBlock(m_directoryBytes)) {
        const QByteArray folder = typed.left(std::max<qsizetype>(1, typed.lastIndexOf('/')));
        if (!runWithAnswerLimit(folder, [folder] { platform::folderExistsBytes(folder); }))
            throw FolderNotAnswering(platform::openablePath(folder));
    }
    const PathParts parts = SplitPath(text);
    if (m_dirList)
        m_dirList->SetDirectory(text);
    else
        SetDirectory(parts.folder);
    const QString& file = parts.file;
    if (file.contains(QLatin1Char('*')) || file.contains(QLatin1Char('?'))) {
        SetMask(file);
    } else if (!file.isEmpty()) {
        SelectFile(file);
        const QByteArray raw = platform::encodePath(file);
        if (!platform::fileExistsBytes(JoinFolderAndName(m_directoryBytes, raw)))
            throw FileControlError(QStringLiteral("Invalid file name - %1").arg(text));
        // During a read the file may just not have arrived: whether the list will hold it
        // is told by the file itself.
        const bool arriving = m_listing && !m_pendingName.isEmpty() && WouldList(raw);
        if (ItemIndex() < 0 && !arriving) {
            SetMask(file);
            SelectFile(file);
        }
    }
}

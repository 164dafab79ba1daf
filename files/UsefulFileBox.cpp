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

namespace {

// The sorted position at which an added entry makes the listing count as long.
constexpr int LongListingPosition = 100;

// Rows the view lays out in one go (about 6 ms on the machines measured).
constexpr int LayoutBatchRows = 65536;
// How often a long read makes rows of the names it has read.
constexpr int RowsIntervalMs = 250;

// Past this many symbolic links a full re-read costs about what looking each up does.
constexpr int LinkBound = 2000;

platform::ReadOnlyCheck readOnlyCheck(const ListingRule& rule) {
    return rule.checkReadOnly ? platform::ReadOnlyCheck::Check : platform::ReadOnlyCheck::Skip;
}

std::string_view view(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

} // namespace

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

bool TUsefulFileBox::Reading() const {
    return m_listing != nullptr;
}

void TUsefulFileBox::Update() {
    ReadFileNames();
}

void TUsefulFileBox::CancelRead() {
    if (!m_listing)
        return;
    disconnect(m_listing.get(), nullptr, this, nullptr);
    m_listing.reset();
    if (m_overrideCursor) {
        QApplication::restoreOverrideCursor();
        m_overrideCursor = false;
    }
    viewport()->unsetCursor();
}

void TUsefulFileBox::ReadFileNames(std::shared_ptr<FolderListing> listing, bool fresh) {
    if (m_readsHeld)
        return; // the settings are kept; the owner reads once it has set them all
    ++m_readCount;
    if (m_thumbnails)
        m_thumbnails->setFolder(m_directoryBytes);
    if (!listing && folderMayBlock(m_directoryBytes)) {
        const std::optional<FolderSnapshot> fetched = answeringSnapshot(m_directoryBytes);
        if (!fetched) {
            m_lastReadError = ETIMEDOUT;
            showFileError(this, folderNotAnsweringText(m_directory));
            return;
        }
        listing = FolderListing::fromSnapshot(*fetched);
    }
    // A read under way gives way; the selection it was to put back stays asked for.
    const QByteArray keep = m_listing && !m_keepRaw.isEmpty() ? m_keepRaw
                            : ItemIndex() >= 0                ? m_model->rawName(ItemIndex())
                                                              : QByteArray();
    CancelRead();
    const FileMask mask(m_mask);
    if (listing && (listing->started() || (!mask.isEmpty() && listing->hasFileFilter())))
        listing.reset(); // someone else's part of it: this list reads for itself
    if (!listing && !mask.isEmpty())
        listing = std::make_shared<FolderListing>(m_directoryBytes);

    const bool updating = m_updating;
    m_updating = true;
    if (fresh || m_model->count() == 0) {
        // Another folder: none of the old entries belongs to it (and an empty list starts
        // afresh, so its reader can number the entries).
        m_model->clear();
    }
    m_keepRaw = keep;
    m_linkNames.clear();
    m_readGeneration = m_model->nextGeneration();
    // A list that starts empty takes its rows whole from the reader.
    m_rowsFromReader = m_model->count() == 0 && m_model->stagedCount() == 0;
    m_lastReadMask = m_mask;
    m_lastReadType = m_fileType;
    m_readLong = false;
    m_updating = updating;
    if (!listing) {
        // An empty mask lists nothing, and needs no read.
        FinishRead();
        return;
    }
    listing->setFileFilter({mask, ListingRule(m_fileType), m_model->markRule()});
    listing->setBuildsRows(m_rowsFromReader);
    m_listing = listing;
    connect(listing.get(), &FolderListing::batchesReady, this, &TUsefulFileBox::TakeBatches);
    connect(listing.get(), &FolderListing::finished, this, &TUsefulFileBox::TakeBatches);
    m_inReadStart = true;
    listing->start();
    m_inReadStart = false;
    if (m_listing && m_overrideCursor) {
        // The read goes on in the background: the window is usable, so the long
        // listing's busy cursor is the list's own from here on.
        QApplication::restoreOverrideCursor();
        m_overrideCursor = false;
        viewport()->setCursor(Qt::BusyCursor);
    }
}

void TUsefulFileBox::ShowLongListing() {
    if (m_readLong)
        return;
    m_readLong = true;
    ++m_busyCursorCount;
    if (m_inReadStart) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_overrideCursor = true;
    } else {
        viewport()->setCursor(Qt::BusyCursor);
    }
}

void TUsefulFileBox::TakeBatches() {
    m_takeScheduled = false;
    if (!m_listing)
        return;
    const bool updating = m_updating;
    m_updating = true;
    // One batch a turn of the event loop, so input and painting go on between two; the
    // start of a read that ends at once takes them all, as a small folder always did.
    for (bool first = true; first || m_inReadStart; first = false) {
        std::optional<NameDelivery> delivery = m_listing->takeBatch();
        if (!delivery)
            break;
        const NameBatch& batch = *delivery->batch;
        for (const QByteArray& link : batch.links)
            m_linkNames.insert(link);
        const int before = m_model->count() + m_model->stagedCount();
        if (before == 0)
            m_model->reserve(m_listing->estimatedEntries());
        const auto mergeFromNowOn = [this] {
            // The entries no longer match the reader's numbers (one was removed meanwhile):
            // rows are merged here from now on.
            m_rowsFromReader = false;
            m_listing->setBuildsRows(false);
            m_model->stageUnrowed();
        };
        if (m_rowsFromReader && !m_model->appendBatch(batch, m_readGeneration, delivery->firstId))
            mergeFromNowOn();
        if (!m_rowsFromReader)
            m_model->addBatch(batch, m_readGeneration);
        else if (delivery->rows &&
                 !m_model->adoptRows(std::move(delivery->rows), std::move(delivery->marked)))
            mergeFromNowOn();
        const int after = m_model->count() + m_model->stagedCount();
        if (before <= LongListingPosition && after > LongListingPosition)
            ShowLongListing();
    }
    const bool more = m_listing->hasBatches();
    const bool last = !more && m_listing->isFinished();
    // Rows are made from the staged names a few times a second: each time costs the
    // length of the list, in the merge and in the view's layout. A short list costs little,
    // and the first rows and the last are made at once.
    const int rows = m_model->count();
    if (m_rowsFromReader) {
        // The reader's rows arrive on their own.
    } else if (m_inReadStart || last || rows == 0 ||
               rows + m_model->stagedCount() <= LayoutBatchRows || !m_sinceRows.isValid() ||
               m_sinceRows.elapsed() >= RowsIntervalMs) {
        m_model->commitStaged();
        m_sinceRows.start();
    }
    m_updating = updating;
    SelectArrived();
    if (!m_listing)
        return; // a file that arrived and was told of started another read
    if (!m_inReadStart)
        emit ReadProgress(m_listing->entriesRead(), m_listing->estimatedEntries());
    if (more) {
        if (!m_takeScheduled) {
            m_takeScheduled = true;
            QMetaObject::invokeMethod(this, &TUsefulFileBox::TakeBatches, Qt::QueuedConnection);
        }
    } else if (last) {
        FinishRead();
    } else if (m_model->stagedCount() > 0 && !m_rowsTimerPending) {
        // Names staged while the worker reads on: rows are made at the latest then.
        m_rowsTimerPending = true;
        QTimer::singleShot(RowsIntervalMs, this, [this] {
            m_rowsTimerPending = false;
            if (!m_listing)
                return;
            const bool updating = m_updating;
            m_updating = true;
            m_model->commitStaged();
            m_sinceRows.start();
            m_updating = updating;
            SelectArrived();
        });
    }
}

void TUsefulFileBox::SelectArrived() {
    if (!m_keepRaw.isEmpty() && ItemIndex() < 0) {
        const int row = m_model->findRaw(m_keepRaw);
        if (row >= 0) {
            SetItemIndex(row);
            m_keepRaw.clear();
        }
    }
    if (!m_pendingName.isEmpty()) {
        const int row = m_model->find(m_pendingName);
        if (row >= 0) {
            m_pendingName.clear();
            SetItemIndex(row);
            DoChange();
        }
    }
}

void TUsefulFileBox::FinishRead() {
    const std::shared_ptr<FolderListing> listing = m_listing;
    CancelRead();
    const int error = listing ? listing->error() : 0;
    m_lastReadError = error;
    const bool updating = m_updating;
    m_updating = true;
    m_model->commitStaged();
    if (error != 0) {
        // The folder cannot be read (gone, or no permission): nothing listed.
        m_model->clear();
        m_linkNames.clear();
    } else {
        m_model->removeUnseen(m_readGeneration);
    }
    m_model->squeeze();
    if (!m_keepRaw.isEmpty() && ItemIndex() < 0)
        SetItemIndex(m_model->findRaw(m_keepRaw));
    m_keepRaw.clear();
    // A file asked for that never arrived is not there: nothing is selected.
    m_pendingName.clear();
    m_updating = updating;
    DoChange();
    emit ReadFinished();
    if (std::exchange(m_fullRefreshAfterRead, false)) {
        m_namesAfterRead.reset();
        RefreshKeepingSelection();
    } else if (m_namesAfterRead) {
        const QSet<QByteArray> names = std::move(*m_namesAfterRead);
        m_namesAfterRead.reset();
        RefreshNamesKeepingSelection(m_directoryBytes, names);
    }
}

bool TUsefulFileBox::RecheckNames(const QSet<QByteArray>& names) {
    const platform::FolderProbe probe(m_directoryBytes);
    if (probe.error() != 0 || m_linkNames.size() > LinkBound)
        return false;
    const FileMask mask(m_mask);
    const ListingRule rule(m_fileType);
    NameBatch added;
    std::vector<QByteArray> dropped;
    QSet<QByteArray> links = m_linkNames;
    const FileListModel::MarkRule& mark = m_model->markRule();
    const auto look = [&](const QByteArray& name) {
        quint32 attributes = 0;
        const int found = probe.lookUp(name, readOnlyCheck(rule), &attributes);
        if (found != 0 && found != ENOENT)
            return false; // cannot tell: the full re-read decides
        if (found == 0 && (attributes & platform::LinkAttribute))
            links.insert(name);
        else
            links.remove(name);
        const bool known = m_model->contains(view(name));
        // As in the re-read: an entry already listed passed the unchanged mask before.
        const bool listed = found == 0 && !mask.isEmpty() && rule.admits(attributes) &&
                            (known || mask.foundRaw(view(name)));
        if (listed && !known)
            added.add(view(name), attributes, mark && mark(platform::displayName(name)));
        else if (!listed && known)
            dropped.push_back(name);
        return true;
    };
    for (const QByteArray& name : names) {
        if (!look(name))
            return false;
    }
    for (const QByteArray& name : std::as_const(m_linkNames)) {
        if (!names.contains(name) && !look(name))
            return false;
    }

    ++m_recheckCount;
    const bool updating = m_updating;
    m_updating = true;
    const QByteArray selectedRaw = ItemIndex() >= 0 ? m_model->rawName(ItemIndex()) : QByteArray();
    m_linkNames = std::move(links);
    std::vector<int> gone;
    gone.reserve(dropped.size());
    for (const QByteArray& name : dropped)
        gone.push_back(m_model->findRaw(name));
    std::sort(gone.begin(), gone.end());
    m_model->removeRows(gone);
    const int before = m_model->count();
    bool shown = false;
    if (before <= LongListingPosition && before + int(added.size()) > LongListingPosition) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        shown = true;
        ++m_busyCursorCount;
    }
    added.sort();
    m_model->addBatch(added, m_readGeneration);
    m_model->commitStaged();
    if (!selectedRaw.isEmpty())
        SetItemIndex(m_model->findRaw(selectedRaw));
    if (shown)
        QApplication::restoreOverrideCursor();
    m_updating = updating;
    DoChange();
    return true;
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

bool TUsefulFileBox::WouldList(const QByteArray& name) const {
    const platform::FolderProbe probe(m_directoryBytes);
    const ListingRule rule(m_fileType);
    quint32 attributes = 0;
    return probe.lookUp(name, readOnlyCheck(rule), &attributes) == 0 && rule.admits(attributes) &&
           FileMask(m_mask).foundRaw(view(name));
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

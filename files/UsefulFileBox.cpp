#include "UsefulFileBox.h"

#include "FileIcons.h"
#include "FileItemDelegate.h"
#include "FileListModel.h"
#include "FileMask.h"
#include "FileMessages.h"
#include "FileThumbnails.h"
#include "LosslessNames.h"
#include "RawFolderReader.h"
#include "SlowFolders.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>

#include <algorithm>
#include <cerrno>
#include <string_view>

using namespace zelvorin;

namespace {

// Shows the busy cursor from the moment a long listing is recognised until the re-read
// ends, also when it ends by an error.
class BusyCursor {
public:
    void show() {
        if (!m_shown) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            m_shown = true;
        }
    }
    ~BusyCursor() {
        if (m_shown)
            QApplication::restoreOverrideCursor();
    }
    bool shown() const { return m_shown; }

private:
    bool m_shown = false;
};

// The sorted position at which an added entry makes the listing count as long.
constexpr int LongListingPosition = 100;

// Which entries a file type lets into the list, by their attributes.
struct ListingRule {
    explicit ListingRule(TFileType type)
        : search(SearchAttributeMask(type)), normal(type.testFlag(TFileAttr::ftNormal)),
          // Read-only decides nothing when both read-only and normal files are wanted;
          // only then is the per-entry check skipped.
          readOnly((type.testFlag(TFileAttr::ftReadOnly) && normal)
                       ? platform::ReadOnlyCheck::Skip
                       : platform::ReadOnlyCheck::Check) {}

    bool admits(quint32 attributes) const {
        if ((attributes & excluded) != 0)
            return false;
        return normal || (attributes & search) != 0;
    }

    quint32 search;
    quint32 excluded =
        ~search & (FileAttribute::Hidden | FileAttribute::System | FileAttribute::Directory);
    bool normal;
    platform::ReadOnlyCheck readOnly;
};

// Past this many symbolic links a full re-read costs about what looking each up does.
constexpr int LinkBound = 2000;

} // namespace

TUsefulFileBox::TUsefulFileBox(QWidget* parent) : QListView(parent) {
    m_model = new FileListModel(this);
    setModel(m_model);
    setItemDelegate(new FileItemDelegate(this));
    setUniformItemSizes(true);
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

void TUsefulFileBox::SetDirectoryFrom(const QString& path, const FolderSnapshot* answered) {
    if (path == m_directory)
        return;
    const QByteArray target = absoluteFolderBytes(m_directoryBytes, platform::encodePath(path));
    if (answered || folderMayBlock(m_directoryBytes) || folderMayBlock(target)) {
        std::optional<FolderSnapshot> fetched;
        if (!answered) {
            fetched = answeringSnapshot(target);
            if (!fetched)
                throw FolderNotAnswering(path);
            answered = &*fetched;
        }
        // Entered only now that it answered; neither the old folder nor the current one
        // is asked for anything, as either may be on a server that is gone.
        ChangeCurrentFolder(platform::openablePath(target));
        if (target == m_directoryBytes)
            return;
        m_directoryBytes = target;
        m_directory = platform::openablePath(target);
        ReadFileNames(answered);
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
    ReadFileNames();
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

void TUsefulFileBox::showEvent(QShowEvent* event) {
    if (m_readCount == 0)
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
    if (!m_updating && ItemIndex() != m_lastSelected)
        DoChange();
}

void TUsefulFileBox::Update() {
    ReadFileNames();
}

void TUsefulFileBox::ReadFileNames(const FolderSnapshot* answered) {
    ++m_readCount;
    if (m_thumbnails)
        m_thumbnails->setFolder(m_directoryBytes);
    std::optional<FolderSnapshot> fetched;
    if (!answered && folderMayBlock(m_directoryBytes)) {
        fetched = answeringSnapshot(m_directoryBytes);
        if (!fetched) {
            m_lastReadError = ETIMEDOUT;
            showFileError(this, folderNotAnsweringText(m_directory));
            return;
        }
        answered = &*fetched;
    }
    BusyCursor busy;
    const bool updating = m_updating;
    m_updating = true;
    struct Reset {
        bool& flag;
        bool value;
        ~Reset() { flag = value; }
    } reset{m_updating, updating};

    const QByteArray selectedRaw = ItemIndex() >= 0 ? m_model->at(ItemIndex()).raw : QByteArray();
    const FileMask mask(m_mask);
    const ListingRule rule(m_fileType);
    m_linkNames.clear();

    const quint32 generation = m_model->nextGeneration();
    std::vector<FileListEntry> added;
    int error = 0;
    if (!mask.isEmpty()) {
        // Entries already listed were matched against the mask of the last re-read; while
        // it is unchanged, a known name costs one hash look-up and is neither decoded nor
        // matched again.
        const bool sameMask = m_lastReadMask == m_mask && m_lastReadType == m_fileType;
        const std::function<void(std::string_view, quint32)> visit = [&](std::string_view name,
                                                                         quint32 attributes) {
            if (attributes & platform::LinkAttribute)
                m_linkNames.insert(QByteArray(name.data(), qsizetype(name.size())));
            if (!rule.admits(attributes))
                return;
            if (FileListEntry* known = m_model->known(name)) {
                if (sameMask || mask.found(known->name))
                    known->seen = generation;
                return;
            }
            // Most names that are not listed are refused here on their bytes, so they
            // cost neither a decoding nor an allocation on every re-read.
            if (!mask.foundRaw(name))
                return;
            FileListEntry entry =
                FileListEntry::fromRaw(QByteArray(name.data(), qsizetype(name.size())));
            added.push_back(std::move(entry));
            if (m_model->count() + int(added.size()) == LongListingPosition + 1) {
                busy.show();
                ++m_busyCursorCount;
            }
        };
        if (!answered) {
            error = platform::visitRawFolder(m_directoryBytes, rule.readOnly, visit);
        } else if (!answered->exists || answered->listError != 0) {
            error = answered->exists ? answered->listError : ENOENT;
        } else {
            for (const auto& [name, attributes] : answered->entries)
                visit(std::string_view(name.constData(), size_t(name.size())), attributes);
        }
    }
    m_lastReadError = error;
    m_lastReadMask = m_mask;
    m_lastReadType = m_fileType;
    if (error != 0) {
        added.clear(); // the folder cannot be read (gone, or no permission): nothing listed
        m_linkNames.clear();
    }
    std::vector<int> gone;
    for (int row = 0; row < m_model->count(); ++row) {
        if (error != 0 || m_model->at(row).seen != generation)
            gone.push_back(row);
    }
    m_model->removeRows(gone);
    m_model->addEntries(std::move(added));
    if (!selectedRaw.isEmpty())
        SetItemIndex(m_model->findRaw(selectedRaw));
    m_updating = updating;
    DoChange();
}

bool TUsefulFileBox::RecheckNames(const QSet<QByteArray>& names) {
    const platform::FolderProbe probe(m_directoryBytes);
    if (probe.error() != 0 || m_linkNames.size() > LinkBound)
        return false;
    const FileMask mask(m_mask);
    const ListingRule rule(m_fileType);
    std::vector<FileListEntry> added;
    std::vector<QByteArray> dropped;
    QSet<QByteArray> links = m_linkNames;
    const auto look = [&](const QByteArray& name) {
        quint32 attributes = 0;
        const int found = probe.lookUp(name, rule.readOnly, &attributes);
        if (found != 0 && found != ENOENT)
            return false; // cannot tell: the full re-read decides
        if (found == 0 && (attributes & platform::LinkAttribute))
            links.insert(name);
        else
            links.remove(name);
        const FileListEntry* known =
            m_model->known(std::string_view(name.constData(), size_t(name.size())));
        // As in the re-read: an entry already listed passed the unchanged mask before.
        const bool listed =
            found == 0 && !mask.isEmpty() && rule.admits(attributes) &&
            (known != nullptr ||
             mask.foundRaw(std::string_view(name.constData(), size_t(name.size()))));
        if (listed && known == nullptr)
            added.push_back(FileListEntry::fromRaw(name));
        else if (!listed && known != nullptr)
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
    BusyCursor busy;
    const bool updating = m_updating;
    m_updating = true;
    const QByteArray selectedRaw = ItemIndex() >= 0 ? m_model->at(ItemIndex()).raw : QByteArray();
    m_linkNames = std::move(links);
    std::vector<int> gone;
    gone.reserve(dropped.size());
    for (const QByteArray& name : dropped)
        gone.push_back(m_model->findRaw(name));
    std::sort(gone.begin(), gone.end());
    m_model->removeRows(gone);
    const int before = m_model->count();
    if (before <= LongListingPosition && before + int(added.size()) > LongListingPosition) {
        busy.show();
        ++m_busyCursorCount;
    }
    m_model->addEntries(std::move(added));
    if (!selectedRaw.isEmpty())
        SetItemIndex(m_model->findRaw(selectedRaw));
    m_updating = updating;
    DoChange();
    return true;
}

void TUsefulFileBox::RefreshKeepingSelectionBy(const std::function<void()>& read) {
    const int row = ItemIndex();
    const QString name = row >= 0 ? m_model->at(row).name : QString();
    SetItemIndex(-1);
    read();
    if (!name.isEmpty()) {
        SetItemIndex(m_model->find(name));
        if (ItemIndex() != m_lastSelected)
            DoChange();
    }
}

void TUsefulFileBox::RefreshKeepingSelection() {
    if (m_thumbnails)
        m_thumbnails->recheckAll();
    RefreshKeepingSelectionBy([this] { ReadFileNames(); });
}

void TUsefulFileBox::RefreshNamesKeepingSelection(const QByteArray& folder,
                                                  const QSet<QByteArray>& names) {
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
    if (current >= 0 && m_model->at(current).name == name)
        return;
    SetItemIndex(m_model->find(name));
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
        if (!platform::fileExistsBytes(
                JoinFolderAndName(m_directoryBytes, platform::encodePath(file))))
            throw FileControlError(QStringLiteral("Invalid file name - %1").arg(text));
        if (ItemIndex() < 0) {
            SetMask(file);
            SelectFile(file);
        }
    }
}

#include "UsefulDirectoryBox.h"

#include "FileIcons.h"
#include "FileMessages.h"
#include "FolderListing.h"
#include "FolderWatcher.h"
#include "LosslessNames.h"
#include "RawFolderReader.h"
#include "SlowFolders.h"
#include "UsefulDriveBox.h"
#include "UsefulFileBox.h"
#include "Volumes.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <optional>

using namespace zelvorin;

namespace {

QString stripped(const QString& path) {
    QString text = path;
    while (text.size() > 1 && text.endsWith(QLatin1Char('/')))
        text.chop(1);
    return text == QStringLiteral("/") ? QString() : text;
}

// Indents and icons of the folder rows: the path down to the shown folder one step per
// row, subfolders one step deeper than their depth.
class FolderItemDelegate : public QStyledItemDelegate {
public:
    FolderItemDelegate(TUsefulDirectoryBox* box) : QStyledItemDelegate(box), m_box(box) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const QPalette::ColorGroup group =
            option.state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        painter->fillRect(option.rect, selected ? option.palette.brush(group, QPalette::Highlight)
                                                : option.palette.brush(group, QPalette::Base));
        const QString path = m_box->ItemPath(index.row());
        const bool subfolder = index.data(TUsefulDirectoryBox::SubfolderRole).toBool();
        int indent = index.row() * 4 + 2;
        QIcon icon = FileIcons::instance().openFolderIcon();
        if (subfolder) {
            indent = (FolderDepth(stripped(path)) + 1) * 4 + 2;
            icon = FileIcons::instance().closedFolderIcon();
        }
        const int side = FileIcons::smallIconSize();
        const QRect rect = option.rect;
        icon.paint(painter, QRect(rect.left() + indent, rect.top() + (rect.height() - side) / 2,
                                  side, side));
        painter->setPen(
            option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        const int textLeft = rect.left() + side + indent + 4;
        painter->drawText(QRect(textLeft, rect.top(), rect.right() - textLeft, rect.height()),
                          Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(option.rect.width(), m_box->ItemHeight());
    }

private:
    TUsefulDirectoryBox* m_box;
};

QByteArray parentBytes(const QByteArray& path) {
    QByteArray text = path;
    while (text.size() > 1 && text.endsWith('/'))
        text.chop(1);
    const qsizetype slash = text.lastIndexOf('/');
    if (text == "/" || slash < 0)
        return QByteArray();
    return slash == 0 ? QByteArray("/") : text.left(slash);
}

} // namespace

TUsefulDirectoryBox::TUsefulDirectoryBox(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new FolderItemDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    resize(180, 120);
    m_directoryBytes = platform::currentFolderBytes();
    m_directory = platform::openablePath(m_directoryBytes);
    UpdateItemHeight();
    // The first list waits for the first setter or for the first showing, so a list set
    // up in code does not read the launch folder on its way to another.
}

void TUsefulDirectoryBox::showEvent(QShowEvent* event) {
    if (!m_built && !m_readsHeld) {
        BuildList();
        if (m_listing)
            m_listing->start();
    }
    QListWidget::showEvent(event);
}

void TUsefulDirectoryBox::SetReadsHeld(bool held) {
    m_readsHeld = held;
}

void TUsefulDirectoryBox::ReadIfUnread() {
    if (m_built)
        return;
    BuildList();
    DoChange();
}

std::shared_ptr<const platform::SharedSubfolders> TUsefulDirectoryBox::SharedSubfolders() const {
    return m_listing ? m_listing->sharedSubfolders() : nullptr;
}

bool TUsefulDirectoryBox::Reading() const {
    return m_listing && !m_listing->isFinished();
}

QString TUsefulDirectoryBox::Drive() const {
    return platform::volumeOf(m_directory, platform::mountedVolumes()).rootPath;
}

void TUsefulDirectoryBox::SetFileList(TUsefulFileBox* list) {
    if (m_fileList)
        m_fileList->SetDirList(nullptr);
    m_fileList = list;
    if (list) {
        list->SetDirList(this);
        list->SetDirectory(m_directory);
    }
}

void TUsefulDirectoryBox::SetDirLabel(QLabel* label) {
    m_dirLabel = label;
    UpdateDirLabel();
}

void TUsefulDirectoryBox::SetItemHeight(int height) {
    m_itemHeight = height;
    UpdateItemHeight();
}

void TUsefulDirectoryBox::UpdateItemHeight() {
    m_itemHeight = std::max({m_itemHeight, FontLineHeight(font()), FileIcons::smallIconSize() + 1});
    doItemsLayout();
}

void TUsefulDirectoryBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        UpdateItemHeight();
    QListWidget::changeEvent(event);
}

QString TUsefulDirectoryBox::ItemPath(int row) const {
    if (row < 0 || row >= count())
        return QString();
    return platform::openablePath(ItemPathBytes(row));
}

QByteArray TUsefulDirectoryBox::ItemPathBytes(int row) const {
    if (row < 0 || row >= count())
        return QByteArray();
    return item(row)->data(PathBytesRole).toByteArray();
}

bool TUsefulDirectoryBox::SameFolder(const QString& a, const QString& b) const {
    return QString::compare(stripped(a), stripped(b),
                            m_caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}

void TUsefulDirectoryBox::AddItem(const QString& display, const QByteArray& path, bool subfolder) {
    QByteArray stored = path;
    while (stored.endsWith('/'))
        stored.chop(1);
    stored.append('/');
    auto* row = new QListWidgetItem(m_casePreserving ? display : display.toLower());
    row->setData(PathBytesRole, stored);
    row->setData(SubfolderRole, subfolder);
    row->setData(Qt::AccessibleTextRole, display);
    if (!platform::roundTrips(stored))
        row->setData(Qt::ToolTipRole, NotTextNameTip(stored));
    addItem(row);
}

void TUsefulDirectoryBox::BuildList(const FolderSnapshot* answered) {
    m_built = true;
    setUpdatesEnabled(false);
    clear();
    const platform::Volume volume = platform::volumeOf(m_directory, platform::mountedVolumes());
    m_caseSensitive = volume.caseSensitive;
    m_casePreserving = volume.casePreserving;

    const QByteArray& folder = m_directoryBytes;
    m_currentRow = -1;
    if (folder.startsWith('/')) {
        AddItem(QStringLiteral("/"), QByteArray("/"), false);
        if (answered) {
            for (const QByteArray& level : answered->existingLevels)
                AddItem(platform::displayName(level.mid(level.lastIndexOf('/') + 1)), level, false);
        } else {
            QByteArray accumulated;
            for (const QByteArray& part : folder.mid(1).split('/')) {
                if (part.isEmpty())
                    continue;
                accumulated += '/' + part;
                if (platform::folderExistsBytes(accumulated))
                    AddItem(platform::displayName(part), accumulated, false);
            }
        }
        m_currentRow = count() - 1;
    }
    setUpdatesEnabled(true);
    if (m_currentRow >= 0) {
        setCurrentRow(m_currentRow);
        scrollToItem(item(m_currentRow));
    }
    std::shared_ptr<FolderListing> listing;
    if (answered)
        listing = FolderListing::fromSnapshot(*answered);
    else if (folder.startsWith('/'))
        listing = std::make_shared<FolderListing>(folder);
    ReadSubfolders(std::move(listing), false);
}

void TUsefulDirectoryBox::ReadSubfolders(std::shared_ptr<FolderListing> listing, bool keepRows) {
    if (m_listing)
        disconnect(m_listing.get(), nullptr, this, nullptr);
    m_listing = std::move(listing);
    if (!m_listing)
        return;
    // Rows of a refresh stay until the new ones are there.
    if (!keepRows) {
        while (count() > m_currentRow + 1)
            delete takeItem(count() - 1);
    }
    connect(m_listing.get(), &FolderListing::finished, this, &TUsefulDirectoryBox::AddSubfolders);
}

void TUsefulDirectoryBox::AddSubfolders() {
    if (!m_listing)
        return;
    const QByteArray& folder = m_directoryBytes;
    std::vector<std::pair<QString, QByteArray>> sorted;
    sorted.reserve(m_listing->subfolders().size());
    for (const FolderListing::Subfolder& subfolder : m_listing->subfolders())
        sorted.emplace_back(platform::displayName(subfolder.name), subfolder.name);
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        const int folded = QString::compare(a.first, b.first, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a.second < b.second;
    });
    setUpdatesEnabled(false);
    while (count() > m_currentRow + 1)
        delete takeItem(count() - 1);
    for (const auto& [display, name] : sorted)
        AddItem(display, JoinFolderAndName(folder, name), true);
    setUpdatesEnabled(true);
}

void TUsefulDirectoryBox::DoChange() {
    // The file list takes its part of the read before it starts; whatever it leaves is
    // read for the subfolders alone.
    const std::shared_ptr<FolderListing> listing = m_listing;
    if (m_fileList)
        m_fileList->SetDirectoryFrom(m_directory, listing);
    if (listing)
        listing->start();
    UpdateDirLabel();
    emit Change();
}

void TUsefulDirectoryBox::Refresh() {
    if (folderMayBlock(m_directoryBytes)) {
        const std::optional<FolderSnapshot> answered = answeringSnapshot(m_directoryBytes);
        if (!answered)
            throw FolderNotAnswering(m_directory);
        if (answered->exists) {
            BuildList(&*answered);
            DoChange();
            return;
        }
    }
    if (!platform::folderExistsBytes(m_directoryBytes)) {
        const QByteArray missing = m_directoryBytes;
        FallBackToExistingAncestor(missing);
        return;
    }
    if (m_built) {
        ReadSubfolders(std::make_shared<FolderListing>(m_directoryBytes), true);
        DoChange();
        return;
    }
    BuildList();
    DoChange();
}

void TUsefulDirectoryBox::ChangeToFolder(const QString& folder, const FolderSnapshot* answered) {
    if (answered) {
        // Entered only now that it answered, by its absolute path: the folder shown so
        // far is not asked, as it may be on a server that is gone.
        ChangeCurrentFolder(platform::openablePath(answered->folder));
        m_directoryBytes = answered->folder;
    } else {
        if (platform::folderExistsBytes(m_directoryBytes))
            platform::changeFolderBytes(m_directoryBytes);
        ChangeCurrentFolder(folder);
        m_directoryBytes = platform::currentFolderBytes();
    }
    m_directory = platform::openablePath(m_directoryBytes);
    BuildList(answered);
    DoChange();
}

void TUsefulDirectoryBox::SetDirectoryAnswering(const QString& path, QByteArray target) {
    std::optional<FolderSnapshot> answered = answeringSnapshot(target);
    if (answered && answered->isFile) {
        // A file's path shows the folder that holds it.
        target = parentBytes(target);
        answered = answeringSnapshot(target);
    }
    if (!answered)
        throw FolderNotAnswering(platform::openablePath(target));
    if (!answered->exists) {
        ChangeCurrentFolder(platform::openablePath(target)); // raises the usual error
        return;
    }
    const QString drive =
        platform::volumeOf(platform::openablePath(target), platform::mountedVolumes()).rootPath;
    if (!drive.isEmpty() && drive != Drive()) {
        m_changingDrive = true;
        m_enteringAnswered = true;
        try {
            if (m_driveBox)
                m_driveBox->SetDrive(drive);
            else
                SetDrive(drive);
        } catch (...) {
            m_changingDrive = false;
            m_enteringAnswered = false;
            throw;
        }
        m_changingDrive = false;
        m_enteringAnswered = false;
    }
    ChangeToFolder(path, &*answered);
}

void TUsefulDirectoryBox::SetDirectory(const QString& path) {
    if (path.isEmpty() || SameFolder(path, m_directory))
        return;
    const QByteArray target = absoluteFolderBytes(m_directoryBytes, platform::encodePath(path));
    if (folderMayBlock(target) || folderMayBlock(m_directoryBytes)) {
        SetDirectoryAnswering(path, target);
        return;
    }
    const PathParts parts = SplitPath(path);
    if (!parts.drive.isEmpty() && parts.drive != Drive()) {
        m_changingDrive = true;
        try {
            if (m_driveBox)
                m_driveBox->SetDrive(parts.drive);
            else
                SetDrive(parts.drive);
        } catch (...) {
            m_changingDrive = false;
            throw;
        }
        m_changingDrive = false;
    }
    ChangeToFolder(parts.folder);
}

void TUsefulDirectoryBox::SetDrive(const QString& root) {
    if (root.isEmpty() || root == Drive())
        return;
    m_lastFolderOfVolume.insert(Drive(), m_directoryBytes);
    if (m_enteringAnswered)
        return; // the folder change on the way enters its folder itself
    QByteArray target = m_lastFolderOfVolume.value(root);
    const QByteArray rootBytes = platform::encodePath(root);
    if (folderMayBlock(rootBytes) || folderMayBlock(m_directoryBytes)) {
        try {
            try {
                if (target.isEmpty())
                    target = rootBytes;
                SetDirectoryAnswering(platform::openablePath(target), target);
            } catch (const FolderNotAnswering&) {
                throw;
            } catch (const FileControlError&) {
                if (target == rootBytes)
                    throw;
                SetDirectoryAnswering(root, rootBytes); // the folder last shown is gone
            }
        } catch (const FileControlError& error) {
            showFileError(this, error.message());
        }
        // The volume box shows the volume of the folder that is shown in the end.
        if (m_driveBox)
            m_driveBox->SetDrive(Drive());
        return;
    }
    if (!platform::folderExistsBytes(target))
        target = rootBytes;
    if (platform::changeFolderBytes(target) != 0)
        return;
    m_directoryBytes = platform::currentFolderBytes();
    m_directory = platform::openablePath(m_directoryBytes);
    if (!m_changingDrive) {
        BuildList();
        DoChange();
    }
}

void TUsefulDirectoryBox::FallBackToExistingAncestor(const QByteArray& path) {
    if (folderMayBlock(path)) {
        // The walk up asks each level in turn: all of it runs in the worker.
        auto found = std::make_shared<FolderSnapshot>();
        const bool answered = runWithAnswerLimit(path, [found, path] {
            QByteArray folder = parentBytes(path);
            while (!folder.isEmpty() && !platform::folderExistsBytes(folder))
                folder = parentBytes(folder);
            *found = readFolderSnapshot(folder.isEmpty() ? QByteArray("/") : folder);
        });
        if (!answered)
            throw FolderNotAnswering(platform::openablePath(path));
        ChangeToFolder(platform::openablePath(found->folder),
                       found->exists ? found.get() : nullptr);
        return;
    }
    QByteArray folder = parentBytes(path);
    while (!folder.isEmpty() && !platform::folderExistsBytes(folder))
        folder = parentBytes(folder);
    if (folder.isEmpty())
        folder = "/";
    ChangeToFolder(platform::openablePath(folder));
}

void TUsefulDirectoryBox::OpenCurrent() {
    const int row = currentRow();
    if (row < 0)
        return;
    const QByteArray bytes = ItemPathBytes(row);
    const QString path = ItemPath(row);
    if (SameFolder(path, m_directory))
        return;
    try {
        SetDirectory(path);
    } catch (const FolderNotAnswering&) {
        throw;
    } catch (const FileControlError&) {
        if (platform::folderExistsBytes(bytes))
            throw;
        FallBackToExistingAncestor(bytes);
        showFileError(this, QStringLiteral("Directory not found"));
    }
}

void TUsefulDirectoryBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        try {
            OpenCurrent();
        } catch (const FileControlError& error) {
            showFileError(this, error.message());
        }
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TUsefulDirectoryBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    try {
        OpenCurrent();
    } catch (const FileControlError& error) {
        showFileError(this, error.message());
    }
}

void TUsefulDirectoryBox::UpdateDirLabel() {
    if (!m_dirLabel)
        return;
    const int width = m_dirLabel->hasScaledContents() ? this->width() : m_dirLabel->width();
    m_dirLabel->setText(
        ShortenPathToWidth(platform::displayPath(m_directory), m_dirLabel->fontMetrics(), width));
}

QString CutFirstFolder(const QString& text) {
    if (text == QStringLiteral("/"))
        return QString();
    QString rest = text;
    const bool leading = rest.startsWith(QLatin1Char('/'));
    if (leading)
        rest.remove(0, 1);
    if (rest.startsWith(QStringLiteral(".../")))
        rest.remove(0, 4);
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    rest = slash < 0 ? QString() : QStringLiteral(".../") + rest.mid(slash + 1);
    return leading ? QLatin1Char('/') + rest : rest;
}

QString ShortenPathToWidth(const QString& path, const QFontMetrics& metrics, int width) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    QString folder = slash < 0 ? QString() : path.left(slash + 1);
    const QString name = path.mid(slash + 1);
    while (metrics.horizontalAdvance(folder + name) > width && !folder.isEmpty()) {
        if (folder == QStringLiteral("/.../"))
            folder = QStringLiteral(".../");
        else
            folder = CutFirstFolder(folder);
    }
    return folder + name;
}

#include "FilePanel.h"

#include "FileListCommands.h"
#include "FileMessages.h"
#include "LosslessNames.h"
#include "NeededLib.h"
#include "ProgramValues.h"
#include "RawFolderReader.h"
#include "SlowFolders.h"
#include "SplitterBar.h"

#include <QEvent>
#include <QFrame>
#include <QVBoxLayout>

namespace zelvorin {

namespace {

QVBoxLayout* stackLayout(QWidget* owner) {
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

QFrame* spacer(const QString& name, int height, QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFixedHeight(height);
    return panel;
}

TUsefulPanel* panel(const QString& name, QWidget* parent) {
    auto* created = new TUsefulPanel(parent);
    created->setObjectName(name);
    return created;
}

// A combo box of the flat look: placed at (-1, -1) in its panel, which clips its frame
// (the panel's resize handler keeps the sizes in step).
void placeFlatCombo(QComboBox* combo, const QString& name, const QString& accessibleName,
                    int height) {
    combo->setObjectName(name);
    combo->setAccessibleName(accessibleName);
    combo->setFrame(false);
    combo->setGeometry(-1, -1, 184, height);
    combo->setFixedHeight(height);
}

const TFileType FileListType = TFileAttr::ftReadOnly | TFileAttr::ftHidden | TFileAttr::ftSystem |
                               TFileAttr::ftArchive | TFileAttr::ftNormal;

} // namespace

FilePanel::FilePanel(QWidget* parent) : TUsefulPanel(parent) {
    setObjectName(QStringLiteral("MainFilePanel"));
    SetBorderWidth(2);
    resize(170, height());
    auto* layout = stackLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);

    CreateDrivePanel();
    layout->addWidget(m_driveComboBoxPanel);
    layout->addWidget(spacer(QStringLiteral("Panel2"), 4, this));
    CreateDirectoryPanel();
    layout->addWidget(m_directoryBoxPanel);
    m_splitter1 = new SplitterBar(Qt::Horizontal, m_directoryBoxPanel, false, this);
    // Both the folder list and the files below keep room enough to be used.
    m_splitter1->SetMinimumTargetSize(30);
    m_splitter1->SetMinimumRoom(30);
    m_splitter1->setObjectName(QStringLiteral("Splitter1"));
    layout->addWidget(m_splitter1);
    CreateFilePanel();
    layout->addWidget(m_usefulPanel3, 1);

    m_driveComboBox1->SetDirList(m_directoryListBox1);
    m_directoryListBox1->SetFileList(m_fileListBox1);
    m_filterComboBox1->SetFilter(MainFilterText);
    m_filterComboBox1->SetFileList(m_fileListBox1);
    m_customFilterForm = new TAddCustomFilterForm(this);
    CreateMonitors();

    connect(m_directoryListBox1, &TUsefulDirectoryBox::Change, this,
            &FilePanel::DirectoryListBox1Change);
    connect(m_fileListBox1, &TUsefulFileBox::Change, this, &FilePanel::ReportFileChosen);
    connect(m_fileListBox1, &TUsefulFileBox::ReadProgress, this, &FilePanel::ReadingFolder);
    connect(m_fileListBox1, &TUsefulFileBox::ReadFinished, this, &FilePanel::FolderRead);
    m_commands = new FileListCommands(this);
    connect(m_filterComboBox1, &TFilterComboBox::Change, this, &FilePanel::FilterComboBox1Change);
}

FilePanel::~FilePanel() = default;

QString FilePanel::ChosenFile() const {
    return m_fileListBox1->FileName();
}

ChosenFileKind FilePanel::ChosenKind() const {
    return m_filterComboBox1->currentIndex() == 0 ? ChosenFileKind::BackgroundImage
                                                  : ChosenFileKind::Document;
}

bool FilePanel::isSettled() const {
    // A change dealt with may still be read in the background.
    return m_dirRxFolderMonitor1->isSettled() && m_fileRxFolderMonitor1->isSettled() &&
           !m_fileListBox1->Reading() && !m_directoryListBox1->Reading();
}

void FilePanel::ReportFileChosen() {
    emit fileChosen(ChosenFile(), ChosenKind());
}

void FilePanel::CreateDrivePanel() {
    m_driveComboBoxPanel = panel(QStringLiteral("DriveComboBoxPanel"), this);
    m_driveComboBoxPanel->setFixedHeight(19);
    m_driveComboBox1 = new TUsefulDriveBox(m_driveComboBoxPanel);
    placeFlatCombo(m_driveComboBox1, QStringLiteral("DriveComboBox1"), QStringLiteral("Volumes"),
                   22);
    m_driveComboBoxPanel->installEventFilter(this);
}

void FilePanel::CreateDirectoryPanel() {
    m_directoryBoxPanel = panel(QStringLiteral("DirectoryBoxPanel"), this);
    m_directoryBoxPanel->setFixedHeight(148);
    auto* layout = stackLayout(m_directoryBoxPanel);
    m_directoryListBox1 = new TUsefulDirectoryBox(m_directoryBoxPanel);
    m_directoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    m_directoryListBox1->setAccessibleName(QStringLiteral("Folders"));
    m_directoryListBox1->setFrameShape(QFrame::Box);
    m_directoryListBox1->SetItemHeight(17);
    layout->addWidget(m_directoryListBox1, 1);
    layout->addWidget(spacer(QStringLiteral("Panel7"), 3, m_directoryBoxPanel));
}

void FilePanel::CreateFilePanel() {
    m_usefulPanel3 = panel(QStringLiteral("UsefulPanel3"), this);
    auto* layout = stackLayout(m_usefulPanel3);
    layout->addWidget(spacer(QStringLiteral("Panel4"), 4, m_usefulPanel3));

    m_filterComboBoxPanel = panel(QStringLiteral("FilterComboBoxPanel"), m_usefulPanel3);
    m_filterComboBoxPanel->setFixedHeight(18);
    m_filterComboBox1 = new TFilterComboBox(m_filterComboBoxPanel);
    placeFlatCombo(m_filterComboBox1, QStringLiteral("FilterComboBox1"),
                   QStringLiteral("File filter"), 21);
    m_filterComboBoxPanel->installEventFilter(this);
    layout->addWidget(m_filterComboBoxPanel);

    layout->addWidget(spacer(QStringLiteral("Panel3"), 4, m_usefulPanel3));
    m_usefulPanel5 = panel(QStringLiteral("UsefulPanel5"), m_usefulPanel3);
    auto* inner = stackLayout(m_usefulPanel5);
    m_fileListBox1 = new TUsefulFileBox(m_usefulPanel5);
    m_fileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    m_fileListBox1->setAccessibleName(QStringLiteral("Files"));
    m_fileListBox1->setFrameShape(QFrame::Box);
    m_fileListBox1->SetFileType(FileListType);
    m_fileListBox1->SetItemHeight(17);
    m_fileListBox1->SetShowGlyphs(true);
    inner->addWidget(m_fileListBox1, 1);
    layout->addWidget(m_usefulPanel5, 1);
}

void FilePanel::CreateMonitors() {
    m_dirRxFolderMonitor1 = new FolderMonitor(this);
    m_dirRxFolderMonitor1->setObjectName(QStringLiteral("DirRxFolderMonitor1"));
    m_dirRxFolderMonitor1->setDelayTime(1000);
    m_dirRxFolderMonitor1->setFilter(FolderChange::FolderName);
    connect(m_dirRxFolderMonitor1, &FolderMonitor::changed, this,
            &FilePanel::DirRxFolderMonitor1Change);

    m_fileRxFolderMonitor1 = new FolderMonitor(this);
    m_fileRxFolderMonitor1->setObjectName(QStringLiteral("FileRxFolderMonitor1"));
    m_fileRxFolderMonitor1->setDelayTime(500);
    m_fileRxFolderMonitor1->setFilter(FolderChange::FileName | FolderChange::Size |
                                      FolderChange::LastWrite);
    m_fileRxFolderMonitor1->setWatchesSubtree(false);
    connect(m_fileRxFolderMonitor1, &FolderMonitor::changed, this,
            &FilePanel::FileRxFolderMonitor1Change);
}

void FilePanel::SetCustomFilterForm(TAddCustomFilterForm* form) {
    if (form == m_customFilterForm)
        return;
    if (m_customFilterForm && m_customFilterForm->parent() == this)
        delete m_customFilterForm;
    m_customFilterForm = form;
}

bool FilePanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize &&
        (watched == m_driveComboBoxPanel || watched == m_filterComboBoxPanel))
        ComboBoxPanelResize(static_cast<QWidget*>(watched));
    return TUsefulPanel::eventFilter(watched, event);
}

void FilePanel::ComboBoxPanelResize(QWidget* resized) {
    // The panel clips the box's frame: one pixel at the top, left and bottom, two at the
    // right, so the box looks flat.
    QWidget* box = resized == m_driveComboBoxPanel ? static_cast<QWidget*>(m_driveComboBox1)
                                                   : static_cast<QWidget*>(m_filterComboBox1);
    box->move(-1, -1);
    resized->setFixedHeight(box->height() - 2);
    box->resize(resized->width() + 3, box->height());
}

void FilePanel::ReportError(const std::exception& error) {
    showFileError(this, QString::fromUtf8(error.what()));
}

void FilePanel::FollowShownFolder() {
    const QString folder = m_directoryListBox1->Directory();
    m_dirRxFolderMonitor1->setFolder(folder);
    m_fileRxFolderMonitor1->setFolder(folder);
    // The folder list's read of the folder gives the watches below it their first level.
    m_dirRxFolderMonitor1->setRootSubfolders(m_directoryListBox1->SharedSubfolders());
    m_dirRxFolderMonitor1->setActive(true);
    m_fileRxFolderMonitor1->setActive(true);
}

void FilePanel::DirectoryListBox1Change() {
    try {
        m_dirRxFolderMonitor1->setActive(false);
        m_fileRxFolderMonitor1->setActive(false);
        FollowShownFolder();
    } catch (const std::exception& error) {
        ReportError(error);
    }
    emit DirectoryChanged(m_directoryListBox1->Directory());
}

void FilePanel::DirRxFolderMonitor1Change() {
    try {
        m_dirRxFolderMonitor1->setActive(false);
        m_fileRxFolderMonitor1->setActive(false);
        m_directoryListBox1->Refresh();
        FollowShownFolder();
    } catch (const std::exception& error) {
        ReportError(error);
    }
}

void FilePanel::FileRxFolderMonitor1Change() {
    try {
        m_fileRxFolderMonitor1->setActive(false);
        // When the monitor can tell which names changed, only those are looked at again:
        // in a large folder that costs a small part of reading it all.
        const std::optional<QSet<QByteArray>> changed = m_fileRxFolderMonitor1->takeChangedNames();
        if (changed)
            m_fileListBox1->RefreshNamesKeepingSelection(
                platform::encodePath(m_fileRxFolderMonitor1->folder()), *changed);
        else
            m_fileListBox1->RefreshKeepingSelection();
        m_fileRxFolderMonitor1->setActive(true);
    } catch (const std::exception& error) {
        ReportError(error);
    }
}

void FilePanel::FilterComboBox1Change() {
    if (!m_customFilterGuard && m_filterComboBox1->currentText() == AddCustomFilterText) {
        CustomFilterSpeedButtonClick();
        m_customFilterGuard = true;
    } else if (m_customFilterGuard) {
        m_customFilterGuard = false;
    }
}

void FilePanel::CustomFilterSpeedButtonClick() {
    if (!m_customFilterForm)
        return;
    const int previous = m_filterComboBox1->currentIndex();
    const int result = m_customFilterForm->exec();
    if (result == QDialog::Accepted) {
        QString text = m_filterComboBox1->Filter();
        const qsizetype at = text.indexOf(AddCustomFilterText);
        if (at < 0)
            return;
        text.truncate(at);
        text += m_customFilterForm->FilterNameEdit()->text() + QLatin1Char('|') +
                m_customFilterForm->FileMaskEdit()->text() +
                QStringLiteral("|Add custom filter...| ");
        m_filterComboBox1->SetFilter(text);
        selectFilterByPosition(m_filterComboBox1->count() - 2);
    } else if (result == QDialog::Rejected) {
        selectFilterByPosition(previous == m_filterComboBox1->count() - 1 ? 0 : previous);
    }
}

void FilePanel::selectFilterByPosition(int position) {
    {
        const QSignalBlocker blocker(m_filterComboBox1);
        m_filterComboBox1->setCurrentIndex(position);
    }
    m_fileListBox1->SetMask(m_filterComboBox1->Mask());
}

void FilePanel::SetStartingFolder(const QString& folder, int storedFilter) {
    m_pendingStart = folder;
    m_directoryListBox1->SetReadsHeld(true);
    m_fileListBox1->SetReadsHeld(true);
    // Shown at once; its mask is kept without a read.
    RestoreFileFilter(storedFilter);
}

void FilePanel::ReleaseReads() {
    m_directoryListBox1->SetReadsHeld(false);
    m_fileListBox1->SetReadsHeld(false);
}

void FilePanel::ApplyPendingStart() {
    if (!m_pendingStart)
        return;
    const QString folder = *m_pendingStart;
    m_pendingStart.reset();
    ReleaseReads();
    EnterFolder(folder);
    // No usable folder, or the one shown already: the shown folder is read now.
    m_directoryListBox1->ReadIfUnread();
    m_fileListBox1->ReadIfUnread();
    if (!m_dirRxFolderMonitor1->isActive() || !m_fileRxFolderMonitor1->isActive())
        DirectoryListBox1Change();
}

void FilePanel::ApplyStartingFolder(const QString& folder) {
    // A folder shown by anyone else first replaces the one waiting for the start.
    if (m_pendingStart) {
        m_pendingStart.reset();
        ReleaseReads();
    }
    if (folder.isEmpty())
        return;
    EnterFolder(folder);
    // The folder may have been shown already, which raises no change notification; the
    // monitors follow it either way.
    if (!m_dirRxFolderMonitor1->isActive() || !m_fileRxFolderMonitor1->isActive())
        DirectoryListBox1Change();
}

void FilePanel::EnterFolder(const QString& folder) {
    if (folder.isEmpty())
        return;
    // A folder that may not answer is not asked here: the folder change asks it in a
    // worker, and one that has gone is passed over just the same.
    const bool mayBlock = folderMayBlock(
        absoluteFolderBytes(platform::currentFolderBytes(), platform::encodePath(folder)));
    if (!mayBlock && !FolderExists(folder))
        return;
    try {
        m_directoryListBox1->SetDirectory(folder);
    } catch (const FolderNotAnswering& error) {
        ReportError(error);
    } catch (const std::exception& error) {
        if (!mayBlock)
            ReportError(error);
    }
}

void FilePanel::RestoreFileFilter(int storedIndex) {
    selectFilterByPosition(storedIndex < 0 || storedIndex > LastFilterIndex ? 0 : storedIndex);
}

int FilePanel::SelectedFilterIndex() const {
    return m_filterComboBox1->currentIndex();
}

int FilePanel::DirBoxHeight() const {
    return m_directoryBoxPanel->height();
}

void FilePanel::SetDirBoxHeight(int height) {
    m_directoryBoxPanel->setFixedHeight(height);
}

} // namespace zelvorin

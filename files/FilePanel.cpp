// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FilePanel.h"

#include "AddCustomFilterDialog.h"
#include "FileListCommands.h"
#include "FileListView.h"
#include "FileMessages.h"
#include "FilterComboBox.h"
#include "FolderFiles.h"
#include "FolderSession.h"
#include "FolderTreeView.h"
#include "ProgramValues.h"
#include "SplitterBar.h"
#include "VolumeBox.h"

#include <QEvent>
#include <QLineEdit>
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

EnablingPanel* panel(const QString& name, QWidget* parent) {
    auto* created = new EnablingPanel(parent);
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

const FileKinds FileListKinds =
    FileKind::ReadOnly | FileKind::Hidden | FileKind::System | FileKind::Archive | FileKind::Normal;

} // namespace

FilePanel::FilePanel(QWidget* parent, ProgramServices services)
    : EnablingPanel(parent), m_services(std::move(services)) {
    setObjectName(QStringLiteral("MainFilePanel"));
    setBorderWidth(2);
    resize(170, height());
    m_session = new FolderSession(m_services.folders, m_services.watchLimitWarning, this);
    // Setting the column up reads nothing: the first showing or the starting folder does.
    m_session->setReadsHeld(true);
    m_session->files()->setKinds(FileListKinds);
    auto* layout = stackLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);

    createVolumePanel();
    layout->addWidget(m_volumePanel);
    layout->addWidget(spacer(QStringLiteral("Panel2"), 4, this));
    createFolderTreePanel();
    layout->addWidget(m_folderTreePanel);
    m_splitter = new SplitterBar(Qt::Horizontal, m_folderTreePanel, false, this);
    // Both the folder tree and the files below keep room enough to be used.
    m_splitter->SetMinimumTargetSize(30);
    m_splitter->SetMinimumRoom(30);
    m_splitter->setObjectName(QStringLiteral("Splitter1"));
    layout->addWidget(m_splitter);
    createFilePanel();
    layout->addWidget(m_lowerPanel, 1);

    m_customFilterDialog = new AddCustomFilterDialog(this);
    m_session->setPurposeRule([this] {
        return m_filterBox->currentIndex() == 0 ? FilePurpose::Background : FilePurpose::Document;
    });
    m_filterBox->setFilterText(MainFilterText);
    connect(m_filterBox, &FilterComboBox::filterApplied, this, &FilePanel::filterApplied);
    connect(m_session, &FolderSession::failed, this, &FilePanel::showError);
    m_session->setFollowingChanges(true);
    m_session->setReadsHeld(false);
    m_commands = new FileListCommands(this);
}

FilePanel::~FilePanel() {
    // The commands' copies still running are stopped before the session's pool waits for
    // them.
    delete m_commands;
}

void FilePanel::createVolumePanel() {
    m_volumePanel = panel(QStringLiteral("DriveComboBoxPanel"), this);
    m_volumePanel->setFixedHeight(19);
    m_volumeBox = new VolumeBox(m_session, m_volumePanel);
    placeFlatCombo(m_volumeBox, QStringLiteral("DriveComboBox1"), QStringLiteral("Volumes"), 22);
    m_volumePanel->installEventFilter(this);
}

void FilePanel::createFolderTreePanel() {
    m_folderTreePanel = panel(QStringLiteral("DirectoryBoxPanel"), this);
    m_folderTreePanel->setFixedHeight(148);
    auto* layout = stackLayout(m_folderTreePanel);
    m_folderTree = new FolderTreeView(m_session, m_folderTreePanel);
    m_folderTree->setObjectName(QStringLiteral("DirectoryListBox1"));
    m_folderTree->setAccessibleName(QStringLiteral("Folders"));
    m_folderTree->setFrameShape(QFrame::Box);
    m_folderTree->setItemHeight(17);
    layout->addWidget(m_folderTree, 1);
    layout->addWidget(spacer(QStringLiteral("Panel7"), 3, m_folderTreePanel));
}

void FilePanel::createFilePanel() {
    m_lowerPanel = panel(QStringLiteral("UsefulPanel3"), this);
    auto* layout = stackLayout(m_lowerPanel);
    layout->addWidget(spacer(QStringLiteral("Panel4"), 4, m_lowerPanel));

    m_filterPanel = panel(QStringLiteral("FilterComboBoxPanel"), m_lowerPanel);
    m_filterPanel->setFixedHeight(18);
    m_filterBox = new FilterComboBox(m_session, m_filterPanel);
    placeFlatCombo(m_filterBox, QStringLiteral("FilterComboBox1"), QStringLiteral("File filter"),
                   21);
    m_filterPanel->installEventFilter(this);
    layout->addWidget(m_filterPanel);

    layout->addWidget(spacer(QStringLiteral("Panel3"), 4, m_lowerPanel));
    EnablingPanel* listPanel = panel(QStringLiteral("UsefulPanel5"), m_lowerPanel);
    auto* inner = stackLayout(listPanel);
    m_fileList = new FileListView(m_session, listPanel);
    m_fileList->setObjectName(QStringLiteral("FileListBox1"));
    m_fileList->setAccessibleName(QStringLiteral("Files"));
    m_fileList->setFrameShape(QFrame::Box);
    m_fileList->setItemHeight(17);
    m_fileList->setShowsIcons(true);
    inner->addWidget(m_fileList, 1);
    layout->addWidget(listPanel, 1);
}

AddCustomFilterDialog* FilePanel::customFilterDialog() const {
    return m_customFilterDialog;
}

void FilePanel::setCustomFilterDialog(AddCustomFilterDialog* dialog) {
    if (dialog == m_customFilterDialog)
        return;
    if (m_customFilterDialog && m_customFilterDialog->parent() == this)
        delete m_customFilterDialog;
    m_customFilterDialog = dialog;
}

bool FilePanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && (watched == m_volumePanel || watched == m_filterPanel))
        fitComboToPanel(static_cast<QWidget*>(watched));
    return EnablingPanel::eventFilter(watched, event);
}

void FilePanel::fitComboToPanel(QWidget* resized) {
    // The panel clips the box's frame: one pixel at the top, left and bottom, two at the
    // right, so the box looks flat.
    QWidget* box = resized == m_volumePanel ? static_cast<QWidget*>(m_volumeBox)
                                            : static_cast<QWidget*>(m_filterBox);
    box->move(-1, -1);
    resized->setFixedHeight(box->height() - 2);
    box->resize(resized->width() + 3, box->height());
}

void FilePanel::showError(const QString& text) {
    if (m_services.showError)
        m_services.showError(window(), text);
    else
        showErrorBox(window(), text);
}

void FilePanel::filterApplied() {
    if (!m_customFilterGuard && m_filterBox->currentText() == AddCustomFilterText) {
        addCustomFilter();
        m_customFilterGuard = true;
    } else if (m_customFilterGuard) {
        m_customFilterGuard = false;
    }
}

void FilePanel::addCustomFilter() {
    if (!m_customFilterDialog)
        return;
    const int previous = m_filterBox->currentIndex();
    const int result = m_customFilterDialog->exec();
    if (result == QDialog::Accepted) {
        QString text = m_filterBox->filterText();
        const qsizetype at = text.indexOf(AddCustomFilterText);
        if (at < 0)
            return;
        text.truncate(at);
        text += m_customFilterDialog->filterNameEdit()->text() + QLatin1Char('|') +
                m_customFilterDialog->fileMaskEdit()->text() +
                QStringLiteral("|Add custom filter...| ");
        m_filterBox->setFilterText(text);
        selectFilter(m_filterBox->count() - 2);
    } else if (result == QDialog::Rejected) {
        selectFilter(previous == m_filterBox->count() - 1 ? 0 : previous);
    }
}

void FilePanel::selectFilter(int position) {
    {
        const QSignalBlocker blocker(m_filterBox);
        m_filterBox->setCurrentIndex(position);
    }
    m_session->files()->setMask(m_filterBox->mask());
}

void FilePanel::setStartingFolder(const QString& folder, int storedFilter) {
    m_pendingStart = folder;
    m_session->setReadsHeld(true);
    // Shown at once; its mask is kept without a read.
    restoreFilter(storedFilter);
}

void FilePanel::applyPendingStart() {
    if (!m_pendingStart)
        return;
    const QString folder = *m_pendingStart;
    m_pendingStart.reset();
    m_session->setReadsHeld(false);
    if (!folder.isEmpty())
        m_session->setFolder(folder, FolderSession::IfMissing::PassOver);
    // No usable folder, or the one shown already: the shown folder is read now.
    m_session->showIfUnshown();
}

void FilePanel::showStartingFolder(const QString& folder) {
    // A folder shown by anyone else first replaces the one waiting for the start.
    if (m_pendingStart) {
        m_pendingStart.reset();
        m_session->setReadsHeld(false);
    }
    if (folder.isEmpty())
        return;
    m_session->setFolder(folder, FolderSession::IfMissing::PassOver);
    // The folder may have been shown already, which raises no change notification; the
    // monitors follow it either way.
    m_session->showIfUnshown();
}

void FilePanel::restoreFilter(int storedIndex) {
    selectFilter(storedIndex < 0 || storedIndex > LastFilterIndex ? 0 : storedIndex);
}

int FilePanel::selectedFilter() const {
    return m_filterBox->currentIndex();
}

int FilePanel::folderTreeHeight() const {
    return m_folderTreePanel->height();
}

void FilePanel::setFolderTreeHeight(int height) {
    m_folderTreePanel->setFixedHeight(height);
}

} // namespace zelvorin

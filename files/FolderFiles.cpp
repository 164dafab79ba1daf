// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FolderFiles.h"

#include "FileListModel.h"
#include "FolderAnswers.h"
#include "FolderListing.h"
#include "FolderPaths.h"
#include "LosslessNames.h"
#include "RawFolderReader.h"

#include <QItemSelectionModel>

namespace zelvorin {

FolderFiles::FolderFiles(WorkerPool* pool, FolderAnswers* answers, QObject* parent)
    : QObject(parent), m_pool(pool), m_answers(answers) {
    m_model = new FileListModel(this);
    m_selection = new QItemSelectionModel(m_model, this);
    connect(m_selection, &QItemSelectionModel::selectionChanged, this,
            &FolderFiles::selectionChanged);
    m_folderBytes = platform::currentFolderBytes();
    m_folder = platform::openablePath(m_folderBytes);
}

FolderFiles::~FolderFiles() {
    cancelRead();
    if (m_question != 0)
        m_answers->forget(m_question);
}

void FolderFiles::showFolder(const QByteArray& folder,
                             const std::shared_ptr<FolderListing>& listing) {
    const std::shared_ptr<FolderListing> own =
        listing && listing->folder() == folder ? listing : nullptr;
    if (folder == m_folderBytes) {
        // Shown, never read: the caller's read of it serves as the first.
        if (m_readCount == 0 && !m_readsHeld)
            readFileNames(own, false);
        return;
    }
    m_folderBytes = folder;
    m_folder = platform::openablePath(folder);
    readFileNames(own, true);
}

void FolderFiles::setMask(const QString& mask) {
    if (mask == m_mask)
        return;
    m_mask = mask;
    readFileNames();
}

void FolderFiles::setKinds(FileKinds kinds) {
    if (kinds == m_kinds)
        return;
    m_kinds = kinds;
    readFileNames();
}

void FolderFiles::setReadsHeld(bool held) {
    m_readsHeld = held;
}

void FolderFiles::readIfUnread() {
    if (m_readCount == 0 && !m_readsHeld)
        readFileNames();
}

int FolderFiles::count() const {
    return m_model->count();
}

QStringList FolderFiles::names() const {
    return m_model->names();
}

int FolderFiles::selectedRow() const {
    const QModelIndexList rows = m_selection->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void FolderFiles::selectRow(int row) {
    const bool updating = m_updating;
    m_updating = true;
    if (row < 0 || row >= count())
        m_selection->clear();
    else
        m_selection->setCurrentIndex(m_model->index(row), QItemSelectionModel::ClearAndSelect);
    m_updating = updating;
}

void FolderFiles::selectRowTold(int row) {
    selectRow(row);
    m_lastSelected = selectedRow();
}

QByteArray FolderFiles::selectedPathBytes() const {
    const int row = selectedRow();
    if (row < 0)
        return QByteArray();
    return joinFolderAndName(m_folderBytes, m_model->at(row).raw);
}

QString FolderFiles::selectedPath() const {
    const int row = selectedRow();
    if (row < 0)
        return QString();
    const FileListEntry entry = m_model->at(row);
    if (platform::roundTrips(entry.raw))
        return joinFolderAndName(m_folder, entry.name);
    return platform::openablePath(joinFolderAndName(m_folderBytes, entry.raw));
}

void FolderFiles::tell() {
    m_lastSelected = selectedRow();
    emit selectionTold();
}

void FolderFiles::selectionChanged() {
    if (m_updating)
        return;
    // The user's own choice outranks a selection waiting for its name.
    m_keepRaw.clear();
    m_pendingName.clear();
    if (selectedRow() != m_lastSelected)
        tell();
}

void FolderFiles::setMarkRule(std::function<bool(const QString&)> rule) {
    m_model->setMarkRule(std::move(rule));
}

std::shared_ptr<const MarkedNames> FolderFiles::markedNames() const {
    return m_model->markedNames();
}

void FolderFiles::refreshKeepingSelectionBy(const std::function<void()>& read) {
    const int row = selectedRow();
    const QString name = row >= 0 ? m_model->displayName(row) : QString();
    selectRow(-1);
    read();
    if (!name.isEmpty()) {
        selectRow(m_model->find(name));
        if (selectedRow() != m_lastSelected)
            tell();
    }
}

void FolderFiles::refreshKeepingSelection() {
    if (isReading()) {
        // Run once the read under way has ended: it may not have reached the changes yet.
        m_fullRefreshAfterRead = true;
        return;
    }
    emit anyNameMayHaveChanged();
    refreshKeepingSelectionBy([this] { readFileNames(); });
}

void FolderFiles::refreshNamesKeepingSelection(const QByteArray& folder,
                                               const QSet<QByteArray>& names) {
    if (isReading()) {
        // The names are looked at once the read under way has ended: until then a name
        // it read before the change could come back after the change was dealt with.
        if (!platform::sameFolderBytes(folder, m_folderBytes))
            m_fullRefreshAfterRead = true;
        else if (m_namesAfterRead)
            m_namesAfterRead->unite(names);
        else
            m_namesAfterRead = names;
        return;
    }
    emit namesChanged(names);
    // The names tell what changed since the last read only while nothing else did.
    const bool applies = m_readCount > 0 && m_lastReadError == 0 && m_lastReadMask == m_mask &&
                         m_lastReadKinds == m_kinds &&
                         platform::sameFolderBytes(folder, m_folderBytes);
    refreshKeepingSelectionBy([&] {
        if (!applies || !recheckNames(names))
            readFileNames();
    });
}

void FolderFiles::selectFile(const QString& name) {
    const int current = selectedRow();
    if (current >= 0 && m_model->displayName(current) == name)
        return;
    const int row = m_model->find(name);
    if (row < 0 && m_listing) {
        // Not read yet: selected when it arrives, and told then (or at the read's end).
        m_keepRaw.clear();
        m_pendingName = name;
        selectRow(-1);
        return;
    }
    m_pendingName.clear();
    selectRow(row);
    tell();
}

} // namespace zelvorin

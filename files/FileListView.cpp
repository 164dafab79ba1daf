// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileListView.h"

#include "FileIcons.h"
#include "FileItemDelegate.h"
#include "FileListModel.h"
#include "FileThumbnails.h"
#include "FolderSession.h"

#include <QApplication>
#include <QEvent>
#include <QItemSelectionModel>

#include <algorithm>

namespace zelvorin {

FileListView::FileListView(FolderSession* session, QWidget* parent)
    : QListView(parent), m_session(session) {
    FolderFiles* files = session->files();
    setModel(files->model());
    setSelectionModel(files->selection());
    setItemDelegate(new FileItemDelegate(this));
    setUniformItemSizes(true);
    // The view lays a list out row by row; a list of a million rows is laid out in parts,
    // one a turn of the event loop, instead of in one stall after every change.
    setLayoutMode(QListView::Batched);
    setBatchSize(LayoutBatchRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    resize(180, 120);
    // A row chosen in code is brought into sight, also while the list is hidden.
    connect(files->selection(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    scrollTo(current);
            });
    connect(files, &FolderFiles::busyChanged, this, &FileListView::showBusy);
    connect(files, &FolderFiles::readStarted, this, [this](const QByteArray& folder) {
        if (m_thumbnails)
            m_thumbnails->setFolder(folder);
    });
    connect(files, &FolderFiles::namesChanged, this, [this](const QSet<QByteArray>& names) {
        if (m_thumbnails)
            m_thumbnails->forget(names);
    });
    connect(files, &FolderFiles::anyNameMayHaveChanged, this, [this] {
        if (m_thumbnails)
            m_thumbnails->recheckAll();
    });
    // Icons are switched on once the control stands, so the first sizing sees them.
    setShowsIcons(true);
}

FileListView::~FileListView() {
    if (m_overrideCursor)
        QApplication::restoreOverrideCursor();
}

void FileListView::setShowsIcons(bool show) {
    if (show == m_showsIcons)
        return;
    m_showsIcons = show;
    m_session->files()->model()->setShowIcons(show);
    updateItemHeight();
    viewport()->update();
}

void FileListView::setItemHeight(int height) {
    m_itemHeight = height;
    updateItemHeight();
}

void FileListView::setShowsThumbnails(bool show) {
    if (show == showsThumbnails())
        return;
    if (show) {
        m_thumbnails = new FileThumbnails(this);
        m_thumbnails->setFolder(m_session->files()->folderBytes());
    } else {
        delete m_thumbnails;
        m_thumbnails = nullptr;
    }
    static_cast<FileItemDelegate*>(itemDelegate())->setThumbnails(m_thumbnails);
    updateItemHeight();
    viewport()->update();
}

void FileListView::updateItemHeight() {
    int height = std::max(m_itemHeight, fontMetrics().height());
    if (m_showsIcons)
        height = std::max(height, FileIcons::smallIconSize() + 1);
    m_itemHeight = height;
    // Thumbnail rows are taller than itemHeight() without changing it, so switching them
    // off gives the rows back exactly.
    const int rowHeight =
        m_thumbnails ? std::max(m_itemHeight, m_thumbnails->side() + 2) : m_itemHeight;
    static_cast<FileItemDelegate*>(itemDelegate())->setItemHeight(rowHeight);
    doItemsLayout();
}

void FileListView::showBusy(FolderFiles::Busy busy) {
    // The wait cursor is the application's while the read holds the window; the list's
    // own busy cursor while it goes on in the background.
    if (busy == FolderFiles::Busy::Holding) {
        if (!m_overrideCursor)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        m_overrideCursor = true;
        return;
    }
    if (m_overrideCursor) {
        QApplication::restoreOverrideCursor();
        m_overrideCursor = false;
    }
    if (busy == FolderFiles::Busy::Background)
        viewport()->setCursor(Qt::BusyCursor);
    else
        viewport()->unsetCursor();
}

void FileListView::showEvent(QShowEvent* event) {
    // The first read waits for the first showing, so a list set up in code does not read
    // the launch folder with settings about to change.
    m_session->showIfUnshown();
    QListView::showEvent(event);
}

void FileListView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        updateItemHeight();
    QListView::changeEvent(event);
}

} // namespace zelvorin

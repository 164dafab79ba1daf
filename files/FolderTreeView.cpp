// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FolderTreeView.h"

#include "FileIcons.h"
#include "FileMessages.h"
#include "FolderPaths.h"
#include "FolderSession.h"
#include "LosslessNames.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace zelvorin {

namespace {

// Indents and icons of the folder rows: the path down to the shown folder one step per
// row, subfolders one step deeper than their depth.
class FolderItemDelegate : public QStyledItemDelegate {
public:
    explicit FolderItemDelegate(FolderTreeView* view) : QStyledItemDelegate(view), m_view(view) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const QPalette::ColorGroup group =
            option.state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        painter->fillRect(option.rect, selected ? option.palette.brush(group, QPalette::Highlight)
                                                : option.palette.brush(group, QPalette::Base));
        const QString path = m_view->itemPath(index.row());
        const bool subfolder = index.data(FolderTreeView::SubfolderRole).toBool();
        int indent = index.row() * 4 + 2;
        QIcon icon = FileIcons::instance().openFolderIcon();
        if (subfolder) {
            indent = (folderDepth(strippedFolderPath(path)) + 1) * 4 + 2;
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
        return QSize(option.rect.width(), m_view->itemHeight());
    }

private:
    FolderTreeView* m_view;
};

} // namespace

FolderTreeView::FolderTreeView(FolderSession* session, QWidget* parent)
    : QListWidget(parent), m_session(session) {
    setItemDelegate(new FolderItemDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    resize(180, 120);
    updateItemHeight();
    connect(session, &FolderSession::levelsChanged, this, &FolderTreeView::showLevels);
    connect(session, &FolderSession::subfoldersChanged, this, &FolderTreeView::showSubfolders);
    connect(session, &FolderSession::waitingChanged, this, &FolderTreeView::showWaiting);
    showLevels();
}

FolderTreeView::~FolderTreeView() {
    showWaiting(false);
}

void FolderTreeView::showEvent(QShowEvent* event) {
    // The first rows wait for the first showing, so a tree set up in code does not read
    // the launch folder on its way to another.
    m_session->showIfUnshown();
    QListWidget::showEvent(event);
}

void FolderTreeView::setItemHeight(int height) {
    m_itemHeight = height;
    updateItemHeight();
}

void FolderTreeView::updateItemHeight() {
    m_itemHeight = std::max({m_itemHeight, fontMetrics().height(), FileIcons::smallIconSize() + 1});
    doItemsLayout();
}

void FolderTreeView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        updateItemHeight();
    QListWidget::changeEvent(event);
}

QString FolderTreeView::itemPath(int row) const {
    if (row < 0 || row >= count())
        return QString();
    return platform::openablePath(itemPathBytes(row));
}

QByteArray FolderTreeView::itemPathBytes(int row) const {
    if (row < 0 || row >= count())
        return QByteArray();
    return item(row)->data(PathBytesRole).toByteArray();
}

void FolderTreeView::addRow(const QString& display, const QByteArray& path, bool subfolder) {
    QByteArray stored = path;
    while (stored.endsWith('/'))
        stored.chop(1);
    stored.append('/');
    auto* row = new QListWidgetItem(m_session->casePreserving() ? display : display.toLower());
    row->setData(PathBytesRole, stored);
    row->setData(SubfolderRole, subfolder);
    row->setData(Qt::AccessibleTextRole, display);
    if (!platform::roundTrips(stored))
        row->setData(Qt::ToolTipRole, NotTextNameTip(stored));
    addItem(row);
}

void FolderTreeView::showLevels() {
    setUpdatesEnabled(false);
    clear();
    for (const QByteArray& level : m_session->levels()) {
        const QString display = level == "/"
                                    ? QStringLiteral("/")
                                    : platform::displayName(level.mid(level.lastIndexOf('/') + 1));
        addRow(display, level, false);
    }
    m_currentRow = count() - 1;
    setUpdatesEnabled(true);
    if (m_currentRow >= 0) {
        setCurrentRow(m_currentRow);
        scrollToItem(item(m_currentRow));
    }
    if (!m_session->subfolders().empty())
        showSubfolders();
}

void FolderTreeView::showSubfolders() {
    setUpdatesEnabled(false);
    while (count() > m_currentRow + 1)
        delete takeItem(count() - 1);
    const QByteArray folder = m_session->folderBytes();
    for (const QByteArray& name : m_session->subfolders())
        addRow(platform::displayName(name), joinFolderAndName(folder, name), true);
    setUpdatesEnabled(true);
}

void FolderTreeView::showWaiting(bool waiting) {
    // The window goes on while a folder is asked; the pointer says that something is.
    if (waiting == m_waitCursor)
        return;
    m_waitCursor = waiting;
    if (waiting)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

void FolderTreeView::openCurrentRow() {
    const int row = currentRow();
    if (row >= 0)
        m_session->openFolder(itemPathBytes(row));
}

void FolderTreeView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openCurrentRow();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void FolderTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    openCurrentRow();
}

} // namespace zelvorin

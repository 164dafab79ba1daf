// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Draws a file list row: the type's icon (looked up only now, for rows on screen) and the
// name, at fixed row height. With thumbnails, an image's row shows its thumbnail instead
// of the icon once there is one.
#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

namespace zelvorin {

class FileThumbnails;

class FileItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit FileItemDelegate(QObject* parent);

    void setItemHeight(int height) { m_itemHeight = height; }
    int itemHeight() const { return m_itemHeight; }
    // Null: no thumbnails, the rows look as the icon list.
    void setThumbnails(FileThumbnails* thumbnails) { m_thumbnails = thumbnails; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // A name that is not UTF-8 says so in its tooltip, with its bytes.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    int m_itemHeight = 17;
    QPointer<FileThumbnails> m_thumbnails;
};

} // namespace zelvorin

// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileItemDelegate.h"

#include "FileIcons.h"
#include "FileListModel.h"
#include "FileMessages.h"
#include "FileThumbnails.h"
#include "LosslessNames.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace zelvorin {

FileItemDelegate::FileItemDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void FileItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group =
        option.state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    painter->fillRect(option.rect, selected ? option.palette.brush(group, QPalette::Highlight)
                                            : option.palette.brush(group, QPalette::Base));
    const QRect rect = option.rect;
    int textLeft = rect.left() + 2;
    const int iconIndex = index.data(FileListModel::IconIndexRole).toInt();
    if (m_thumbnails) {
        // Every row keeps the thumbnail's square, so names line up whether a row has its
        // thumbnail, only its type icon, or neither yet.
        const int side = m_thumbnails->side();
        const QRect square(rect.left() + 2, rect.top() + 1, side, side);
        const QPixmap thumbnail =
            m_thumbnails->pixmap(index.data(FileListModel::RawNameRole).toByteArray());
        if (!thumbnail.isNull()) {
            const QSize shown = thumbnail.deviceIndependentSize().toSize();
            const QRect place(QPoint(square.left() + (side - shown.width()) / 2,
                                     square.top() + (side - shown.height()) / 2),
                              shown);
            painter->drawPixmap(place, thumbnail);
        } else if (iconIndex >= 0) {
            const int iconSize = FileIcons::smallIconSize();
            const QRect place(square.center() - QPoint(iconSize / 2, iconSize / 2),
                              QSize(iconSize, iconSize));
            FileIcons::instance().icon(iconIndex).paint(painter, place);
        }
        textLeft = rect.left() + side + 8;
    } else if (iconIndex >= 0) {
        const int iconSize = FileIcons::smallIconSize();
        const int side = std::min(iconSize, rect.height());
        const QIcon icon = FileIcons::instance().icon(iconIndex);
        icon.paint(painter, QRect(rect.left() + 2, rect.top() + 1, side, side));
        textLeft = rect.left() + iconSize + 8;
    }
    painter->setPen(
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    const QRect textRect(textLeft, rect.top(), rect.right() - textLeft, rect.height());
    painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    if (option.state.testFlag(QStyle::State_HasFocus) && selected) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.backgroundColor = option.palette.color(group, QPalette::Highlight);
        option.widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter,
                                              option.widget);
    }
}

QSize FileItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return QSize(option.rect.width() > 0 ? option.rect.width() : 100, m_itemHeight);
}

bool FileItemDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                 const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() == QEvent::ToolTip && index.isValid()) {
        const QByteArray raw = index.data(FileListModel::RawNameRole).toByteArray();
        if (!platform::roundTrips(raw)) {
            QToolTip::showText(event->globalPos(), NotTextNameTip(raw), view);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

} // namespace zelvorin

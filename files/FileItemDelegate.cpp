#include "FileItemDelegate.h"

#include "FileIcons.h"
#include "FileListModel.h"

#include <QPainter>

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
    if (iconIndex >= 0) {
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

} // namespace zelvorin

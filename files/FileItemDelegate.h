// Draws a file list row: the type's icon (looked up only now, for rows on screen) and the
// name, at fixed row height.
#pragma once

#include <QStyledItemDelegate>

namespace zelvorin {

class FileItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit FileItemDelegate(QObject* parent);

    void setItemHeight(int height) { m_itemHeight = height; }
    int itemHeight() const { return m_itemHeight; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int m_itemHeight = 17;
};

} // namespace zelvorin

#pragma once

#include <QStyledItemDelegate>

namespace kestrel::gui {

// Draws cell borders for list views in report style, which QTreeView has no switch for.
class GridLinesDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace kestrel::gui

#pragma once
// Paints one cell of the transaction list the way the list has always
// looked: the row's colour (or the selection colour), then the text on one
// line, vertically centred, 2 pixels in from both sides, cut with an
// ellipsis at the end. Much lighter than the style's general item painting,
// which lays out every cell as rich text.

#include <QStyledItemDelegate>

namespace orvane {

class ListCellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace orvane

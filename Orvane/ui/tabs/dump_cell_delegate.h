#pragma once
// Paints one cell of a dump list: the row's colour (or the selection's),
// the text on one line 2 pixels in from both sides, cut with an ellipsis,
// and a search result's digits in red on yellow over it.

#include <QStyledItemDelegate>

namespace orvane::ui {

class DumpCellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace orvane::ui

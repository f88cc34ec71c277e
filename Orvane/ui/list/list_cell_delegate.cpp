#include "Orvane/ui/list/list_cell_delegate.h"

#include <QPainter>

namespace orvane {

namespace {

constexpr int kTextInset = 2;

}  // namespace

void ListCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  QStyleOptionViewItem cell = option;
  initStyleOption(&cell, index);
  const QPalette::ColorGroup group = (cell.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
  const bool selected = (cell.state & QStyle::State_Selected) != 0;
  if (selected) {
    painter->fillRect(cell.rect, cell.palette.brush(group, QPalette::Highlight));
  } else if (cell.backgroundBrush.style() != Qt::NoBrush) {
    painter->fillRect(cell.rect, cell.backgroundBrush);
  }
  if (cell.text.isEmpty()) return;
  const QRect area = cell.rect.adjusted(kTextInset, 0, -kTextInset, 0);
  painter->save();
  painter->setFont(cell.font);
  painter->setPen(cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
  // No mnemonic flag: an "&" in a cell is shown as it is.
  painter->drawText(area, static_cast<int>(cell.displayAlignment) | Qt::TextSingleLine,
                    cell.fontMetrics.elidedText(cell.text, Qt::ElideRight, area.width()));
  painter->restore();
}

}  // namespace orvane

#include "Orvane/ui/tabs/dump_cell_delegate.h"

#include <QPainter>

#include "Orvane/ui/tabs/dump_colours.h"
#include "Orvane/ui/tabs/dump_list_model.h"

namespace orvane::ui {
namespace {

constexpr int kTextInset = 2;

QColor ToColor(const Rgb& rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

}  // namespace

void DumpCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
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
  const int flags = static_cast<int>(cell.displayAlignment) | Qt::TextSingleLine;
  painter->save();
  painter->setClipRect(area);
  painter->setFont(cell.font);
  painter->setPen(cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
  // No mnemonic flag: the texts carry no "&" to interpret.
  painter->drawText(area, flags, cell.fontMetrics.elidedText(cell.text, Qt::ElideRight, area.width()));
  const QVariant span = index.data(DumpListModel::kHighlightRole);
  if (span.isValid()) {
    const QPoint chars = span.toPoint();
    const QString digits = cell.text.mid(chars.x(), chars.y() - chars.x());
    QRect marked = area;
    marked.setLeft(area.left() + cell.fontMetrics.horizontalAdvance(cell.text.left(chars.x())));
    marked.setWidth(cell.fontMetrics.horizontalAdvance(digits));
    painter->fillRect(marked, ToColor(kDumpHighlightBackground));
    painter->setPen(ToColor(kDumpHighlightText));
    painter->drawText(marked, flags, digits);
  }
  painter->restore();
}

}  // namespace orvane::ui

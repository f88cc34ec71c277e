#include "Orvane/ui/tabs/view_dump_list.h"

#include <QHeaderView>

#include "Orvane/ui/tabs/dump_cell_delegate.h"
#include "Orvane/ui/tabs/dump_font.h"

namespace orvane::ui {
namespace {

// Room above and below the text of a row.
constexpr int kRowPadding = 4;

}  // namespace

ViewDumpList::ViewDumpList(DumpKind kind, DetailSource detail, QWidget* parent)
    : QTableView(parent), model_(new DumpListModel(kind, std::move(detail), this)) {
  setModel(model_);
  setItemDelegate(new DumpCellDelegate(this));
  setFont(DumpFont());
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  setShowGrid(false);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  // Tab leaves the list; the arrow keys walk the rows.
  setTabKeyNavigation(false);
  // Every row has the same height, so the view never measures rows.
  QHeaderView* rows = verticalHeader();
  rows->hide();
  rows->setMinimumSectionSize(1);
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(fontMetrics().height() + kRowPadding);
  QHeaderView* columns = horizontalHeader();
  columns->setHighlightSections(false);
  columns->setSectionsClickable(false);
  columns->setSectionResizeMode(QHeaderView::Fixed);
  columns->setStretchLastSection(false);
  SetUpColumns();
}

void ViewDumpList::SetUpColumns() {
  // The caption and a few characters more, measured in the list's font.
  const QFontMetrics metrics = fontMetrics();
  for (int column = 0; column < kDumpColumns; ++column) {
    const QString sample = DumpListModel::CaptionText(model_->Kind(), column) +
                           QString::fromLatin1(DumpCaptionOf(model_->Kind(), column).width_pad);
    horizontalHeader()->resizeSection(column, metrics.horizontalAdvance(sample));
  }
}

void ViewDumpList::ShowTransaction(const TransactionInfo& record, uint32_t) {
  model_->Show(record);
  scrollToTop();
}

void ViewDumpList::Highlight(uint32_t byte_offset, HighlightKind kind, uint32_t length) {
  model_->SetHighlight({byte_offset, length});
  const uint32_t row = HighlightScrollRow(model_->Kind(), kind, byte_offset);
  if (row < static_cast<uint32_t>(model_->rowCount())) scrollTo(model_->index(static_cast<int>(row), 0));
}

}  // namespace orvane::ui

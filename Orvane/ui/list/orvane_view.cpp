#include "Orvane/ui/list/orvane_view.h"

#include <algorithm>

#include <QCoreApplication>
#include <QFontDatabase>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSignalBlocker>
#include <QWheelEvent>

#include "Orvane/ui/list/list_cell_delegate.h"
#include "Orvane/ui/list/list_tick.h"
#include "Orvane/ui/list/row_colours.h"
#include "Orvane/ui/list/selection_trace.h"

namespace orvane {

namespace {

// The list's face is a small fixed-pitch font, so columns of hexadecimal
// bytes line up from row to row.
constexpr int kListFontPoints = 9;
// Room above and below the text of a row.
constexpr int kRowPadding = 4;

}  // namespace

COrvaneView::COrvaneView(COrvaneDoc& doc, AppState& app, QWidget* parent)
    : QTableView(parent),
      doc_(doc),
      app_(app),
      model_(new TransactionListModel(doc, app, this)),
      rows_bar_(new QScrollBar(Qt::Vertical, this)),
      interval_ms_(kListFastIntervalMs) {
  setAccessibleName(tr("Transactions"));
  setModel(model_);
  setItemDelegate(new ListCellDelegate(this));
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(true);
  setWordWrap(false);
  setTextElideMode(Qt::ElideRight);
  setCornerButtonEnabled(false);
  // Tab leaves the list for the next control; the arrow keys move the row.
  setTabKeyNavigation(false);

  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(kListFontPoints);
  setFont(font);

  QPalette colours = palette();
  const Rgb& selected = kSelectedRowBackground;
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    colours.setColor(group, QPalette::Highlight, QColor(selected.r, selected.g, selected.b));
  }
  setPalette(colours);

  // Every row has the same height, so the view never measures rows.
  QHeaderView* rows = verticalHeader();
  rows->hide();
  rows->setMinimumSectionSize(1);
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(fontMetrics().height() + kRowPadding);
  horizontalHeader()->setHighlightSections(false);
  SetUpColumns();

  // The table's own vertical scroll bar would span only the window: it stays
  // hidden, and the list's bar takes its place beside the rows.
  verticalScrollBar()->hide();
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  rows_bar_->setFocusPolicy(Qt::NoFocus);
  rows_bar_->setSingleStep(1);
  addScrollBarWidget(rows_bar_, Qt::AlignTop);
  connect(rows_bar_, &QScrollBar::valueChanged, this,
          [this](int value) { ShowFrom(static_cast<uint32_t>(value)); });

  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &COrvaneView::OnSelectionChanged);
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &COrvaneView::OnUpdateTimer);
  timer_.start(interval_ms_);
}

void COrvaneView::SetUpColumns() {
  // Wide enough for the header and a few characters more, measured in the
  // list's own font.
  const QFontMetrics metrics = fontMetrics();
  const std::vector<ListColumn>& columns = model_->Columns();
  for (size_t i = 0; i < columns.size(); ++i) {
    const int section = static_cast<int>(i);
    const QString sample = model_->HeaderText(section) + QString::fromLatin1(columns[i].width_pad);
    horizontalHeader()->resizeSection(section, metrics.horizontalAdvance(sample));
  }
}

void COrvaneView::OnInitialUpdate() {
  timer_.stop();
  current_row_ = kNoListRow;
  model_->Rebuild();
  SetUpColumns();
  ShowFrom(0);
  emit rowCountChanged(0);
  interval_ms_ = kListFastIntervalMs;
  timer_.start(interval_ms_);
}

void COrvaneView::OnUpdateTimer() {
  UpdateCursor();
  ListTickInput in;
  in.live_capture = app_.live_capture;
  in.analysis_running = app_.analysis_running;
  in.announced = model_->Announced();
  in.paused = app_.view_update_paused;
  in.interval_ms = interval_ms_;
  // An offline decode leaves the list alone; its worker holds the view lock
  // for long batches, and waiting for it would freeze the window.
  const bool reads_index = in.live_capture || !in.analysis_running;
  if (CSamplingObj* sampling = doc_.Sampling(); sampling != nullptr && reads_index) {
    const TransactionStore& store = sampling->Records();
    in.index_count = store.ViewCount();
    in.ring_full = store.PoolMode() && in.index_count == kLivePoolRecords;
  }
  const ListTickAction action = DecideListTick(in);
  if (action.leave_snapshot) model_->LeaveSnapshot();
  if (action.announce) SetRowCount(in.index_count);
  bool follow = action.scroll_to_last;
  if (action.take_snapshot) follow = model_->TakeSnapshot();
  if (follow) ShowFrom(kNoListRow);
  interval_ms_ = action.interval_ms;
  timer_.start(interval_ms_);
}

void COrvaneView::UpdateCursor() {
  if (app_.live_capture || app_.analysis_running) {
    viewport()->setCursor(Qt::BusyCursor);
  } else {
    viewport()->unsetCursor();
  }
}

bool COrvaneView::RecordAt(quint32 row, TransactionInfo* out) const {
  return model_->RecordAt(row, out);
}

bool COrvaneView::SelectRowAndShow(quint32 row) {
  CSamplingObj* sampling = doc_.Sampling();
  if (sampling == nullptr) return false;
  if (row >= model_->Announced() && !model_->InSnapshot()) {
    // The index may have been refilled since the last tick.
    const uint32_t count = sampling->Records().ViewCount();
    if (row < count) SetRowCount(count);
  }
  TransactionInfo record{};
  if (!model_->RecordAt(row, &record)) return false;
  ScrollToRow(row);
  SetCurrentRow(row);
  setFocus(Qt::OtherFocusReason);
  return true;
}

void COrvaneView::ScrollToRow(quint32 row) {
  ListWindow window = model_->Window();
  window.visible = VisibleRows();
  ShowFrom(OffsetShowing(window, row));
}

uint32_t COrvaneView::VisibleRows() const {
  const int row_height = std::max(verticalHeader()->defaultSectionSize(), 1);
  return static_cast<uint32_t>(std::max(viewport()->height() / row_height, 1));
}

void COrvaneView::SetRowCount(uint32_t count) {
  if (count == model_->Announced()) return;
  if (current_row_ != kNoListRow && current_row_ >= count) current_row_ = kNoListRow;
  ListWindow window = model_->Window();
  window.count = count;
  Show(window);
  emit rowCountChanged(count);
}

void COrvaneView::ShowFrom(uint32_t offset) {
  ListWindow window = model_->Window();
  window.offset = offset;
  Show(window);
}

void COrvaneView::Show(ListWindow window) {
  window.visible = VisibleRows();
  window = ClampListWindow(window);
  // Rows leaving the table take their selection along; MapCurrentRow below
  // restores it from the current row, so nothing here is the user's doing.
  mapping_ = true;
  model_->ShowWindow(window);
  mapping_ = false;
  {
    const QSignalBlocker quiet(rows_bar_);
    rows_bar_->setRange(0, static_cast<int>(MaxListOffset(window)));
    rows_bar_->setPageStep(static_cast<int>(window.visible));
    rows_bar_->setValue(static_cast<int>(window.offset));
  }
  // The bar stands beside the rows only while some of them are out of sight.
  const Qt::ScrollBarPolicy policy = window.count > window.visible ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
  if (verticalScrollBarPolicy() != policy) setVerticalScrollBarPolicy(policy);
  MapCurrentRow();
}

void COrvaneView::SetCurrentRow(uint32_t row) {
  const bool changed = row != current_row_;
  current_row_ = row;
  MapCurrentRow();
  if (changed) ReportSelection(row);
}

void COrvaneView::MapCurrentRow() {
  QItemSelectionModel* selection = selectionModel();
  uint32_t window_row = 0;
  mapping_ = true;
  if (ToWindowRow(model_->Window(), current_row_, &window_row)) {
    const QModelIndex index = model_->index(static_cast<int>(window_row), current_column_);
    if (selection->currentIndex() != index || !selection->isRowSelected(index.row())) {
      selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
  } else if (selection->hasSelection() || selection->currentIndex().isValid()) {
    selection->clear();
  }
  mapping_ = false;
}

void COrvaneView::OnSelectionChanged() {
  if (mapping_) return;
  const QModelIndexList rows = selectionModel()->selectedRows();
  if (rows.isEmpty()) {
    current_row_ = kNoListRow;
    return;
  }
  const uint32_t row = model_->Window().offset + static_cast<uint32_t>(rows.first().row());
  if (row == current_row_) return;
  current_row_ = row;
  ReportSelection(row);
}

void COrvaneView::ReportSelection(uint32_t row) {
  if (app_.live_capture) return;
  TransactionInfo record{};
  RecordRef ref = kNoRecord;
  if (!model_->RecordAt(row, &record, &ref)) return;
  if (const CSamplingObj* sampling = doc_.Sampling()) TraceListSelection(row, ref, record, *sampling);
  emit transactionSelected(row);
}

QModelIndex COrvaneView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  ListMove move = ListMove::kDown;
  switch (action) {
    case MoveUp: move = ListMove::kUp; break;
    case MoveDown: move = ListMove::kDown; break;
    case MovePageUp: move = ListMove::kPageUp; break;
    case MovePageDown: move = ListMove::kPageDown; break;
    // A list of rows: Home and End go to the first and last row, with or
    // without Ctrl.
    case MoveHome: move = ListMove::kFirst; break;
    case MoveEnd: move = ListMove::kLast; break;
    default:
      // Sideways moves stay in the current row: bring it back into sight
      // so the table moves from it.
      if (current_row_ != kNoListRow) ScrollToRow(current_row_);
      return QTableView::moveCursor(action, modifiers);
  }
  ListWindow window = model_->Window();
  window.visible = VisibleRows();
  const uint32_t target = ListMoveTarget(window, current_row_, move);
  if (target == kNoListRow) return {};
  ScrollToRow(target);
  SetCurrentRow(target);
  return selectionModel()->currentIndex();
}

void COrvaneView::scrollTo(const QModelIndex& index, ScrollHint hint) {
  if (!index.isValid() || mapping_) return;
  const uint32_t window_row = static_cast<uint32_t>(index.row());
  const uint32_t row = model_->Window().offset + window_row;
  // A row only partly in sight (a click on the bottom row) moves the window
  // so it shows whole.
  if (window_row >= VisibleRows()) ScrollToRow(row);
  const QModelIndex shown = model_->index(static_cast<int>(row - model_->Window().offset), index.column());
  current_column_ = std::max(index.column(), 0);
  // The table scrolls sideways to the column; its own rows never scroll.
  QTableView::scrollTo(shown, hint);
}

void COrvaneView::updateGeometries() {
  QTableView::updateGeometries();
  // The window's first row is always at the top.
  if (verticalScrollBar()->maximum() != 0) verticalScrollBar()->setRange(0, 0);
}

void COrvaneView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  ShowFrom(model_->Window().offset);
}

void COrvaneView::wheelEvent(QWheelEvent* event) {
  if (event->angleDelta().y() == 0 || !rows_bar_->isVisible()) {
    QTableView::wheelEvent(event);
    return;
  }
  QCoreApplication::sendEvent(rows_bar_, event);
}

}  // namespace orvane

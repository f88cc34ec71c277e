#include "Orvane/ui/list/orvane_view.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QItemSelectionModel>

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
  model_->Rebuild();
  SetUpColumns();
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
  if (CSamplingObj* sampling = doc_.Sampling()) {
    const TransactionStore& store = sampling->Records();
    in.index_count = store.ViewCount();
    in.ring_full = store.PoolMode() && in.index_count == kLivePoolRecords;
  }
  const ListTickAction action = DecideListTick(in);
  if (action.leave_snapshot) model_->LeaveSnapshot();
  if (action.announce) model_->Announce(in.index_count);
  bool follow = action.scroll_to_last;
  if (action.take_snapshot) follow = model_->TakeSnapshot();
  // scrollToBottom lays out the rows just announced before it scrolls.
  if (follow) scrollToBottom();
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
    if (row < count) model_->Announce(count);
  }
  TransactionInfo record{};
  if (!model_->RecordAt(row, &record)) return false;
  selectRow(static_cast<int>(row));
  scrollTo(model_->index(static_cast<int>(row), 0));
  setFocus(Qt::OtherFocusReason);
  return true;
}

void COrvaneView::OnSelectionChanged() {
  if (app_.live_capture) return;
  const QModelIndexList rows = selectionModel()->selectedRows();
  if (rows.isEmpty()) return;
  const quint32 row = static_cast<quint32>(rows.first().row());
  TransactionInfo record{};
  RecordRef ref = kNoRecord;
  if (!model_->RecordAt(row, &record, &ref)) return;
  if (const CSamplingObj* sampling = doc_.Sampling()) TraceListSelection(row, ref, record, *sampling);
  emit transactionSelected(row);
}

}  // namespace orvane

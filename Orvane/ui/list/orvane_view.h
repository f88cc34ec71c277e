#pragma once
// The transaction list: one row per entry of the view index, formatted on
// demand. A timer announces new rows (and follows a live capture's ring);
// selecting a row outside a live capture tells the main window, which shows
// that transaction in the other views.
//
// The table holds only the window of rows on screen; the list's own scroll
// bar spans every announced row and moves the window. Rows in this
// interface are absolute; the current row is kept here and selected in the
// table whenever the window holds it.

#include <QScrollBar>
#include <QTableView>
#include <QTimer>

#include <cstdint>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/orvane_doc.h"
#include "Orvane/ui/list/list_window.h"
#include "Orvane/ui/list/transaction_list_model.h"

namespace orvane {

class COrvaneView : public QTableView {
  Q_OBJECT

 public:
  // The document's sampling object may be replaced at any time (a new file
  // or capture); the view asks the document for it on every use.
  COrvaneView(COrvaneDoc& doc, AppState& app, QWidget* parent = nullptr);

  // After a document was opened, a capture started or the settings changed:
  // no rows, the columns of the current capture kind, the timer restarted.
  void OnInitialUpdate();

  // One tick of the update timer: announce a changed row count, follow the
  // newest row unless paused, snapshot a full live ring. The main window may
  // call it to show a freshly filtered index at once.
  void OnUpdateTimer();

  // Copies the record of a row under the view lock; false for a row without
  // one.
  bool RecordAt(quint32 row, TransactionInfo* out) const;

  // Selects a row, scrolls it into view and gives the list the focus (the
  // filter's first-row selection, the searches). False when the view index
  // has no such row.
  bool SelectRowAndShow(quint32 row);

  // Scrolls the least that shows a row whole.
  void ScrollToRow(quint32 row);

  // The rows announced so far (the table itself holds only a window).
  quint32 RowCount() const { return model_->Announced(); }
  quint32 FirstVisibleRow() const { return model_->Window().offset; }
  // The selected row; kNoListRow for none.
  quint32 CurrentRow() const { return current_row_; }
  QScrollBar* RowScrollBar() const { return rows_bar_; }

  const TransactionListModel& ListModel() const { return *model_; }
  int UpdateInterval() const { return interval_ms_; }

 signals:
  // A row became selected while no live capture runs.
  void transactionSelected(quint32 row);
  // The announced row count changed (also after every initial update).
  void rowCountChanged(quint32 count);

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  void updateGeometries() override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void SetUpColumns();
  void UpdateCursor();
  void OnSelectionChanged();
  uint32_t VisibleRows() const;
  void SetRowCount(uint32_t count);
  // Shows the rows from `offset` (clamped, kNoListRow for the end).
  void ShowFrom(uint32_t offset);
  // Shows a window fitted to the viewport, moves the bar to it and maps the
  // current row in.
  void Show(ListWindow window);
  void SetCurrentRow(uint32_t row);
  // Selects the current row in the table when the window holds it, and
  // clears the table's selection when it does not, both without reporting.
  void MapCurrentRow();
  void ReportSelection(uint32_t row);

  COrvaneDoc& doc_;
  AppState& app_;
  TransactionListModel* model_;  // a child, so it outlives the view's own teardown
  QScrollBar* rows_bar_;
  QTimer timer_;
  int interval_ms_;
  uint32_t current_row_ = kNoListRow;
  int current_column_ = 0;
  bool mapping_ = false;  // the table's selection follows current_row_
};

}  // namespace orvane

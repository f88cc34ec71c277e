#pragma once
// The transaction list: one row per entry of the view index, formatted on
// demand. A timer announces new rows (and follows a live capture's ring);
// selecting a row outside a live capture tells the main window, which shows
// that transaction in the other views.

#include <QTableView>
#include <QTimer>

#include <cstdint>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/orvane_doc.h"
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

  const TransactionListModel& ListModel() const { return *model_; }
  int UpdateInterval() const { return interval_ms_; }

 signals:
  // A row became selected while no live capture runs.
  void transactionSelected(quint32 row);

 private:
  void SetUpColumns();
  void UpdateCursor();
  void OnSelectionChanged();

  COrvaneDoc& doc_;
  AppState& app_;
  TransactionListModel* model_;  // a child, so it outlives the view's own teardown
  QTimer timer_;
  int interval_ms_;
};

}  // namespace orvane

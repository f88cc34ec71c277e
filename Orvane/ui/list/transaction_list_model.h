#pragma once
// The transaction list as a Qt table model. It stores no row and shows only
// a window of the rows announced on the update timer: model row i is the
// absolute row (offset + i). Every cell is formatted on demand from a record
// copied under the view lock (or from the live snapshot), so neither the
// model nor the table and its header grow with the capture.

#include <QAbstractTableModel>
#include <QString>

#include <cstdint>
#include <vector>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/orvane_doc.h"
#include "Orvane/decode/cell_texts.h"
#include "Orvane/ui/list/list_window.h"
#include "Orvane/ui/list/live_snapshot.h"

namespace orvane {

class TransactionListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  TransactionListModel(COrvaneDoc& doc, AppState& app, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  void multiData(const QModelIndex& index, QModelRoleDataSpan roles) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // The columns of the current capture kind, no rows, no snapshot.
  void Rebuild();
  // Shows the rows of a clamped window: the table's rows grow or shrink at
  // their end and the rows kept are repainted, without a reset, so the
  // horizontal scroll position and the columns stay.
  void ShowWindow(const ListWindow& window);
  const ListWindow& Window() const { return window_; }
  uint32_t Announced() const { return window_.count; }

  // Reads the rows from a fresh copy of the live pool and repaints them;
  // false when the document has no live pool.
  bool TakeSnapshot();
  // Reads the rows from the view index again.
  void LeaveSnapshot();
  bool InSnapshot() const { return snapshot_.Active(); }

  // The record of an absolute row, copied; false for a row without one.
  bool RecordAt(uint32_t row, TransactionInfo* out, RecordRef* ref = nullptr) const;
  const std::vector<ListColumn>& Columns() const { return columns_; }
  // A column's header in the user's language.
  QString HeaderText(int section) const;

 private:
  // The columns, text mode and headers of the current capture kind.
  void TakeColumns();
  void AllRowsChanged();

  COrvaneDoc& doc_;
  AppState& app_;
  std::vector<ListColumn> columns_;
  std::vector<QString> headers_;
  RecordTextMode mode_;
  LiveSnapshot snapshot_;
  ListWindow window_;
  uint32_t window_rows_ = 0;
};

}  // namespace orvane

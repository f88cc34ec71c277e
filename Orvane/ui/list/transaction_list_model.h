#pragma once
// The transaction list as a Qt table model. It stores no row: rowCount is
// the count announced on the update timer, and every cell is formatted on
// demand from a record copied under the view lock (or from the live
// snapshot), so 18 million rows cost nothing here.

#include <QAbstractTableModel>
#include <QString>

#include <cstdint>
#include <vector>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/orvane_doc.h"
#include "Orvane/decode/cell_texts.h"
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
  // Tells the view the new row count without resetting it, so the scroll
  // position and the selection stay.
  void Announce(uint32_t count);
  uint32_t Announced() const { return announced_; }

  // Reads the rows from a fresh copy of the live pool and repaints them;
  // false when the document has no live pool.
  bool TakeSnapshot();
  // Reads the rows from the view index again.
  void LeaveSnapshot();
  bool InSnapshot() const { return snapshot_.Active(); }

  // The record of a row, copied; false for a row without one.
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
  uint32_t announced_ = 0;
};

}  // namespace orvane

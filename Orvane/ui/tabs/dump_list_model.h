#pragma once
// The rows of a dump list as a Qt table model. It keeps the record shown,
// the row count and the highlight; every cell is formatted from the
// detail when the view asks for it.

#include <QAbstractTableModel>

#include <optional>

#include "Orvane/capture/transaction_info.h"
#include "Orvane/ui/tabs/detail_source.h"
#include "Orvane/ui/tabs/dump_rows.h"

namespace orvane::ui {

class DumpListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // Column 1's highlighted characters, as a QPoint(first, end); invalid
  // where nothing is highlighted.
  static constexpr int kHighlightRole = Qt::UserRole;

  DumpListModel(DumpKind kind, DetailSource detail, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // Takes the record whose detail is loaded; clears the highlight.
  void Show(const TransactionInfo& record);
  void SetHighlight(const DumpHighlight& highlight);
  DumpKind Kind() const { return kind_; }
  // A column's caption in the user's language.
  static QString CaptionText(DumpKind kind, int column);

 private:
  // The detail when it still holds the shown record's bytes.
  const TransactionDetail* ShownDetail() const;

  DumpKind kind_;
  DetailSource detail_;
  std::optional<int32_t> shown_index_;
  uint32_t rows_ = 0;
  std::optional<DumpHighlight> highlight_;
};

}  // namespace orvane::ui

#pragma once
// ViewDumpList: a data tab with the selected transaction's bytes as a
// hexadecimal and ASCII dump, 16 bytes a row. The table is virtual: rows
// are formatted from the detail as they are painted. A search result is
// marked in every row that holds found bytes and one row is scrolled into
// view.

#include <QTableView>

#include "Orvane/ui/tabs/detail_source.h"
#include "Orvane/ui/tabs/dump_list_model.h"
#include "Orvane/ui/tabs/transaction_tab.h"

namespace orvane::ui {

class ViewDumpList : public QTableView, public TransactionTab {
  Q_OBJECT

 public:
  ViewDumpList(DumpKind kind, DetailSource detail, QWidget* parent = nullptr);

  void ShowTransaction(const TransactionInfo& record, uint32_t row) override;
  void Highlight(uint32_t byte_offset, HighlightKind kind, uint32_t length) override;

  DumpKind Kind() const { return model_->Kind(); }
  const DumpListModel& DumpModel() const { return *model_; }

 private:
  void SetUpColumns();

  DumpListModel* model_;
};

}  // namespace orvane::ui

#pragma once
// ViewDump: the I2C "Packet" tab. The selected transaction as one line of
// bytes with their ACK marks between its START and STOP marks, a legend
// below; read-only, wrapped at the window's edge. A data or NACK search
// selects what it found.

#include <QTextEdit>

#include <optional>

#include "Orvane/ui/tabs/detail_source.h"
#include "Orvane/ui/tabs/packet_text.h"
#include "Orvane/ui/tabs/transaction_tab.h"

namespace orvane::ui {

class ViewDump : public QTextEdit, public TransactionTab {
  Q_OBJECT

 public:
  explicit ViewDump(DetailSource detail, QWidget* parent = nullptr);

  void ShowTransaction(const TransactionInfo& record, uint32_t row) override;
  void Highlight(uint32_t byte_offset, HighlightKind kind, uint32_t length) override;
  // Showing the pane starts the double-click count again.
  void ResetDoubleClicks() { double_clicks_.Reset(); }

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void ShowText();

  DetailSource detail_;
  std::optional<TransactionInfo> record_;
  uint32_t byte_count_ = 0;
  QString text_;
  DoubleClickCounter double_clicks_;
};

}  // namespace orvane::ui

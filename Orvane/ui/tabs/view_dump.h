#pragma once
// ViewDump: the I2C "Packet" tab. The selected transaction as one line of
// bytes with their ACK marks between its START and STOP marks, a legend
// below; read-only, wrapped at the window's edge. A data or NACK search
// selects what it found.
//
// The line is broken into lines as wide as the view before it is shown
// (between bytes, where wrapping would break it), so a transaction of
// thousands of bytes costs the layout of the lines on screen only; the
// breaks move when the view's width does.

#include <QPlainTextEdit>

#include <optional>
#include <string>

#include "Orvane/ui/tabs/detail_source.h"
#include "Orvane/ui/tabs/packet_text.h"
#include "Orvane/ui/tabs/transaction_tab.h"

namespace orvane::ui {

class ViewDump : public QPlainTextEdit, public TransactionTab {
  Q_OBJECT

 public:
  explicit ViewDump(DetailSource detail, QWidget* parent = nullptr);

  void ShowTransaction(const TransactionInfo& record, uint32_t row) override;
  void Highlight(uint32_t byte_offset, HighlightKind kind, uint32_t length) override;
  // Showing the pane starts the double-click count again.
  void ResetDoubleClicks() { double_clicks_.Reset(); }

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // Bytes a line of the view's width holds.
  uint32_t BytesPerLine() const;
  // Shows the line broken for the current width, then the search's
  // selection, if any.
  void ShowText();
  void ShowTextWhenSeen();
  // Selects the search's find, or puts the cursor at the start.
  void ShowSelection();

  DetailSource detail_;
  std::optional<TransactionInfo> record_;
  uint32_t byte_count_ = 0;
  uint32_t prefix_length_ = 0;
  std::string line_;
  uint32_t bytes_per_line_ = 0;
  bool text_stale_ = false;  // the shown text is not yet the record's
  std::optional<CharSpan> selection_;  // in the unbroken line
  DoubleClickCounter double_clicks_;
};

}  // namespace orvane::ui

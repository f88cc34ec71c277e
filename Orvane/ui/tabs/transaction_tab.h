#pragma once
// What every data tab below the transaction list does: show the selected
// transaction once its detail is loaded, and mark a search result. The main
// window talks to the tabs only through this interface.

#include <cstdint>

#include "Orvane/capture/transaction_info.h"

namespace orvane::ui {

// What a data or NACK search looked in (the dump views map it to a row).
enum class HighlightKind : uint8_t { kI2cData = 1, kMiso = 2, kMosi = 3, kNack = 4 };

class TransactionTab {
 public:
  virtual ~TransactionTab() = default;
  // The detail of `record` is loaded into the sampling object when called.
  virtual void ShowTransaction(const TransactionInfo& record, uint32_t row) = 0;
  // Bytes found by a search in the shown transaction.
  virtual void Highlight(uint32_t byte_offset, HighlightKind kind, uint32_t length) {
    (void)byte_offset, (void)kind, (void)length;
  }
  // The found byte's clock offset (the waveform moves its marker M2 there).
  virtual void SearchHit(int32_t clock_offset) { (void)clock_offset; }
};

}  // namespace orvane::ui

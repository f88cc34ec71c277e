#pragma once
// The I2C packet as one line: how it began, every byte with its ACK mark,
// how it ended. A search result selects characters of that line.

#include <cstdint>
#include <optional>
#include <string>

#include "Orvane/capture/transaction_detail.h"
#include "Orvane/ui/tabs/dump_rows.h"

namespace orvane::ui {

// "[S] " / "[R] " / nothing, then "XX. " (ACK) or "XX? " (NACK) per byte of
// the detail, then "[P]" when the transaction ended with a STOP.
std::string PacketLine(uint8_t start_end_type, const TransactionDetail& detail);

// The length of the condition mark the line begins with (0 or 4).
uint32_t PacketPrefixLength(uint8_t start_end_type);

// What a search result selects in the line: the found data bytes with their
// marks, or the mark of the NACKed byte. None for other searches and for
// bytes the line does not hold.
std::optional<CharSpan> PacketSelection(HighlightKind search, uint32_t offset, uint32_t length,
                                        uint8_t start_end_type, uint32_t byte_count);

// The line broken into lines of `bytes_per_line` bytes, so a view whose
// width holds that many lays out only the lines it shows; the first line
// keeps the condition mark, the last the STOP mark.
std::string WrapPacketLine(const std::string& line, uint32_t prefix_length, uint32_t bytes_per_line);

// Where character `c` of the unbroken line lies in the broken text; `end`
// for the end of a selection, which stays before a break it meets.
uint32_t WrappedPosition(uint32_t c, uint32_t prefix_length, uint32_t bytes_per_line, bool end);

// Double-clicks on the packet text: the third and every later one show the
// transaction again, which drops the selection a search made.
class DoubleClickCounter {
 public:
  // True when the text is to be shown again.
  bool LeftDoubleClick() { return ++count_ >= kReshowFrom; }
  void Reset() { count_ = 0; }

 private:
  static constexpr uint32_t kReshowFrom = 3;
  uint32_t count_ = 0;
};

}  // namespace orvane::ui

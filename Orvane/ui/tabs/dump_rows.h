#pragma once
// The rows of a hexadecimal dump list, computed when a row is drawn: 16
// bytes a row, the offset, the bytes as hexadecimal digits and as ASCII.
// The MISO+MOSI list interleaves the two data lines row by row. Nothing is
// stored per row, so a transaction of any size costs one row count.

#include <cstdint>
#include <optional>
#include <string>

#include "Orvane/ui/tabs/transaction_tab.h"

namespace orvane::ui {

// What a data tab shows; the numbers are those the tabs have always used.
enum class DumpKind : uint8_t { kMiso = 1, kMosi = 2, kMisoMosi = 3, kData = 4, kPacket = 5 };

inline constexpr uint32_t kDumpRowBytes = 16;
inline constexpr int kDumpColumns = 3;

uint32_t DumpRowCount(DumpKind kind, uint32_t byte_count);

// Where a row's bytes come from.
struct DumpRowPlace {
  uint32_t offset = 0;   // byte offset of the row's first byte
  uint32_t length = 0;   // bytes in the row, 1..16
  bool second = false;   // from the second array (MOSI) instead of the first
};

// False for a row beyond the bytes.
bool DumpRowPlaceOf(DumpKind kind, uint32_t row, uint32_t byte_count, DumpRowPlace* out);

// Column 0: the offset; in the MISO+MOSI list the line's name as well.
std::string DumpOffsetText(DumpKind kind, uint32_t row, uint32_t offset);
// Column 1: " XX" per byte, "-XX" for the ninth.
std::string DumpHexText(const uint8_t* bytes, uint32_t length);
// Column 2: printable bytes as themselves, the rest as ".".
std::string DumpAsciiText(const uint8_t* bytes, uint32_t length);

// A column's caption and what its width adds to it.
struct DumpCaption {
  const char* text;
  const char* width_pad;
};
DumpCaption DumpCaptionOf(DumpKind kind, int column);

// Bytes a search found, by byte offset (marked in every list, whichever
// array it shows).
struct DumpHighlight {
  uint32_t start = 0;
  uint32_t length = 0;
};

// Characters [first, end) of a text.
struct CharSpan {
  uint32_t first = 0;
  uint32_t end = 0;
  friend bool operator==(const CharSpan&, const CharSpan&) = default;
};

// The characters of column 1 of a row that carry highlighted digits: from
// the first digit of the first highlighted byte to the last digit of the
// last one in this row. None when the row holds no highlighted byte.
std::optional<CharSpan> HighlightedDigits(const DumpHighlight& highlight, const DumpRowPlace& row);

// The row a highlight scrolls into view: the found byte's row when the list
// shows the array the search looked in, else the first row.
uint32_t HighlightScrollRow(DumpKind kind, HighlightKind search, uint32_t offset);

}  // namespace orvane::ui

#include "Orvane/ui/tabs/dump_rows.h"

#include <algorithm>
#include <cstdio>

namespace orvane::ui {
namespace {

// Each byte takes three characters of column 1: a separator and two digits.
constexpr uint32_t kHexCharsPerByte = 3;
constexpr uint32_t kSeparatorBeforeByte = 8;

uint32_t CeilRows(uint32_t byte_count) { return byte_count / kDumpRowBytes + (byte_count % kDumpRowBytes != 0); }

}  // namespace

uint32_t DumpRowCount(DumpKind kind, uint32_t byte_count) {
  const uint32_t rows = CeilRows(byte_count);
  return kind == DumpKind::kMisoMosi ? rows * 2 : rows;
}

bool DumpRowPlaceOf(DumpKind kind, uint32_t row, uint32_t byte_count, DumpRowPlace* out) {
  if (row >= DumpRowCount(kind, byte_count)) return false;
  DumpRowPlace place;
  if (kind == DumpKind::kMisoMosi) {
    place.offset = (row / 2) * kDumpRowBytes;
    place.second = row % 2 == 1;
  } else {
    place.offset = row * kDumpRowBytes;
    place.second = kind == DumpKind::kMosi;
  }
  place.length = std::min(kDumpRowBytes, byte_count - place.offset);
  *out = place;
  return true;
}

std::string DumpOffsetText(DumpKind kind, uint32_t row, uint32_t offset) {
  char text[32];
  if (kind != DumpKind::kMisoMosi) {
    std::snprintf(text, sizeof text, "  %06X", offset);
  } else if (row % 2 == 0) {
    std::snprintf(text, sizeof text, "  %06X [MISO]", offset);
  } else {
    return "         [MOSI]";
  }
  return text;
}

std::string DumpHexText(const uint8_t* bytes, uint32_t length) {
  std::string text;
  text.reserve(length * kHexCharsPerByte);
  for (uint32_t i = 0; i < length; ++i) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%c%02X", i == kSeparatorBeforeByte ? '-' : ' ', bytes[i]);
    text += digits;
  }
  return text;
}

std::string DumpAsciiText(const uint8_t* bytes, uint32_t length) {
  std::string text;
  text.reserve(length);
  for (uint32_t i = 0; i < length; ++i) {
    const uint8_t byte = bytes[i];
    text += byte >= 0x20 && byte <= 0x7E ? static_cast<char>(byte) : '.';
  }
  return text;
}

DumpCaption DumpCaptionOf(DumpKind kind, int column) {
  switch (column) {
    case 0:
      if (kind == DumpKind::kMiso) return {"ADRS [MISO] ", "RRRR"};
      if (kind == DumpKind::kMosi) return {"ADRS [MOSI] ", "RRRR"};
      return {"ADRS        ", "RRRR"};
    case 1: return {"+0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F    ", "RRR"};
    default: return {"ASCII  character    ", "RRR"};
  }
}

std::optional<CharSpan> HighlightedDigits(const DumpHighlight& highlight, const DumpRowPlace& row) {
  // 64-bit ends: a highlight near the top of the offsets must not wrap.
  const uint64_t row_end = uint64_t(row.offset) + row.length;
  const uint64_t first = std::max<uint64_t>(highlight.start, row.offset);
  const uint64_t end = std::min<uint64_t>(uint64_t(highlight.start) + highlight.length, row_end);
  if (first >= end) return std::nullopt;
  const uint32_t first_byte = static_cast<uint32_t>(first - row.offset);
  const uint32_t last_byte = static_cast<uint32_t>(end - row.offset) - 1;
  return CharSpan{first_byte * kHexCharsPerByte + 1, last_byte * kHexCharsPerByte + kHexCharsPerByte};
}

uint32_t HighlightScrollRow(DumpKind kind, HighlightKind search, uint32_t offset) {
  const uint32_t row = offset / kDumpRowBytes;
  switch (kind) {
    case DumpKind::kMiso: return search == HighlightKind::kMiso ? row : 0;
    case DumpKind::kMosi: return search == HighlightKind::kMosi ? row : 0;
    case DumpKind::kData: return search == HighlightKind::kI2cData ? row : 0;
    case DumpKind::kMisoMosi:
      if (search == HighlightKind::kMiso) return row * 2;
      if (search == HighlightKind::kMosi) return row * 2 + 1;
      return 0;
    case DumpKind::kPacket: break;
  }
  return 0;
}

}  // namespace orvane::ui

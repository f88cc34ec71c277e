#include "Orvane/ui/tabs/packet_text.h"

#include <algorithm>
#include <cstdio>

#include "Orvane/capture/transaction_info.h"

namespace orvane::ui {
namespace {

// "XX" + mark + blank.
constexpr uint32_t kCharsPerByte = 4;
constexpr uint32_t kMarkInByte = 2;
constexpr uint32_t kConditionMarkLength = 4;

bool Nacked(const TransactionDetail& detail, uint32_t byte) {
  const size_t index = byte / 8;
  // A missing ACK bit reads as an ACK.
  return index < detail.bytes2.size() && (detail.bytes2[index] & (0x80u >> (byte % 8))) != 0;
}

}  // namespace

uint32_t PacketPrefixLength(uint8_t start_end_type) {
  return (start_end_type & (kBeganStart | kBeganRepeatedStart)) != 0 ? kConditionMarkLength : 0;
}

std::string PacketLine(uint8_t start_end_type, const TransactionDetail& detail) {
  std::string line;
  const uint32_t count = static_cast<uint32_t>(std::min<size_t>(detail.count, detail.bytes.size()));
  line.reserve(kConditionMarkLength + count * kCharsPerByte + 3);
  if ((start_end_type & kBeganStart) != 0) {
    line += "[S] ";
  } else if ((start_end_type & kBeganRepeatedStart) != 0) {
    line += "[R] ";
  }
  for (uint32_t i = 0; i < count; ++i) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X%c ", detail.bytes[i], Nacked(detail, i) ? '?' : '.');
    line += text;
  }
  if ((start_end_type & kEndedStop) != 0) line += "[P]";
  return line;
}

std::string WrapPacketLine(const std::string& line, uint32_t prefix_length, uint32_t bytes_per_line) {
  const size_t chars_per_line = size_t(std::max(bytes_per_line, 1u)) * kCharsPerByte;
  std::string wrapped;
  wrapped.reserve(line.size() + line.size() / chars_per_line + 1);
  size_t from = 0;
  for (size_t at = prefix_length + chars_per_line; at < line.size(); at += chars_per_line) {
    wrapped.append(line, from, at - from);
    wrapped += '\n';
    from = at;
  }
  wrapped.append(line, from, std::string::npos);
  return wrapped;
}

uint32_t WrappedPosition(uint32_t c, uint32_t prefix_length, uint32_t bytes_per_line, bool end) {
  const uint32_t chars_per_line = std::max(bytes_per_line, 1u) * kCharsPerByte;
  // Breaks stand before characters prefix + chars_per_line × j, j ≥ 1.
  const uint32_t reach = end ? c - (c > 0) : c;
  const uint32_t breaks = reach >= prefix_length ? (reach - prefix_length) / chars_per_line : 0;
  return c + breaks;
}

std::optional<CharSpan> PacketSelection(HighlightKind search, uint32_t offset, uint32_t length,
                                        uint8_t start_end_type, uint32_t byte_count) {
  if (offset >= byte_count) return std::nullopt;
  // Counted from where the bytes begin, so a packet without a START mark
  // selects the same bytes.
  const uint32_t first = PacketPrefixLength(start_end_type) + offset * kCharsPerByte;
  if (search == HighlightKind::kI2cData) {
    if (length == 0) return std::nullopt;
    const uint32_t found = std::min(length, byte_count - offset);
    // The found bytes and their marks, not the blank after the last one.
    return CharSpan{first, first + found * kCharsPerByte - 1};
  }
  if (search == HighlightKind::kNack) return CharSpan{first + kMarkInByte, first + kMarkInByte + 1};
  return std::nullopt;
}

}  // namespace orvane::ui

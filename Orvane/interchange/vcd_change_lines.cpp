#include "Orvane/interchange/vcd_change_lines.h"

namespace velix::interchange {
namespace {

// The longest stamp read here: 19 digits cannot overflow 64 bits.
constexpr ptrdiff_t kMaxDigits = 19;

inline unsigned DigitOf(char c) { return static_cast<unsigned>(static_cast<unsigned char>(c) - '0'); }

}  // namespace

ChangeLines ReadChangeLines(std::string_view text, const VcdIdentifiers& identifiers, uint64_t* tick,
                            uint8_t* levels, LevelChange* out, size_t capacity) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* at = begin;  // the line feed ending the last line read
  uint64_t now = *tick;
  uint64_t lines = 0;
  size_t n = 0;
  // Three bytes after the line feed: the shortest line and its line feed.
  while (n < capacity && end - at > 3 && *at == '\n') {
    const char* const line = at + 1;
    if (line[0] == '#') {
      const char* const limit = end - line > kMaxDigits + 1 ? line + kMaxDigits + 1 : end;
      const char* digit = line + 1;
      uint64_t value = 0;
      for (; digit < limit && DigitOf(*digit) <= 9; ++digit) value = value * 10 + DigitOf(*digit);
      if (digit == line + 1 || digit == end || *digit != '\n' || value < now) break;
      now = value;
      at = digit;
      ++lines;
      continue;
    }
    const unsigned level = DigitOf(line[0]);
    const auto first = static_cast<unsigned char>(line[1]);
    if (level > 1 || !VcdIdentifiers::Printable(first)) break;
    int32_t channel = kUnknownIdentifier;
    const char* next = nullptr;
    if (line[2] == '\n') {
      channel = identifiers.FindSingle(first);
      next = line + 2;
    } else {
      const auto second = static_cast<unsigned char>(line[2]);
      if (end - line < 4 || line[3] != '\n' || !VcdIdentifiers::Printable(second)) break;
      channel = identifiers.FindPair(first, second);
      next = line + 3;
    }
    if (channel == kUnknownIdentifier) break;
    at = next;
    ++lines;
    if (channel == kSkippedVariable || levels[channel] == level) continue;
    levels[channel] = static_cast<uint8_t>(level);
    out[n++] = {now, static_cast<uint32_t>(channel), level != 0};
  }
  *tick = now;
  return {static_cast<size_t>(at - begin), lines, n};
}

}  // namespace velix::interchange

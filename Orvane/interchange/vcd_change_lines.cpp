#include "Orvane/interchange/vcd_change_lines.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velix::interchange {
namespace {

// The longest stamp read here: 19 digits cannot overflow 64 bits.
constexpr ptrdiff_t kMaxDigits = 19;

inline unsigned DigitOf(char c) { return static_cast<unsigned>(static_cast<unsigned char>(c) - '0'); }

constexpr uint64_t kEachByte = 0x0101010101010101ull;
constexpr uint64_t kPowersOfTen[8] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

// How many of the eight bytes at `text` are digits before the first that is
// not (8 when all are), with the digits' values (0 to 9) in `values`.
inline size_t LeadingDigits(const char* text, uint64_t* values) {
  uint64_t bytes = 0;
  std::memcpy(&bytes, text, sizeof bytes);
  // A byte is a digit when neither its value nor the value plus 6 reaches
  // the high nibble. A carry out of a byte only reaches bytes after a
  // non-digit, which are not looked at.
  *values = bytes ^ ('0' * kEachByte);
  const uint64_t non_digits = (*values | (*values + 6 * kEachByte)) & (0xF0 * kEachByte);
  return non_digits == 0 ? 8 : static_cast<size_t>(std::countr_zero(non_digits) / 8);
}

// The number the first `length` (1 to 8) digit values spell, the first the
// most significant: moved up to the end, then combined in pairs, fours and
// the eight.
inline uint64_t Number(uint64_t values, size_t length) {
  uint64_t v = length == 8 ? values : values << (8 * (8 - length));
  v = (v & (0x0F * kEachByte)) * 2561 >> 8;
  v = (v & 0x00FF00FF00FF00FFull) * 6553601 >> 16;
  return (v & 0x0000FFFF0000FFFFull) * 42949672960001ull >> 32;
}

// The first eight digits of the last long stamp and their number: stamps
// grow slowly, so the next one mostly begins the same. Eight zeros, the
// number 0, to begin with.
struct StampPrefix {
  uint64_t bytes = '0' * kEachByte;
  uint64_t number = 0;
};

// A stamp of one to fifteen digits and its line feed at `text` (sixteen
// bytes readable), read eight bytes at a time: the length of the digits, 0
// when the bytes are anything else.
inline size_t FastStamp(const char* text, uint64_t* value, StampPrefix* prefix) {
  if constexpr (std::endian::native != std::endian::little) return 0;
  uint64_t bytes = 0;
  std::memcpy(&bytes, text, sizeof bytes);
  if (bytes != prefix->bytes) {
    uint64_t high = 0;
    const size_t length = LeadingDigits(text, &high);
    if (length == 0) return 0;
    if (length < 8) {
      if (text[length] != '\n') return 0;
      *value = Number(high, length);
      return length;
    }
    prefix->bytes = bytes;
    prefix->number = Number(high, 8);
  }
  if (text[8] == '\n') {
    *value = prefix->number;
    return 8;
  }
  uint64_t low = 0;
  const size_t more = LeadingDigits(text + 8, &low);
  if (more == 0 || more == 8 || text[8 + more] != '\n') return 0;
  *value = prefix->number * kPowersOfTen[more] + Number(low, more);
  return 8 + more;
}

// The line feeds and the digits among the sixteen bytes at `text`: bit i
// of each mask for text[i].
struct ByteMasks {
  unsigned feeds = 0;
  unsigned digits = 0;
};

inline ByteMasks MasksOf(const char* text) {
#if defined(__SSE2__)
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
  const __m128i values = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
  const __m128i digits = _mm_cmpeq_epi8(_mm_min_epu8(values, _mm_set1_epi8(9)), values);
  return {static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')))),
          static_cast<unsigned>(_mm_movemask_epi8(digits))};
#else
  ByteMasks masks;
  for (unsigned i = 0; i < 16; ++i) {
    masks.feeds |= unsigned{text[i] == '\n'} << i;
    masks.digits |= unsigned{DigitOf(text[i]) <= 9} << i;
  }
  return masks;
#endif
}

inline uint64_t Load8(const char* text) {
  uint64_t bytes = 0;
  std::memcpy(&bytes, text, sizeof bytes);
  return bytes;
}

// The longest stamp the quick lines take: its line feed is the last of the
// sixteen bytes looked at.
constexpr unsigned kQuickDigits = 14;

// The digits above the last eight of the last stamp of nine or more, and
// their number: the next stamp mostly begins the same.
struct HighDigits {
  uint64_t values = 0;
  uint64_t number = 0;
};

// The number of the `count` (1 to kQuickDigits) digits at `text`.
inline uint64_t QuickNumber(const char* text, unsigned count, HighDigits* high) {
  constexpr uint64_t kZeros = '0' * kEachByte;
  if (count <= 8) return Number(Load8(text) ^ kZeros, count);
  // The last eight read as one word; the ones above them moved up to the
  // word's end, the bytes after them shifted out.
  const uint64_t values = (Load8(text) ^ kZeros) << (8 * (16 - count));
  if (values != high->values) {
    high->values = values;
    high->number = Number(values, 8);
  }
  return high->number * 100000000 + Number(Load8(text + count - 8) ^ kZeros, 8);
}

// The state of a read, held in locals by the loops.
struct LineRead {
  const char* at;  // the line feed ending the last line read
  uint64_t now;
  uint64_t lines;
  size_t n;
};

// Reads the common lines while sixteen bytes after each line's start are
// readable, each from one look at those bytes; stops at the first line it
// does not take, which the careful reader below takes or refuses.
inline void QuickLines(const char* end, const VcdIdentifiers& identifiers, uint8_t* levels, LevelChange* out,
                       size_t capacity, HighDigits* high, LineRead* read) {
  if (end - read->at <= 16) return;
  const char* at = read->at;
  uint64_t now = read->now;
  uint64_t lines = read->lines;
  size_t n = read->n;
  // A value line of `length` bytes before its line feed; false when it is
  // not one read here.
  const auto value_line = [&](const char* line, unsigned length) {
    const unsigned level = DigitOf(line[0]);
    if (level > 1) return false;
    int32_t channel = kUnknownIdentifier;
    if (length == 2) {
      channel = identifiers.FindSingle(static_cast<unsigned char>(line[1]));
    } else if (length == 3 && VcdIdentifiers::Printable(static_cast<unsigned char>(line[1])) &&
               VcdIdentifiers::Printable(static_cast<unsigned char>(line[2]))) {
      channel = identifiers.FindPair(static_cast<unsigned char>(line[1]), static_cast<unsigned char>(line[2]));
    }
    if (channel == kUnknownIdentifier) return false;
    if (channel != kSkippedVariable && levels[channel] != level) {
      levels[channel] = static_cast<uint8_t>(level);
      out[n++] = {now, static_cast<uint32_t>(channel), level != 0};
    }
    at = line + length;
    ++lines;
    return true;
  };
  const char* const last = end - 17;  // the last line feed a line may start after
  while (at <= last && n < capacity) {
    const char* const line = at + 1;
    const ByteMasks masks = MasksOf(line);
    // 16 when none of the sixteen bytes is a line feed.
    const auto length = static_cast<unsigned>(__builtin_ctz(masks.feeds | 1u << 16));
    if (line[0] != '#') {
      if (!value_line(line, length)) break;
      continue;
    }
    // Digits from the second byte up to the line feed, at least one.
    if (length < 2 || length > kQuickDigits + 1) break;
    const unsigned count = length - 1;
    const unsigned wanted = ((1u << count) - 1) << 1;
    if ((masks.digits & wanted) != wanted) break;
    const uint64_t value = QuickNumber(line + 1, count, high);
    if (value < now) break;
    now = value;
    at = line + length;
    ++lines;
    // Most stamps are followed by one value of a one-character code, its
    // line feed among the same sixteen bytes: taken without another look.
    if (((masks.feeds >> (length + 1)) & 7) == 4 && !value_line(at + 1, 2)) break;
  }
  *read = {at, now, lines, n};
}

}  // namespace

ChangeLines ReadChangeLines(std::string_view text, const VcdIdentifiers& identifiers, uint64_t* tick,
                            uint8_t* levels, LevelChange* out, size_t capacity) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* at = begin;  // the line feed ending the last line read
  uint64_t now = *tick;
  uint64_t lines = 0;
  size_t n = 0;
  StampPrefix prefix;
  HighDigits high;
  for (;;) {
    if (end - at > 16 && *at == '\n') {
      LineRead read{at, now, lines, n};
      QuickLines(end, identifiers, levels, out, capacity, &high, &read);
      at = read.at;
      now = read.now;
      lines = read.lines;
      n = read.n;
    }
    // One line the quick loop did not take, if it is known here: three
    // bytes after the line feed are the shortest line and its line feed.
    if (n == capacity || end - at <= 3 || *at != '\n') break;
    const char* const line = at + 1;
    if (line[0] == '#') {
      uint64_t value = 0;
      const size_t length = end - line > 16 ? FastStamp(line + 1, &value, &prefix) : 0;
      if (length != 0) {
        if (value < now) break;
        now = value;
        at = line + 1 + length;
        ++lines;
        continue;
      }
      const char* const limit = end - line > kMaxDigits + 1 ? line + kMaxDigits + 1 : end;
      const char* digit = line + 1;
      for (; digit < limit && DigitOf(*digit) <= 9; ++digit) value = value * 10 + DigitOf(*digit);
      if (digit == line + 1 || digit == end || *digit != '\n' || value < now) break;
      now = value;
      at = digit;
      ++lines;
      continue;
    }
    const unsigned level = DigitOf(line[0]);
    const auto first = static_cast<unsigned char>(line[1]);
    if (level > 1) break;
    int32_t channel = kUnknownIdentifier;
    const char* next = nullptr;
    if (line[2] == '\n') {
      // Only codes of printable characters are ever bound, so a blank, a
      // line feed or a control byte there finds none and the word reader
      // takes the line.
      channel = identifiers.FindSingle(first);
      next = line + 2;
    } else {
      const auto second = static_cast<unsigned char>(line[2]);
      if (!VcdIdentifiers::Printable(first) || end - line < 4 || line[3] != '\n' ||
          !VcdIdentifiers::Printable(second)) {
        break;
      }
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

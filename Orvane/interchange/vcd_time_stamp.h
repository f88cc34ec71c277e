#pragma once
// The time stamp line "#<time>\n" of a VCD file. The time is kept as the
// digits above the last four, as text, and the value of the last four, as a
// number: the upper digits change once per 10^4 ticks, and the last four
// digits, with the line end, come from a table. Nothing is stored and loaded
// back within most stamps, so writing a line seldom waits for its own stores.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace velix::interchange {

class VcdTimeStamp {
 public:
  // The room Advance needs at its target: it copies fixed lengths, so the
  // copies are a few stores rather than a call, and reports the true length.
  static constexpr size_t kPutRoom = 32;

  // Adds `delta` to the time and writes the line at `out` (kPutRoom bytes
  // of room); returns its length.
  size_t Advance(uint64_t delta, char* out) {
    low_ += delta;
    if (low_ >= widen_at_) [[unlikely]]
      return WidenAndPut(out);
    return Put(out);
  }

  // The four decimal digits of `n` < 10^4 and the line end as text, the
  // first digit in the lowest byte.
  static uint64_t FourDigitsLine(uint32_t n) { return kFourDigitsLines[n]; }

 private:
  static constexpr uint64_t kLowSpan = 10000;  // 10^4: the last four digits

  // A line's last four digits and its end for every value, looked up in one
  // load: the values of successive stamps lie close together, so the few
  // cache lines in use stay cached.
  static constexpr std::array<uint64_t, kLowSpan> kFourDigitsLines = [] {
    std::array<uint64_t, kLowSpan> table{};
    for (uint32_t n = 0; n < kLowSpan; ++n) {
      uint64_t rest = n;
      table[n] = uint64_t{'\n'} << 32;
      for (int place = 3; place >= 0; --place) {
        table[n] |= (0x30u + rest % 10) << (8 * place);
        rest /= 10;
      }
    }
    return table;
  }();

  // The line of a time of at least 10^3. The digits go out with the line
  // end in one word: the bytes past it are overwritten by what follows or
  // never written out.
  size_t Put(char* out) const {
    const uint64_t tail = kFourDigitsLines[low_];
    out[0] = '#';
    std::memcpy(out + 1, &upper_[0], sizeof upper_[0]);
    std::memcpy(out + 1 + sizeof upper_[0], &upper_[1], sizeof upper_[1]);
    std::memcpy(out + digits_at_, &tail, sizeof tail);
    return digits_at_ + 5;
  }

  // The time reached 10^3 or a multiple of 10^4, or is still below 10^3
  // (until then widen_at_ is 0, so every line comes here).
  size_t WidenAndPut(char* out) {
    if (low_ >= kLowSpan) {
      high_ += low_ / kLowSpan;
      low_ %= kLowSpan;
      char text[20];
      size_t count = 0;
      for (uint64_t rest = high_; rest != 0; rest /= 10) text[count++] = static_cast<char>('0' + rest % 10);
      char upper[sizeof upper_] = {};
      for (size_t i = 0; i < count; ++i) upper[i] = text[count - 1 - i];
      std::memcpy(upper_, upper, sizeof upper);
      digits_at_ = 1 + count;
    }
    if (low_ >= 1000 || high_ != 0) {
      widen_at_ = kLowSpan;
      return Put(out);
    }
    // Below 10^3 the leading zeros are dropped.
    const size_t width = low_ < 10 ? 1 : low_ < 100 ? 2 : 3;
    const uint64_t tail = kFourDigitsLines[low_] >> (8 * (4 - width));
    out[0] = '#';
    std::memcpy(out + 1, &tail, sizeof tail);
    return width + 2;
  }

  // The digits above the last four, as text: at most 16, as 2^64 < 10^20.
  // Kept in words rather than an array of characters, so that a caller's
  // stamp can live in registers: stores through a character pointer may
  // alias any byte in memory, and the time would be stored and loaded back
  // around every line.
  uint64_t upper_[2] = {};
  size_t digits_at_ = 1;    // where the last four digits go in the line
  uint64_t high_ = 0;       // the time / 10^4
  uint64_t low_ = 0;        // the time % 10^4, until the next WidenAndPut
  uint64_t widen_at_ = 0;   // where the line next gets a digit longer
};

}  // namespace velix::interchange

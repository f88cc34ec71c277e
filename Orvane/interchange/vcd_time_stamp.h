#pragma once
// The time stamp line "#<time>\n" of a VCD file. The time is kept as the
// digits above the last four, as text, and the value of the last four, as a
// number: the upper digits change once per 10^4 ticks, and the last four
// digits come from a table. Nothing is stored and loaded back within most
// stamps, so writing a line seldom waits for its own stores.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace velix::interchange {

class VcdTimeStamp {
 public:
  // The room Put needs at its target: it copies fixed lengths, so the
  // copies are a few stores rather than a call, and reports the true length.
  static constexpr size_t kPutRoom = 32;

  void Advance(uint64_t delta) {
    low_ += delta;
    if (low_ >= widen_at_) [[unlikely]]
      Widen();
  }

  // Writes the line at `out` (kPutRoom bytes of room); returns its length.
  // The digits go out with the line end in one word: the bytes past it are
  // overwritten by what follows or never written out.
  size_t Put(char* out) const {
    if (drop_bits_ != 0) [[unlikely]]
      return PutShort(out);
    const uint64_t tail = FourDigits(static_cast<uint32_t>(low_)) | kLineEnd;
    out[0] = '#';
    std::memcpy(out + 1, &upper_[0], sizeof upper_[0]);
    std::memcpy(out + 1 + sizeof upper_[0], &upper_[1], sizeof upper_[1]);
    std::memcpy(out + digits_at_, &tail, sizeof tail);
    return digits_at_ + 5;
  }

  // The four decimal digits of `n` < 10^4 as text, the first digit in the
  // lowest byte.
  static uint32_t FourDigits(uint32_t n) { return kFourDigits[n]; }

 private:
  static constexpr uint64_t kLowSpan = 10000;  // 10^4: the last four digits
  static constexpr uint64_t kLineEnd = uint64_t{'\n'} << 32;  // after four digits

  // A line's last four digits for every value, looked up in one load: the
  // values of successive stamps lie close together, so the few cache lines
  // in use stay cached.
  static constexpr std::array<uint32_t, kLowSpan> kFourDigits = [] {
    std::array<uint32_t, kLowSpan> table{};
    for (uint32_t n = 0; n < kLowSpan; ++n) {
      uint32_t rest = n;
      for (int place = 3; place >= 0; --place) {
        table[n] |= (0x30u + rest % 10) << (8 * place);
        rest /= 10;
      }
    }
    return table;
  }();

  // The time reached the next digit count: below 10^4 the line has fewer
  // than four digits and the leading zeros are dropped; from there on the
  // digits above the last four go to the upper digits.
  void Widen() {
    if (low_ >= kLowSpan || high_ != 0) {
      high_ += low_ / kLowSpan;
      low_ %= kLowSpan;
      char text[20];
      size_t count = 0;
      for (uint64_t rest = high_; rest != 0; rest /= 10) text[count++] = static_cast<char>('0' + rest % 10);
      char upper[sizeof upper_] = {};
      for (size_t i = 0; i < count; ++i) upper[i] = text[count - 1 - i];
      std::memcpy(upper_, upper, sizeof upper);
      digits_at_ = 1 + count;
      drop_bits_ = 0;
      widen_at_ = kLowSpan;
      return;
    }
    size_t width = 1;
    widen_at_ = 10;
    while (low_ >= widen_at_) {
      widen_at_ *= 10;
      ++width;
    }
    drop_bits_ = static_cast<uint32_t>(8 * (4 - width));
  }

  // A time below 10^3, without the leading zeros.
  size_t PutShort(char* out) const {
    const uint64_t tail = (FourDigits(static_cast<uint32_t>(low_)) | kLineEnd) >> drop_bits_;
    out[0] = '#';
    std::memcpy(out + 1, &tail, sizeof tail);
    return 6 - drop_bits_ / 8;
  }

  // The digits above the last four, as text: at most 16, as 2^64 < 10^20.
  // Kept in words rather than an array of characters, so that a caller's
  // stamp can live in registers: stores through a character pointer may
  // alias any byte in memory, and the time would be stored and loaded back
  // around every line.
  uint64_t upper_[2] = {};
  size_t digits_at_ = 1;      // where the last four digits go in the line
  uint32_t drop_bits_ = 24;   // the leading zeros of a time below 10^3
  uint64_t high_ = 0;         // the time / 10^4
  uint64_t low_ = 0;          // the time % 10^4, until the next Widen
  uint64_t widen_at_ = 10;    // where the line next gets a digit longer
};

}  // namespace velix::interchange

#pragma once
// The time stamp line "#<time>\n" of a VCD file. The time is kept as the
// digits above the last four, as text, and the value of the last four, as a
// number: the upper digits change once per 10^4 ticks,
// and the last four digits are formatted in a register with a few
// multiplications and no branch. Nothing is stored and loaded back within
// most stamps, so writing a line seldom waits for its own stores.

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
  size_t Put(char* out) const {
    const uint32_t digits = FourDigits(static_cast<uint32_t>(low_)) >> drop_bits_;
    out[0] = '#';
    std::memcpy(out + 1, upper_, sizeof upper_);
    std::memcpy(out + 1 + upper_length_, &digits, sizeof digits);
    out[length_ - 1] = '\n';
    return length_;
  }

  // The four decimal digits of `n` < 10^4 as text, the first digit in the
  // lowest byte: 2-digit pairs in 16-bit lanes, then digits in bytes. Each
  // split divides by multiplying with a rounded reciprocal, exact over the
  // lane's range.
  static uint32_t FourDigits(uint32_t n) {
    const uint32_t hundreds = n * 10486 >> 20;
    const uint32_t pairs = hundreds | (n - hundreds * 100) << 16;
    const uint32_t tens = (pairs * 103 >> 10) & 0x000F000Fu;
    const uint32_t digits = tens | (pairs - tens * 10) << 8;
    return digits | 0x30303030u;
  }

 private:
  static constexpr uint64_t kLowSpan = 10000;  // 10^4: the last four digits

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
      for (size_t i = 0; i < count; ++i) upper_[i] = text[count - 1 - i];
      upper_length_ = count;
      drop_bits_ = 0;
      length_ = 1 + upper_length_ + 5;
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
    length_ = 1 + width + 1;
  }

  // The digits above the last four: at most 16, as 2^64 < 10^20.
  char upper_[16] = {};
  size_t upper_length_ = 0;
  size_t length_ = 3;         // of the whole line
  uint32_t drop_bits_ = 24;   // the leading zeros of a time below 10^3
  uint64_t high_ = 0;         // the time / 10^4
  uint64_t low_ = 0;          // the time % 10^4, until the next Widen
  uint64_t widen_at_ = 10;    // where the line next gets a digit longer
};

}  // namespace velix::interchange

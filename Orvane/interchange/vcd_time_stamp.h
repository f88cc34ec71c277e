#pragma once
// The time stamp line "#<time>\n" of a VCD file. The time is kept as a
// decimal prefix of the digits above the last eight, as text, and the value
// of the last eight, as a number: the prefix changes once per 10^8 ticks,
// and the last eight digits are formatted in a register with a few
// multiplications and no branch. Nothing is stored and loaded back within
// one stamp, so writing a line never waits for its own stores.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace velix::interchange {

class VcdTimeStamp {
 public:
  // The room Put needs at its target: it copies fixed lengths, so the
  // copies are a few stores rather than a call, and reports the true length.
  static constexpr size_t kPutRoom = 32;

  VcdTimeStamp() { prefix_[0] = '#'; }

  void Advance(uint64_t delta) {
    low_ += delta;
    if (low_ >= widen_at_) [[unlikely]]
      Widen();
  }

  // Writes the line at `out` (kPutRoom bytes of room); returns its length.
  size_t Put(char* out) const {
    std::memcpy(out, prefix_, sizeof prefix_);
    const uint64_t digits = EightDigits(low_) >> drop_bits_;
    std::memcpy(out + prefix_length_, &digits, sizeof digits);
    out[length_ - 1] = '\n';
    return length_;
  }

  // The eight decimal digits of `n` < 10^8 as text, the first digit in the
  // lowest byte: 4-digit halves in 32-bit lanes, split into 2-digit pairs in
  // 16-bit lanes, then into digits in bytes. Each split divides by
  // multiplying with a rounded reciprocal, exact over the lane's range.
  static uint64_t EightDigits(uint64_t n) {
    const uint64_t halves = n / 10000 | (n % 10000) << 32;
    const uint64_t hundreds = (halves * 10486 >> 20) & 0x0000007F0000007Full;
    const uint64_t pairs = hundreds | (halves - hundreds * 100) << 16;
    const uint64_t tens = (pairs * 103 >> 10) & 0x000F000F000F000Full;
    const uint64_t digits = tens | (pairs - tens * 10) << 8;
    return digits | 0x3030303030303030ull;
  }

 private:
  static constexpr uint64_t kLowSpan = 100000000;  // 10^8: the last eight digits

  // The time reached the next digit count: below 10^8 the line has fewer
  // than eight digits and the leading zeros are dropped; from there on the
  // digits above the last eight go to the prefix.
  void Widen() {
    if (low_ >= kLowSpan || high_ != 0) {
      high_ += low_ / kLowSpan;
      low_ %= kLowSpan;
      char text[20];
      size_t count = 0;
      for (uint64_t rest = high_; rest != 0; rest /= 10) text[count++] = static_cast<char>('0' + rest % 10);
      for (size_t i = 0; i < count; ++i) prefix_[1 + i] = text[count - 1 - i];
      prefix_length_ = 1 + count;
      drop_bits_ = 0;
      length_ = prefix_length_ + 9;
      widen_at_ = kLowSpan;
      return;
    }
    size_t width = 1;
    widen_at_ = 10;
    while (low_ >= widen_at_) {
      widen_at_ *= 10;
      ++width;
    }
    drop_bits_ = static_cast<uint32_t>(8 * (8 - width));
    length_ = 1 + width + 1;
  }

  char prefix_[16] = {};      // '#' and the digits above the last eight
  size_t prefix_length_ = 1;  // '#' and those digits
  size_t length_ = 3;         // of the whole line
  uint32_t drop_bits_ = 56;   // the leading zeros of a time below 10^7
  uint64_t high_ = 0;         // the time / 10^8
  uint64_t low_ = 0;          // the time % 10^8, until the next Widen
  uint64_t widen_at_ = 10;    // where the line next gets a digit longer
};

}  // namespace velix::interchange

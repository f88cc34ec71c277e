#pragma once
// The time stamp line "#<time>\n" of a VCD file, kept as decimal text and
// advanced by decimal addition: times only grow, mostly by a few ticks, so a
// carry through one or two digits costs far less than formatting every
// stamp anew.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace velix::interchange {

class VcdTimeStamp {
 public:
  // The room Put needs at its target: it copies a fixed length, so the
  // copy is a few stores rather than a call, and reports the true length.
  static constexpr size_t kPutRoom = 24;

  VcdTimeStamp() {
    std::memset(digits_, '0', sizeof digits_);
    digits_[kUnits + 1] = '\n';
  }

  void Advance(uint64_t delta) {
    // Most steps stay within the last two digits: one pair store.
    const uint64_t low = low_ + delta;
    if (low < 100) {
      std::memcpy(digits_ + kUnits - 1, kPairs + 2 * low, 2);
      low_ = low;
      if (low >= 10 && first_ == kUnits) first_ = kUnits - 1;
      return;
    }
    std::memcpy(digits_ + kUnits - 1, kPairs + 2 * (low % 100), 2);
    low_ = low % 100;
    size_t i = kUnits - 2;
    for (uint64_t carry = low / 100; carry != 0; --i) {
      carry += static_cast<uint64_t>(digits_[i] - '0');
      digits_[i] = static_cast<char>('0' + carry % 10);
      carry /= 10;
    }
    if (i + 1 < first_) first_ = i + 1;
  }

  // Writes the line at `out` (kPutRoom bytes of room); returns its length.
  size_t Put(char* out) const {
    out[0] = '#';
    std::memcpy(out + 1, digits_ + first_, kPutRoom - 1);
    return kUnits + 3 - first_;
  }

 private:
  // The units digit: it and the digits before it hold one more digit than
  // any 64-bit time needs, so a carry never runs off the front.
  static constexpr size_t kUnits = 20;
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  char digits_[kUnits + kPutRoom] = {};
  size_t first_ = kUnits;  // the leading digit
  uint64_t low_ = 0;       // the value of the last two digits
};

}  // namespace velix::interchange

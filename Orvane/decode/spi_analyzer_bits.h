#pragma once
// Collects the sampled bits of both SPI data lines (S3 and S2) into their
// preview bytes while the SPI analyzer walks a run of atoms. The bits
// arrive a few at a time (those of the sampled atoms of a block) and wait
// in one register, a half per line, first bit highest, so a preview byte is
// written once rather than read and rewritten per bit. A byte being filled
// is left exactly as if its bits had been shifted in one at a time in the
// configured order, so the per-atom path goes on with it where a run
// leaves off.

#include <array>
#include <bit>
#include <cstdint>

#include "Orvane/capture/transaction_info.h"
#include "Orvane/decode/bit_tables.h"

namespace orvane {

namespace spi_bits {

using bit_tables::PackFirstHighest;
using bit_tables::Reversed;

// The number of bits set in a byte (plain x86-64 has no instruction for it).
inline uint32_t OnesIn(uint32_t byte) {
  static constexpr std::array<uint8_t, 256> kOnes = [] {
    std::array<uint8_t, 256> t{};
    for (uint32_t v = 0; v < 256; ++v) t[v] = static_cast<uint8_t>(std::popcount(v));
    return t;
  }();
  return kOnes[byte & 0xFF];
}

// PackFirstHighest() for sixteen positions.
inline uint32_t PackFirstHighest16(uint32_t value, uint32_t mask) {
  return (PackFirstHighest(value, mask) << OnesIn(mask >> 8)) | PackFirstHighest(value >> 8, mask >> 8);
}

}  // namespace spi_bits

// The data bits of the sampled atoms of a block of up to sixteen atoms
// (bit k of each = atom k), first bit highest: S3 in the upper half, S2 in
// the lower.
inline uint64_t SpiBlockBits(uint32_t sampled, uint32_t s3_lanes, uint32_t s2_lanes) {
  return (uint64_t{spi_bits::PackFirstHighest16(s3_lanes, sampled)} << 32) |
         spi_bits::PackFirstHighest16(s2_lanes, sampled);
}

// The data bits of one sampled atom state, S3 in the upper half.
inline uint64_t SpiStateBits(uint32_t state) { return (uint64_t{state & 0x08} << 29) | ((state >> 2) & 1); }

class SpiSampledBits {
 public:
  // Goes on at bit number `bits` of `s3` and `s2` (kPreviewBytes each).
  SpiSampledBits(uint8_t* s3, uint8_t* s2, uint32_t bits, bool msb_first)
      : s3_(s3), s2_(s2), msb_first_(msb_first) {
    const uint32_t index = bits / 8;
    if (index >= kPreviewBytes || bits % 8 == 0) return;
    held_ = (uint64_t{Unordered(s3_[index])} << 32) | Unordered(s2_[index]);
  }

  // Adds `count` (up to 16) bits per line, `both` as from SpiBlockBits() or
  // SpiStateBits(), after the first `bits` bits of the transaction.
  void Put(uint32_t bits, uint64_t both, uint32_t count) {
    // Only the bits of the byte being filled (fewer than 8) are kept, so
    // with the new ones (23 at most) each line stays in its half.
    held_ = ((held_ & kFillingBits) << count) | both;
    const uint32_t total = bits % 8 + count;
    if (total >= 8) Complete(bits / 8, total);
  }

  // Leaves the byte being filled in the preview, `bits` bits in.
  void Store(uint32_t bits) const {
    const uint32_t index = bits / 8;
    if (index >= kPreviewBytes || bits % 8 == 0) return;
    const uint32_t filled = (1u << (bits % 8)) - 1;
    s3_[index] = Ordered(static_cast<uint32_t>(held_ >> 32) & filled);
    s2_[index] = Ordered(static_cast<uint32_t>(held_) & filled);
  }

 private:
  // A byte (whole or being filled) as the bits were shifted in, from the
  // first bit highest, and back.
  uint8_t Ordered(uint32_t first_highest) const {
    return static_cast<uint8_t>(msb_first_ ? first_highest : spi_bits::Reversed(first_highest));
  }
  uint32_t Unordered(uint8_t byte) const { return msb_first_ ? byte : spi_bits::Reversed(byte); }

  static constexpr uint64_t kFillingBits = 0x0000007F0000007FULL;

  // The bytes completed from byte `index` on, with `total` (8..23) bits
  // held, first bit highest. Older bits stay above them in the register
  // until the next Put() drops them; every read masks them off.
  void Complete(uint32_t index, uint32_t total) {
    for (uint32_t done = 8; done <= total; done += 8, ++index) {
      if (index >= kPreviewBytes) return;
      const uint32_t left = total - done;
      s3_[index] = Ordered(static_cast<uint32_t>(held_ >> (32 + left)) & 0xFF);
      s2_[index] = Ordered(static_cast<uint32_t>(held_ >> left) & 0xFF);
    }
  }

  uint8_t* const s3_;
  uint8_t* const s2_;
  const bool msb_first_;
  uint64_t held_ = 0;  // the bits of the byte being filled, lowest last; S3 in the upper half
};

}  // namespace orvane

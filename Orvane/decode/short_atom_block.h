#pragma once
// Eight consecutive short atoms taken as one little-endian word. At fast
// sample rates nearly every atom is a one-byte short atom, and walking them
// one by one chains each read to the size of the atom before. A block has a
// known size, so a decoder can take its lines and clock counts eight lanes
// at a time (one lane per atom, lane 0 first) with plain word arithmetic.

#include <bit>
#include <cstdint>
#include <cstring>

namespace orvane {

static_assert(std::endian::native == std::endian::little, "blocks are read as little-endian words");

class ShortAtomBlock {
 public:
  static constexpr uint64_t kLanes = 0x0101010101010101ULL;

  // Reads the eight bytes at `p` and keeps the short atoms before the
  // first other byte (a long atom, or whatever the per-atom path must
  // judge); returns how many (0..8). The lanes after them repeat the last
  // kept state with a zero count, so they add no time and no change.
  uint32_t LoadLeading(const uint8_t* p) {
    std::memcpy(&word_, p, sizeof word_);
    const uint64_t others = ~word_ & (kLanes << 4);
    if (others == 0) return 8;
    const uint32_t kept = static_cast<uint32_t>(std::countr_zero(others)) / 8;
    if (kept == 0) return 0;
    const uint64_t kept_bits = (uint64_t{1} << (8 * kept)) - 1;
    const uint64_t last = (word_ >> (8 * (kept - 1))) & 0x1F;
    word_ = (word_ & kept_bits) | (last * kLanes & ~kept_bits);
    return kept;
  }

  // Lane k holds state bit `bit` (0..3) of atom k as 0 or 1.
  uint64_t Line(unsigned bit) const { return (word_ >> bit) & kLanes; }
  // Lane k holds the count of atom k.
  uint64_t Counts() const { return (word_ >> 5) & (kLanes * 7); }
  // Sum of all lanes; exact while the sum stays below 256.
  static uint32_t Sum(uint64_t lanes) { return static_cast<uint32_t>((lanes * kLanes) >> 56); }
  // Bit k set where lane k is 1 (lanes hold 0 or 1).
  static uint32_t Mask(uint64_t lanes) { return static_cast<uint32_t>((lanes * 0x0102040810204080ULL) >> 56); }

 private:
  uint64_t word_ = 0;
};

}  // namespace orvane

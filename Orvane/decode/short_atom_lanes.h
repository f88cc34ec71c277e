#pragma once
// The short atoms at the front of a stretch of atom bytes, one bit per atom
// in a lane mask (bit k = atom k), so that a decoder takes a whole stretch
// with a few integer operations: line changes by shifting a mask, sampled
// bits by masking, clock counts as one sum. Two readers with the same
// interface: sixteen atoms per load with SSE2 (part of every x86-64), and
// a portable one of eight atoms per load for other architectures.
// ShortAtomLanes is the one this build uses; both are compiled and tested
// on x86-64.

#include <bit>
#include <cstdint>

#include "Orvane/decode/short_atom_block.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orvane {

// Eight atoms per load, with plain 64-bit word arithmetic.
class WordShortAtomLanes {
 public:
  static constexpr uint32_t kWidth = 8;

  // Reads kWidth bytes at `p`; returns how many short atoms lead them.
  uint32_t Load(const uint8_t* p) {
    p_ = p;
    kept_ = block_.LoadLeading(p);
    return kept_;
  }
  // Keeps only the first `kept` (up to Load()) atoms.
  void Trim(uint32_t kept) { kept_ = kept; }

  // Bit k holds state bit kBit of atom k; bits from the kept count on are
  // undefined.
  template <unsigned kBit>
  uint32_t Line() const {
    return ShortAtomBlock::Mask(block_.Line(kBit));
  }
  // The counts of the kept atoms.
  uint32_t Sum() const { return ShortAtomBlock::Sum(KeptCounts()); }
  // The counts of the kept atoms after atom `lane` (below the kept count).
  uint32_t SumAfter(uint32_t lane) const { return ShortAtomBlock::Sum((KeptCounts() >> (8 * lane)) >> 8); }
  // The state of the last kept atom.
  uint8_t LastState() const { return static_cast<uint8_t>(p_[kept_ - 1] & 0x0F); }

 private:
  uint64_t KeptCounts() const { return block_.Counts() & (~uint64_t{0} >> (64 - 8 * kept_)); }

  ShortAtomBlock block_;
  const uint8_t* p_ = nullptr;
  uint32_t kept_ = 0;
};

#if defined(__SSE2__)
// Sixteen atoms per load: a byte shift brings a state bit to the top of
// every lane, where one instruction collects the sixteen of them.
class Sse2ShortAtomLanes {
 public:
  static constexpr uint32_t kWidth = 16;

  uint32_t Load(const uint8_t* p) {
    p_ = p;
    bytes_ = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const uint32_t shorts = static_cast<uint32_t>(_mm_movemask_epi8(_mm_slli_epi16(bytes_, 3)));
    kept_ = static_cast<uint32_t>(std::countr_zero(~shorts));
    return kept_;
  }
  void Trim(uint32_t kept) { kept_ = kept; }

  template <unsigned kBit>
  uint32_t Line() const {
    // A 16-bit shift: bit 7 of each byte then comes from the same byte.
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_slli_epi16(bytes_, 7 - kBit)));
  }
  uint32_t Sum() const { return SumOf(_mm_and_si128(Counts(), Leading(kept_))); }
  uint32_t SumAfter(uint32_t lane) const {
    return SumOf(_mm_andnot_si128(Leading(lane + 1), _mm_and_si128(Counts(), Leading(kept_))));
  }
  uint8_t LastState() const { return static_cast<uint8_t>(p_[kept_ - 1] & 0x0F); }

 private:
  __m128i Counts() const { return _mm_and_si128(_mm_srli_epi16(bytes_, 5), _mm_set1_epi8(7)); }
  // All ones in the first `n` (0..16) lanes.
  static __m128i Leading(uint32_t n) {
    alignas(16) static constexpr uint8_t kOnesThenZeros[32] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                               0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(kOnesThenZeros + 16 - n));
  }
  static uint32_t SumOf(__m128i lanes) {
    const __m128i halves = _mm_sad_epu8(lanes, _mm_setzero_si128());
    return static_cast<uint32_t>(_mm_cvtsi128_si32(halves) + _mm_extract_epi16(halves, 4));
  }

  __m128i bytes_ = _mm_setzero_si128();
  const uint8_t* p_ = nullptr;
  uint32_t kept_ = 0;
};

using ShortAtomLanes = Sse2ShortAtomLanes;
#else
using ShortAtomLanes = WordShortAtomLanes;
#endif

}  // namespace orvane

#pragma once
// Eight bytes of atoms read as one little-endian word, for the exports'
// byte extractions: eight one-byte short atoms or four two-byte long atoms,
// one lane per atom, lane 0 first. Dense traffic comes as long runs of one
// kind (short atoms at fast clocks, long ones at slow clocks); taking them a
// word at a time finds the lanes that change a line with a few word
// operations and gathers the sampled data bits through a table instead of a
// branch per atom.

#include <bit>
#include <cstdint>
#include <cstring>

#include "Orvane/decode/bit_tables.h"

namespace orvane::extract_lanes {

static_assert(std::endian::native == std::endian::little, "blocks are read as little-endian words");

inline uint64_t LoadWord(const uint8_t* p) {
  uint64_t word = 0;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// Eight short atoms.
struct ShortLanes {
  static constexpr unsigned kWidth = 8;
  static constexpr uint64_t kLanes = 0x0101010101010101ULL;

  // True when all eight bytes are short atoms.
  static bool Holds(uint64_t word) { return (word & (kLanes << 4)) == (kLanes << 4); }
  // Bit k set where lane k is 1 (lanes hold 0 or 1).
  static uint32_t Mask(uint64_t lanes) { return static_cast<uint32_t>((lanes * 0x0102040810204080ULL) >> 56); }
  // How many lanes are 1 (lanes hold 0 or 1): the sum gathers in the top lane.
  static uint32_t Count(uint64_t lanes) { return static_cast<uint32_t>((lanes * kLanes) >> 56); }
  // Bits 0..1 of lanes 0..3 side by side, lane 0 lowest: lane k moves to
  // bit 48 + 2k, and no two products meet.
  static uint32_t Quad(uint64_t word) {
    constexpr uint64_t kGather = (uint64_t{1} << 48) | (uint64_t{1} << 42) | (uint64_t{1} << 36) | (uint64_t{1} << 30);
    return static_cast<uint32_t>(((word & 0x03030303u) * kGather) >> 48) & 0xFF;
  }
};

// Four long atoms, read from an even position.
struct LongLanes {
  static constexpr unsigned kWidth = 16;
  static constexpr uint64_t kLanes = 0x0001000100010001ULL;

  // True when all four words are long atoms with a count above zero (a
  // zero count only replaces the state, which the per-atom path handles).
  static bool Holds(uint64_t word) {
    if ((word & (kLanes << 4)) != 0) return false;
    // Adding 0x7FF to an 11-bit count carries into bit 11 unless it is 0.
    const uint64_t counts = (word >> 5) & (kLanes * 0x7FF);
    return ((counts + kLanes * 0x7FF) & (kLanes << 11)) == (kLanes << 11);
  }
  // Holds() of two words at once, with fewer operations.
  static bool BothHold(uint64_t first, uint64_t second) {
    if (((first | second) & (kLanes << 4)) != 0) return false;
    const uint64_t counts = kLanes * 0x7FF;
    const uint64_t carries = (((first >> 5) & counts) + counts) & (((second >> 5) & counts) + counts);
    return (carries & (kLanes << 11)) == (kLanes << 11);
  }
  // Bit k set where lane k is 1: lane k moves to bit 48 + k, and no two
  // products meet, so nothing carries.
  static uint32_t Mask(uint64_t lanes) {
    constexpr uint64_t kGather = (uint64_t{1} << 48) | (uint64_t{1} << 33) | (uint64_t{1} << 18) | (uint64_t{1} << 3);
    return static_cast<uint32_t>((lanes * kGather) >> 48) & 0x0F;
  }
  static uint32_t Count(uint64_t lanes) { return static_cast<uint32_t>((lanes * kLanes) >> 48); }
  // Bits 0..1 of the four lanes side by side, lane 0 lowest.
  static uint32_t Quad(uint64_t word) {
    constexpr uint64_t kGather = (uint64_t{1} << 48) | (uint64_t{1} << 34) | (uint64_t{1} << 20) | (uint64_t{1} << 6);
    return static_cast<uint32_t>(((word & (kLanes * 3)) * kGather) >> 48) & 0xFF;
  }
};

// Lane k holds state bit `bit` (0..3) of atom k as 0 or 1.
template <typename Shape>
uint64_t Line(uint64_t word, unsigned bit) {
  return (word >> bit) & Shape::kLanes;
}

// Lanes whose line differs from the lane before; lane 0 compares with
// `before` (0 or 1).
template <typename Shape>
uint64_t Changes(uint64_t line, uint64_t before) {
  return line ^ ((line << Shape::kWidth) | before);
}

// The four line bits of the last atom.
template <typename Shape>
uint8_t LastState(uint64_t word) {
  return static_cast<uint8_t>((word >> (64 - Shape::kWidth)) & 0x0F);
}

using bit_tables::PackFirstHighest;
using bit_tables::Reversed;

}  // namespace orvane::extract_lanes

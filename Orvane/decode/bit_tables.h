#pragma once
// Byte tables shared by the SPI decoder and the exports' byte extractions:
// bit reversal, and gathering the sampled bits of a block of atoms into
// consecutive data bits.

#include <array>
#include <bit>
#include <cstdint>

namespace orvane::bit_tables {

// A byte with its bit order reversed.
inline uint32_t Reversed(uint32_t byte) {
  static constexpr std::array<uint8_t, 256> kReversed = [] {
    std::array<uint8_t, 256> t{};
    for (uint32_t v = 0; v < 256; ++v) {
      uint32_t r = 0;
      for (uint32_t bit = 0; bit < 8; ++bit) r |= ((v >> bit) & 1) << (7 - bit);
      t[v] = static_cast<uint8_t>(r);
    }
    return t;
  }();
  return kReversed[byte & 0xFF];
}

// The bits of `value` at the positions set in `mask` (eight bits each),
// packed with the lowest position as the highest bit of the result, so the
// first atom's bit comes first. One table row per mask: a run of regular
// traffic uses only a few masks, so the rows it reads stay in the cache.
inline uint32_t PackFirstHighest(uint32_t value, uint32_t mask) {
  using Table = std::array<std::array<uint8_t, 256>, 256>;
  // Built from nibbles, so that the compile-time evaluation stays short.
  static constexpr Table kPacked = [] {
    uint8_t nibble[16][16] = {};
    uint8_t ones[16] = {};
    for (uint32_t m = 0; m < 16; ++m) {
      for (uint32_t v = 0; v < 16; ++v) {
        uint32_t out = 0;
        for (uint32_t bit = 0; bit < 4; ++bit) {
          if ((m >> bit) & 1) out = (out << 1) | ((v >> bit) & 1);
        }
        nibble[m][v] = static_cast<uint8_t>(out);
      }
      ones[m] = static_cast<uint8_t>(std::popcount(m));
    }
    Table t{};
    for (uint32_t m = 0; m < 256; ++m) {
      for (uint32_t v = 0; v < 256; ++v) {
        t[m][v] = static_cast<uint8_t>((nibble[m & 15][v & 15] << ones[m >> 4]) | nibble[m >> 4][v >> 4]);
      }
    }
    return t;
  }();
  return kPacked[mask & 0xFF][value & 0xFF];
}

}  // namespace orvane::bit_tables

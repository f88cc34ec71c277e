#pragma once
// The run-length sample atoms of bus analyzer mode. An atom says that the
// four probe lines S0..S3 took `state` after the previous state had held for
// `count` sample periods. A short atom is one byte (bit 4 set, count 0..7)
// and may stand anywhere; a long atom is a little-endian word (bit 4 clear,
// count 0..2047) and stands only at even positions, so an odd-position byte
// with bit 4 clear is corrupt.

#include <cstdint>

namespace orvane {

// Sizes reported by the atom readers besides 1 (short) and 2 (long).
inline constexpr uint8_t kAtomAlignError = 0;
inline constexpr uint8_t kAtomMapError = 255;

inline constexpr uint16_t kShortAtomMaxCount = 7;
inline constexpr uint16_t kLongAtomMaxCount = 2047;

struct SampleAtom {
  uint8_t size = 0;   // 1, 2, kAtomAlignError or kAtomMapError
  uint8_t state = 0;  // bits 0..3 = S0..S3
  uint16_t count = 0;
};

// Decodes the atom at `p`, whose position parity is `odd`. `p[1]` is read
// only at an even position that holds a long atom; the caller guarantees it
// exists there (long atoms never straddle a window, files hold whole words).
inline SampleAtom DecodeAtom(const uint8_t* p, bool odd, bool second_byte_available = true) {
  const uint8_t b = p[0];
  if (b & 0x10) return {1, static_cast<uint8_t>(b & 0x0F), static_cast<uint16_t>(b >> 5)};
  if (odd || !second_byte_available) return {kAtomAlignError, 0, 0};
  const uint16_t w = static_cast<uint16_t>(b | (p[1] << 8));
  return {2, static_cast<uint8_t>(w & 0x0F), static_cast<uint16_t>(w >> 5)};
}

inline uint8_t EncodeShortAtom(uint8_t state, uint16_t count) {
  return static_cast<uint8_t>(0x10 | (state & 0x0F) | ((count & 7) << 5));
}

inline uint16_t EncodeLongAtom(uint8_t state, uint16_t count) {
  return static_cast<uint16_t>((state & 0x0F) | ((count & 0x7FF) << 5));
}

}  // namespace orvane

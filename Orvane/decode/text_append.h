#pragma once
// Number and hexadecimal formatting appended straight to a string. The
// exports write millions of cells; these keep a cell free of format
// parsing and of temporary strings.

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace orvane {

namespace text_tables {
// "00".."FF" and "00".."99": one table read per byte or digit pair.
inline constexpr std::array<char, 512> kHexPairs = [] {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::array<char, 512> pairs{};
  for (size_t i = 0; i < 256; ++i) {
    pairs[2 * i] = kDigits[i >> 4];
    pairs[2 * i + 1] = kDigits[i & 0x0F];
  }
  return pairs;
}();
// " 00".." FF", each padded to four characters, so that a byte is one
// four-character store of which three count.
inline constexpr std::array<std::array<char, 4>, 256> kSpacedHex = [] {
  std::array<std::array<char, 4>, 256> cells{};
  for (size_t i = 0; i < 256; ++i) cells[i] = {' ', kHexPairs[2 * i], kHexPairs[2 * i + 1], ' '};
  return cells;
}();
inline constexpr std::array<char, 200> kDecimalPairs = [] {
  std::array<char, 200> pairs{};
  for (size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();
}  // namespace text_tables

// "%llu".
void AppendDecimal(uint64_t value, std::string* out);
// "%0<width>u": at least `width` digits, zeros in front.
void AppendZeroPadded(uint32_t value, int width, std::string* out);
// "%02X".
void AppendHexByte(uint8_t value, std::string* out);
// "%02X" for each byte, without separators.
void AppendHexBytes(const uint8_t* bytes, size_t count, std::string* out);
// "%0<width>X" when `pad` is '0', "%<width>X" when it is ' '.
void AppendHexPadded(uint32_t value, int width, char pad, std::string* out);

// The same written at `at`, returning the end, for cells assembled in a
// local buffer and appended whole. The caller leaves room: 20 characters
// for a decimal, 2 or 3 for the fixed widths.
inline char* PutDecimal(uint64_t value, char* at) { return std::to_chars(at, at + 20, value).ptr; }
// "%02u" of a value below 100; "%03u" of a value below 1000.
inline char* PutTwoDigits(uint32_t value, char* at) {
  at[0] = text_tables::kDecimalPairs[2 * value];
  at[1] = text_tables::kDecimalPairs[2 * value + 1];
  return at + 2;
}
inline char* PutThreeDigits(uint32_t value, char* at) {
  at[0] = static_cast<char>('0' + value / 100);
  return PutTwoDigits(value % 100, at + 1);
}
// "%02X".
inline char* PutHexByte(uint8_t value, char* at) {
  at[0] = text_tables::kHexPairs[2 * value];
  at[1] = text_tables::kHexPairs[2 * value + 1];
  return at + 2;
}
// " %02X" for each byte. Writes one character past the end it returns, so
// the caller leaves room for 3 × count + 1.
inline char* PutSpacedHex(const uint8_t* bytes, size_t count, char* at) {
  for (size_t i = 0; i < count; ++i, at += 3) std::memcpy(at, text_tables::kSpacedHex[bytes[i]].data(), 4);
  return at;
}

}  // namespace orvane

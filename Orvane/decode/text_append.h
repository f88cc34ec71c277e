#pragma once
// Number and hexadecimal formatting appended straight to a string. The
// exports write millions of cells; these keep a cell free of format
// parsing and of temporary strings.

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvane {

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

}  // namespace orvane

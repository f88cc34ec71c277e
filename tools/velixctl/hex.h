#pragma once
// Byte strings as velixctl reads and prints them: hexadecimal digits, two
// per byte, no separators.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velix::ctl {

// Lowercase, no spaces; "" for no bytes.
std::string ToHex(std::span<const uint8_t> bytes);

// Accepts either case; false for an odd number of digits or any other
// character. "" is no bytes.
bool ParseHex(std::string_view text, std::vector<uint8_t>* bytes);

}  // namespace velix::ctl

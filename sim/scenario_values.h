#pragma once
// Parsers for the values written in scenario text: durations, frequencies,
// unsigned numbers and hexadecimal bytes. Each returns false on anything it
// does not fully understand, so the scenario parser can name the line.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velix::sim {

// The longest duration one command may ask for (about 11.5 days).
inline constexpr uint64_t kMaxDuration = 100'000'000'000'000ULL;

// "600ns", "1.3us", "5ms", "2s" -> 10 ns units, rounded to the nearest unit.
bool ParseDuration(std::string_view text, uint64_t* ten_ns);

// "100k", "3.4m", "400khz", "25000hz" -> hertz.
bool ParseFrequency(std::string_view text, uint64_t* hz);

// Decimal, or hexadecimal with a 0x prefix.
bool ParseUnsigned(std::string_view text, uint32_t* value);

// One byte in hexadecimal, with or without a 0x prefix ("A0", "0x0a").
bool ParseHexByte(std::string_view text, uint8_t* value);

// Bytes separated by commas ("9F,00,0a"), or one run of digit pairs ("9F000A").
bool ParseHexByteList(std::string_view text, std::vector<uint8_t>* bytes);

}  // namespace velix::sim

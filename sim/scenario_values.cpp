#include "sim/scenario_values.h"

#include <cctype>

namespace velix::sim {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Splits "1.25us" into its whole part, its fraction in millionths and the
// suffix, so fractions stay in integers.
bool SplitDecimal(std::string_view text, uint64_t* whole_out, uint64_t* millionths,
                  std::string* suffix) {
  size_t i = 0;
  uint64_t whole = 0;
  bool any_digit = false;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
    if (whole > 1'000'000'000'000ULL) return false;
    whole = whole * 10 + static_cast<uint64_t>(text[i] - '0');
    any_digit = true;
    ++i;
  }
  uint64_t fraction = 0;
  uint64_t fraction_scale = 1'000'000;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
      if (fraction_scale > 1) {
        fraction_scale /= 10;
        fraction += static_cast<uint64_t>(text[i] - '0') * fraction_scale;
      }
      any_digit = true;
      ++i;
    }
  }
  if (!any_digit) return false;
  *whole_out = whole;
  *millionths = fraction;
  *suffix = Lower(text.substr(i));
  return true;
}

}  // namespace

bool ParseDuration(std::string_view text, uint64_t* ten_ns) {
  uint64_t whole = 0;
  uint64_t millionths = 0;
  std::string unit;
  if (!SplitDecimal(text, &whole, &millionths, &unit)) return false;
  uint64_t ns_per_unit = 0;
  if (unit == "ns") ns_per_unit = 1;
  else if (unit == "us") ns_per_unit = 1'000;
  else if (unit == "ms") ns_per_unit = 1'000'000;
  else if (unit == "s") ns_per_unit = 1'000'000'000;
  else return false;
  if (whole > kMaxDuration * 10 / ns_per_unit) return false;
  const uint64_t whole_ns = whole * ns_per_unit;
  // Fraction in millionths of a nanosecond; below 10^15, so no overflow.
  const uint64_t fraction_micro_ns = millionths * ns_per_unit + (whole_ns % 10) * 1'000'000;
  const uint64_t rounded = whole_ns / 10 + (fraction_micro_ns + 5'000'000) / 10'000'000;
  if (rounded > kMaxDuration) return false;
  *ten_ns = rounded;
  return true;
}

bool ParseFrequency(std::string_view text, uint64_t* hz) {
  uint64_t whole = 0;
  uint64_t millionths = 0;
  std::string unit;
  if (!SplitDecimal(text, &whole, &millionths, &unit)) return false;
  uint64_t multiplier = 0;
  if (unit == "" || unit == "hz") multiplier = 1;
  else if (unit == "k" || unit == "khz") multiplier = 1'000;
  else if (unit == "m" || unit == "mhz") multiplier = 1'000'000;
  else return false;
  if (whole > 1'000'000'000) return false;
  const uint64_t value = whole * multiplier + millionths * multiplier / 1'000'000;
  if (value == 0 || value > 1'000'000'000) return false;
  *hz = value;
  return true;
}

bool ParseUnsigned(std::string_view text, uint32_t* value) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return false;
  uint64_t result = 0;
  for (char c : text) {
    const int digit = HexDigit(c);
    if (digit < 0 || digit >= base) return false;
    result = result * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (result > 0xFFFFFFFFULL) return false;
  }
  *value = static_cast<uint32_t>(result);
  return true;
}

bool ParseHexByte(std::string_view text, uint8_t* value) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
  if (text.empty() || text.size() > 2) return false;
  int result = 0;
  for (char c : text) {
    const int digit = HexDigit(c);
    if (digit < 0) return false;
    result = result * 16 + digit;
  }
  *value = static_cast<uint8_t>(result);
  return true;
}

bool ParseHexByteList(std::string_view text, std::vector<uint8_t>* bytes) {
  bytes->clear();
  if (text.empty()) return false;
  if (text.find(',') == std::string_view::npos) {
    if (text.size() % 2 != 0) return false;
    for (size_t i = 0; i < text.size(); i += 2) {
      uint8_t value = 0;
      if (!ParseHexByte(text.substr(i, 2), &value)) return false;
      bytes->push_back(value);
    }
    return true;
  }
  size_t begin = 0;
  while (begin <= text.size()) {
    const size_t comma = text.find(',', begin);
    const size_t end = comma == std::string_view::npos ? text.size() : comma;
    uint8_t value = 0;
    if (!ParseHexByte(text.substr(begin, end - begin), &value)) return false;
    bytes->push_back(value);
    if (comma == std::string_view::npos) break;
    begin = comma + 1;
  }
  return true;
}

}  // namespace velix::sim

#include "Orvane/interchange/sample_rate_text.h"

#include <array>
#include <cstdint>
#include <numeric>
#include <utility>

#include "Orvane/interchange/quoted_text.h"

namespace velix::interchange {

namespace {

struct RateUnit {
  std::string_view name;
  unsigned power_of_ten;
};

constexpr std::array<RateUnit, 5> kUnits = {{
    {"", 0}, {"Hz", 0}, {"kHz", 3}, {"MHz", 6}, {"GHz", 9}}};

// Keeps 10^fraction within 64 bits.
constexpr unsigned kMaxFractionDigits = 18;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

uint64_t PowerOfTen(unsigned exponent) {
  uint64_t value = 1;
  while (exponent-- > 0) value *= 10;
  return value;
}

}  // namespace

bool ParseSampleRate(std::string_view text, TickLength* tick, std::string* error) {
  const std::string shown = "sample rate " + QuotedText(text);
  // All digits, integer and fraction, as one integer; the fraction's length
  // is a power of ten to divide by.
  uint64_t digits = 0;
  unsigned fraction_digits = 0;
  size_t integer_digits = 0;
  size_t pos = 0;
  bool in_fraction = false;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '.' && !in_fraction && integer_digits > 0) {
      in_fraction = true;
      continue;
    }
    if (!IsDigit(c)) break;
    if (__builtin_mul_overflow(digits, uint64_t{10}, &digits) ||
        __builtin_add_overflow(digits, uint64_t(c - '0'), &digits)) {
      *error = shown + " has too many digits";
      return false;
    }
    if (in_fraction) {
      // Leading zeros of a fraction add to its power of ten, not to the digits.
      if (++fraction_digits > kMaxFractionDigits) {
        *error = shown + " has too many digits";
        return false;
      }
    } else {
      ++integer_digits;
    }
  }
  if (integer_digits == 0 || (in_fraction && fraction_digits == 0)) {
    *error = shown + " is not a number of Hz, kHz, MHz or GHz";
    return false;
  }
  while (pos < text.size() && text[pos] == ' ') ++pos;
  const std::string_view unit_text = text.substr(pos);
  const RateUnit* unit = nullptr;
  for (const RateUnit& candidate : kUnits) {
    if (candidate.name == unit_text) unit = &candidate;
  }
  if (unit == nullptr) {
    *error = shown + " is not a number of Hz, kHz, MHz or GHz";
    return false;
  }
  if (digits == 0) {
    *error = shown + " is 0";
    return false;
  }
  // rate = digits * 10^unit / 10^fraction, so tick = 10^fraction / (digits * 10^unit);
  // the common powers of ten cancel first, which keeps both parts small.
  const unsigned common = std::min(fraction_digits, unit->power_of_ten);
  uint64_t numerator = PowerOfTen(fraction_digits - common);
  uint64_t denominator = 0;
  if (__builtin_mul_overflow(digits, PowerOfTen(unit->power_of_ten - common), &denominator)) {
    *error = shown + " is too high";
    return false;
  }
  const uint64_t divisor = std::gcd(numerator, denominator);
  numerator /= divisor;
  denominator /= divisor;
  tick->numerator = numerator;
  tick->denominator = denominator;
  return true;
}

}  // namespace velix::interchange

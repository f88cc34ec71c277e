#include "Orvane/ui/waveform/time_entry_values.h"

#include <algorithm>
#include <cstdio>

namespace orvane::ui {

namespace {

constexpr uint64_t kSaturated = 0xFFFFFFFFFFFFFFFFull / 10;

std::string_view Trimmed(std::string_view text) {
  constexpr std::string_view kSpace = " \t\r\n\f\v";
  const size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

// Leading decimal digits, saturating far above any time the view shows.
uint64_t LeadingDigits(std::string_view text) {
  uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') break;
    value = value >= kSaturated ? kSaturated : value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value;
}

// The hundredths after the point: the fraction extended by "0", its first
// two characters read as a number ("5" -> 50, "05" -> 5, "123" -> 12).
uint64_t Hundredths(std::string_view fraction) {
  std::string padded(fraction.substr(0, 2));
  padded += '0';
  return LeadingDigits(std::string_view(padded).substr(0, 2));
}

}  // namespace

int64_t ParseSpanTime(std::string_view text) {
  text = Trimmed(text);
  if (text.empty()) return 0;
  const bool negative = text.front() == '-';
  const size_t point = text.find('.');
  std::string_view whole = text.substr(0, point);
  if (!whole.empty() && (whole.front() == '-' || whole.front() == '+')) whole.remove_prefix(1);
  // Far beyond any range the dialog is opened with, so still rejected.
  constexpr uint64_t kLimit = 0x7FFFFFFFFFFFFFFFull / 100 - 1;
  const uint64_t integer = std::min(LeadingDigits(whole), kLimit);
  const uint64_t fraction = point == std::string_view::npos ? 0 : Hundredths(text.substr(point + 1));
  const int64_t magnitude = static_cast<int64_t>(integer * 100 + fraction);
  return negative ? -magnitude : magnitude;
}

uint64_t ParseAbsoluteTime(std::string_view seconds, std::string_view milliseconds,
                           std::string_view microseconds) {
  const uint64_t s = LeadingDigits(Trimmed(seconds));
  const auto ms = static_cast<uint16_t>(LeadingDigits(Trimmed(milliseconds)));
  uint64_t us = 0;
  uint64_t hundredths = 0;
  const std::string_view micro = Trimmed(microseconds);
  if (!micro.empty()) {
    const size_t point = micro.find('.');
    us = LeadingDigits(micro.substr(0, point));
    if (point != std::string_view::npos) hundredths = Hundredths(micro.substr(point + 1));
  }
  // Unsigned arithmetic: an absurd entry wraps and fails the range check.
  return s * 100000000u + uint64_t{ms} * 100000u + us * 100u + hundredths;
}

AbsoluteFields SplitAbsoluteTime(uint64_t time) {
  char seconds[32], milliseconds[16], microseconds[16];
  std::snprintf(seconds, sizeof seconds, "%llu", static_cast<unsigned long long>(time / 100000000));
  std::snprintf(milliseconds, sizeof milliseconds, "%03u",
                static_cast<unsigned>(time % 100000000 / 100000));
  std::snprintf(microseconds, sizeof microseconds, "%03u.%02u",
                static_cast<unsigned>(time % 100000 / 100), static_cast<unsigned>(time % 100));
  return {seconds, milliseconds, microseconds};
}

}  // namespace orvane::ui

#pragma once
// The values behind the two time entry dialogs: what they show when they
// open and how they read what the user typed. Times are counts of 10 ns;
// the microsecond dialog works on signed offsets, the s:ms:us dialog on
// unsigned capture times. Nothing typed is trusted: digits are read until
// the first other character and the number saturates instead of wrapping.

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane::ui {

inline constexpr char kTimeOutOfRange[] = "The specified value is out of range.";
inline constexpr char kParameterErrorCaption[] = "Parameter error";

// Microseconds with up to two decimals: "-0.5" -> -50, "12.345" -> 1234,
// "" -> 0. The sign of a leading "-" applies to the fraction as well.
int64_t ParseSpanTime(std::string_view text);

// Seconds, milliseconds (16 bits, as the field holds them) and
// microseconds with two decimals, each unreadable field counting 0. The
// fields are not limited to their usual ranges: 1500 ms adds 1.5 s.
uint64_t ParseAbsoluteTime(std::string_view seconds, std::string_view milliseconds,
                           std::string_view microseconds);

// The three fields of a time as the s:ms:us dialog opens with them.
struct AbsoluteFields {
  std::string seconds;       // "%u"
  std::string milliseconds;  // "%03u"
  std::string microseconds;  // "%03u.%02u"
};
AbsoluteFields SplitAbsoluteTime(uint64_t time);

template <typename T>
bool TimeInRange(T value, T minimum, T maximum) {
  return value >= minimum && value <= maximum;
}

}  // namespace orvane::ui

#pragma once
// The texts the waveform view and its time entry dialogs show for times in
// 10 ns units: spans in microseconds with two decimals, absolute capture
// times as seconds, milliseconds, microseconds and hundredths.

#include <cstdint>
#include <string>

namespace orvane::ui {

// "%llu.%02u" of the magnitude, with a leading "-" for a negative value.
std::string SpanText(int64_t time);
// "%u:%03u:%03u.%02u".
std::string AbsoluteText(uint64_t time);
// The lead-in start of the range: "%d.%02d ~ " with "-" when negative.
std::string RangeStartText(int64_t time);
// "%lld.%02d (us)".
std::string RangeEndText(int64_t time);
// " Scale : 1/%u.%u " of a scale in tenths of a clock per pixel.
std::string ScaleText(uint32_t scale);

}  // namespace orvane::ui

#pragma once
// A sample rate as a session's metadata write it: a decimal number with an
// optional fraction and an optional unit, e.g. "24 MHz", "1.5 MHz", "200kHz"
// or "24000000" (Hz). The tick is its exact inverse, so "1.5 MHz" gives
// 1/1500000 s and "1.5 Hz" gives 2/3 s, with no rounding anywhere.

#include <string>
#include <string_view>

#include "Orvane/interchange/logic_source.h"

namespace velix::interchange {

// False with a message when the text is not such a rate, is 0, or its tick
// does not fit the 64-bit fraction.
bool ParseSampleRate(std::string_view text, TickLength* tick, std::string* error);

}  // namespace velix::interchange

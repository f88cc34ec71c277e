#pragma once
// The value changes of a VCD file as a LogicSource. Levels x and z read as
// high: an undriven open-drain line floats to its pull-up, and a line no
// value was given for is taken as idle. Values given before the first time
// stamp, or at it, are the initial levels. A level written again unchanged
// is no change. Value changes inside $dumpoff sections are skipped (the
// lines hold their levels). Variables wider than one bit, real variables
// and events are read over and ignored.

#include <memory>
#include <string>
#include <string_view>

#include "Orvane/interchange/logic_source.h"

namespace velix::interchange {

// The source of a VCD text held in memory (tests and the fuzz target); the
// messages name `name` as the file.
std::unique_ptr<LogicSource> OpenVcdText(std::string_view text, const std::string& name, std::string* error);

}  // namespace velix::interchange

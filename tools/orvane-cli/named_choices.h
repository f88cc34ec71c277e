#pragma once
// The named choices of the command line: --bus spi|i2c0|i2c1 and
// --rate 50|20|10 (MHz) stand for the settings fields m_AnalyzeBusChannel
// (0, 1, 2) and SamplePeriodCode (2, 5, 10), so nobody has to know the
// record's numbers for the two settings every capture needs.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/orvane-cli/arguments.h"

namespace orvane::cli {

// The sample period code of a rate in MHz ("50", "20", "10").
std::optional<uint8_t> SamplePeriodCodeOfRate(const std::string& megahertz);

// Appends the --set assignments that --bus and --rate stand for; false with
// a message when a value is not one of the choices.
bool AppendNamedChoices(const Arguments& args, std::vector<std::string>* overrides,
                        std::string* error);

}  // namespace orvane::cli

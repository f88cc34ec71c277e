#pragma once
// Turns scenario text into a Scenario. The text is untrusted: every problem
// is reported as "line N: ..." and the sizes it may ask for are bounded.

#include <string>
#include <string_view>

#include "sim/scenario.h"

namespace velix::sim {

inline constexpr size_t kMaxScenarioCommands = 200'000;
inline constexpr size_t kMaxScenarioBytes = 4'000'000;   // bytes on the bus, all commands
inline constexpr size_t kMaxScenarioTextSize = 16 << 20;

bool ParseScenario(std::string_view text, Scenario* scenario, std::string* error);

}  // namespace velix::sim

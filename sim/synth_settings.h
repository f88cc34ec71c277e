#pragma once
// The settings record a synthesized capture is saved with: defaults, then
// what the scenario's bus and format imply, then the scenario's `set` lines,
// then the caller's explicit mode and rate.

#include <string>

#include "Orvane/capture/settings_record.h"
#include "sim/scenario.h"

namespace velix::sim {

bool BuildCaptureSettings(const Scenario& scenario, bool monitor_mode, uint8_t rate_code_or_zero,
                          orvane::SettingsRecord* settings, std::string* error);

}  // namespace velix::sim

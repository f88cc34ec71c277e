#pragma once
// The two forms of the bus compliance summary: an aligned table for people
// and one JSON document with the same numbers for scripts.

#include <string>

#include "Orvane/decode/bus_statistics.h"

namespace orvane::cli {

// Why a monitor-mode capture has neither timing nor bus speed.
inline constexpr char kNoSamplesNote[] = "the device decoded the bus, no samples";

std::string StatsText(const BusSummary& summary);
std::string StatsJson(const BusSummary& summary);

}  // namespace orvane::cli

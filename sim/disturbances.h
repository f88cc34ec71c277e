#pragma once
// Finds where sampling at a given rate may not show what the bus events
// say: two changes that land in one sample, a level shorter than the noise
// filter keeps (other than a deliberate glitch), and a deliberate glitch
// long enough to survive the filter. Ground truth marks the transactions
// that overlap such a span as not exact.

#include <cstdint>
#include <vector>

#include "sim/waveform.h"

namespace velix::sim {

struct TimeSpan {
  uint64_t begin = 0;
  uint64_t end = 0;  // inclusive
};

// Disjoint spans in time order.
std::vector<TimeSpan> FindSamplingDisturbances(const Waveform& waveform, uint8_t period_code,
                                               uint32_t filter_samples);

// True when any span meets [begin, end]; `spans` as returned above.
bool AnyOverlap(const std::vector<TimeSpan>& spans, uint64_t begin, uint64_t end);

}  // namespace velix::sim

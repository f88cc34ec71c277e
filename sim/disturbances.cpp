#include "sim/disturbances.h"

#include <algorithm>

namespace velix::sim {
namespace {

uint64_t SampleOf(uint64_t time, uint64_t period) { return (time + period - 1) / period; }

bool IsGlitch(const Waveform& waveform, uint8_t line_bit, uint64_t begin, uint64_t end) {
  for (const Glitch& glitch : waveform.glitches) {
    if ((glitch.mask & line_bit) != 0 && glitch.begin == begin && glitch.end == end) return true;
  }
  return false;
}

}  // namespace

std::vector<TimeSpan> FindSamplingDisturbances(const Waveform& waveform, uint8_t period_code,
                                               uint32_t filter_samples) {
  std::vector<TimeSpan> spans;
  const uint64_t period = period_code;
  uint8_t state = waveform.initial_state;
  bool have_last[4] = {};
  uint64_t last_change[4] = {};
  const LineChange* previous = nullptr;
  for (const LineChange& change : waveform.changes) {
    if (change.state == kCorruptMarker) continue;
    if (previous != nullptr && SampleOf(previous->time, period) == SampleOf(change.time, period)) {
      spans.push_back({previous->time, change.time});
    }
    previous = &change;
    const uint8_t changed = state ^ change.state;
    for (int line = 0; line < 4; ++line) {
      const auto bit = static_cast<uint8_t>(1u << line);
      if ((changed & bit) == 0) continue;
      if (have_last[line]) {
        const uint64_t begin = last_change[line];
        const uint64_t run = SampleOf(change.time, period) - SampleOf(begin, period);
        // A glitch is meant to vanish: it disturbs only when it survives.
        const bool glitch = IsGlitch(waveform, bit, begin, change.time);
        const bool disturbs = glitch ? run > 0 && run >= filter_samples : run < filter_samples;
        if (disturbs) spans.push_back({begin, change.time});
      }
      have_last[line] = true;
      last_change[line] = change.time;
    }
    state = change.state;
  }
  std::sort(spans.begin(), spans.end(), [](const TimeSpan& a, const TimeSpan& b) { return a.begin < b.begin; });
  // Merged into disjoint spans, the ends rise with the begins and a binary
  // search finds the one span that can meet a given range.
  std::vector<TimeSpan> merged;
  for (const TimeSpan& span : spans) {
    if (!merged.empty() && span.begin <= merged.back().end) {
      merged.back().end = std::max(merged.back().end, span.end);
    } else {
      merged.push_back(span);
    }
  }
  return merged;
}

bool AnyOverlap(const std::vector<TimeSpan>& spans, uint64_t begin, uint64_t end) {
  auto it = std::lower_bound(spans.begin(), spans.end(), begin,
                             [](const TimeSpan& span, uint64_t value) { return span.end < value; });
  return it != spans.end() && it->begin <= end;
}

}  // namespace velix::sim

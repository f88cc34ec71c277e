#include "Orvane/decode/clock_periods.h"

#include "Orvane/decode/signal_cursor.h"

namespace orvane {

void PeriodHistogram::Add(uint64_t clocks) {
  ++total_;
  if (clocks >= kExactPeriodClocks) {
    ++longer_;
    return;
  }
  if (!counts_) counts_ = std::make_unique<uint64_t[]>(kExactPeriodClocks);
  ++counts_[clocks];
}

MedianPeriod PeriodHistogram::LowerMedian() const {
  MedianPeriod median;
  if (total_ == 0) return median;
  median.found = true;
  const uint64_t rank = (total_ - 1) / 2;
  uint64_t below = 0;
  if (counts_) {
    for (uint32_t clocks = 0; clocks < kExactPeriodClocks; ++clocks) {
      below += counts_[clocks];
      if (below > rank) {
        median.clocks = clocks;
        return median;
      }
    }
  }
  median.beyond_range = true;
  return median;
}

void AddClockPeriods(AtomWalker& walker, LineMapping mapping, uint8_t clock_line, const TransactionInfo& record,
                     uint32_t data_end, uint32_t last_position, PeriodHistogram* periods) {
  SignalCursor cursor(walker, mapping, record, data_end, last_position);
  const int64_t duration = record.Duration;
  bool rise_seen = false;
  int64_t last_rise = 0;
  uint32_t held = 0;
  for (;;) {
    const uint8_t before = cursor.State();
    if (!cursor.GetSignal_NextSignal(&held)) return;
    const int64_t at = cursor.ChangeOffset();
    if (at > duration) return;
    if (!(~before & cursor.State() & clock_line)) continue;
    // Two changes within one clock carry no period the bus could run at.
    if (rise_seen && at > last_rise) periods->Add(static_cast<uint64_t>(at - last_rise));
    rise_seen = true;
    last_rise = at;
  }
}

}  // namespace orvane

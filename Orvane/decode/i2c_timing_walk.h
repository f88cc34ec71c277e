#pragma once
// The measurement walk over one analyzer I2C record: from its opening
// condition through every line change until past Duration, it measures
// tHD_STA, the SCL high and low phases, the data hold and setup times, and
// at the end tSU_STO or the setup of the repeated START that follows. The
// timing verification runs it for every record; the waveform view runs it
// again for the shown record with a span sink.

#include <cstdint>

#include "Orvane/capture/atom_walker.h"
#include "Orvane/capture/transaction_info.h"
#include "Orvane/decode/i2c_timing_limits.h"
#include "Orvane/decode/i2c_timing_spans.h"
#include "Orvane/decode/line_mapping.h"

namespace orvane {

// The setup of the repeated START that ends a record: measured on that
// record, tested on the next one against the next one's limits.
struct RepeatedStartSetup {
  bool measured = false;
  uint32_t clocks = 0;
};

struct TimingWalkResult {
  uint16_t status = 0;  // the Status bits of the violations met
  RepeatedStartSetup setup;
};

// The trace of a record whose opening change leaves SCL low or SDA high.
void TraceNotAStart(const TransactionInfo& record, uint8_t state);

class I2CTimingWalk {
 public:
  // `data_end` = bytes of valid data.
  I2CTimingWalk(AtomWalker& walker, LineMapping mapping, uint64_t period, uint32_t data_end)
      : walker_(walker), period_(period), data_end_(data_end), mapping_(mapping) {}

  uint64_t Period() const { return period_; }

  // Walks `record` (reading at most up to the next record's opening atom at
  // `last_position`), stores its measurements in `timing` and hands every
  // outcome to `sink`.
  TimingWalkResult Run(const TransactionInfo& record, uint32_t last_position, const I2CTimingLimits& limits,
                       TimingInfo& timing, TimingSpanSink& sink);
  // The same walk adding its outcomes to a report (StatusReport or
  // SpanReport) that may already hold the record's other checks; the
  // report's Status() is then the record's timing status.
  template <typename Report>
  TimingWalkResult Walk(const TransactionInfo& record, uint32_t last_position, const I2CTimingLimits& limits,
                        TimingInfo& timing, Report& report);

 private:
  bool Below(uint64_t clocks, uint32_t limit) const { return BelowLimit(clocks, period_, limit); }
  bool Above(uint64_t clocks, uint32_t limit) const { return AboveLimit(clocks, period_, limit); }

  AtomWalker& walker_;
  const uint64_t period_;
  const uint32_t data_end_;
  const LineMapping mapping_;
};

}  // namespace orvane

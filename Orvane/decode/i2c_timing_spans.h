#pragma once
// What the I2C timing walk reports besides the status bits: each condition
// measurement and each clock or data phase as a span of the record, marked
// when it violates its limit, so a reader (the waveform overlays, the bus
// statistics) sees exactly what set the bits.

#include <cstdint>

#include "Orvane/capture/transaction_info.h"

namespace orvane {

enum class TimingCheck : uint8_t { kBuf, kHdSta, kSuSto, kSuSta, kLow, kHigh, kHdDat, kSuDat };

// The Status bit a violation of the check sets.
inline uint16_t StatusBitOf(TimingCheck check) {
  switch (check) {
    case TimingCheck::kBuf: return kStatusBuf;
    case TimingCheck::kHdSta: return kStatusHdSta;
    case TimingCheck::kSuSto: return kStatusSuSto;
    case TimingCheck::kSuSta: return kStatusSuSta;
    case TimingCheck::kLow: return kStatusLow;
    case TimingCheck::kHigh: return kStatusHigh;
    case TimingCheck::kHdDat: return kStatusHdDat;
    case TimingCheck::kSuDat: return kStatusSuDat;
  }
  return 0;
}

struct TimingSpan {
  TimingCheck check = TimingCheck::kBuf;
  int64_t start = 0;    // clock offset from the record's start
  uint32_t clocks = 0;  // what was measured
  bool violation = false;
};

// Receives the spans of one record in the order the walk meets them:
// ascending start within the clock checks and within the data checks.
class TimingSpanSink {
 public:
  virtual ~TimingSpanSink() = default;
  virtual void Span(const TimingSpan& span) = 0;
};

// Where a check's outcome goes. The timing walk is written once against
// this interface and instantiated for both reports, so the status bits and
// the spans come from the same tests; the status-only one lets the
// verification run without any cost for the spans.
class StatusReport {
 public:
  void Add(TimingCheck check, int64_t, uint32_t, bool violation) {
    if (violation) status_ = static_cast<uint16_t>(status_ | StatusBitOf(check));
  }
  uint16_t Status() const { return status_; }

 private:
  uint16_t status_ = 0;
};

// The status bits, and every outcome handed to a sink as a span.
class SpanReport {
 public:
  explicit SpanReport(TimingSpanSink& sink) : sink_(sink) {}
  void Add(TimingCheck check, int64_t start, uint32_t clocks, bool violation) {
    status_.Add(check, start, clocks, violation);
    sink_.Span({check, start, clocks, violation});
  }
  uint16_t Status() const { return status_.Status(); }

 private:
  StatusReport status_;
  TimingSpanSink& sink_;
};

}  // namespace orvane

#pragma once
// What the I2C timing walk reports besides the status bits: each condition
// measurement and each violated clock or data phase as a span of the record,
// so a reader (the waveform overlays) sees exactly what set the bits.

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

// Where a check's outcome goes: the record's status bits, and the sink when
// one listens. Every outcome passes here, so the bits and the spans cannot
// differ.
class TimingReport {
 public:
  explicit TimingReport(TimingSpanSink* sink = nullptr) : sink_(sink) {}

  void Add(TimingCheck check, int64_t start, uint32_t clocks, bool violation) {
    if (violation) status_ = static_cast<uint16_t>(status_ | StatusBitOf(check));
    if (sink_ != nullptr) [[unlikely]] sink_->Span({check, start, clocks, violation});
  }
  // Clock and data phases are reported only when they fail: a passing phase
  // is no news to either reader, and the walk stays cheap.
  void Violation(TimingCheck check, int64_t start, uint32_t clocks) { Add(check, start, clocks, true); }

  uint16_t Status() const { return status_; }

 private:
  TimingSpanSink* sink_;
  uint16_t status_ = 0;
};

}  // namespace orvane

#pragma once
// The clock and data marks of "Show ErrorTiming": the timing walk of the
// verification run again over the shown record, every violated SCL phase
// becoming a clock mark and every violated hold or setup time a data mark.

#include <vector>

#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/transaction_info.h"
#include "Orvane/decode/i2c_timing_spans.h"
#include "Orvane/decode/waveform_overlays.h"

namespace orvane {

// Turns the violation spans of a walk into marks, in the order they come.
class ErrorTimingMarkSink : public TimingSpanSink {
 public:
  ErrorTimingMarkSink(bool hs, uint64_t period) : hs_(hs), period_(period) {}
  void Span(const TimingSpan& span) override;

  std::vector<TimingMark> clock;
  std::vector<TimingMark> data;

 private:
  const bool hs_;
  const uint64_t period_;
};

// Walks the record's atoms (up to the next record's opening atom).
void BuildErrorTimingMarks(CSamplingObj& sampling, const SettingsRecord& settings, const TransactionInfo& record,
                           std::vector<TimingMark>* clock, std::vector<TimingMark>* data);

}  // namespace orvane

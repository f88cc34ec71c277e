#include "Orvane/decode/error_timing_marks.h"

#include "Orvane/capture/atom_walker.h"
#include "Orvane/decode/i2c_timing_walk.h"
#include "Orvane/decode/linked_records.h"
#include "Orvane/decode/signal_cursor.h"
#include "Orvane/decode/timing_marks.h"

namespace orvane {

namespace {

// The walk yields to the UI thread's own reads only between batches; the
// caller is the UI thread, so a batch just bounds the lock hold.
constexpr uint32_t kMarkWalkBatch = 4096;

}  // namespace

void ErrorTimingMarkSink::Span(const TimingSpan& span) {
  if (!span.violation) return;
  const int32_t start = MarkClocks(span.start);
  const int32_t length = MarkClocks(span.clocks);
  switch (span.check) {
    case TimingCheck::kHigh: clock.push_back({start, length, kHighPhaseMarkColour, {}}); break;
    case TimingCheck::kLow: clock.push_back({start, length, kLowPhaseMarkColour, {}}); break;
    case TimingCheck::kHdDat:
      data.push_back({start, length, kHdDatMarkColour, TimingLabel("tHD_DAT", hs_, span.clocks, period_)});
      break;
    case TimingCheck::kSuDat:
      data.push_back({start, length, kSuDatMarkColour, TimingLabel("tSU_DAT", hs_, span.clocks, period_)});
      break;
    default: break;  // the condition checks have their own marks
  }
}

void BuildErrorTimingMarks(CSamplingObj& sampling, const SettingsRecord& settings, const TransactionInfo& record,
                           std::vector<TimingMark>* clock, std::vector<TimingMark>* data) {
  const bool hs = IsHsTransfer(record);
  const uint64_t period = settings.SamplePeriodCode;
  ErrorTimingMarkSink sink(hs, period);
  TimingInfo scratch{};
  AtomWalker walker(sampling, kMarkWalkBatch);
  I2CTimingWalk walk(walker, LineMappingFor(settings), period, sampling.m_lenSamplingDataInBuffer);
  const TransactionInfo* next = LinkedRecord(sampling.Records(), record.Next);
  walk.Run(record, next != nullptr ? next->SamplePos : kNoPositionLimit,
           hs ? HsLimits(settings) : FastStandardLimits(settings), scratch, sink);
  *clock = std::move(sink.clock);
  *data = std::move(sink.data);
}

}  // namespace orvane

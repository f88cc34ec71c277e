#include "Orvane/decode/i2c_timing.h"

#include "Orvane/decode/signal_cursor.h"

namespace orvane {

I2CTimingVerifier::I2CTimingVerifier(AtomWalker& walker, TransactionStore& store,
                                     const SettingsRecord& settings, uint32_t data_end)
    : store_(store),
      walk_(walker, LineMappingFor(settings), settings.SamplePeriodCode, data_end),
      fast_standard_(FastStandardLimits(settings)),
      hs_(HsLimits(settings)) {}

bool I2CTimingVerifier::Verify(RecordRef ref) {
  TransactionInfo& record = store_.At(ref);
  if (!store_.AttachTiming(record)) return false;
  StatusReport report;
  Check(record, *store_.Timing(record), report);
  record.Status = static_cast<uint16_t>(record.Status | report.Status());
  return true;
}

void I2CTimingVerifier::Remeasure(const TransactionInfo& record, TimingSpanSink* sink) {
  TimingInfo scratch{};
  if (sink == nullptr) {
    StatusReport report;
    Check(record, scratch, report);
    return;
  }
  SpanReport report(*sink);
  Check(record, scratch, report);
}

template <typename Report>
void I2CTimingVerifier::Check(const TransactionInfo& record, TimingInfo& timing, Report& report) {
  const I2CTimingLimits& limits = IsHsTransfer(record) ? hs_ : fast_standard_;
  const TransactionInfo* previous = record.Prev != kNoRecord ? &store_.At(record.Prev) : nullptr;

  if ((record.bStartEndType & kBeganStart) && previous != nullptr &&
      (previous->bStartEndType & kEndedStop)) {
    timing.tBUF = static_cast<uint32_t>(record.StartClock - (previous->StartClock + previous->Duration));
    report.Add(TimingCheck::kBuf, -int64_t(timing.tBUF), timing.tBUF, Below(timing.tBUF, limits.buf));
  }
  if ((record.bStartEndType & kBeganRepeatedStart) && previous != nullptr &&
      (previous->bStartEndType & kEndedRepeatedStart) && su_sta_measured_ &&
      su_sta_index_ == previous->Index) {
    report.Add(TimingCheck::kSuSta, -int64_t(record.old_SignalClock), su_sta_clocks_,
               Below(su_sta_clocks_, limits.su_sta));
  }

  const uint32_t last_position =
      record.Next != kNoRecord ? store_.At(record.Next).SamplePos : kNoPositionLimit;
  const TimingWalkResult walked = walk_.Walk(record, last_position, limits, timing, report);
  su_sta_measured_ = walked.setup.measured;
  su_sta_index_ = record.Index;
  su_sta_clocks_ = walked.setup.clocks;
}

}  // namespace orvane

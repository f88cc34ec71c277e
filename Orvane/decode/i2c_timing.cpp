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
  return Check(ref, [this](const TransactionInfo& record, const I2CTimingLimits& limits, TimingInfo& timing) {
    const uint32_t last_position =
        record.Next != kNoRecord ? store_.At(record.Next).SamplePos : kNoPositionLimit;
    return walk_.Run(record, last_position, limits, timing);
  });
}

bool I2CTimingVerifier::Apply(RecordRef ref, const I2CMeasuredTiming& measured) {
  return Check(ref, [this, &measured](const TransactionInfo&, const I2CTimingLimits& limits, TimingInfo& timing) {
    return measured.Judge(limits, walk_.Period(), timing);
  });
}

template <typename Measure>
bool I2CTimingVerifier::Check(RecordRef ref, Measure measure) {
  TransactionInfo& record = store_.At(ref);
  if (!store_.AttachTiming(record)) return false;
  TimingInfo& timing = *store_.Timing(record);
  const I2CTimingLimits& limits = IsHsTransfer(record) ? hs_ : fast_standard_;
  const TransactionInfo* previous = record.Prev != kNoRecord ? &store_.At(record.Prev) : nullptr;
  StatusReport report;

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

  const TimingWalkResult walked = measure(record, limits, timing);
  su_sta_measured_ = walked.setup.measured;
  su_sta_index_ = record.Index;
  su_sta_clocks_ = walked.setup.clocks;
  record.Status = static_cast<uint16_t>(record.Status | report.Status() | walked.status);
  return true;
}

}  // namespace orvane

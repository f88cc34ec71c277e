#include "Orvane/decode/i2c_timing.h"

#include "Orvane/decode/signal_cursor.h"

namespace orvane {

I2CTimingVerifier::I2CTimingVerifier(AtomWalker& walker, TransactionStore& store,
                                     const SettingsRecord& settings, uint32_t data_end)
    : store_(store),
      walk_(walker, LineMappingFor(settings), settings.SamplePeriodCode, data_end),
      fast_standard_(FastStandardLimits(settings)),
      hs_(HsLimits(settings)) {}

uint32_t I2CTimingVerifier::LastPosition(const TransactionInfo& record) const {
  return record.Next != kNoRecord ? store_.At(record.Next).SamplePos : kNoPositionLimit;
}

bool I2CTimingVerifier::Verify(RecordRef ref) {
  return CheckStored(ref, [this](const TransactionInfo& record, const I2CTimingLimits& limits, TimingInfo& timing,
                                 StatusReport& report) {
    return walk_.Walk(record, LastPosition(record), limits, timing, report);
  });
}

bool I2CTimingVerifier::Apply(RecordRef ref, const I2CMeasuredTiming& measured) {
  return CheckStored(ref, [this, &measured](const TransactionInfo&, const I2CTimingLimits& limits,
                                            TimingInfo& timing, StatusReport&) {
    return measured.Judge(limits, walk_.Period(), timing);
  });
}

void I2CTimingVerifier::Remeasure(const TransactionInfo& record, TimingSpanSink* sink) {
  TimingInfo scratch{};
  const auto walk = [this](const TransactionInfo& walked, const I2CTimingLimits& limits, TimingInfo& timing,
                           auto& report) {
    return walk_.Walk(walked, LastPosition(walked), limits, timing, report);
  };
  if (sink == nullptr) {
    StatusReport report;
    Check(record, scratch, report, walk);
    return;
  }
  SpanReport report(*sink);
  Check(record, scratch, report, walk);
}

template <typename Measure>
bool I2CTimingVerifier::CheckStored(RecordRef ref, Measure measure) {
  TransactionInfo& record = store_.At(ref);
  if (!store_.AttachTiming(record)) return false;
  StatusReport report;
  const uint16_t status = Check(record, *store_.Timing(record), report, measure);
  record.Status = static_cast<uint16_t>(record.Status | status);
  return true;
}

template <typename Report, typename Measure>
uint16_t I2CTimingVerifier::Check(const TransactionInfo& record, TimingInfo& timing, Report& report,
                                  Measure measure) {
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

  const TimingWalkResult walked = measure(record, limits, timing, report);
  su_sta_measured_ = walked.setup.measured;
  su_sta_index_ = record.Index;
  su_sta_clocks_ = walked.setup.clocks;
  return static_cast<uint16_t>(report.Status() | walked.status);
}

}  // namespace orvane

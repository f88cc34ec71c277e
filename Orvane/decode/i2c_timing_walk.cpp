#include "Orvane/decode/i2c_timing_walk.h"

#include "Orvane/decode/i2c_timing_measure.h"
#include "Orvane/decode/signal_cursor.h"
#include "platform/trace.h"

namespace orvane {

namespace {

// Tests each phase against the limits as it is measured and hands the
// outcome, passing or not, to the report.
template <typename Report>
class LimitJudge {
 public:
  LimitJudge(uint64_t period, const I2CTimingLimits& limits, TimingInfo& timing, Report& report)
      : period_(period), limits_(limits), timing_(timing), report_(report) {}

  void HoldStart(uint32_t clocks) {
    timing_.tHD_STA_start = 0;
    timing_.tHD_STA = clocks;
    report_.Add(TimingCheck::kHdSta, 0, clocks, BelowLimit(clocks, period_, limits_.hd_sta));
  }
  void Low(int64_t start, uint32_t clocks) {
    report_.Add(TimingCheck::kLow, start, clocks, BelowLimit(clocks, period_, limits_.low));
  }
  void High(int64_t start, uint32_t clocks) {
    report_.Add(TimingCheck::kHigh, start, clocks, BelowLimit(clocks, period_, limits_.high));
  }
  void Hold(int64_t start, uint32_t clocks) {
    report_.Add(TimingCheck::kHdDat, start, clocks, AboveLimit(clocks, period_, limits_.hd_dat));
  }
  void Setup(int64_t start, uint32_t clocks) {
    report_.Add(TimingCheck::kSuDat, start, clocks, BelowLimit(clocks, period_, limits_.su_dat));
  }

 private:
  const uint64_t period_;
  const I2CTimingLimits& limits_;
  TimingInfo& timing_;
  Report& report_;
};

}  // namespace

TimingWalkResult I2CTimingWalk::Run(const TransactionInfo& record, uint32_t last_position,
                                    const I2CTimingLimits& limits, TimingInfo& timing, TimingSpanSink& sink) {
  SpanReport report(sink);
  return Walk(record, last_position, limits, timing, report);
}

template <typename Report>
TimingWalkResult I2CTimingWalk::Walk(const TransactionInfo& record, uint32_t last_position,
                                     const I2CTimingLimits& limits, TimingInfo& timing, Report& report) {
  SignalCursor cursor(walker_, mapping_, record, data_end_, last_position);
  uint32_t held = 0;
  if (!cursor.GetSignal_NextSignal(&held)) return {};  // the opening condition
  const int64_t duration = record.Duration;
  I2CPhaseMeasure measure;
  measure.Open(cursor.State(), cursor.ChangeOffset(), cursor.PreviousState(), cursor.PreviousChangeOffset());
  if (!measure.OpenedHigh() && (record.bStartEndType & (kBeganStart | kBeganRepeatedStart))) {
    TraceNotAStart(record, cursor.State());
  }
  LimitJudge<Report> judge(period_, limits, timing, report);
  bool beyond_end = false;
  for (;;) {
    if (!cursor.GetSignal_NextSignal(&held)) break;
    const int64_t at = cursor.ChangeOffset();
    if (at > duration) {
      beyond_end = true;
      break;
    }
    measure.Change(cursor.State(), at, judge);
  }

  const RecordEnd end = measure.EndAt(duration);
  if ((record.bStartEndType & kEndedStop) && (end.state & 3) == 3 && (end.state_before_change & 3) == 0) {
    timing.tSU_STO_at = ClampClocks(end.change_offset);
    timing.tSU_STO = ClampClocks(duration - end.change_offset);
    report.Add(TimingCheck::kSuSto, end.change_offset, timing.tSU_STO, Below(timing.tSU_STO, limits.su_sto));
  }
  TimingWalkResult result;
  if ((record.bStartEndType & kEndedRepeatedStart) && beyond_end && (end.state & kSclLine)) {
    // From the last SCL rise until SDA falls: the repeated START.
    bool measured = !(cursor.State() & kSdaLine);
    while (!measured && cursor.GetSignal_NextSignal(&held)) measured = !(cursor.State() & kSdaLine);
    if (measured) {
      timing.tSU_STA_at = ClampClocks(duration);
      timing.tSU_STA = ClampClocks(cursor.ChangeOffset() - duration);
      result.setup = {true, timing.tSU_STA};
    }
  }
  result.status = report.Status();
  return result;
}

void TraceNotAStart(const TransactionInfo& record, uint8_t state) {
  velix::platform::Trace(
      "[Transaction:%u] GetSignal_ClockPoint() => Not START or REPEAT Condition Signal!! "
      "(signal=0x%x)  NG!!\n",
      record.Index, state);
}

template TimingWalkResult I2CTimingWalk::Walk(const TransactionInfo&, uint32_t, const I2CTimingLimits&,
                                              TimingInfo&, StatusReport&);
template TimingWalkResult I2CTimingWalk::Walk(const TransactionInfo&, uint32_t, const I2CTimingLimits&,
                                              TimingInfo&, SpanReport&);

}  // namespace orvane

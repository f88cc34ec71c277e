#include "Orvane/decode/i2c_timing_walk.h"

#include "Orvane/decode/signal_cursor.h"
#include "platform/trace.h"

namespace orvane {

namespace {

uint32_t Clamp32(int64_t value) {
  if (value < 0) return 0;
  return value > 0xFFFFFFFF ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
}

// The last changes seen by the walk, newest first.
struct ChangeHistory {
  uint8_t state[3];
  int64_t at[3];

  void Push(uint8_t s, int64_t t) {
    state[2] = state[1];
    at[2] = at[1];
    state[1] = state[0];
    at[1] = at[0];
    state[0] = s;
    at[0] = t;
  }
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
  ChangeHistory history{{cursor.State(), cursor.PreviousState(), cursor.PreviousState()},
                        {cursor.ChangeOffset(), cursor.PreviousChangeOffset(),
                         cursor.PreviousChangeOffset()}};

  bool hold_start_pending = (cursor.State() & 3) == kSclLine;
  if (!hold_start_pending && (record.bStartEndType & (kBeganStart | kBeganRepeatedStart))) {
    velix::platform::Trace(
        "[Transaction:%u] GetSignal_ClockPoint() => Not START or REPEAT Condition Signal!! "
        "(signal=0x%x)  NG!!\n",
        record.Index, cursor.State());
  }
  // Clock periods: every SCL edge after the first closes a period.
  bool scl_edge_seen = false;
  int64_t last_scl_edge = 0;
  // Data hold and setup: edges counted modulo 9 from the first SCL fall.
  bool data_started = false;
  uint32_t falls = 0;
  uint32_t rises = 0;
  bool fall_remembered = false;
  int64_t fall_at = 0;
  bool hold_measured = false;
  int64_t hold = 0;
  int64_t last_sda_change = 0;
  bool beyond_end = false;

  for (;;) {
    const uint8_t before = cursor.State();
    if (!cursor.GetSignal_NextSignal(&held)) break;
    const int64_t at = cursor.ChangeOffset();
    if (at > duration) {
      beyond_end = true;
      break;
    }
    const uint8_t now = cursor.State();
    const uint8_t changed = before ^ now;
    history.Push(now, at);
    if (hold_start_pending && !(now & kSclLine)) {
      hold_start_pending = false;
      timing.tHD_STA_start = 0;
      timing.tHD_STA = Clamp32(at);
      report.Add(TimingCheck::kHdSta, 0, timing.tHD_STA, Below(timing.tHD_STA, limits.hd_sta));
    }
    if (changed & kSclLine) {
      const bool rise = (now & kSclLine) != 0;
      if (scl_edge_seen) {
        const uint32_t period = Clamp32(at - last_scl_edge);
        if (rise) {
          report.Add(TimingCheck::kLow, last_scl_edge, period, Below(period, limits.low));
        } else {
          report.Add(TimingCheck::kHigh, last_scl_edge, period, Below(period, limits.high));
        }
      }
      scl_edge_seen = true;
      last_scl_edge = at;
      if (!rise) {
        // The first fall after the START point counts as fall 0, the fall
        // that leads into bit 0.
        const uint32_t count = falls % 9;
        if (data_started) {
          if (count >= 1 && count <= 7) {
            fall_remembered = true;
            fall_at = at;
          }
        }
        data_started = true;
        ++falls;
        hold_measured = false;
      } else if (data_started) {
        const uint32_t count = rises % 9;
        ++rises;
        if (count >= 1 && count <= 7 && hold_measured) {
          const uint32_t hold_clocks = Clamp32(hold);
          // The hold was measured after this low period's fall.
          report.Add(TimingCheck::kHdDat, fall_at, hold_clocks, Above(hold_clocks, limits.hd_dat));
          const uint32_t setup = Clamp32(at - last_sda_change);
          report.Add(TimingCheck::kSuDat, last_sda_change, setup, Below(setup, limits.su_dat));
        }
        fall_remembered = false;
      }
    }
    if (data_started && (changed & kSdaLine) && !(now & kSclLine)) {
      last_sda_change = at;
      if (fall_remembered && !hold_measured) {
        hold = at - fall_at;
        hold_measured = true;
      }
    }
  }

  // The state in force at Duration, and the last change strictly before it.
  const bool change_at_end = history.at[0] == duration;
  const uint8_t state_at_end = history.state[0];
  const uint8_t state_before_change = change_at_end ? history.state[2] : history.state[1];
  const int64_t change_offset = change_at_end ? history.at[1] : history.at[0];

  if ((record.bStartEndType & kEndedStop) && (state_at_end & 3) == 3 && (state_before_change & 3) == 0) {
    timing.tSU_STO_at = Clamp32(change_offset);
    timing.tSU_STO = Clamp32(duration - change_offset);
    report.Add(TimingCheck::kSuSto, change_offset, timing.tSU_STO, Below(timing.tSU_STO, limits.su_sto));
  }
  TimingWalkResult result;
  if ((record.bStartEndType & kEndedRepeatedStart) && beyond_end && (state_at_end & kSclLine)) {
    // From the last SCL rise until SDA falls: the repeated START.
    bool measured = !(cursor.State() & kSdaLine);
    while (!measured && cursor.GetSignal_NextSignal(&held)) measured = !(cursor.State() & kSdaLine);
    if (measured) {
      timing.tSU_STA_at = Clamp32(duration);
      timing.tSU_STA = Clamp32(cursor.ChangeOffset() - duration);
      result.setup = {true, timing.tSU_STA};
    }
  }
  result.status = report.Status();
  return result;
}

template TimingWalkResult I2CTimingWalk::Walk(const TransactionInfo&, uint32_t, const I2CTimingLimits&,
                                              TimingInfo&, StatusReport&);
template TimingWalkResult I2CTimingWalk::Walk(const TransactionInfo&, uint32_t, const I2CTimingLimits&,
                                              TimingInfo&, SpanReport&);

}  // namespace orvane

#include "Orvane/decode/i2c_timing_track.h"

namespace orvane {

TimingWalkResult I2CMeasuredTiming::Judge(const I2CTimingLimits& limits, uint64_t period,
                                          TimingInfo& timing) const {
  uint16_t status = 0;
  if (hd_sta_measured_) {
    timing.tHD_STA_start = 0;
    timing.tHD_STA = hd_sta_;
    if (BelowLimit(hd_sta_, period, limits.hd_sta)) status |= kStatusHdSta;
  }
  // A phase violates its limit exactly when its extreme does.
  if (min_low_ != kNone && BelowLimit(min_low_, period, limits.low)) status |= kStatusLow;
  if (min_high_ != kNone && BelowLimit(min_high_, period, limits.high)) status |= kStatusHigh;
  if (AboveLimit(max_hold_, period, limits.hd_dat)) status |= kStatusHdDat;
  if (min_setup_ != kNone && BelowLimit(min_setup_, period, limits.su_dat)) status |= kStatusSuDat;
  if (su_sto_measured_) {
    timing.tSU_STO_at = su_sto_at_;
    timing.tSU_STO = su_sto_;
    if (BelowLimit(su_sto_, period, limits.su_sto)) status |= kStatusSuSto;
  }
  TimingWalkResult result;
  if (su_sta_measured_) {
    timing.tSU_STA_at = su_sta_at_;
    timing.tSU_STA = su_sta_;
    result.setup = {true, su_sta_};
  }
  result.status = status;
  return result;
}

void I2CTimingTrack::Close(uint8_t end_bits, uint32_t duration, uint32_t clocks) {
  const uint32_t k = count_++;
  if (k >= kKeptRecords) return;
  // Only the last record of a step waits for the atoms after it.
  if (k > 0 && kept_[k - 1].state == Kept::kAwaiting) kept_[k - 1].state = Kept::kWalk;
  Kept& kept = kept_[k];
  kept.timing = open_.measured;
  const RecordEnd end = open_.measure.EndAt(duration);
  if (end_bits & kEndedRepeatedStart) {
    // The walk takes in the changes up to Duration (the last SCL rise) and
    // meets the repeated START beyond it; anything else it sees differently.
    if (open_.measure.LastChange() > duration || clocks <= duration) {
      kept.state = Kept::kWalk;
      return;
    }
    // The repeated START leaves SDA low: its setup runs from the last rise.
    if (end.state & kSclLine) kept.timing.RepeatedStartSetup(duration, clocks - duration);
    kept.state = Kept::kFinal;
    return;
  }
  if ((end_bits & kEndedStop) && (end.state & 3) == 3 && (end.state_before_change & 3) == 0) {
    kept.timing.StopSetup(ClampClocks(end.change_offset), ClampClocks(int64_t(duration) - end.change_offset));
  }
  kept.state = Kept::kAwaiting;
}

void I2CTimingTrack::Settle(bool change_within_clock) {
  if (!LastAwaits()) return;
  kept_[count_ - 1].state = change_within_clock ? Kept::kWalk : Kept::kFinal;
}

}  // namespace orvane

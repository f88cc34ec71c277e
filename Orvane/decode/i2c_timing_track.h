#pragma once
// The timing measurements the analyzer I2C decoder takes while it reads the
// atoms, so opening a file reads them once. The decoder feeds every line
// change of an open record; at its close the record's measurements wait,
// with those of the other records of the decode step, until the step's
// post-processing judges them against the record's limits (which depend on
// the HS flag known only at the close).
//
// A record is measured here only when the decoder saw exactly the changes a
// walk over its atoms would take in; otherwise (changes within the same
// clock after its end, changes after the last SCL rise of a record that ends
// with a repeated START, more records in one step than are kept) the
// post-processing walks its atoms instead.

#include <array>
#include <cstdint>

#include "Orvane/capture/transaction_info.h"
#include "Orvane/decode/i2c_timing_limits.h"
#include "Orvane/decode/i2c_timing_measure.h"
#include "Orvane/decode/i2c_timing_walk.h"

namespace orvane {

// The measurements of one record, before they are judged.
class I2CMeasuredTiming {
 public:
  // Stores the values in `timing` and returns the Status bits of the
  // violations, with the repeated START setup for the next record.
  TimingWalkResult Judge(const I2CTimingLimits& limits, uint64_t period, TimingInfo& timing) const;

  // The phases as the measurement reports them: the extremes decide.
  void HoldStart(uint32_t clocks) {
    hd_sta_measured_ = true;
    hd_sta_ = clocks;
  }
  void Low(int64_t, uint32_t clocks) { min_low_ = clocks < min_low_ ? clocks : min_low_; }
  void High(int64_t, uint32_t clocks) { min_high_ = clocks < min_high_ ? clocks : min_high_; }
  void Hold(int64_t, uint32_t clocks) { max_hold_ = clocks > max_hold_ ? clocks : max_hold_; }
  void Setup(int64_t, uint32_t clocks) { min_setup_ = clocks < min_setup_ ? clocks : min_setup_; }

  void StopSetup(uint32_t at, uint32_t clocks) {
    su_sto_measured_ = true;
    su_sto_at_ = at;
    su_sto_ = clocks;
  }
  void RepeatedStartSetup(uint32_t at, uint32_t clocks) {
    su_sta_measured_ = true;
    su_sta_at_ = at;
    su_sta_ = clocks;
  }

 private:
  static constexpr uint32_t kNone = 0xFFFFFFFFu;

  uint32_t hd_sta_ = 0;
  uint32_t min_low_ = kNone;
  uint32_t min_high_ = kNone;
  uint32_t max_hold_ = 0;
  uint32_t min_setup_ = kNone;
  uint32_t su_sto_at_ = 0;
  uint32_t su_sto_ = 0;
  uint32_t su_sta_at_ = 0;
  uint32_t su_sta_ = 0;
  bool hd_sta_measured_ = false;
  bool su_sto_measured_ = false;
  bool su_sta_measured_ = false;
};

class I2CTimingTrack {
 public:
  static constexpr uint32_t kKeptRecords = 64;

  // A new decode step: nothing measured yet.
  void BeginStep() { count_ = 0; }

  // The opening atom: the lines changed into `state` from `previous`, which
  // the atom carried for `lead_in` clocks.
  void Open(uint8_t state, uint8_t previous, uint16_t lead_in) {
    open_.measured = I2CMeasuredTiming{};
    open_.measure.Open(state, 0, previous, -int64_t(lead_in));
  }
  // A change of the open record `at` clocks after its opening change.
  void Change(uint8_t state, uint32_t at) { open_.measure.Change(state, at, open_.measured); }

  // The open record's measurement. The decoder's loop over a run of atoms
  // takes a copy into locals and hands it back after the run, so the
  // values stay in registers while it reads.
  struct OpenRecord {
    I2CPhaseMeasure measure;
    I2CMeasuredTiming measured;
  };
  OpenRecord& Current() { return open_; }
  // The record closed with `end_bits` and `duration`; `clocks` = its clocks
  // including the atom that closed it.
  void Close(uint8_t end_bits, uint32_t duration, uint32_t clocks);
  // Decides the last record of the step once the atoms after it are known:
  // `change_within_clock` = a change follows before any clock passes.
  void Settle(bool change_within_clock);
  bool LastAwaits() const {
    return count_ != 0 && count_ <= kKeptRecords && kept_[count_ - 1].state == Kept::kAwaiting;
  }

  // The measurements of the step's `k`-th record, or null when its atoms
  // must be walked.
  const I2CMeasuredTiming* Result(uint32_t k) const {
    return k < count_ && k < kKeptRecords && kept_[k].state == Kept::kFinal ? &kept_[k].timing : nullptr;
  }

 private:
  struct Kept {
    // kAwaiting: final unless a change follows within the closing clock.
    enum State : uint8_t { kFinal, kAwaiting, kWalk } state = kWalk;
    I2CMeasuredTiming timing;
  };

  OpenRecord open_;
  std::array<Kept, kKeptRecords> kept_{};
  uint32_t count_ = 0;
};

}  // namespace orvane

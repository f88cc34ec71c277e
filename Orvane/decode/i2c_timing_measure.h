#pragma once
// The measurements of one analyzer I2C record, fed one line change at a
// time in clock offsets from the record's opening change: tHD_STA, the SCL
// high and low phases, the data hold and setup times, and the last changes
// for the closing tSU_STO. The same steps serve the walk over a record's
// atoms (waveform overlays, records the decoder could not follow) and the
// decoder, which feeds its own changes as it reads them.
//
// A judge receives each measured phase: the walk's judge tests it against
// the limits at once, the decoder's keeps the extremes and tests them when
// the record's limits are known.

#include <cstdint>

#include "Orvane/decode/line_mapping.h"

namespace orvane {

inline uint32_t ClampClocks(int64_t value) {
  if (value < 0) return 0;
  return value > 0xFFFFFFFF ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
}

// The last changes seen, newest first.
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

// What the history says about the record's end at `duration`: the state in
// force there, and the last change strictly before it with its state before.
struct RecordEnd {
  uint8_t state = 0;
  uint8_t state_before_change = 0;
  int64_t change_offset = 0;
};

class I2CPhaseMeasure {
 public:
  // The opening change into `state` at `at` (0 for a record the decoder
  // made); `previous` held since `previous_at`.
  void Open(uint8_t state, int64_t at, uint8_t previous, int64_t previous_at) {
    *this = I2CPhaseMeasure{};
    history_ = {{state, previous, previous}, {at, previous_at, previous_at}};
    hold_start_pending_ = (state & 3) == kSclLine;
  }

  // Whether the opening state is what a START or repeated START leaves.
  bool OpenedHigh() const { return hold_start_pending_; }
  const ChangeHistory& History() const { return history_; }
  uint8_t State() const { return history_.state[0]; }
  int64_t LastChange() const { return history_.at[0]; }

  RecordEnd EndAt(int64_t duration) const {
    const bool change_at_end = history_.at[0] == duration;
    return {history_.state[0], change_at_end ? history_.state[2] : history_.state[1],
            change_at_end ? history_.at[1] : history_.at[0]};
  }

  // A change into `now` at offset `at` (not after the record's Duration).
  template <typename Judge>
  void Change(uint8_t now, int64_t at, Judge& judge) {
    const uint8_t changed = static_cast<uint8_t>(history_.state[0] ^ now);
    history_.Push(now, at);
    if (hold_start_pending_ && !(now & kSclLine)) {
      hold_start_pending_ = false;
      judge.HoldStart(ClampClocks(at));
    }
    if (changed & kSclLine) {
      const bool rise = (now & kSclLine) != 0;
      if (scl_edge_seen_) {
        const uint32_t period = ClampClocks(at - last_scl_edge_);
        if (rise) {
          judge.Low(last_scl_edge_, period);
        } else {
          judge.High(last_scl_edge_, period);
        }
      }
      scl_edge_seen_ = true;
      last_scl_edge_ = at;
      if (!rise) {
        // The first fall after the START point counts as fall 0, the fall
        // that leads into bit 0.
        const uint32_t count = falls_ % 9;
        if (data_started_ && count >= 1 && count <= 7) {
          fall_remembered_ = true;
          fall_at_ = at;
        }
        data_started_ = true;
        ++falls_;
        hold_measured_ = false;
      } else if (data_started_) {
        const uint32_t count = rises_ % 9;
        ++rises_;
        if (count >= 1 && count <= 7 && hold_measured_) {
          // The hold was measured after this low period's fall.
          judge.Hold(fall_at_, ClampClocks(hold_));
          judge.Setup(last_sda_change_, ClampClocks(at - last_sda_change_));
        }
        fall_remembered_ = false;
      }
    }
    if (data_started_ && (changed & kSdaLine) && !(now & kSclLine)) {
      last_sda_change_ = at;
      if (fall_remembered_ && !hold_measured_) {
        hold_ = at - fall_at_;
        hold_measured_ = true;
      }
    }
  }

 private:
  ChangeHistory history_{};
  bool hold_start_pending_ = false;
  // Clock periods: every SCL edge after the first closes a period.
  bool scl_edge_seen_ = false;
  int64_t last_scl_edge_ = 0;
  // Data hold and setup: edges counted modulo 9 from the first SCL fall.
  bool data_started_ = false;
  bool fall_remembered_ = false;
  bool hold_measured_ = false;
  uint32_t falls_ = 0;
  uint32_t rises_ = 0;
  int64_t fall_at_ = 0;
  int64_t hold_ = 0;
  int64_t last_sda_change_ = 0;
};

}  // namespace orvane

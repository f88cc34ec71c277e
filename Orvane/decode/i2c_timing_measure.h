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
#include <type_traits>

#include "Orvane/decode/line_mapping.h"

namespace orvane {

inline uint32_t ClampClocks(int64_t value) {
  // One unsigned compare for the usual case, a value already in range.
  if (static_cast<uint64_t>(value) <= 0xFFFFFFFFu) [[likely]] return static_cast<uint32_t>(value);
  return value < 0 ? 0 : 0xFFFFFFFFu;
}

// The clocks from `from` to `to`, both offsets the measurement was fed.
// The decoder feeds 32-bit clock counts of its open record, which never
// go backwards, so their difference needs no clamp.
template <typename Offset>
uint32_t ClocksBetween(int64_t from, Offset to) {
  if constexpr (std::is_same_v<Offset, uint32_t>) {
    return to - static_cast<uint32_t>(from);
  } else {
    return ClampClocks(to - from);
  }
}

// The last changes seen, in a ring so that a change costs two stores.
class ChangeHistory {
 public:
  void Reset(uint8_t state, int64_t at, uint8_t previous, int64_t previous_at) {
    newest_ = 2;
    state_[0] = state_[1] = previous;
    at_[0] = at_[1] = previous_at;
    state_[2] = state;
    at_[2] = at;
  }
  void Push(uint8_t s, int64_t t) {
    newest_ = (newest_ + 1) & 3;
    state_[newest_] = s;
    at_[newest_] = t;
  }
  // The `age`-th newest change (0 = the newest), for ages 0 to 2.
  uint8_t State(uint32_t age) const { return state_[(newest_ - age) & 3]; }
  int64_t At(uint32_t age) const { return at_[(newest_ - age) & 3]; }

 private:
  uint32_t newest_ = 0;
  uint8_t state_[4] = {};
  int64_t at_[4] = {};
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
    history_.Reset(state, at, previous, previous_at);
    state_ = state;
    hold_start_pending_ = (state & 3) == kSclLine;
  }

  // Whether the opening state is what a START or repeated START leaves.
  bool OpenedHigh() const { return hold_start_pending_; }
  int64_t LastChange() const { return history_.At(0); }

  RecordEnd EndAt(int64_t duration) const {
    const bool change_at_end = history_.At(0) == duration;
    return {history_.State(0), change_at_end ? history_.State(2) : history_.State(1),
            change_at_end ? history_.At(1) : history_.At(0)};
  }

  // A change into `now` at offset `at` (not after the record's Duration).
  template <typename Judge>
  void Change(uint8_t now, int64_t at, Judge& judge) {
    const uint8_t changed = static_cast<uint8_t>(state_ ^ now);
    state_ = now;
    if (changed & kSclLine) {
      if (now & kSclLine) {
        Rise(now, changed, at, judge);
      } else {
        Fall(now, changed, at, judge);
      }
    } else {
      Other(now, changed, at);
    }
  }

  // After changes fed through Rise(), Fall() or Other(): the state they
  // left, which Change() compares with.
  void Settle(uint8_t now) { state_ = now; }

  // The state before the newest change, for a fast walk to carry.
  uint8_t StateBeforeLast() const { return history_.State(1); }
  // After changes fed with `kFastWalk`: the state they left, the newest
  // change's offset and the state before it, which the walk kept instead
  // of the history. Nothing older is read afterwards: a STOP closes after
  // a change of its own and reads the state and offset before it, any
  // other close reads the newest change alone.
  void SettleFastWalk(uint8_t now, int64_t at, uint8_t before) {
    state_ = now;
    history_.Reset(now, at, before, at);
  }

  // The three kinds of change, for a caller that already knows which one
  // it has: an SCL rise, an SCL fall (SDA may change with either), and a
  // change that leaves SCL alone; `changed` = the lines that changed.
  //
  // SCL edges alternate, so after the first fall the bit slot of a rise is
  // the slot of the fall before it: one count of falls modulo 9 serves
  // both. Slots 1 to 7 of a byte measure the data hold and setup.
  //
  // `kFastWalk`: the caller knows an SCL edge was seen already, so the
  // first-edge tests (and the opening's tHD_STA, which ends at the first
  // edge) drop out of its steps, and it keeps the newest change itself
  // (see SettleFastWalk()).
  template <bool kFastWalk = false, typename Judge, typename Offset>
  void Rise(uint8_t now, uint8_t, Offset at, Judge& judge) {
    if constexpr (!kFastWalk) history_.Push(now, at);
    if (kFastWalk || scl_edge_seen_) judge.Low(last_scl_edge_, ClocksBetween(last_scl_edge_, at));
    if constexpr (!kFastWalk) scl_edge_seen_ = true;
    // A hold is measured only after a remembered fall, the last SCL edge.
    if (hold_measured_) {
      judge.Hold(last_scl_edge_, ClampClocks(hold_));
      judge.Setup(last_sda_change_, ClocksBetween(last_sda_change_, at));
    }
    last_scl_edge_ = at;
  }

  template <bool kFastWalk = false, typename Judge, typename Offset>
  void Fall(uint8_t now, uint8_t changed, Offset at, Judge& judge) {
    if constexpr (!kFastWalk) {
      history_.Push(now, at);
      // Every state since a START-like opening had SCL high, so the first
      // state with SCL low comes with a fall: tHD_STA ends there.
      if (hold_start_pending_) [[unlikely]] {
        hold_start_pending_ = false;
        judge.HoldStart(ClocksBetween(0, at));
      }
    }
    if (kFastWalk || scl_edge_seen_) judge.High(last_scl_edge_, ClocksBetween(last_scl_edge_, at));
    if constexpr (!kFastWalk) scl_edge_seen_ = true;
    last_scl_edge_ = at;
    falls_ = falls_ == 8 ? 0 : falls_ + 1;
    hold_measured_ = false;
    if (changed & kSdaLine) {
      // SDA moved with the fall: a hold of zero.
      last_sda_change_ = at;
      if (FallRemembered()) {
        hold_ = 0;
        hold_measured_ = true;
      }
    }
  }

  template <bool kFastWalk = false>
  void Other(uint8_t now, uint8_t changed, int64_t at) {
    if constexpr (!kFastWalk) history_.Push(now, at);
    // With SCL low, an SCL edge seen means the last one was a fall.
    if ((kFastWalk || scl_edge_seen_) && (changed & kSdaLine) && !(now & kSclLine)) {
      last_sda_change_ = at;
      if (FallRemembered() && !hold_measured_) {
        hold_ = at - last_scl_edge_;
        hold_measured_ = true;
      }
    }
  }

  // Whether an SCL edge was seen since the opening; from then on the steps
  // may be taken with `kFastWalk`.
  bool SclEdgeSeen() const { return scl_edge_seen_; }

 private:
  // Between a fall and the next rise: whether that fall began slot 1 to 7.
  // The first fall after the START point counts as fall 0, the fall that
  // leads into bit 0; before it the count stays 0.
  bool FallRemembered() const { return falls_ - 2 < 7; }

  ChangeHistory history_{};
  uint8_t state_ = 0;  // the newest state of the history, kept at hand
  bool hold_start_pending_ = false;
  // Clock periods: every SCL edge after the first closes a period. While
  // SCL is low after an edge, the last edge is the fall a hold runs from.
  bool scl_edge_seen_ = false;
  int64_t last_scl_edge_ = 0;
  // Data hold and setup: edges counted modulo 9 from the first SCL fall.
  bool hold_measured_ = false;
  // SCL falls so far, modulo 9.
  uint32_t falls_ = 0;
  int64_t hold_ = 0;
  int64_t last_sda_change_ = 0;
};

}  // namespace orvane

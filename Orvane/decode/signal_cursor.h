#pragma once
// A cursor over the line changes of one analyzer I2C record, in sample
// clocks relative to the record's opening change (offset 0). It starts in
// the state in force before the opening atom, at -old_SignalClock, so the
// first change it reports is the opening condition itself.
//
// The cursor never reads past the end of the written data, nor past the
// opening atom of the next record (it may read that atom, to learn when the
// current state ends, but no further).

#include <algorithm>
#include <cstdint>

#include "Orvane/capture/atom_walker.h"
#include "Orvane/capture/transaction_info.h"
#include "Orvane/decode/line_mapping.h"

namespace orvane {

inline constexpr uint32_t kNoPositionLimit = 0xFFFFFFFFu;

class SignalCursor {
 public:
  // `data_end` = bytes of valid data; `last_position` = the last atom
  // position the cursor may read (the next record's SamplePos).
  SignalCursor(AtomWalker& walker, LineMapping mapping, const TransactionInfo& record,
               uint32_t data_end, uint32_t last_position = kNoPositionLimit);

  uint8_t State() const { return state_[0]; }
  int64_t ChangeOffset() const { return at_[0]; }
  // The state before the current one and when it began.
  uint8_t PreviousState() const { return state_[1]; }
  int64_t PreviousChangeOffset() const { return at_[1]; }
  uint8_t StateBeforePrevious() const { return state_[2]; }
  // After a failed advance: whether the data ended there, and the offset
  // at which they ended.
  bool AtDataEnd() const { return at_data_end_; }
  int64_t EndOffset() const { return end_offset_; }

  // GetSignal_NextSignal: advances to the next change of the mapped state;
  // `held` receives the clocks spent in the old state. False at the end of
  // the data, at an unreadable atom, or past the last allowed position.
  bool GetSignal_NextSignal(uint32_t* held) {
    uint64_t clocks = 0;
    for (;;) {
      if (position_ >= data_end_ || position_ > last_position_ || position_ < start_) {
        return Over(clocks);
      }
      // Straight from the mapped bytes while the batch holds the window:
      // words below the span end, positions within both limits.
      const AtomWalker::Span span = walker_.SpanAt(position_);
      if (span.length >= 2) {
        const uint32_t limit = SpanLimit(span.length);
        const uint32_t odd = position_ & 1;
        uint32_t i = 0;
        while (i < limit) {
          const uint32_t low = span.data[i];
          const bool is_short = (low & 0x10) != 0;
          if (!is_short && ((i ^ odd) & 1) != 0) break;  // reported by Read()
          clocks += is_short ? low >> 5 : (low | (uint32_t(span.data[i + 1]) << 8)) >> 5;
          i += is_short ? 1 : 2;
          const uint8_t state = mapping_.Map(static_cast<uint8_t>(low & 0x0F));
          if (state != state_[0]) {
            walker_.Spent(i);
            position_ += i;
            Push(state, at_[0] + static_cast<int64_t>(clocks));
            *held = static_cast<uint32_t>(clocks > 0xFFFFFFFFu ? 0xFFFFFFFFu : clocks);
            return true;
          }
        }
        walker_.Spent(i);
        position_ += i;
        if (i != 0) continue;
      }
      const SampleAtom atom = walker_.Read(position_);
      if (atom.size != 1 && atom.size != 2) return Over(clocks);
      position_ += atom.size;
      clocks += atom.count;
      const uint8_t state = mapping_.Map(atom.state);
      if (state != state_[0]) {
        Push(state, at_[0] + static_cast<int64_t>(clocks));
        *held = static_cast<uint32_t>(clocks > 0xFFFFFFFFu ? 0xFFFFFFFFu : clocks);
        return true;
      }
    }
  }

 private:
  void Push(uint8_t state, int64_t at) {
    state_[2] = state_[1];
    at_[2] = at_[1];
    state_[1] = state_[0];
    at_[1] = at_[0];
    state_[0] = state;
    at_[0] = at;
  }
  bool Over(uint64_t clocks);
  // How far a span of `length` bytes from the position may be walked: atoms
  // start below length - 1 (so a word never passes the span), below the
  // data end and at or before the last allowed position.
  uint32_t SpanLimit(uint32_t length) const {
    uint64_t limit = length - 1;
    limit = std::min<uint64_t>(limit, uint64_t(data_end_) - position_);
    limit = std::min<uint64_t>(limit, uint64_t(last_position_) - position_ + 1);
    return static_cast<uint32_t>(limit);
  }

  AtomWalker& walker_;
  const LineMapping mapping_;
  const uint32_t start_;
  const uint32_t data_end_;
  const uint32_t last_position_;
  uint32_t position_;
  bool at_data_end_ = false;
  int64_t end_offset_ = 0;
  uint8_t state_[3];
  int64_t at_[3];
};

// GetSignal_ClockPoint: the line state in force at offset `t` (a change at
// exactly `t` counts as in force), how long it still lasts, and the last
// change strictly before `t` with the state before it.
struct ClockPoint {
  uint8_t state = 0;
  uint32_t remaining = 0;
  uint8_t state_before_change = 0;
  int64_t change_offset = 0;
};

bool GetSignal_ClockPoint(AtomWalker& walker, LineMapping mapping, const TransactionInfo& record,
                          uint32_t data_end, uint32_t last_position, int64_t t, ClockPoint* point);

}  // namespace orvane

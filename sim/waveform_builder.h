#pragma once
// Appends line changes and bus events to a Waveform in time order. Keeps the
// current line state and a time cursor (the latest change or wait), so the
// bus generators only say what happens and after how long.

#include <cstdint>

#include "sim/waveform.h"

namespace velix::sim {

class WaveformBuilder {
 public:
  WaveformBuilder(Waveform* waveform, uint64_t lead_in)
      : w_(*waveform), state_(waveform->initial_state), now_(lead_in) {}

  uint64_t Now() const { return now_; }
  uint8_t State() const { return state_; }
  uint8_t Level(uint8_t mask) const { return (state_ & mask) != 0 ? 1 : 0; }

  // Drives the lines of `mask` to `level` at `time` (never before the cursor).
  void Set(uint8_t mask, uint8_t level, uint64_t time);
  void Wait(uint64_t duration) { now_ += duration; }
  // Inverts the lines of `mask` for `length`, one `length` after the cursor.
  void Glitch(uint8_t mask, uint64_t length);
  void Corrupt();
  void Event(BusEventKind kind, uint64_t time, uint8_t value, uint8_t s2 = 0, uint8_t s3 = 0);
  void Finish(uint64_t tail) { w_.end_time = now_ + tail; }

 private:
  void Emit(uint64_t time, uint8_t state);

  Waveform& w_;
  uint8_t state_;
  uint64_t now_;
};

}  // namespace velix::sim

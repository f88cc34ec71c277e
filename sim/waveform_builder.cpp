#include "sim/waveform_builder.h"

#include <algorithm>

namespace velix::sim {

void WaveformBuilder::Emit(uint64_t time, uint8_t state) {
  // Changes at one instant become one change, so the list stays strictly
  // increasing in time (a corrupt marker keeps its own entry).
  if (!w_.changes.empty() && w_.changes.back().time == time && w_.changes.back().state != kCorruptMarker) {
    w_.changes.back().state = state;
  } else {
    w_.changes.push_back({time, state});
  }
  state_ = state;
  now_ = time;
}

void WaveformBuilder::Set(uint8_t mask, uint8_t level, uint64_t time) {
  time = std::max(time, now_);
  const uint8_t next = static_cast<uint8_t>(level ? (state_ | mask) : (state_ & ~mask));
  if (next == state_) {
    now_ = time;
    return;
  }
  Emit(time, next);
}

void WaveformBuilder::Glitch(uint8_t mask, uint64_t length) {
  const uint64_t begin = now_ + length;
  const uint8_t original = state_;
  Emit(begin, static_cast<uint8_t>(state_ ^ mask));
  Emit(begin + length, original);
  w_.glitches.push_back({begin, begin + length, mask});
}

void WaveformBuilder::Corrupt() {
  w_.changes.push_back({now_, kCorruptMarker});
  Event(BusEventKind::kCorrupt, now_, 0);
}

void WaveformBuilder::Event(BusEventKind kind, uint64_t time, uint8_t value, uint8_t s2, uint8_t s3) {
  w_.events.push_back({time, kind, value, s2, s3});
}

}  // namespace velix::sim

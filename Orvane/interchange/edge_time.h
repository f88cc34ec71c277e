#pragma once
// When a level change of another tool's capture shows in our samples. Our
// sample k is taken at k / rate seconds and shows the last change at or
// before that instant, so a change at tick t is first seen in sample
//   k = ceil(t x seconds_per_tick x rate),
// computed exactly in integers: no rounding decides on which side of a
// sample an edge falls.

#include <cstdint>

#include "Orvane/interchange/logic_source.h"

namespace velix::interchange {

class EdgeTimeRule {
 public:
  // `rate` in samples per second, non-zero; the tick length's parts non-zero.
  EdgeTimeRule(TickLength tick, uint64_t rate);

  // The first sample that shows a change at `tick`; false when that sample
  // number does not fit 64 bits.
  bool FirstSample(uint64_t tick, uint64_t* sample) const {
    // Up to fast_limit_ every term fits 64 bits; a whole number of samples
    // per tick needs no division.
    if (tick <= fast_limit_) {
      *sample = tick * fast_whole_ + (part_ == 0 ? 0 : (tick * part_ + (denominator_ - 1)) / denominator_);
      return true;
    }
    return WideFirstSample(tick, sample);
  }

 private:
  bool WideFirstSample(uint64_t tick, uint64_t* sample) const;

  // seconds_per_tick x rate = whole_ + part_ / denominator_, reduced.
  __extension__ typedef unsigned __int128 Wide;
  Wide whole_ = 0;
  uint64_t part_ = 0;
  uint64_t denominator_ = 1;
  uint64_t fast_whole_ = 0;  // whole_, when it fits 64 bits
  uint64_t fast_limit_ = 0;  // the last tick the 64-bit terms hold
};

}  // namespace velix::interchange

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
  __extension__ typedef unsigned __int128 Wide;

 public:
  // The rule for ticks up to `limit`, where every term fits 64 bits: a
  // small value a caller's loop can keep in registers.
  struct Narrow {
    uint64_t limit = 0;  // the last tick these terms hold
    uint64_t whole = 0;
    uint64_t part = 0;
    uint64_t denominator = 1;
    uint64_t reciprocal = ~uint64_t{0};  // (2^64 - 1) / denominator

    // The first sample for a tick up to `limit`.
    uint64_t FirstSample(uint64_t tick) const { return tick * whole + Quotient(tick * part + (denominator - 1)); }
    // value / denominator, rounded down, without a division instruction
    // (it costs tens of cycles, once per change): the product with the
    // reciprocal is the quotient or one less, and the remainder says which.
    uint64_t Quotient(uint64_t value) const {
      const auto estimate = static_cast<uint64_t>((static_cast<Wide>(value) * reciprocal) >> 64);
      return estimate + (value - estimate * denominator >= denominator ? 1 : 0);
    }
  };

  // `rate` in samples per second, non-zero; the tick length's parts non-zero.
  EdgeTimeRule(TickLength tick, uint64_t rate);

  // The first sample that shows a change at `tick`; false when that sample
  // number does not fit 64 bits.
  bool FirstSample(uint64_t tick, uint64_t* sample) const {
    if (tick <= narrow_.limit) {
      *sample = narrow_.FirstSample(tick);
      return true;
    }
    return WideFirstSample(tick, sample);
  }
  const Narrow& NarrowTerms() const { return narrow_; }
  // The last tick the narrow terms hold whose first sample is at most
  // `samples`: below it a loop needs neither the wide terms nor a bound.
  uint64_t LastNarrowTick(uint64_t samples) const;

 private:
  bool WideFirstSample(uint64_t tick, uint64_t* sample) const;

  // seconds_per_tick x rate = whole_ + narrow_.part / narrow_.denominator,
  // reduced.
  Wide whole_ = 0;
  Narrow narrow_;
};

}  // namespace velix::interchange

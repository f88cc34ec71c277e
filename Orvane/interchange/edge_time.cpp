#include "Orvane/interchange/edge_time.h"

#include <limits>

namespace velix::interchange {
namespace {

__extension__ typedef unsigned __int128 Wide;

Wide Gcd(Wide a, Wide b) {
  while (b != 0) {
    const Wide r = a % b;
    a = b;
    b = r;
  }
  return a;
}

}  // namespace

EdgeTimeRule::EdgeTimeRule(TickLength tick, uint64_t rate) {
  const Wide numerator = static_cast<Wide>(tick.numerator) * rate;
  const Wide g = Gcd(numerator, tick.denominator);
  const Wide reduced = numerator / g;
  const auto denominator = static_cast<uint64_t>(tick.denominator / g);
  const auto part = static_cast<uint64_t>(reduced % denominator);
  constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
  whole_ = reduced / denominator;
  narrow_.part = part;
  narrow_.denominator = denominator;
  narrow_.reciprocal = kMax / denominator;
  // The fraction is at most one sample per tick, so the sum stays within
  // tick x (whole + 1); tick x part plus the rounding must fit as well.
  if (whole_ >= kMax) return;  // only tick 0, which is sample 0 either way
  narrow_.whole = static_cast<uint64_t>(whole_);
  narrow_.limit = kMax / (narrow_.whole + 1);
  if (part != 0 && (kMax - (denominator - 1)) / part < narrow_.limit) {
    narrow_.limit = (kMax - (denominator - 1)) / part;
  }
}

uint64_t EdgeTimeRule::LastNarrowTick(uint64_t samples) const {
  // Found by halving: samples never decrease as ticks grow.
  uint64_t low = 0;  // tick 0 is sample 0
  uint64_t high = narrow_.limit;
  while (low < high) {
    const uint64_t middle = low + (high - low) / 2 + 1;
    if (narrow_.FirstSample(middle) <= samples) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return low;
}

bool EdgeTimeRule::WideFirstSample(uint64_t tick, uint64_t* sample) const {
  Wide whole = 0;
  if (__builtin_mul_overflow(static_cast<Wide>(tick), whole_, &whole)) return false;
  // tick x part < 2^128 - 2^65, so adding denominator - 1 cannot wrap.
  const uint64_t denominator = narrow_.denominator;
  const Wide fraction = (static_cast<Wide>(tick) * narrow_.part + (denominator - 1)) / denominator;
  const Wide total = whole + fraction;
  if (total < whole || total > std::numeric_limits<uint64_t>::max()) return false;
  *sample = static_cast<uint64_t>(total);
  return true;
}

}  // namespace velix::interchange

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
  denominator_ = static_cast<uint64_t>(tick.denominator / g);
  whole_ = reduced / denominator_;
  part_ = static_cast<uint64_t>(reduced % denominator_);
  // The fraction is at most one sample per tick, so the sum stays within
  // tick x (whole_ + 1); tick x part_ plus the rounding must fit as well.
  constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
  if (whole_ >= kMax) return;  // only tick 0, which is sample 0 either way
  fast_whole_ = static_cast<uint64_t>(whole_);
  fast_limit_ = kMax / (fast_whole_ + 1);
  if (part_ != 0 && (kMax - (denominator_ - 1)) / part_ < fast_limit_) {
    fast_limit_ = (kMax - (denominator_ - 1)) / part_;
  }
}

bool EdgeTimeRule::WideFirstSample(uint64_t tick, uint64_t* sample) const {
  Wide whole = 0;
  if (__builtin_mul_overflow(static_cast<Wide>(tick), whole_, &whole)) return false;
  // tick x part_ < 2^128 - 2^65, so adding denominator_ - 1 cannot wrap.
  const Wide fraction = (static_cast<Wide>(tick) * part_ + (denominator_ - 1)) / denominator_;
  const Wide total = whole + fraction;
  if (total < whole || total > std::numeric_limits<uint64_t>::max()) return false;
  *sample = static_cast<uint64_t>(total);
  return true;
}

}  // namespace velix::interchange

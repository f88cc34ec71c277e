#include "Orvane/interchange/edge_time.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <numeric>
#include <vector>

namespace velix::interchange {
namespace {

struct EdgeCase {
  const char* name;
  TickLength tick;
  uint64_t rate;
  uint64_t at;
  bool fits;
  uint64_t sample;
};

class EdgeTimeTest : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(EdgeTimeTest, FirstSampleShowingTheChange) {
  const EdgeCase& c = GetParam();
  uint64_t sample = 0;
  ASSERT_EQ(EdgeTimeRule(c.tick, c.rate).FirstSample(c.at, &sample), c.fits);
  if (c.fits) {
    EXPECT_EQ(sample, c.sample);
  }
}

constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Rule, EdgeTimeTest,
    ::testing::Values(
        // A change exactly at a sample instant is seen in that sample.
        EdgeCase{"on_sample", {10, 1000000000}, 50000000, 2, true, 1},
        EdgeCase{"between_samples", {10, 1000000000}, 50000000, 3, true, 2},
        EdgeCase{"at_zero", {10, 1000000000}, 50000000, 0, true, 0},
        // A third of a nanosecond per tick: 60 ticks per 50 MHz sample.
        EdgeCase{"third_ns_on", {1, 3000000000}, 50000000, 120, true, 2},
        EdgeCase{"third_ns_just_after", {1, 3000000000}, 50000000, 121, true, 3},
        EdgeCase{"third_ns_just_before", {1, 3000000000}, 50000000, 119, true, 2},
        EdgeCase{"third_ns_20mhz", {1, 3000000000}, 20000000, 151, true, 2},
        // 24 MHz ticks at 50 MHz: 25/12 samples per tick.
        EdgeCase{"24mhz_one", {1, 24000000}, 50000000, 1, true, 3},
        EdgeCase{"24mhz_twelve", {1, 24000000}, 50000000, 12, true, 25},
        EdgeCase{"24mhz_five", {1, 24000000}, 50000000, 5, true, 11},
        // Far beyond double precision, still exact.
        EdgeCase{"fs_exact", {1, 1000000000000000}, 50000000, 20000000ull * 123456789012ull, true, 123456789012ull},
        EdgeCase{
            "fs_one_more", {1, 1000000000000000}, 50000000, 20000000ull * 123456789012ull + 1, true, 123456789013ull},
        // Both sides of the 64-bit shortcut agree.
        EdgeCase{"short_path_top", {1, 1000000000}, 50000000, 4294967295ull, true, 214748365},
        EdgeCase{"wide_path", {1, 1000000000}, 50000000, 8589934592ull, true, 429496730},
        EdgeCase{"seconds_fit", {1, 1}, 10000000, 1000000000000ull, true, 10000000000000000000ull},
        EdgeCase{"seconds_overflow", {1, 1}, 50000000, 1000000000000ull, false, 0},
        EdgeCase{"huge_tick_zero", {kMax, 1}, 50000000, 0, true, 0},
        EdgeCase{"huge_tick_overflow", {kMax, 1}, 50000000, 1, false, 0},
        EdgeCase{"huge_denominator", {kMax, kMax}, 10000000, kMax, false, 0},
        EdgeCase{"tiny_ticks", {1, kMax}, 10000000, kMax, true, 10000000}),
    [](const auto& p) { return std::string(p.param.name); });

struct LastTickCase {
  const char* name;
  TickLength tick;
  uint64_t rate;
  uint64_t samples;
  uint64_t expected;
};

class EdgeTimeLastTick : public ::testing::TestWithParam<LastTickCase> {};

// The last tick within a sample bound: its sample fits, the next one's does
// not (or lies past the narrow terms).
TEST_P(EdgeTimeLastTick, IsTheLastTickWithinTheBound) {
  const LastTickCase& c = GetParam();
  const EdgeTimeRule rule(c.tick, c.rate);
  const uint64_t last = rule.LastNarrowTick(c.samples);
  EXPECT_EQ(last, c.expected);
  uint64_t sample = 0;
  ASSERT_TRUE(rule.FirstSample(last, &sample));
  EXPECT_LE(sample, c.samples);
  if (last < kMax && rule.FirstSample(last + 1, &sample) && last + 1 <= rule.NarrowTerms().limit) {
    EXPECT_GT(sample, c.samples);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, EdgeTimeLastTick,
    ::testing::Values(
        // The import's bound: 2147483647 long atoms of 2047 samples.
        LastTickCase{"seconds_at_50mhz", {1, 1}, 50000000, 4395899025409ull, 87917},
        LastTickCase{"ten_ns_at_50mhz", {10, 1000000000}, 50000000, 4395899025409ull, 8791798050818ull},
        LastTickCase{"third_ns_at_50mhz", {1, 3000000000}, 50000000, 4395899025409ull, 263753941524540ull},
        LastTickCase{"zero_samples", {10, 1000000000}, 50000000, 0, 0},
        LastTickCase{"one_sample", {10, 1000000000}, 50000000, 1, 2},
        LastTickCase{"narrow_limit", {1, 1000000000}, 50000000, kMax, kMax - 19},
        LastTickCase{"huge_ticks", {kMax, 1}, 50000000, 4395899025409ull, 0}),
    [](const auto& p) { return std::string(p.param.name); });

struct SweepCase {
  const char* name;
  TickLength tick;
  uint64_t rate;  // numerator x rate below 2^64, so the reference fits 128 bits
};

class EdgeTimeSweep : public ::testing::TestWithParam<SweepCase> {};

// Around every place where the 64-bit shortcut could stop holding, the
// rule gives the exact ceiling, or says the sample does not fit.
TEST_P(EdgeTimeSweep, MatchesTheExactCeilingAroundEveryBound) {
  __extension__ typedef unsigned __int128 Wide;
  const SweepCase& c = GetParam();
  const uint64_t numerator = c.tick.numerator * c.rate;
  const uint64_t g = std::gcd(numerator, c.tick.denominator);
  const uint64_t n = numerator / g;
  const uint64_t d = c.tick.denominator / g;
  std::vector<uint64_t> centres = {0, 0xFFFFFFFFull, kMax / (n / d + 1), kMax / (n / d + 2), kMax};
  if (n % d != 0) centres.push_back((kMax - (d - 1)) / (n % d));
  // Inside the 64-bit range the quotient is found without a division: a
  // spread of ticks there, where its estimate could be one short.
  for (const uint64_t part : {3u, 7u, 1000u, 65537u}) centres.push_back(centres[2] / part);
  const EdgeTimeRule rule(c.tick, c.rate);
  for (const uint64_t centre : centres) {
    const uint64_t last = centre > kMax - 3 ? kMax : centre + 3;
    for (uint64_t at = centre < 3 ? 0 : centre - 3;; ++at) {
      const Wide exact = (static_cast<Wide>(at) * n + (d - 1)) / d;
      uint64_t sample = 0;
      ASSERT_EQ(rule.FirstSample(at, &sample), exact <= kMax) << "tick " << at;
      if (exact <= kMax) {
        EXPECT_EQ(sample, static_cast<uint64_t>(exact)) << "tick " << at;
      }
      if (at == last) break;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, EdgeTimeSweep,
    ::testing::Values(SweepCase{"sample_period_ticks", {20, 1000000000}, 50000000},
                      SweepCase{"ns_at_50mhz", {1, 1000000000}, 50000000},
                      SweepCase{"ten_ns_at_10mhz", {10, 1000000000}, 10000000},
                      SweepCase{"third_ns", {1, 3000000000}, 50000000},
                      SweepCase{"24mhz", {1, 24000000}, 50000000},
                      SweepCase{"us_at_50mhz", {1, 1000000}, 50000000},
                      SweepCase{"seconds", {1, 1}, 10000000},
                      SweepCase{"odd_seconds", {7, 3}, 10000000},
                      SweepCase{"tiny_ticks", {1, kMax}, 10000000},
                      SweepCase{"prime_denominator", {3, 0xFFFFFFFFFFFFFFC5ull}, 10000000},
                      SweepCase{"half_range_denominator", {5, 0x8000000000000001ull}, 50000000},
                      SweepCase{"billion_and_seven", {1, 1000000007}, 20000000}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace velix::interchange

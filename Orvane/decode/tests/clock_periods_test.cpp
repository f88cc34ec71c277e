#include <gtest/gtest.h>

#include <vector>

#include "Orvane/decode/clock_periods.h"

namespace orvane {
namespace {

struct MedianCase {
  std::vector<uint64_t> periods;
  bool found;
  bool beyond_range;
  uint32_t clocks;
};

class LowerMedian : public ::testing::TestWithParam<MedianCase> {};

TEST_P(LowerMedian, IsTheMeasuredPeriodAtTheMiddleRank) {
  PeriodHistogram histogram;
  for (const uint64_t p : GetParam().periods) histogram.Add(p);
  const MedianPeriod median = histogram.LowerMedian();
  EXPECT_EQ(histogram.Count(), GetParam().periods.size());
  EXPECT_EQ(median.found, GetParam().found);
  EXPECT_EQ(median.beyond_range, GetParam().beyond_range);
  if (median.found && !median.beyond_range) {
    EXPECT_EQ(median.clocks, GetParam().clocks);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Periods, LowerMedian,
    ::testing::Values(MedianCase{{}, false, false, 0}, MedianCase{{25}, true, false, 25},
                      MedianCase{{25, 26}, true, false, 25}, MedianCase{{26, 25, 27}, true, false, 26},
                      MedianCase{{50, 50, 50, 10, 3000}, true, false, 50},
                      MedianCase{{kExactPeriodClocks - 1}, true, false, kExactPeriodClocks - 1},
                      MedianCase{{kExactPeriodClocks}, true, true, 0},
                      MedianCase{{5, kExactPeriodClocks, 1ull << 40}, true, true, 0},
                      MedianCase{{5, 5, 1ull << 40}, true, false, 5}));

}  // namespace
}  // namespace orvane

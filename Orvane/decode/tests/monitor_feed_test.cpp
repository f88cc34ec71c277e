#include "Orvane/decode/monitor_feed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Orvane/capture/run_result.h"
#include "Orvane/decode/decode_support.h"
#include "Orvane/decode/monitor_i2c.h"
#include "Orvane/decode/monitor_units.h"
#include "Orvane/decode/tests/monitor_test_support.h"

namespace orvane {
namespace {

using namespace orvane::testing;  // NOLINT: the unit builders

// The offline progress of a run: the percentage of the data consumed at
// the start of every batch of eight I2C units, posted whenever it changes
// (a capture read in larger batches posts the same percentages).
// A stream without STOP is one step, so the batches start at every 16th
// byte and once more where the whole units end.
std::vector<uint32_t> ExpectedPercents(uint32_t units, uint32_t total) {
  std::vector<uint32_t> percents;
  const uint32_t end = units * kI2CUnitBytes;
  for (uint32_t consumed = 0;; consumed = std::min(consumed + 16, end)) {
    const uint32_t percent = ProgressReporter::Compute(consumed, total);
    if (percents.empty() || percents.back() != percent) percents.push_back(percent);
    if (consumed == end) break;
  }
  return percents;
}

struct ProgressCase {
  uint32_t units;
  uint32_t trailing_bytes;
};

class MonitorFeedProgress : public MonitorDecodeTest, public ::testing::WithParamInterface<ProgressCase> {};

TEST_P(MonitorFeedProgress, PostsThePercentageOfEveryBatchThatChangesIt) {
  const ProgressCase c = GetParam();
  std::vector<uint16_t> units(c.units, Unit1(kAcked, 0x5A));
  units[0] = Unit1(kStart);
  std::string data = I2CUnits(units);
  data.append(c.trailing_bytes, '\0');
  ASSERT_EQ(Decode(data, RunMonitorI2CDecode), kResultDataEndOpen);
  std::vector<uint32_t> posted;
  while (const auto event = events_.Take(0)) {
    if (event->kind == RunEventKind::kProgress && event->a == 13) posted.push_back(event->b);
  }
  EXPECT_EQ(posted, ExpectedPercents(c.units, static_cast<uint32_t>(data.size())));
}

INSTANTIATE_TEST_SUITE_P(Sizes, MonitorFeedProgress,
                         ::testing::Values(ProgressCase{1, 0}, ProgressCase{7, 1}, ProgressCase{8, 0},
                                           ProgressCase{99, 1}, ProgressCase{100, 0}, ProgressCase{333, 1},
                                           ProgressCase{801, 0}, ProgressCase{4099, 1}, ProgressCase{12345, 0},
                                           // large enough for batches of 4 KiB
                                           ProgressCase{204800, 0}, ProgressCase{333333, 1}));

}  // namespace
}  // namespace orvane

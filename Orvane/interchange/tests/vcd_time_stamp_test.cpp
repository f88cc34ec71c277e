#include "Orvane/interchange/vcd_time_stamp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velix::interchange {
namespace {

struct StampCase {
  const char* name;
  std::vector<uint64_t> deltas;
};

class VcdTimeStampTest : public ::testing::TestWithParam<StampCase> {};

// After every step the line holds the running sum in decimal, whichever
// digits the step carried through.
TEST_P(VcdTimeStampTest, LineHoldsTheRunningSum) {
  VcdTimeStamp stamp;
  uint64_t time = 0;
  char line[VcdTimeStamp::kPutRoom];
  ASSERT_EQ(std::string(line, stamp.Put(line)), "#0\n");
  for (const uint64_t delta : GetParam().deltas) {
    stamp.Advance(delta);
    time += delta;
    ASSERT_EQ(std::string(line, stamp.Put(line)), "#" + std::to_string(time) + "\n") << "after adding " << delta;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, VcdTimeStampTest,
    ::testing::Values(StampCase{"zero_step", {0, 0}}, StampCase{"units_into_tens", {9, 1, 5, 5}},
                      StampCase{"tens_into_hundreds", {99, 1, 0, 98, 2}},
                      StampCase{"pair_overflow_with_carry", {42, 58, 100, 199, 1, 999, 1}},
                      StampCase{"run_of_nines", {999999, 1, 9999999, 1}},
                      StampCase{"jump_past_a_small_start", {7, 12345678901, 93, 4}},
                      StampCase{"many_small_steps", std::vector<uint64_t>(2500, 14)},
                      StampCase{"up_to_the_largest_time", {18446744073709551515ull, 99, 1}}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace velix::interchange

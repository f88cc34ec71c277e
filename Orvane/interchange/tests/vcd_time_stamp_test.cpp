#include "Orvane/interchange/vcd_time_stamp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
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
  ASSERT_EQ(std::string(line, stamp.Advance(0, line)), "#0\n");
  for (const uint64_t delta : GetParam().deltas) {
    time += delta;
    ASSERT_EQ(std::string(line, stamp.Advance(delta, line)), "#" + std::to_string(time) + "\n")
        << "after adding " << delta;
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
                      StampCase{"up_to_the_largest_time", {18446744073709551515ull, 99, 1}},
                      StampCase{"each_new_digit", {9, 1, 90, 900, 9000, 90000, 900000, 9000000, 90000000, 900000000}},
                      StampCase{"into_the_upper_digits", {9999, 1, 9999, 1, 0, 99999999, 1}},
                      StampCase{"small_steps_over_the_upper_digits", std::vector<uint64_t>(3000, 7)},
                      StampCase{"upper_digits_with_zeros_below", {100000007, 93, 99999900, 1}},
                      StampCase{"jump_from_one_digit_far_up", {3, 123456789012345, 5}},
                      StampCase{"upper_digits_grow", {9999999999999999, 1, 899999999999999, 100000000}}),
    [](const auto& p) { return std::string(p.param.name); });

// The table word of `n` as text, and what it should say.
std::string FourDigitsText(uint32_t n) {
  const uint64_t digits = VcdTimeStamp::FourDigitsLine(n);
  char text[8];
  std::memcpy(text, &digits, 8);
  return std::string(text, 8);
}
std::string DecimalLine(uint32_t n) {
  char expected[8] = {};
  std::snprintf(expected, sizeof expected, "%04u\n", n);
  return std::string(expected, 8);
}

class FourDigitsTest : public ::testing::TestWithParam<uint32_t> {};

// Every digit position, with and without carries between the pairs the
// digits are split into.
TEST_P(FourDigitsTest, MatchesTheDecimalText) {
  EXPECT_EQ(FourDigitsText(GetParam()), DecimalLine(GetParam()));
}

// The digits come from a table built at compile time: every entry counts.
TEST(FourDigits, EveryValueMatchesTheDecimalText) {
  for (uint32_t n = 0; n < 10000; ++n) ASSERT_EQ(FourDigitsText(n), DecimalLine(n));
}

INSTANTIATE_TEST_SUITE_P(Values, FourDigitsTest,
                         ::testing::Values(0u, 1u, 9u, 10u, 19u, 99u, 100u, 101u, 909u, 999u, 1000u, 1009u, 1234u,
                                           5050u, 8765u, 9900u, 9990u, 9999u));

}  // namespace
}  // namespace velix::interchange

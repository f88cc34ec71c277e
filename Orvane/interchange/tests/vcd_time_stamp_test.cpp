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
                      StampCase{"up_to_the_largest_time", {18446744073709551515ull, 99, 1}},
                      StampCase{"each_new_digit", {9, 1, 90, 900, 9000, 90000, 900000, 9000000, 90000000, 900000000}},
                      StampCase{"into_the_upper_digits", {99999999, 1, 99999999, 1, 0}},
                      StampCase{"upper_digits_with_zeros_below", {100000007, 93, 99999900, 1}},
                      StampCase{"jump_from_one_digit_far_up", {3, 123456789012345, 5}},
                      StampCase{"upper_digits_grow", {9999999999999999, 1, 899999999999999, 100000000}}),
    [](const auto& p) { return std::string(p.param.name); });

class EightDigitsTest : public ::testing::TestWithParam<uint64_t> {};

// Every digit position, with and without carries between the halves and
// pairs the digits are split into.
TEST_P(EightDigitsTest, MatchesTheDecimalText) {
  const uint64_t n = GetParam();
  const uint64_t digits = VcdTimeStamp::EightDigits(n);
  char text[9] = {};
  std::memcpy(text, &digits, 8);
  char expected[16];
  std::snprintf(expected, sizeof expected, "%08llu", static_cast<unsigned long long>(n));
  EXPECT_STREQ(text, expected);
}

INSTANTIATE_TEST_SUITE_P(Values, EightDigitsTest,
                         ::testing::Values(0, 1, 9, 10, 99, 100, 999, 1000, 9999, 10000, 10001, 99999, 100000, 1234567,
                                           9999999, 10000000, 12345678, 87654321, 90909090, 99990000, 10009999,
                                           99999999));

}  // namespace
}  // namespace velix::interchange

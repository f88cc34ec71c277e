#include "Orvane/interchange/sample_rate_text.h"

#include <gtest/gtest.h>

namespace velix::interchange {
namespace {

struct RateCase {
  std::string text;
  uint64_t numerator;    // 0: refused
  uint64_t denominator;  // or the start of the message
  std::string message = {};
};

TEST(SampleRateText, GivesTheExactTickOrAReason) {
  const RateCase cases[] = {
      {"24 MHz", 1, 24000000},
      {"24MHz", 1, 24000000},
      {"200 kHz", 1, 200000},
      {"1 GHz", 1, 1000000000},
      {"100 Hz", 1, 100},
      {"24000000", 1, 24000000},
      {"1.5 MHz", 1, 1500000},
      {"12.5 kHz", 1, 12500},
      {"1.5 Hz", 2, 3},
      {"0.5 Hz", 2, 1},
      {"3.125 GHz", 1, 3125000000},
      {"1.0000001 GHz", 1, 1000000100},
      {"0.000000000000000001", 1000000000000000000, 1},
      {"18446744073709551615", 1, 18446744073709551615u},
      {"0 MHz", 0, 0, "sample rate \"0 MHz\" is 0"},
      {"0.0", 0, 0, "sample rate \"0.0\" is 0"},
      {"", 0, 0, "sample rate \"\" is not a number"},
      {"MHz", 0, 0, "sample rate \"MHz\" is not a number"},
      {".5 MHz", 0, 0, "sample rate \".5 MHz\" is not a number"},
      {"5. MHz", 0, 0, "sample rate \"5. MHz\" is not a number"},
      {"1.2.3 MHz", 0, 0, "sample rate \"1.2.3 MHz\" is not a number"},
      {"-1 MHz", 0, 0, "sample rate \"-1 MHz\" is not a number"},
      {"24 mhz", 0, 0, "sample rate \"24 mhz\" is not a number"},
      {"24 MHz junk", 0, 0, "sample rate \"24 MHz junk\" is not a number"},
      {"24 THz", 0, 0, "sample rate \"24 THz\" is not a number"},
      {"18446744073709551616", 0, 0, "sample rate \"18446744073709551616\" has too many digits"},
      {"0.0000000000000000001", 0, 0, "sample rate \"0.0000000000000000001\" has too many digits"},
      {"18446744073709552 kHz", 0, 0, "sample rate \"18446744073709552 kHz\" is too high"},
      {"1\x1b[2J MHz", 0, 0, "sample rate \"1?[2J MHz\" is not a number"},
  };
  for (const RateCase& c : cases) {
    SCOPED_TRACE(c.text);
    TickLength tick{7, 7};
    std::string error;
    const bool parsed = ParseSampleRate(c.text, &tick, &error);
    if (c.numerator == 0) {
      EXPECT_FALSE(parsed);
      EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
    } else {
      ASSERT_TRUE(parsed) << error;
      EXPECT_EQ(tick.numerator, c.numerator);
      EXPECT_EQ(tick.denominator, c.denominator);
    }
  }
}

}  // namespace
}  // namespace velix::interchange

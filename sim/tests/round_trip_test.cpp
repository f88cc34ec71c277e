// Scenario -> atoms -> walked states must equal the waveform evaluated sample
// by sample, and the ground truth's clocks must point at the right edges.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "atom_walk.h"
#include "scenarios_for_tests.h"
#include "sim/sampler.h"
#include "sim/synthesizer.h"

namespace velix::sim {
namespace {

struct RoundTripCase {
  const char* name;
  std::string scenario;
  uint8_t rate_code;
  uint32_t filter_samples;  // matches the scenario's NoiseFilter
  PaddingStyle padding;
};

std::vector<RoundTripCase> Cases() {
  std::vector<RoundTripCase> cases;
  const std::pair<const char*, std::string> scenarios[] = {
      {"I2c", testing::kI2cScenario},
      {"I2cBus1Filtered", std::string("bus i2c1\nset NoiseFilter 2\n") +
                              "start\naddr 0x21 w\nglitch scl 20ns\nwrite 5A\nglitch sda 30ns\nstop\n"},
      {"Spi", testing::kSpiScenario},
      {"SpiMode3LsbFirst", "bus spi\nss active-high\nmode 3\nlsb-first\nsclk 2.5m\nselect\nxfer mosi=12,34 "
                           "miso=C3,3C gap=3us\ndeselect\nidle 50us\n"},
      {"SpiLongIdle", "bus spi\nss none\nmode 1\nxfer mosi=01\nidle 2ms\nxfer miso=80\n"},
  };
  for (const auto& [name, text] : scenarios) {
    const uint32_t filter = std::string(name) == "I2cBus1Filtered" ? 3 : 1;
    for (uint8_t rate : {uint8_t{2}, uint8_t{5}, uint8_t{10}}) {
      for (PaddingStyle padding : {PaddingStyle::kCarryPeriods, PaddingStyle::kZeroCount}) {
        cases.push_back({name, text, rate, filter, padding});
      }
    }
  }
  return cases;
}

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, WalkedAtomsEqualTheSampledWaveform) {
  const RoundTripCase& c = GetParam();
  SynthOptions options;
  options.rate_code = c.rate_code;
  options.padding = c.padding;
  SynthPlan plan;
  std::string error;
  ASSERT_TRUE(PrepareSynthesis(c.scenario, options, &plan, &error)) << error;
  SynthResult result;
  ASSERT_TRUE(SynthesizeToMemory(c.scenario, options, 1 << 24, &result, &error)) << error;

  const uint64_t samples = plan.pass_length / c.rate_code;
  std::vector<uint8_t> expected = testing::DirectSamples(plan.waveform, c.rate_code, samples);
  if (c.filter_samples > 1) expected = testing::DirectFilter(expected, c.filter_samples);
  std::vector<uint8_t> rendered;
  ASSERT_TRUE(RenderSampleStates(plan.waveform, c.rate_code, c.filter_samples, samples, &rendered));
  // The rendering stops at the waveform's end; the capture runs to the pass end.
  ASSERT_EQ(rendered.size(), (plan.waveform.end_time + c.rate_code - 1) / c.rate_code);
  EXPECT_TRUE(std::equal(rendered.begin(), rendered.end(), expected.begin()));
  const testing::WalkResult walk = testing::WalkAtoms(result.data);
  ASSERT_FALSE(walk.alignment_error);
  ASSERT_EQ(walk.states.size(), expected.size());
  for (size_t k = 0; k < expected.size(); ++k) ASSERT_EQ(walk.states[k], expected[k]) << "sample " << k;
}

TEST_P(RoundTrip, TruthClocksPointAtTheOpeningAndClosingEdges) {
  const RoundTripCase& c = GetParam();
  SynthOptions options;
  options.rate_code = c.rate_code;
  SynthResult result;
  std::string error;
  ASSERT_TRUE(SynthesizeToMemory(c.scenario, options, 1 << 24, &result, &error)) << error;
  const testing::WalkResult walk = testing::WalkAtoms(result.data);
  ASSERT_FALSE(result.truth.transactions.empty());
  const bool i2c = result.truth.is_i2c();
  const int shift = result.truth.bus == "i2c1" ? 2 : 0;
  for (const TruthTransaction& t : result.truth.transactions) {
    if (!t.exact) continue;
    ASSERT_GT(t.start_clock, 0u);
    ASSERT_LT(t.start_clock, walk.states.size());
    const uint8_t before = walk.states[t.start_clock - 1];
    const uint8_t at = walk.states[t.start_clock];
    if (i2c) {
      // START: SDA falls while SCL stays high.
      EXPECT_EQ((before >> shift) & 3, 3) << t.index;
      EXPECT_EQ((at >> shift) & 3, 1) << t.index;
      if ((t.start_end & 0x10) != 0) {
        const uint64_t stop = t.start_clock + static_cast<uint64_t>(t.duration);
        EXPECT_EQ((walk.states[stop - 1] >> shift) & 3, 1) << t.index;
        EXPECT_EQ((walk.states[stop] >> shift) & 3, 3) << t.index;
      }
    } else if ((t.start_end & 0x01) != 0) {
      EXPECT_NE(before & 1, at & 1) << t.index;  // SS changed here
    } else {
      EXPECT_NE(before & 2, at & 2) << t.index;  // SCLK changed here
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, RoundTrip, ::testing::ValuesIn(Cases()), [](const auto& param_info) {
  const RoundTripCase& c = param_info.param;
  return std::string(c.name) + "_Rate" + std::to_string(100 / c.rate_code) +
         (c.padding == PaddingStyle::kZeroCount ? "_ZeroPad" : "_CarryPad");
});

TEST(RoundTripRepeat, PassesRepeatExactlyAndTruthShifts) {
  SynthOptions options;
  options.repeat = 3;
  SynthPlan plan;
  SynthResult result;
  std::string error;
  ASSERT_TRUE(PrepareSynthesis(testing::kI2cScenario, options, &plan, &error)) << error;
  ASSERT_TRUE(SynthesizeToMemory(testing::kI2cScenario, options, 1 << 24, &result, &error)) << error;
  const uint64_t pass_samples = plan.pass_length / 2;
  const testing::WalkResult walk = testing::WalkAtoms(result.data);
  ASSERT_EQ(walk.states.size(), 3 * pass_samples);
  for (uint64_t k = 0; k < pass_samples; ++k) {
    ASSERT_EQ(walk.states[k], walk.states[k + pass_samples]);
    ASSERT_EQ(walk.states[k], walk.states[k + 2 * pass_samples]);
  }
  const auto& txs = result.truth.transactions;
  ASSERT_EQ(txs.size() % 3, 0u);
  const size_t per_pass = txs.size() / 3;
  EXPECT_EQ(txs[per_pass].index, per_pass);
  EXPECT_EQ(txs[per_pass].start_clock, txs[0].start_clock + pass_samples);
}

TEST(RoundTripRepeat, TargetSizeIsExactAndRefusesOpenEndings) {
  SynthOptions options;
  options.target_size = 200'001;
  SynthResult result;
  std::string error;
  ASSERT_TRUE(SynthesizeToMemory(testing::kSpiScenario, options, 1 << 24, &result, &error)) << error;
  EXPECT_EQ(result.data.size(), 200'001u);
  EXPECT_FALSE(testing::WalkAtoms(result.data).alignment_error);
  EXPECT_FALSE(SynthesizeToMemory("start\naddr 0x50 w\n", options, 1 << 24, &result, &error));
  EXPECT_NE(error.find("cannot be repeated"), std::string::npos) << error;
}

}  // namespace
}  // namespace velix::sim

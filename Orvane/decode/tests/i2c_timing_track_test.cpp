// The timing the decoder measures while it reads must be what a walk over
// each record's atoms finds: same Status bits, same timing records.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Orvane/capture/atom_walker.h"
#include "Orvane/decode/i2c_analyzer.h"
#include "Orvane/decode/i2c_timing.h"
#include "Orvane/decode/tests/analyzer_test_support.h"
#include "Orvane/decode/tests/random_timing_scenario.h"
#include "sim/synthesizer.h"

namespace orvane {
namespace {

using analyzer_test::Harness;
using analyzer_test::I2CWave;
using analyzer_test::Outcome;

// Limits in the middle of what the traffic below does, so that every check
// fails on some records and passes on others.
SettingsRecord TightLimits(SettingsRecord s) {
  s.tHD_STA = s.tSU_STA = s.tSU_STO = 600;
  s.tBUF = 1300;
  s.tLOW = 1300;
  s.tHIGH = 600;
  s.tHD_DAT = 900;
  s.tSU_DAT = 100;
  s.tHD_STA_HS = s.tSU_STA_HS = s.tSU_STO_HS = 160;
  s.tLOW_HS = 160;
  s.tHIGH_HS = 60;
  s.tHD_DAT_HS = 70;
  s.tSU_DAT_HS = 10;
  return s;
}

// The records and timing records as the decoder leaves them.
Outcome DecodeMeasuring(const std::vector<uint8_t>& data, const SettingsRecord& settings) {
  Harness h;
  return h.RunOffline(RunI2CAnalyzerDecode, data, settings);
}

// The reference: the records decoded without timing, then every record
// verified by walking its atoms, in decode order.
Outcome DecodeThenWalk(const std::vector<uint8_t>& data, const SettingsRecord& settings) {
  Harness h;
  Outcome out;
  if (!h.OpenFile(data)) return out;
  DecodeContext ctx{h.Sampling(), settings, h.Events()};
  ctx.verify_timing = false;
  out.result = RunI2CAnalyzerDecode(ctx);
  TransactionStore& store = h.Sampling().Records();
  AtomWalker walker(h.Sampling());
  I2CTimingVerifier verifier(walker, store, settings, h.Sampling().m_lenSamplingDataInBuffer);
  for (RecordRef ref = store.Head(); ref != kNoRecord; ref = store.At(ref).Next) verifier.Verify(ref);
  walker.Release();
  h.Collect(&out);
  return out;
}

void ExpectSameResults(const std::vector<uint8_t>& data, const SettingsRecord& settings) {
  const Outcome measured = DecodeMeasuring(data, settings);
  const Outcome walked = DecodeThenWalk(data, settings);
  EXPECT_EQ(measured.result, walked.result);
  ASSERT_EQ(measured.records.size(), walked.records.size());
  ASSERT_FALSE(measured.records.empty());
  for (size_t i = 0; i < measured.records.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(measured.records[i].Status, walked.records[i].Status);
    EXPECT_EQ(std::memcmp(&measured.records[i], &walked.records[i], sizeof(TransactionInfo)), 0);
    EXPECT_EQ(std::memcmp(&measured.timings[i], &walked.timings[i], sizeof(TimingInfo)), 0);
  }
}

struct RandomCase {
  uint32_t seed;
  uint8_t rate_code;  // 2 = 50 MHz, 5 = 20 MHz, 10 = 10 MHz
};

class MeasuredTimingOnRandomTraffic : public ::testing::TestWithParam<RandomCase> {};

TEST_P(MeasuredTimingOnRandomTraffic, EqualsTheWalk) {
  const std::string text = analyzer_test::RandomTimingScenario(
      GetParam().seed, {.transactions = 12, .repeated_start_chains = true, .shortest_idle_us = 1});
  SCOPED_TRACE(text);
  velix::sim::SynthOptions options;
  options.rate_code = GetParam().rate_code;
  velix::sim::SynthResult synth;
  std::string error;
  ASSERT_TRUE(velix::sim::SynthesizeToMemory(text, options, 64u << 20, &synth, &error)) << error;
  ExpectSameResults(synth.data, TightLimits(synth.settings));
}

std::vector<RandomCase> RandomCases() {
  std::vector<RandomCase> cases;
  for (uint32_t seed = 1; seed <= 8; ++seed) {
    for (const uint8_t rate : {uint8_t{2}, uint8_t{5}, uint8_t{10}}) cases.push_back({seed, rate});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(SeedsAndRates, MeasuredTimingOnRandomTraffic, ::testing::ValuesIn(RandomCases()));

// Atom streams the decoder cannot measure alone: the walk must still decide.
struct OddCase {
  const char* name;
  void (*build)(I2CWave& wave);
  uint8_t forced_display;
};

void Write(I2CWave& wave) {
  wave.Start();
  wave.Byte(0xA0);
  wave.Byte(0x11);
}

const OddCase kOddCases[] = {
    {"lines change within the clock after a STOP",
     [](I2CWave& w) {
       Write(w);
       w.Stop();
       // SCL falls and rises again without a clock passing.
       w.Stream().PutShort(0x0E, 0);
       w.Stream().PutShort(0x0F, 0);
       w.Start();
       w.Byte(0xA1);
       w.Stop();
     },
     0},
    {"a repeated-START chain longer than the kept measurements",
     [](I2CWave& w) {
       w.Start();
       for (int i = 0; i < 80; ++i) {
         w.Byte(static_cast<uint8_t>(0xA0 + (i & 1)));
         w.RepeatedStart();
       }
       w.Byte(0xA1);
       w.Stop();
     },
     0},
    {"the other bus changes after the last SCL rise before a repeated START",
     [](I2CWave& w) {
       Write(w);
       // Bus #0 lines with bus #1 idle high: SDA up, SCL up, S3 down, SDA
       // down (the repeated START).
       w.Stream().Change(20, 0x0E);
       w.Stream().Change(20, 0x0F);
       w.Stream().Change(5, 0x07);
       w.Stream().Change(10, 0x05);
       w.Byte(0xA1);
       w.Stop();
     },
     1},
    {"a repeated START with no clock before it",
     [](I2CWave& w) {
       w.Start();
       w.RepeatedStart();
       w.Byte(0xA1);
       w.Stop();
     },
     0},
    {"the data end within a transaction",
     [](I2CWave& w) {
       Write(w);
       w.Stop();
       w.Start();
       w.Byte(0xA0);
     },
     0},
};

class MeasuredTimingOnOddStreams : public ::testing::TestWithParam<OddCase> {};

TEST_P(MeasuredTimingOnOddStreams, EqualsTheWalk) {
  I2CWave wave(1, {40, 20, 3, 20, 20, 20, 50});
  GetParam().build(wave);
  SettingsRecord s = TightLimits(analyzer_test::RelaxedI2CSettings());
  s.SamplePeriodCode = 2;
  s.ForcedDisplay = GetParam().forced_display;
  ExpectSameResults(wave.Finish(), s);
}

INSTANTIATE_TEST_SUITE_P(Streams, MeasuredTimingOnOddStreams, ::testing::ValuesIn(kOddCases),
                         [](const auto& param) { return "Case" + std::to_string(param.index); });

}  // namespace
}  // namespace orvane

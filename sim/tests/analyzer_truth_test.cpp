// Expected decoder results for small scenarios, written out by hand from the
// decoders' rules.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scenarios_for_tests.h"
#include "sim/ground_truth.h"
#include "sim/synthesizer.h"

namespace velix::sim {
namespace {

struct TruthCase {
  const char* name;
  std::string scenario;
  CaptureMode mode;
  std::vector<std::string> expected;  // the fields that do not depend on timing
};

std::string Summary(const GroundTruth& truth, const TruthTransaction& t) {
  std::string line = FormatTruthTransaction(truth, t);
  // Drop the timing and position fields, which the round-trip tests cover.
  std::string out;
  size_t begin = 0;
  while (begin < line.size()) {
    size_t end = line.find_first_of(" \n", begin);
    if (end == std::string::npos) end = line.size();
    const std::string token = line.substr(begin, end - begin);
    const std::string key = token.substr(0, token.find('='));
    if (key != "tx" && key != "index" && key != "start" && key != "dur" && key != "exact" &&
        (truth.mode == "monitor" || (key != "pos" && key != "len"))) {
      out += (out.empty() ? "" : " ") + token;
    }
    begin = end + 1;
  }
  return out;
}

const std::string kHsScenario = "start\nhs-code 2\nstart\naddr 0x50 w\nwrite 01 02\nstop\n";

std::vector<TruthCase> Cases() {
  const auto A = CaptureMode::kAnalyzer;
  const auto M = CaptureMode::kMonitor;
  return {
      {"I2cDemo", testing::kI2cScenario, A,
       {"se=0x11 status=0x0000 bits=27 addr=0x050 flags=0x00 bytes=A0,00,10 acks=000",
        "se=0x21 status=0x0000 bits=18 addr=0x050 flags=0x00 bytes=A0,00 acks=00",
        "se=0x12 status=0x0000 bits=36 addr=0x050 flags=0x02 bytes=A1,11,22,33 acks=0001",
        "se=0x21 status=0x0000 bits=27 addr=0x2A5 flags=0x01 bytes=F4,A5,AA acks=000",
        "se=0x12 status=0x0000 bits=18 addr=0x2A5 flags=0x03 bytes=F5,5A acks=01",
        "se=0x11 status=0x0000 bits=9 addr=0x033 flags=0x00 bytes=66 acks=1"}},
      {"NackBeforeStopCountsWhenNotIgnored", "set IgnoreNackBeforeStop 0\nstart\naddr 0x33 w nack\nstop\n", A,
       {"se=0x11 status=0x0000 bits=9 addr=0x033 flags=0x04 bytes=66 acks=1"}},
      {"NackInsideTransfer", "start\naddr 0x20 w\nwrite 01! 02\nstop\n", A,
       {"se=0x11 status=0x0000 bits=27 addr=0x020 flags=0x04 bytes=40,01,02 acks=010"}},
      {"HsEnabled", "set HsEnable 1\n" + kHsScenario, A,
       {"se=0x21 status=0x0000 bits=9 addr=0x005 flags=0x20 bytes=0A acks=1",
        "se=0x12 status=0x0000 bits=27 addr=0x050 flags=0x10 bytes=A0,01,02 acks=000"}},
      {"HsDisabled", kHsScenario, A,
       {"se=0x21 status=0x0000 bits=9 addr=0x005 flags=0x04 bytes=0A acks=1",
        "se=0x12 status=0x0000 bits=27 addr=0x050 flags=0x00 bytes=A0,01,02 acks=000"}},
      {"EightBitsThenStop", "start\nbits 10100000\nstop\n", A,
       {"se=0x11 status=0x0001 bits=8 addr=0x050 flags=0x00 bytes=A0 acks=0"}},
      {"DataEndsInsideTransaction", "start\naddr 0x50 w\n", A,
       {"se=0x81 status=0x0000 bits=9 addr=0x050 flags=0x00 bytes=A0 acks=0"}},
      {"CorruptAtomClosesAsBadData", "start\naddr 0x50 w\nbits 1\ncorrupt-atom\nwrite 12\nstop\n", A,
       {"se=0x81 status=0x0081 bits=10 addr=0x050 flags=0x00 bytes=A0,01 acks=00"}},
      {"SpiDemo", testing::kSpiScenario, A,
       {"se=0x11 status=0x0000 bits=24 miso=FF,EF,40 mosi=9F,00,00",
        "se=0x11 status=0x0001 bits=12 miso=5A,0F mosi=A5,00"}},
      {"SpiDataLengthCuts", "bus spi\nset SpiDataLength 4\nselect\nxfer mosi=00010203040506070809\ndeselect\n", A,
       {"se=0x21 status=0x0000 bits=32 miso=00,00,00,00 mosi=00,01,02,03",
        "se=0x22 status=0x0000 bits=32 miso=00,00,00,00 mosi=04,05,06,07",
        "se=0x12 status=0x0000 bits=16 miso=00,00 mosi=08,09"}},
      {"SpiTimeoutWithoutSs", "bus spi\nss none\nset SpiSclkTimeout 1\nxfer mosi=11\nidle 5ms\nxfer mosi=22\nidle 2ms\n",
       A,
       {"se=0x42 status=0x0000 bits=8 miso=00 mosi=11", "se=0x42 status=0x0000 bits=8 miso=00 mosi=22"}},
      {"SpiLsbFirst", "bus spi\nlsb-first\nmode 2\nselect\nxfer mosi=01 miso=80\ndeselect\n", A,
       {"se=0x11 status=0x0000 bits=8 miso=80 mosi=01"}},
      {"MonitorI2cStopAndStartShareAUnit", "start\naddr 0x50 w\nstop\nstart\naddr 0x51 w\nstop\n", M,
       {"se=0x55 status=0x0000 bits=1 pos=0 len=2 addr=0x050 flags=0x00 bytes=A0 acks=0",
        "se=0x19 status=0x0000 bits=1 pos=2 len=2 addr=0x051 flags=0x00 bytes=A2 acks=0"}},
      {"MonitorI2cDataAndStopShareAUnit", "start\naddr 0x50 w\nwrite 01\nstop\n", M,
       {"se=0x15 status=0x0000 bits=2 pos=0 len=2 addr=0x050 flags=0x00 bytes=A0,01 acks=00"}},
      {"MonitorI2cSingle", "monitor-packing single\nstart\naddr 0x50 w\nstop\n", M,
       {"se=0x19 status=0x0000 bits=1 pos=0 len=4 addr=0x050 flags=0x00 bytes=A0 acks=0"}},
      {"MonitorI2cRepeatedStart", "start\naddr 0x50 w\nwrite 00\nstart\naddr 0x50 r\nread 42\nstop\n", M,
       {"se=0x65 status=0x0000 bits=2 pos=0 len=2 addr=0x050 flags=0x00 bytes=A0,00 acks=00",
        "se=0x1A status=0x0000 bits=2 pos=2 len=4 addr=0x050 flags=0x02 bytes=A1,42 acks=01"}},
      {"MonitorSpi", testing::kSpiScenario, M,
       {"se=0x11 status=0x0000 bits=3 pos=0 len=16 miso=FF,EF,40 mosi=9F,00,00",
        "se=0x11 status=0x0000 bits=1 pos=20 len=8 miso=5A mosi=A5"}},
      {"MonitorSpiEmptyUnitsTimeOut", "bus spi\nss none\nset SpiSclkTimeout 2000\nxfer mosi=33\nidle 2.5s\n", M,
       {"se=0x42 status=0x0000 bits=1 pos=0 len=8 miso=00 mosi=33"}},
  };
}

class AnalyzerTruth : public ::testing::TestWithParam<TruthCase> {};

TEST_P(AnalyzerTruth, MatchesTheDecoderRules) {
  const TruthCase& c = GetParam();
  SynthOptions options;
  options.mode = c.mode;
  SynthResult result;
  std::string error;
  ASSERT_TRUE(SynthesizeToMemory(c.scenario, options, 1 << 24, &result, &error)) << error;
  std::vector<std::string> actual;
  for (const TruthTransaction& t : result.truth.transactions) actual.push_back(Summary(result.truth, t));
  EXPECT_EQ(actual, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, AnalyzerTruth, ::testing::ValuesIn(Cases()),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace velix::sim

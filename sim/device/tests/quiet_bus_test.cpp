// When its source runs out the simulated analyzer behaves like a real one on
// a quiet bus: bus analyzer mode goes on sampling and sends atoms that hold
// the lines, monitor mode sends nothing; only on request does it end the
// stream itself.
#include <gtest/gtest.h>

#include <string>

#include "Orvane/capture/sample_atom.h"
#include "device_commands.h"
#include "reader_host.h"
#include "sim/device/idle_line.h"
#include "sim/device/simulated_device.h"
#include "sim/tests/scenarios_for_tests.h"

namespace velix::sim {
namespace {

using testing::kAnalyzerStart;
using testing::kMonitorStart;
using testing::ReaderHost;
using testing::Send;

// Every atom of `bytes`, read from stream position `from` of a stream whose
// atoms are aligned there.
std::vector<orvane::SampleAtom> Atoms(const std::vector<uint8_t>& bytes, size_t from) {
  std::vector<orvane::SampleAtom> atoms;
  size_t at = from;
  while (at < bytes.size()) {
    const orvane::SampleAtom atom = orvane::DecodeAtom(&bytes[at], (at & 1) != 0, at + 1 < bytes.size());
    atoms.push_back(atom);
    if (atom.size == orvane::kAtomAlignError) break;
    at += atom.size;
  }
  return atoms;
}

struct FillCase {
  const char* name;
  uint8_t state;
  bool odd;
  size_t size;
};

class IdleFillTest : public ::testing::TestWithParam<FillCase> {};

TEST_P(IdleFillTest, AtomsHoldTheStateAndStayAligned) {
  const FillCase& c = GetParam();
  // A leading byte puts the fill at an odd stream position.
  std::vector<uint8_t> stream(c.size + (c.odd ? 1 : 0), 0);
  if (c.odd) stream[0] = orvane::EncodeShortAtom(c.state, 0);
  FillIdleAtoms(c.state, c.odd, std::span<uint8_t>(stream).subspan(c.odd ? 1 : 0));
  uint64_t periods = 0;
  size_t bytes = 0;
  for (const orvane::SampleAtom& atom : Atoms(stream, c.odd ? 1 : 0)) {
    ASSERT_NE(atom.size, orvane::kAtomAlignError);
    EXPECT_EQ(atom.state, c.state);
    periods += atom.count;
    bytes += atom.size;
  }
  EXPECT_EQ(bytes, c.size);
  // Mostly long atoms: a quiet second costs little bandwidth.
  EXPECT_GE(periods, c.size / 2 * (orvane::kLongAtomMaxCount - 8));
  EXPECT_EQ(FinalLineState(stream), c.size == 0 && !c.odd ? 0x0F : c.state);
}

INSTANTIATE_TEST_SUITE_P(
    Fills, IdleFillTest,
    ::testing::Values(FillCase{"EvenLong", 0x0F, false, 4096}, FillCase{"OddStart", 0x03, true, 4096},
                      FillCase{"OddLength", 0x0C, false, 511}, FillCase{"OneByte", 0x05, true, 1},
                      FillCase{"Empty", 0x0A, false, 0}),
    [](const ::testing::TestParamInfo<FillCase>& param_info) { return std::string(param_info.param.name); });

struct QuietBusCase {
  const char* name;
  const char* scenario;
  bool analyzer;
  uint64_t bytes_per_second;
};

class QuietBusTest : public ::testing::TestWithParam<QuietBusCase> {};

TEST_P(QuietBusTest, SourceRunningOutDoesNotEndTheStream) {
  const QuietBusCase& c = GetParam();
  SynthOptions options;
  options.mode = c.analyzer ? CaptureMode::kAnalyzer : CaptureMode::kMonitor;
  SynthResult expected;
  std::string error;
  ASSERT_TRUE(SynthesizeToMemory(c.scenario, options, 1 << 24, &expected, &error)) << error;

  SimulatedDevice device;
  device.SetAnalyzerImage(c.analyzer);
  device.Plug();
  ASSERT_TRUE(device.LoadScenario(c.scenario, options, 1 << 24, &error)) << error;
  device.SetStreamConfig({c.bytes_per_second, 0, true});
  ReaderHost host(&device, 4096);
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(Send(&device, c.analyzer ? kAnalyzerStart : kMonitorStart));
  const uint64_t quiet_bytes = 64 * 1024;
  const testing::HostResult result =
      host.Collect(expected.data.size() + quiet_bytes, std::chrono::milliseconds(c.analyzer ? 5000 : 300));

  EXPECT_FALSE(result.message.has_value());
  EXPECT_TRUE(device.streaming());
  ASSERT_GE(result.data.size(), expected.data.size());
  EXPECT_TRUE(std::equal(expected.data.begin(), expected.data.end(), result.data.begin()));
  if (!c.analyzer) {
    EXPECT_TRUE(result.timed_out);
    EXPECT_EQ(result.data.size(), expected.data.size());
    return;
  }
  ASSERT_GE(result.data.size(), expected.data.size() + quiet_bytes);
  const uint8_t last_state = FinalLineState(expected.data);
  const std::vector<orvane::SampleAtom> all = Atoms(result.data, 0);
  ASSERT_NE(all.back().size, orvane::kAtomAlignError);
  const std::vector<orvane::SampleAtom> quiet = Atoms(result.data, expected.data.size());
  for (const orvane::SampleAtom& atom : quiet) EXPECT_EQ(atom.state, last_state);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, QuietBusTest,
    ::testing::Values(QuietBusCase{"I2cAnalyzerUnpaced", testing::kI2cScenario, true, 0},
                      QuietBusCase{"SpiAnalyzerPaced", testing::kSpiScenario, true, 4'000'000},
                      QuietBusCase{"I2cMonitor", testing::kI2cScenario, false, 0}),
    [](const ::testing::TestParamInfo<QuietBusCase>& param_info) { return std::string(param_info.param.name); });

TEST(QuietBusTest, EndAtSourceEndSendsTheEndOfDataMessage) {
  SimulatedDevice device;
  device.Plug();
  device.SetStreamData(std::make_shared<const std::vector<uint8_t>>(1000, orvane::EncodeShortAtom(0x0F, 3)));
  device.SetStreamConfig({0, 0, false, true});
  ReaderHost host(&device, 512);
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(Send(&device, kAnalyzerStart));
  const testing::HostResult result = host.Collect();
  ASSERT_TRUE(result.message.has_value());
  EXPECT_EQ((*result.message)[1], kEndOfDataMessage[1]);
  EXPECT_EQ(result.data.size(), 1000u);
  EXPECT_FALSE(device.streaming());
}

}  // namespace
}  // namespace velix::sim

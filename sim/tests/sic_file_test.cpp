#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Orvane/capture/sic_header.h"
#include "scenarios_for_tests.h"
#include "sim/synthesizer.h"

namespace velix::sim {
namespace {

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct SicCase {
  const char* name;
  const char* scenario;
  CaptureMode mode;
  uint8_t rate_code;
  uint8_t channel;
};

const SicCase kSicCases[] = {
    {"I2cAnalyzer", testing::kI2cScenario, CaptureMode::kAnalyzer, 5, 1},
    {"I2cMonitor", testing::kI2cScenario, CaptureMode::kMonitor, 0, 1},
    {"SpiAnalyzer", testing::kSpiScenario, CaptureMode::kAnalyzer, 10, 0},
    {"SpiMonitor", testing::kSpiScenario, CaptureMode::kMonitor, 0, 0},
};

class SicFile : public ::testing::TestWithParam<SicCase> {};

TEST_P(SicFile, HeaderIsAcceptedAndDataMatchTheMemoryResult) {
  const SicCase& c = GetParam();
  const std::string base = ::testing::TempDir() + "sim_" + c.name;
  SynthOptions options;
  options.mode = c.mode;
  options.rate_code = c.rate_code;
  std::string error;
  ASSERT_TRUE(SynthesizeSicFile(c.scenario, options, base + ".SIC", base + ".truth", &error)) << error;
  const std::vector<uint8_t> file = ReadAll(base + ".SIC");
  ASSERT_TRUE(orvane::IsAcceptedSicHeader(file));
  const orvane::SettingsRecord settings =
      orvane::SettingsFromSicHeader(std::span<const uint8_t, orvane::kSicHeaderSize>(file.data(), orvane::kSicHeaderSize));
  EXPECT_EQ(settings.m_sizeSamplingBuf.Get(), file.size() - orvane::kSicHeaderSize);
  EXPECT_EQ(settings.m_AnalyzeBusChannel, c.channel);
  EXPECT_EQ(settings.MonitorMode, c.mode == CaptureMode::kMonitor ? 1 : 0);
  EXPECT_EQ(settings.SamplePeriodCode, c.rate_code == 0 ? 2 : c.rate_code);

  SynthResult memory;
  ASSERT_TRUE(SynthesizeToMemory(c.scenario, options, 1 << 24, &memory, &error)) << error;
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + orvane::kSicHeaderSize, file.end()), memory.data);
  const std::vector<uint8_t> truth_bytes = ReadAll(base + ".truth");
  GroundTruth truth;
  ASSERT_TRUE(ParseGroundTruth(std::string(truth_bytes.begin(), truth_bytes.end()), &truth, &error)) << error;
  EXPECT_EQ(truth, memory.truth);
  std::remove((base + ".SIC").c_str());
  std::remove((base + ".truth").c_str());
}

INSTANTIATE_TEST_SUITE_P(Table, SicFile, ::testing::ValuesIn(kSicCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(SicFileSettings, ScenarioOverridesReachTheHeader) {
  const std::string path = ::testing::TempDir() + "sim_overrides.SIC";
  std::string error;
  ASSERT_TRUE(SynthesizeSicFile("bus spi\nmode 1\nlsb-first\nset SpiSclkTimeout 25\nset NoiseFilter 3\nselect\n"
                                "xfer mosi=01\ndeselect\n",
                                {}, path, "", &error))
      << error;
  const std::vector<uint8_t> file = ReadAll(path);
  ASSERT_GE(file.size(), orvane::kSicHeaderSize);
  const orvane::SettingsRecord s =
      orvane::SettingsFromSicHeader(std::span<const uint8_t, orvane::kSicHeaderSize>(file.data(), orvane::kSicHeaderSize));
  EXPECT_EQ(s.SpiSamplingEdge, 2);
  EXPECT_EQ(s.SpiBitFlags & 1, 0);
  EXPECT_EQ(s.SpiSclkTimeout.Get(), 25u);
  EXPECT_EQ(s.NoiseFilter, 3);
  std::remove(path.c_str());
}

TEST(SicFileSettings, UnwritablePathIsAnError) {
  std::string error;
  EXPECT_FALSE(SynthesizeSicFile("start\nstop\n", {}, "/nonexistent-dir/x.SIC", "", &error));
  EXPECT_NE(error.find("cannot write"), std::string::npos);
}

}  // namespace
}  // namespace velix::sim

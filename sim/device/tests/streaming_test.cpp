// Streamed bytes reach a driver-like reader exactly, in order, at both
// packet sizes, from scenarios and from capture files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <numeric>
#include <string>

#include "device_commands.h"
#include "reader_host.h"
#include "sim/device/simulated_device.h"
#include "sim/tests/scenarios_for_tests.h"

namespace velix::sim {
namespace {

using testing::kAnalyzerStart;
using testing::kMonitorStart;
using testing::Packet;
using testing::ReaderHost;
using testing::Send;

const std::vector<uint8_t> kAnalyzerStop = Packet({0xC4});

StreamData Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
  return std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
}

struct ScenarioCase {
  const char* name;
  const char* scenario;
  bool analyzer;
  bool high_speed;
  uint32_t transfer_length;
  uint32_t max_transfer_bytes;
};

class ScenarioStreamTest : public ::testing::TestWithParam<ScenarioCase> {};

TEST_P(ScenarioStreamTest, ReaderReceivesTheSynthesizedBytesInOrder) {
  const ScenarioCase& c = GetParam();
  SynthOptions options;
  options.mode = c.analyzer ? CaptureMode::kAnalyzer : CaptureMode::kMonitor;
  options.repeat = 3;
  options.target_size = 33u * c.transfer_length + 100;
  SynthResult expected;
  std::string error;
  ASSERT_TRUE(SynthesizeToMemory(c.scenario, options, 1 << 24, &expected, &error)) << error;
  // Enough data for every slot to be reused several times.
  ASSERT_GT(expected.data.size(), 32u * c.transfer_length);

  SimulatedDevice device;
  device.SetAnalyzerImage(c.analyzer);
  device.SetHighSpeed(c.high_speed);
  device.Plug();
  ASSERT_TRUE(device.LoadScenario(c.scenario, options, 1 << 24, &error)) << error;
  device.SetStreamConfig({0, c.max_transfer_bytes, true, true});
  ReaderHost host(&device, c.transfer_length);
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(Send(&device, c.analyzer ? kAnalyzerStart : kMonitorStart));
  const testing::HostResult result = host.Collect();

  EXPECT_EQ(result.error, driver::kUsbdSuccess);
  ASSERT_TRUE(result.message.has_value());
  EXPECT_EQ((*result.message)[0], kEndOfDataMessage[0]);
  EXPECT_EQ((*result.message)[1], kEndOfDataMessage[1]);
  EXPECT_EQ(result.data, expected.data);
  const StreamRecord record = device.SentRecord();
  EXPECT_EQ(record.bytes, expected.data.size());
  EXPECT_EQ(record.checksum, StreamChecksum(kStreamChecksumSeed, expected.data));
  EXPECT_EQ(record.data, expected.data);
  EXPECT_FALSE(device.streaming());
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, ScenarioStreamTest,
    ::testing::Values(ScenarioCase{"I2cAnalyzerHighSpeed", testing::kI2cScenario, true, true, 4096, 0},
                      ScenarioCase{"I2cAnalyzerFullSpeed", testing::kI2cScenario, true, false, 512, 0},
                      ScenarioCase{"SpiAnalyzerOddChunks", testing::kSpiScenario, true, true, 1024, 1000},
                      ScenarioCase{"I2cMonitorFullSpeed", testing::kI2cScenario, false, false, 64, 0},
                      ScenarioCase{"SpiMonitorHighSpeed", testing::kSpiScenario, false, true, 2048, 0}),
    [](const ::testing::TestParamInfo<ScenarioCase>& param_info) { return std::string(param_info.param.name); });

class SicStreamTest : public ::testing::TestWithParam<bool> {};

TEST_P(SicStreamTest, ReplaysTheDataAfterTheHeaderByteForByte) {
  const std::string path = ::testing::TempDir() + "device_stream_" + std::to_string(GetParam()) + ".SIC";
  std::string error;
  SynthOptions options;
  options.target_size = 20'001;
  ASSERT_TRUE(SynthesizeSicFile(testing::kI2cScenario, options, path, "", &error)) << error;
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(file.size(), kSicHeaderSize + 20'001);
  const std::vector<uint8_t> expected(file.begin() + kSicHeaderSize, file.end());

  SimulatedDevice device;
  device.SetHighSpeed(GetParam());
  device.Plug();
  ASSERT_TRUE(device.LoadSicFile(path, 1 << 24, &error)) << error;
  device.SetStreamConfig({0, 0, false, true});
  ReaderHost host(&device, GetParam() ? 512 : 64);
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(Send(&device, kAnalyzerStart));
  const testing::HostResult result = host.Collect();
  EXPECT_TRUE(result.message.has_value());
  EXPECT_EQ(result.data, expected);
  EXPECT_EQ(device.SentRecord().checksum, StreamChecksum(kStreamChecksumSeed, expected));
  std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(PacketSizes, SicStreamTest, ::testing::Bool());

TEST(DeviceStreamTest, StopCommandEndsTheStreamWithoutAMessage) {
  SimulatedDevice device;
  device.Plug();
  device.SetStreamData(Pattern(1 << 20));
  device.SetStreamConfig({0, 0, true});
  ReaderHost host(&device, 4096);
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(Send(&device, kAnalyzerStart));
  testing::HostResult result = host.Collect(64 * 1024);
  ASSERT_TRUE(Send(&device, kAnalyzerStop));
  EXPECT_FALSE(device.streaming());
  const std::vector<uint8_t> tail = host.CancelAll();
  result.data.insert(result.data.end(), tail.begin(), tail.end());
  EXPECT_FALSE(result.message.has_value());
  const StreamRecord record = device.SentRecord();
  EXPECT_EQ(result.data, record.data);
  EXPECT_LT(record.bytes, uint64_t{1} << 20);
}

TEST(DeviceStreamTest, ByteRateLimitsTheStream) {
  SimulatedDevice device;
  device.Plug();
  device.SetStreamData(Pattern(40'000));
  device.SetStreamConfig({400'000, 0, false, true});
  ReaderHost host(&device, 4096);
  ASSERT_TRUE(host.Start());
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(Send(&device, kAnalyzerStart));
  const testing::HostResult result = host.Collect();
  const auto elapsed = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(result.data.size(), 40'000u);
  EXPECT_GE(elapsed, std::chrono::milliseconds(90));
}

TEST(DeviceStreamTest, StartCommandMustMatchTheLoadedImage) {
  SimulatedDevice device;
  device.SetAnalyzerImage(false);
  device.Plug();
  device.SetStreamData(Pattern(1000));
  ASSERT_TRUE(Send(&device, kAnalyzerStart));
  EXPECT_FALSE(device.streaming());
  ASSERT_TRUE(Send(&device, kMonitorStart));
  EXPECT_TRUE(device.streaming());
  ASSERT_TRUE(Send(&device, Packet({0xC6})));
  EXPECT_FALSE(device.streaming());
}

TEST(DeviceStreamTest, EmptySourceEndsAtOnceWhenAskedToEndAtTheSourceEnd) {
  SimulatedDevice device;
  device.Plug();
  device.SetStreamConfig({0, 0, false, true});
  ReaderHost host(&device, 512);
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(Send(&device, kAnalyzerStart));
  const testing::HostResult result = host.Collect();
  EXPECT_TRUE(result.data.empty());
  EXPECT_TRUE(result.message.has_value());
}

}  // namespace
}  // namespace velix::sim

// orvane-cli capture against a real velixd with the simulated analyzer: the
// saved file holds exactly the bytes the device streamed (from the start in
// oneshot, the latest ones oldest first in free run), carries the capture's
// settings and decodes; the device saw its start and stop commands.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "Orvane/capture/sic_header.h"
#include "driver/daemon/tests/daemon_process.h"
#include "sim/device/stream_source.h"
#include "tools/orvane-cli/tests/capture_support.h"

namespace orvane::testing {
namespace {

using velix::daemon::testing::DaemonProcess;

constexpr uint64_t kCaptureBytes = 2u << 20;  // --size 2 (the driver buffer, 1 MB, must be smaller)

std::string Scenario(const std::string& bus, const char* rate) {
  std::ostringstream text;
  text << "bus " << bus << "\nrate " << rate << "\n";
  if (bus == "spi") {
    text << "ss active-low\nmode 0\nsclk 8m\nselect\nxfer mosi=12,34,56,78 miso=AB,CD,EF,01\ndeselect\nidle 4us\n";
  } else {
    text << "scl 400k\nstart\naddr 0x50 w\nwrite 00 10\nstop\nidle 20us\nstart\naddr 0x50 r\nread 11 22\nstop\n"
            "idle 30us\n";
  }
  return text.str();
}

enum class Ending { kBufferFull, kDuration };

struct CaptureCase {
  const char* name;
  const char* bus;
  const char* rate;
  uint8_t bus_channel;
  bool monitor;
  bool free_run;
  Ending ending;
  uint64_t stream_bytes;
  uint64_t device_rate;
};

class CaptureTest : public ::testing::TestWithParam<CaptureCase> {};

TEST_P(CaptureTest, SavedFileHoldsTheStreamedBytesAndDecodes) {
  const CaptureCase& c = GetParam();
  DaemonProcess daemon(Scenario(c.bus, c.rate),
                       {"--size", std::to_string(c.stream_bytes), "--image", c.monitor ? "monitor" : "analyzer",
                        "--rate", std::to_string(c.device_rate)});
  ASSERT_TRUE(daemon.running());
  ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
  const std::string output = daemon.folder() + "/capture.SIC";
  std::vector<std::string> command = {ORVANE_CLI_PATH, "capture", "-o", output, "--size", "2", "--driver-buffer",
                                      "1", "--set", "m_AnalyzeBusChannel=" + std::to_string(c.bus_channel),
                                      "--csv", daemon.folder() + "/capture.csv", "--json",
                                      daemon.folder() + "/capture.jsonl"};
  if (c.free_run) command.insert(command.end(), {"--set", "FreeRun=1"});
  if (c.ending == Ending::kDuration) command.insert(command.end(), {"--duration", "0.6"});
  const CommandResult result = RunCommand(command);
  ::unsetenv("VELIX_RUNTIME_DIR");
  ASSERT_EQ(result.status, 0) << result.err;

  const std::vector<uint8_t> file = ReadFile(output);
  ASSERT_GT(file.size(), kSicHeaderSize);
  const std::span<const uint8_t> data = std::span<const uint8_t>(file).subspan(kSicHeaderSize);
  const uint64_t sent = std::stoull(DaemonProcess::Value(daemon.Sim("sent"), "bytes"));
  uint64_t first = 0;  // where in the stream the saved data begin
  if (c.free_run) {
    // The latest bytes, oldest first; the save starts at the first whole
    // monitor unit after the write position, so a few bytes may be missing
    // at the old end.
    ASSERT_LE(data.size(), kCaptureBytes);
    ASSERT_GE(data.size(), kCaptureBytes - 16);
    ASSERT_GT(sent, kCaptureBytes) << "the ring never wrapped";
    first = sent - data.size();
  } else if (c.ending == Ending::kBufferFull) {
    ASSERT_EQ(data.size(), kCaptureBytes);
  } else {
    ASSERT_EQ(data.size(), sent) << "the stop must drain everything the device sent";
  }
  const std::string actual = ChecksumText(data);
  const auto expected_at = [&](uint64_t offset) {
    return DaemonProcess::Value(
        daemon.Sim("checksum " + std::to_string(offset) + " " + std::to_string(data.size())), "checksum");
  };
  // The stop keeps every transfer the device had filled, so the free-run
  // ring ends exactly at the last byte sent.
  EXPECT_EQ(actual, expected_at(first)) << "the saved data are no part of the stream";

  const SettingsRecord settings =
      SettingsFromSicHeader(std::span<const uint8_t, kSicHeaderSize>(file.data(), kSicHeaderSize));
  EXPECT_EQ(settings.m_AnalyzeBusChannel, c.bus_channel);
  EXPECT_EQ(settings.MonitorMode, c.monitor ? 1 : 0);
  EXPECT_EQ(settings.FreeRun, c.free_run ? 1 : 0);
  const std::string received = daemon.Sim("received");
  const std::string stop = c.monitor ? "packet=c6000000000000000000" : "packet=c4000000000000000000";
  EXPECT_NE(received.find(c.monitor ? "packet=c6000000" : "packet=c4"), std::string::npos) << received;
  EXPECT_NE(received.find(stop), std::string::npos) << received;
  const std::vector<uint8_t> csv = ReadFile(daemon.folder() + "/capture.csv");
  EXPECT_GT(csv.size(), 100u);
  // One JSON object for each CSV row.
  const std::vector<uint8_t> json = ReadFile(daemon.folder() + "/capture.jsonl");
  EXPECT_EQ(std::count(json.begin(), json.end(), '\n'), std::count(csv.begin(), csv.end(), '\n'));
  EXPECT_EQ(std::string(json.begin(), json.begin() + std::min<size_t>(json.size(), 9)), "{\"index\":");
}

INSTANTIATE_TEST_SUITE_P(
    Modes, CaptureTest,
    ::testing::Values(
        CaptureCase{"AnalyzerI2c0At50", "i2c0", "50", 1, false, false, Ending::kBufferFull, 3u << 20, 5000000},
        CaptureCase{"AnalyzerI2c1At20", "i2c1", "20", 2, false, false, Ending::kBufferFull, 3u << 20, 5000000},
        CaptureCase{"AnalyzerSpiAt10", "spi", "10", 0, false, false, Ending::kBufferFull, 3u << 20, 5000000},
        CaptureCase{"AnalyzerStoppedEarly", "i2c0", "50", 1, false, false, Ending::kDuration, 1u << 20, 400000},
        CaptureCase{"MonitorI2cOneshot", "i2c0", "50", 1, true, false, Ending::kDuration, 512u << 10, 200000},
        CaptureCase{"MonitorSpiFreeRun", "spi", "50", 0, true, true, Ending::kDuration, 6u << 20, 5000000}),
    [](const ::testing::TestParamInfo<CaptureCase>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace orvane::testing

namespace orvane::testing {
namespace {

struct FaultCase {
  const char* name;
  std::vector<std::string> daemon_args;
  const char* message;
  // Every byte the device sent before the fault is saved (else: a prefix of
  // the stream without a gap).
  std::optional<uint64_t> exact_bytes;
  bool stop_command_sent;
  bool stall = false;
};

class CaptureFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(CaptureFaultTest, EndsWithTheApplicationsMessageAndSavesWhatArrived) {
  const FaultCase& c = GetParam();
  std::vector<std::string> args = {"--size", std::to_string(3u << 20), "--image", "analyzer"};
  args.insert(args.end(), c.daemon_args.begin(), c.daemon_args.end());
  DaemonProcess daemon(Scenario("i2c0", "50"), args);
  ASSERT_TRUE(daemon.running());
  ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
  const std::string output = daemon.folder() + "/capture.SIC";
  const std::vector<std::string> command = {ORVANE_CLI_PATH, "capture", "-o", output, "--size", "2",
                                            "--driver-buffer", "1", "--set", "m_AnalyzeBusChannel=1"};
  const CommandResult result = RunStalled(command, daemon, std::chrono::milliseconds(c.stall ? 800 : 0));
  ::unsetenv("VELIX_RUNTIME_DIR");
  EXPECT_EQ(result.status, 4);
  EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  // Whatever ended the capture, the saved file itself decodes cleanly.
  EXPECT_EQ(result.err.find("Sampling data is incorrect"), std::string::npos) << result.err;

  const std::vector<uint8_t> file = ReadFile(output);
  ASSERT_GT(file.size(), kSicHeaderSize) << "nothing was saved";
  const std::span<const uint8_t> data = std::span<const uint8_t>(file).subspan(kSicHeaderSize);
  if (c.exact_bytes) {
    EXPECT_EQ(data.size(), *c.exact_bytes);
  }
  const std::string expected =
      DaemonProcess::Value(daemon.Sim("checksum 0 " + std::to_string(data.size())), "checksum");
  EXPECT_EQ(ChecksumText(data), expected);
  const bool stop_sent = daemon.Sim("received").find("packet=c4000000000000000000") != std::string::npos;
  EXPECT_EQ(stop_sent, c.stop_command_sent);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CaptureFaultTest,
    ::testing::Values(
        FaultCase{"DeviceOverrun", {"--rate", "20000000", "--fault", "overrun@700000"},
                  " ++ (DATA OVERRUN) ++\n\n*** VELIX internal overflow!!! ***", 700000, true},
        // The capture is held while the device streams: the 1 MB driver
        // buffer overflows.
        FaultCase{"DriverOverrun", {"--rate", "4000000", "--size", std::to_string(6u << 20)},
                  " ++ (DATA OVERRUN) ++\n\n*** Device driver overflow!!! ***", std::nullopt, true, true},
        FaultCase{"Unplugged", {"--rate", "20000000", "--fault", "unplug@900000"}, "*** VELIX removed ***", 900000,
                  false}),
    [](const ::testing::TestParamInfo<FaultCase>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace orvane::testing

namespace orvane::testing {
namespace {

// A capture file replayed by the simulated device comes back byte for byte,
// the external-trigger settings reach the device in the start command, and
// the target power is switched before the capture.
TEST(CaptureReplay, ReplayedFileComesBackAndTriggerInputsReachTheDevice) {
  char folder_template[] = "/tmp/velix-replay-XXXXXX";
  ASSERT_NE(::mkdtemp(folder_template), nullptr);
  const std::string folder = folder_template;
  const std::string source = folder + "/source.SIC";
  {
    std::ofstream(folder + "/s.scn") << Scenario("i2c1", "20");
    const CommandResult synth = RunCommand({ORVANE_CLI_PATH, "synth", folder + "/s.scn", "-o", source, "--size",
                                            std::to_string(3u << 20)});
    ASSERT_EQ(synth.status, 0) << synth.err;
  }
  DaemonProcess daemon("", {"--simulate", source, "--rate", "4000000"});
  ASSERT_TRUE(daemon.running());
  ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
  const std::string output = daemon.folder() + "/capture.SIC";
  const CommandResult result =
      RunCommand({ORVANE_CLI_PATH, "capture", "-o", output, "--size", "2", "--driver-buffer", "1", "--set",
                  "m_AnalyzeBusChannel=2", "--set", "SamplePeriodCode=5", "--set", "TrgInEnable=1", "--set",
                  "TrgInLevels=4", "--set", "TrgInEnables=5", "--power", "3"});
  ::unsetenv("VELIX_RUNTIME_DIR");
  ASSERT_EQ(result.status, 0) << result.err;
  const std::vector<uint8_t> original = ReadFile(source);
  const std::vector<uint8_t> saved = ReadFile(output);
  ASSERT_EQ(saved.size(), kSicHeaderSize + kCaptureBytes);
  EXPECT_TRUE(std::equal(saved.begin() + kSicHeaderSize, saved.end(), original.begin() + kSicHeaderSize));
  // 20 MHz (code 2), TRGIN on with line 2 active high and lines 0 and 2
  // enabled, I2C #1.
  const std::string received = daemon.Sim("received");
  EXPECT_NE(received.find("packet=c4028405010000000000"), std::string::npos) << received;
  // The power switch is sent only after the power state query.
  const size_t query = received.find("packet=c5000000000000000400");
  const size_t power = received.find("packet=c3030000000000000000");
  ASSERT_NE(power, std::string::npos) << received;
  EXPECT_LT(query, power);
  EXPECT_EQ(DaemonProcess::Value(daemon.Sim("status"), "power"), "3");
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace
}  // namespace orvane::testing

namespace orvane::testing {
namespace {

TEST(CaptureOpen, NoDeviceAndAFullSpeedPortAskTheApplicationsQuestions) {
  // No daemon at all: the device is not found (Cancel is the default answer).
  ::setenv("VELIX_RUNTIME_DIR", "/nonexistent/velix", 1);
  CommandResult result = RunCommand({ORVANE_CLI_PATH, "capture", "-o", "/nonexistent/c.SIC"});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("VELIX not found. (not connect)"), std::string::npos) << result.err;

  DaemonProcess daemon(Scenario("i2c0", "50"), {"--speed", "full"});
  ASSERT_TRUE(daemon.running());
  ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
  result = RunCommand({ORVANE_CLI_PATH, "capture", "-o", daemon.folder() + "/c.SIC", "--no"});
  ::unsetenv("VELIX_RUNTIME_DIR");
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("Probably connected with USB 1.x.\n USB1.x connection is not supported.\n\n Continue anyway?"),
            std::string::npos)
      << result.err;
  // Nothing was started on the device.
  EXPECT_EQ(daemon.Sim("received").find("packet=c4"), std::string::npos);
}

}  // namespace
}  // namespace orvane::testing

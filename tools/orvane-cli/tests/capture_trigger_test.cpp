// orvane-cli capture in monitor mode with the software trigger on an I2C
// address, against a real velixd replaying a monitor stream: writes to 0x50,
// one write to 0x51 (the trigger address), more writes to 0x50. The
// free-run ring must stop where the trigger position puts it, the run must
// end normally, and the saved file must be the ring oldest first: one piece
// of the stream holding the trigger transaction. The trigger-out settings
// reach the device right before the monitor start command.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <span>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Orvane/capture/sic_header.h"
#include "driver/daemon/tests/daemon_process.h"
#include "sim/device/stream_source.h"
#include "sim/synthesizer.h"
#include "tools/orvane-cli/tests/capture_support.h"

namespace orvane::testing {
namespace {

using velix::daemon::testing::DaemonProcess;

constexpr uint64_t kRing = 2u << 20;  // --size 2 (the driver buffer, 1 MB, must be smaller)
// Streamed past the last byte a capture keeps: the device is still sending
// when the ring stops, however far the decoder lags.
constexpr uint64_t kStreamMargin = 1u << 20;

// A write of 64 bytes: long transactions keep the per-record work of a
// debug build small against the stream.
std::string I2cWrite(const char* address) {
  std::string bytes;
  char byte[4];
  for (int k = 0; k < 64; ++k) {
    std::snprintf(byte, sizeof(byte), " %02X", k);
    bytes += byte;
  }
  return std::string("bus i2c0\nscl 400k\nstart\naddr ") + address + " w\nwrite" + bytes + "\nstop\nidle 20us\n";
}

std::vector<uint8_t> MonitorUnits(const std::string& scenario) {
  velix::sim::SynthOptions options;
  options.mode = velix::sim::CaptureMode::kMonitor;
  velix::sim::SynthResult result;
  std::string error;
  EXPECT_TRUE(velix::sim::SynthesizeToMemory(scenario, options, 1u << 20, &result, &error)) << error;
  return result.data;
}

// The device's stream: `lead` bytes of writes to 0x50 (`lead` even), the
// write to 0x51 at `trigger`, then writes to 0x50 again.
struct TriggerStream {
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> trigger_units;
  uint64_t trigger = 0;
  // Where its last unit starts: SamplePos + SampleLen of its record.
  uint64_t LastUnit() const { return trigger + trigger_units.size() - 2; }
};

TriggerStream BuildStream(uint64_t lead, uint64_t traffic_after) {
  const std::vector<uint8_t> traffic = MonitorUnits(I2cWrite("0x50"));
  TriggerStream stream;
  stream.trigger_units = MonitorUnits(I2cWrite("0x51"));
  if (traffic.empty() || stream.trigger_units.empty()) return stream;
  while (stream.bytes.size() + traffic.size() <= lead) {
    stream.bytes.insert(stream.bytes.end(), traffic.begin(), traffic.end());
  }
  // Empty units up to the exact lead put the trigger at a chosen ring
  // position.
  stream.bytes.resize(lead, 0);
  stream.trigger = lead;
  stream.bytes.insert(stream.bytes.end(), stream.trigger_units.begin(), stream.trigger_units.end());
  const uint64_t end = stream.bytes.size() + traffic_after;
  while (stream.bytes.size() < end) stream.bytes.insert(stream.bytes.end(), traffic.begin(), traffic.end());
  return stream;
}

// A capture file for the replay; only the data after its header are sent.
std::string WriteReplayFile(const std::vector<uint8_t>& data) {
  char folder[] = "/tmp/velix-trigger-XXXXXX";
  if (::mkdtemp(folder) == nullptr) return {};
  const std::string path = std::string(folder) + "/stream.SIC";
  std::ofstream file(path, std::ios::binary);
  const std::vector<uint8_t> header(kSicHeaderSize, 0);
  file.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
  file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  return file ? path : std::string();
}

std::vector<std::string> LinesWith(const std::string& text, const std::string& part) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.find(part) != std::string::npos) lines.push_back(line);
  }
  return lines;
}

struct TriggerCase {
  const char* name;
  uint32_t percent;
  uint64_t lead;
  const char* device_rate;  // bytes per second
  std::chrono::milliseconds stall{0};
};

void PrintTo(const TriggerCase& c, std::ostream* os) { *os << c.name; }

// Bytes the ring records after the trigger transaction's last unit: the
// share of the ring, rounded down to whole I2C units.
uint64_t ShareAfterTrigger(uint32_t percent) { return percent * kRing / 100 / 2 * 2; }

// The stream position where the ring stops; none when the run ends at once
// (the ring then holds what was read ahead of the decoder, and at least the
// share after the trigger).
std::optional<uint64_t> ExpectedEnd(const TriggerCase& c, const TriggerStream& stream) {
  if (c.percent == 0 || c.stall.count() != 0) return std::nullopt;
  // One lap on, 4 bytes before the trigger but not before the ring start.
  if (c.percent == 100) return stream.trigger - std::min<uint64_t>(stream.trigger % kRing, 4) + kRing;
  return stream.LastUnit() + ShareAfterTrigger(c.percent);
}

class CaptureTriggerTest : public ::testing::TestWithParam<TriggerCase> {};

TEST_P(CaptureTriggerTest, RingStopsAtTheTriggerPositionAndHoldsTheTrigger) {
  const TriggerCase& c = GetParam();
  const TriggerStream stream = BuildStream(c.lead, ShareAfterTrigger(c.percent) + kStreamMargin);
  ASSERT_FALSE(stream.trigger_units.empty());
  const std::string source = WriteReplayFile(stream.bytes);
  ASSERT_FALSE(source.empty());
  DaemonProcess daemon("", {"--simulate", source, "--image", "monitor", "--rate", c.device_rate});
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(source).parent_path(), ignored);
  ASSERT_TRUE(daemon.running());
  ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
  const std::string output = daemon.folder() + "/capture.SIC";
  const std::string csv_path = daemon.folder() + "/capture.csv";
  // The duration only keeps a capture that misses its stop from hanging
  // the test; the stop positions below tell a trigger stop from it.
  const CommandResult result = RunStalled(
      {ORVANE_CLI_PATH, "capture", "-o", output, "--size", "2", "--driver-buffer", "1", "--set", "FreeRun=1",
       "--set", "m_AnalyzeBusChannel=1", "--set", "TriggerEnable=1", "--set", "AddressEnable=1", "--set",
       "AddressValue=0x51", "--set", "TriggerPosition=" + std::to_string(c.percent), "--set", "FilterEnable=1",
       "--set", "FilterAddressEnable=1", "--set", "FilterAddressValue=0x51", "--csv", csv_path, "--duration",
       "20"},
      daemon, c.stall);
  ::unsetenv("VELIX_RUNTIME_DIR");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err.find("error:"), std::string::npos) << result.err;

  const std::vector<uint8_t> file = ReadFile(output);
  ASSERT_GT(file.size(), kSicHeaderSize);
  const std::span<const uint8_t> data = std::span<const uint8_t>(file).subspan(kSicHeaderSize);
  const auto found = std::search(data.begin(), data.end(), stream.trigger_units.begin(), stream.trigger_units.end());
  ASSERT_TRUE(found != data.end()) << "the trigger transaction is not in the saved data";
  const uint64_t trigger_in_data = static_cast<uint64_t>(found - data.begin());
  ASSERT_GE(stream.trigger, trigger_in_data);
  // Stream position k went to ring position k mod the ring size; `end` is
  // the stream position where the ring stopped.
  const uint64_t first = stream.trigger - trigger_in_data;
  const uint64_t end = first + data.size();
  ASSERT_LE(end, stream.bytes.size());
  EXPECT_TRUE(std::equal(data.begin(), data.end(), stream.bytes.begin() + static_cast<std::ptrdiff_t>(first)))
      << "the saved data are not one piece of the stream";
  EXPECT_EQ(ChecksumText(data),
            DaemonProcess::Value(daemon.Sim("checksum " + std::to_string(first) + " " + std::to_string(data.size())),
                                 "checksum"));
  // A ring that never wrapped is saved from its start; a wrapped one is a
  // whole lap from the write position rounded up to a multiple of 4.
  const uint64_t skipped = (4 - end % kRing % 4) % 4;
  EXPECT_EQ(first, end < kRing ? 0 : end - kRing + skipped);

  if (const std::optional<uint64_t> expected_end = ExpectedEnd(c, stream)) {
    EXPECT_EQ(end, *expected_end) << "the ring stopped " << static_cast<int64_t>(end - *expected_end)
                                  << " bytes away from the trigger stop";
  } else {
    EXPECT_GE(end, stream.LastUnit() + 2 + ShareAfterTrigger(c.percent));
  }

  // The export of the reopened capture, filtered to the trigger address
  // (a whole ring of rows would only cost time).
  const std::vector<uint8_t> csv_bytes = ReadFile(csv_path);
  const std::string csv(csv_bytes.begin(), csv_bytes.end());
  ASSERT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1) << csv;
  EXPECT_NE(csv.find("\" 51H\""), std::string::npos) << csv;
  EXPECT_NE(csv.find("\"TRIGGER!-\""), std::string::npos) << csv;
  EXPECT_NE(daemon.Sim("received").find("packet=c6000000000000000000"), std::string::npos) << "no stop command";
}

INSTANTIATE_TEST_SUITE_P(
    Positions, CaptureTriggerTest,
    ::testing::Values(
        TriggerCase{"AtOnce", 0, 32u << 10, "200000"},
        // Slow enough that the writer is never a whole share ahead of the
        // decoder when the trigger is found.
        TriggerCase{"OnePercent", 1, 32u << 10, "100000"},
        // The stop lies past the ring end: it is reached on the next lap. The
        // rates of these laps leave a thread-sanitizer build time to decode.
        TriggerCase{"HalfStopOnTheNextLap", 50, 1060u << 10, "1500000"},
        // The lap starts 4 bytes before the trigger; the save from the next
        // multiple of 4, 2 bytes later.
        TriggerCase{"WholeRingAfter", 100, (32u << 10) + 2, "1500000"},
        // The trigger starts a lap after one wrap: the stop is the ring start.
        TriggerCase{"WholeRingAfterTriggerAtRingStart", 100, kRing, "1500000"},
        // The capture is held while the device streams: when the trigger is
        // found the writer is past the stop already. The share after the
        // trigger is recorded, so the run ends at once; waiting for the
        // next lap would overwrite the trigger.
        TriggerCase{"OnePercentAlreadyRecorded", 1, 32u << 10, "1000000", std::chrono::milliseconds(300)}),
    [](const ::testing::TestParamInfo<TriggerCase>& param) { return std::string(param.param.name); });

struct TriggerOutCase {
  const char* name;
  std::vector<std::string> settings;
  const char* packet;
};

void PrintTo(const TriggerOutCase& c, std::ostream* os) { *os << c.name; }

class CaptureTriggerOutTest : public ::testing::TestWithParam<TriggerOutCase> {};

TEST_P(CaptureTriggerOutTest, SettingReachesTheDeviceRightBeforeTheStart) {
  const TriggerOutCase& c = GetParam();
  DaemonProcess daemon(I2cWrite("0x50"), {"--image", "monitor", "--size", "65536", "--rate", "200000"});
  ASSERT_TRUE(daemon.running());
  ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
  std::vector<std::string> command = {ORVANE_CLI_PATH, "capture", "-o", daemon.folder() + "/capture.SIC",
                                      "--size", "2", "--driver-buffer", "1", "--set", "m_AnalyzeBusChannel=1",
                                      "--duration", "0.2"};
  for (const std::string& setting : c.settings) command.insert(command.end(), {"--set", setting});
  const CommandResult result = RunCommand(command);
  ::unsetenv("VELIX_RUNTIME_DIR");
  ASSERT_EQ(result.status, 0) << result.err;

  std::vector<std::string> packets;
  for (const std::string& line : LinesWith(daemon.Sim("received"), "packet=")) packets.push_back(line.substr(7));
  const auto start = std::find(packets.begin(), packets.end(), "c6000000060000000000");  // I2C #0
  ASSERT_NE(start, packets.end());
  ASSERT_NE(start, packets.begin());
  EXPECT_EQ(*(start - 1), c.packet);
  EXPECT_EQ(std::count_if(packets.begin(), packets.end(), [](const std::string& p) { return p.rfind("c9", 0) == 0; }),
            1);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, CaptureTriggerOutTest,
    ::testing::Values(
        TriggerOutCase{"Disabled", {"TrgOutAddressEnable=1", "TrgOutAddress=0x50"}, "c9000000000000000000"},
        TriggerOutCase{"SevenBitWithSubAddress",
                       {"TrgOutEnable=1", "TrgOutAddressEnable=1", "TrgOutAddress=0x50", "TrgOutSubAddressEnable=1",
                        "TrgOutSubAddressLength=2", "TrgOutSubAddressData=12 34"},
                       "c905a000123400000000"},
        // Sub-address match off: length 0, its bytes are sent all the same.
        TriggerOutCase{"TenBitNackIgnored",
                       {"TrgOutEnable=1", "TrgOutAddressEnable=1", "TrgOut10Bit=1", "TrgOutAddress=0x2A5",
                        "TrgOutNackIgnore=1", "TrgOutSubAddressLength=3", "TrgOutSubAddressData=12 34"},
                       "c931f4a5123400000000"}),
    [](const ::testing::TestParamInfo<TriggerOutCase>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace orvane::testing

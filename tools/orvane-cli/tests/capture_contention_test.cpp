// Captures that meet on one device: a second capture is told the device is
// busy and leaves the first alone, a capture whose stream is ended under it
// says so, and clients killed at any moment never leave anything behind for
// the captures that follow them.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <random>
#include <thread>

#include "Orvane/capture/sic_header.h"
#include "driver/daemon/tests/daemon_process.h"
#include "tools/orvane-cli/tests/capture_support.h"

namespace orvane::testing {
namespace {

using velix::daemon::testing::DaemonProcess;

constexpr uint64_t kCaptureBytes = 2u << 20;  // --size 2
constexpr uint64_t kStreamBytes = 3u << 20;   // what the device streams per start

const char* const kScenario =
    "bus i2c0\nrate 50\nscl 400k\nstart\naddr 0x50 w\nwrite 00 10\nstop\nidle 20us\nstart\naddr 0x50 r\n"
    "read 11 22\nstop\nidle 30us\n";

std::vector<std::string> CaptureCommand(const std::string& output) {
  return {ORVANE_CLI_PATH, "capture", "-o", output, "--size", "2", "--driver-buffer", "1",
          "--set", "m_AnalyzeBusChannel=1", "--no"};
}

std::vector<std::string> StreamCommand() {
  return {VELIXCTL_PATH, "stream", "--bytes", "100000000", "--start", "C4010000000000000000", "--stop",
          "C4000000000000000000"};
}

// The value of `key` in velixctl's key=value output.
std::string OutputValue(const std::string& text, const std::string& key) {
  return DaemonProcess::Value(text, key);
}

// A capture saved to `output` holds the device's stream from its start, and
// nothing else.
void ExpectCompleteCapture(const DaemonProcess& daemon, const CommandResult& result, const std::string& output) {
  ASSERT_EQ(result.status, 0) << result.err;
  const std::vector<uint8_t> file = ReadFile(output);
  ASSERT_EQ(file.size(), kSicHeaderSize + kCaptureBytes);
  const std::span<const uint8_t> data = std::span<const uint8_t>(file).subspan(kSicHeaderSize);
  const std::string expected =
      DaemonProcess::Value(daemon.Sim("checksum 0 " + std::to_string(data.size())), "checksum");
  EXPECT_EQ(ChecksumText(data), expected);
}

// A streaming run holds exactly what the device sent since its start.
void ExpectCompleteStream(const DaemonProcess& daemon, const CommandResult& result) {
  ASSERT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_EQ(OutputValue(result.out, "bytes"), std::to_string(kStreamBytes)) << result.out;
  EXPECT_EQ(OutputValue(result.out, "checksum"), DaemonProcess::Value(daemon.Sim("sent"), "checksum"));
}

class ContentionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(daemon_.running());
    ::setenv("VELIX_RUNTIME_DIR", daemon_.folder().c_str(), 1);
  }
  void TearDown() override { ::unsetenv("VELIX_RUNTIME_DIR"); }

  // The device ends each stream itself, so a streaming run can be held to
  // exactly what was sent.
  DaemonProcess daemon_{kScenario, {"--size", std::to_string(kStreamBytes), "--rate", "3000000", "--end-of-data"}};
};

TEST_F(ContentionTest, ASecondCaptureIsToldTheDeviceIsInUseAndTheFirstCompletes) {
  const std::string first_output = daemon_.folder() + "/first.SIC";
  CommandResult first;
  std::thread first_run([&] { first = RunCommand(CaptureCommand(first_output)); });
  ASSERT_TRUE(WaitUntilStreaming(daemon_));
  const CommandResult second = RunCommand(CaptureCommand(daemon_.folder() + "/second.SIC"));
  first_run.join();

  EXPECT_NE(second.status, 0);
  EXPECT_NE(second.err.find("VELIX is in use by another capture."), std::string::npos) << second.err;
  EXPECT_EQ(second.err.find("Failed to set the Driver buffer size"), std::string::npos) << second.err;
  ExpectCompleteCapture(daemon_, first, first_output);
}

TEST_F(ContentionTest, ACaptureWhoseDaemonStopsUnderItSaysSoAndFails) {
  CommandResult capture;
  std::thread run([&] { capture = RunCommand(CaptureCommand(daemon_.folder() + "/cut.SIC")); });
  ASSERT_TRUE(WaitUntilStreaming(daemon_));
  daemon_.Stop();
  run.join();
  EXPECT_EQ(capture.status, 4) << capture.err;
  EXPECT_NE(capture.err.find("*** VELIX removed ***"), std::string::npos) << capture.err;
}

// A killed client's last requests may still be on their way to the daemon,
// which serves them before it sees the connection's end: until it has closed
// that handle, the device is busy, and a capture is told so.
CommandResult RunWhileBusy(const std::vector<std::string>& command) {
  for (int attempt = 0;; ++attempt) {
    CommandResult result = RunCommand(command);
    const bool busy = result.err.find("VELIX is in use by another capture.") != std::string::npos ||
                      result.out.find("error=231") != std::string::npos;
    if (!busy || attempt == 100) return result;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

TEST_F(ContentionTest, ClientsKilledAtRandomMomentsLeaveNothingForTheNextCapture) {
  std::mt19937 random(20261210);
  constexpr int kRounds = 6;
  for (int round = 0; round < kRounds; ++round) {
    const bool victim_captures = random() % 2 == 0;
    const auto victim_life = std::chrono::milliseconds(random() % 400);
    const bool checker_captures = random() % 2 == 0;
    SCOPED_TRACE("round " + std::to_string(round) + (victim_captures ? ": capture" : ": stream") + " killed after " +
                 std::to_string(victim_life.count()) + " ms, then a " + (checker_captures ? "capture" : "stream"));

    // A slow device, so that the victim is mostly killed mid-stream.
    daemon_.Sim("rate 3000000");
    const pid_t victim =
        Spawn(victim_captures ? CaptureCommand(daemon_.folder() + "/victim.SIC") : StreamCommand());
    ASSERT_GT(victim, 0);
    std::this_thread::sleep_for(victim_life);
    ::kill(victim, SIGKILL);
    WaitExit(victim);

    // A rate a thread-sanitizer build of the capture decodes in time: an
    // overrun of its 1 MB driver buffer would end it early.
    daemon_.Sim("rate 4000000");
    if (checker_captures) {
      const std::string output = daemon_.folder() + "/check.SIC";
      ExpectCompleteCapture(daemon_, RunWhileBusy(CaptureCommand(output)), output);
    } else {
      ExpectCompleteStream(daemon_, RunWhileBusy(StreamCommand()));
    }
  }
}

}  // namespace
}  // namespace orvane::testing

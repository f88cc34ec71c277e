// orvane-cli capture stopped from outside and started without a device:
// the signals a terminal or a service manager sends stop the capture as
// the stop command does (drain, save, decode), and a missing device ends
// the command with where it looked and how to start the daemon, also when
// every question is answered Yes.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Orvane/capture/sic_header.h"
#include "driver/daemon/tests/daemon_process.h"
#include "platform/tests/case_name.h"
#include "tools/orvane-cli/tests/capture_support.h"

namespace orvane::testing {
namespace {

using velix::daemon::testing::DaemonProcess;
using velix::platform::testing::PrintTo;

constexpr char kScenario[] =
    "bus i2c0\nrate 50\nscl 400k\nstart\naddr 0x50 w\nwrite 00 10\nstop\nidle 20us\n";

struct StopCase {
  const char* name;
  int signal_number;
};

class CaptureStopSignalTest : public ::testing::TestWithParam<StopCase> {};

TEST_P(CaptureStopSignalTest, StopsDrainsAndSavesLikeTheStopCommand) {
  DaemonProcess daemon(kScenario, {"--size", std::to_string(4u << 20), "--rate", "400000"});
  ASSERT_TRUE(daemon.running());
  const std::string output = daemon.folder() + "/capture.SIC";
  ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
  const pid_t child = Spawn({ORVANE_CLI_PATH, "capture", "-o", output, "--size", "3", "--driver-buffer", "1", "--bus",
                             "i2c0"});
  ::unsetenv("VELIX_RUNTIME_DIR");
  ASSERT_GT(child, 0);
  // Signalled only once the device streams and some data have arrived.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (SentBytes(daemon) < (64u << 10) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(child, GetParam().signal_number);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(daemon.Sim("received").find("packet=c4000000000000000000"), std::string::npos)
      << "the device was left streaming";
  const size_t saved = ReadFile(output).size();
  ASSERT_GT(saved, kSicHeaderSize);
  EXPECT_EQ(saved - kSicHeaderSize, SentBytes(daemon)) << "the stop must drain everything the device sent";
}

INSTANTIATE_TEST_SUITE_P(Signals, CaptureStopSignalTest,
                         ::testing::Values(StopCase{"Interrupt", SIGINT}, StopCase{"Terminate", SIGTERM},
                                           StopCase{"HangUp", SIGHUP}),
                         [](const auto& test) { return std::string(test.param.name); });

struct NotFoundCase {
  const char* name;
  bool daemon;  // a daemon serves the folder with the device unplugged
  const char* answer;
  int questions;
  const char* hint;
};

class CaptureNotFoundTest : public ::testing::TestWithParam<NotFoundCase> {};

TEST_P(CaptureNotFoundTest, GivesUpAndSaysWhereItLookedAndWhatToStart) {
  const NotFoundCase& c = GetParam();
  std::optional<DaemonProcess> daemon;
  std::string folder = "/nonexistent/velix";
  if (c.daemon) {
    daemon.emplace(kScenario, std::vector<std::string>{"--unplugged"});
    ASSERT_TRUE(daemon->running());
    folder = daemon->folder();
  }
  ::setenv("VELIX_RUNTIME_DIR", folder.c_str(), 1);
  std::vector<std::string> command = {ORVANE_CLI_PATH, "capture", "-o", "/nonexistent/c.SIC"};
  if (*c.answer != '\0') command.push_back(c.answer);
  const CommandResult result = RunCommand(command);
  ::unsetenv("VELIX_RUNTIME_DIR");
  EXPECT_EQ(result.status, 2);
  int questions = 0;
  for (size_t at = result.err.find("VELIX not found. (not connect)"); at != std::string::npos;
       at = result.err.find("VELIX not found. (not connect)", at + 1)) {
    ++questions;
  }
  EXPECT_EQ(questions, c.questions) << result.err;
  EXPECT_NE(result.err.find("runtime folder " + folder + " "), std::string::npos) << result.err;
  EXPECT_NE(result.err.find(c.hint), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaptureNotFoundTest,
    ::testing::Values(NotFoundCase{"NoDaemon", false, "", 1, "No velixd serves it: start it with `velixd`"},
                      NotFoundCase{"NoDaemonAnsweredYes", false, "--yes", 4, "gave up after 3 retries"},
                      NotFoundCase{"DeviceUnplugged", true, "--no", 1, "no analyzer is attached"}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace orvane::testing

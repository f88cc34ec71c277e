// A signal that ends orvane-cli while it copies or decodes a large file
// still removes the temporary copy, and the process ends by that signal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/tests/case_name.h"
#include "platform/tests/scratch_folder.h"
#include "tools/orvane-cli/tests/run_command.h"

namespace orvane {
namespace {

using velix::platform::testing::PrintTo;
using velix::platform::testing::ScratchFolder;

// The size of the first file in `folder`, or -1 when there is none.
int64_t FirstFileSize(const std::string& folder) {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
    return static_cast<int64_t>(entry.file_size(ignored));
  }
  return -1;
}

struct SignalCase {
  const char* name;
  int signal_number;
};

class CliSignalTest : public ::testing::TestWithParam<SignalCase> {};

TEST_P(CliSignalTest, DecodeLeavesNoTemporaryCopy) {
  ScratchFolder files;
  ScratchFolder temp;
  // Large enough that copying and decoding it outlast the wait below.
  const std::string capture = files.File("big.SIC");
  const auto synth = testing::RunCommand({ORVANE_CLI_PATH, "synth",
                                          std::string(VELIX_SOURCE_DIR) + "/sim/scenarios/i2c_demo.scn", "-o",
                                          capture, "--size", std::to_string(96u << 20)});
  ASSERT_EQ(synth.status, 0) << synth.err;

  ::setenv("TMPDIR", temp.Path().c_str(), 1);
  const pid_t child = ::fork();
  if (child == 0) {
    const int null_fd = ::open("/dev/null", O_RDWR);
    ::dup2(null_fd, STDOUT_FILENO);
    ::dup2(null_fd, STDERR_FILENO);
    ::execl(ORVANE_CLI_PATH, ORVANE_CLI_PATH, "decode", capture.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // Once the copy holds data it is being written or decoded.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (FirstFileSize(temp.Path()) <= 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  ::kill(child, GetParam().signal_number);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == GetParam().signal_number)
      << "the decode ended before the signal (status " << status << ")";
  EXPECT_EQ(FirstFileSize(temp.Path()), -1) << "a temporary copy was left behind";
}

INSTANTIATE_TEST_SUITE_P(Signals, CliSignalTest,
                         ::testing::Values(SignalCase{"Interrupt", SIGINT}, SignalCase{"Terminate", SIGTERM},
                                           SignalCase{"HangUp", SIGHUP}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace orvane

#include "tools/orvane-cli/tests/capture_support.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

#include "sim/device/stream_source.h"

namespace orvane::testing {

using velix::daemon::testing::DaemonProcess;

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

std::string Hex64(uint64_t value) {
  char text[32];
  std::snprintf(text, sizeof(text), "0x%016llx", static_cast<unsigned long long>(value));
  return text;
}

std::string ChecksumText(std::span<const uint8_t> bytes) {
  return Hex64(velix::sim::StreamChecksum(velix::sim::kStreamChecksumSeed, bytes));
}

uint64_t SentBytes(const DaemonProcess& daemon) {
  const std::string value = DaemonProcess::Value(daemon.Sim("sent"), "bytes");
  return value.empty() ? 0 : std::stoull(value);
}

pid_t Spawn(const std::vector<std::string>& argv, const std::string& err_path) {
  const pid_t child = ::fork();
  if (child != 0) return child;
  const int null_fd = ::open("/dev/null", O_RDWR);
  const int err = err_path.empty() ? null_fd : ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ::dup2(null_fd, STDIN_FILENO);
  ::dup2(null_fd, STDOUT_FILENO);
  ::dup2(err, STDERR_FILENO);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  ::execv(args[0], args.data());
  ::_exit(127);
}

int WaitExit(pid_t child) {
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool WaitUntilStreaming(const DaemonProcess& daemon) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (DaemonProcess::Value(daemon.Sim("status"), "streaming") != "1") {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

CommandResult RunStalled(const std::vector<std::string>& argv, const DaemonProcess& daemon,
                         std::chrono::milliseconds stall) {
  if (stall.count() == 0) return RunCommand(argv);
  const std::string err_path = daemon.folder() + "/capture.err";
  CommandResult result;
  const pid_t child = Spawn(argv, err_path);
  if (child < 0) return result;
  WaitUntilStreaming(daemon);
  ::kill(child, SIGSTOP);
  std::this_thread::sleep_for(stall);
  ::kill(child, SIGCONT);
  result.status = WaitExit(child);
  const std::vector<uint8_t> err = ReadFile(err_path);
  result.err.assign(err.begin(), err.end());
  return result;
}

}  // namespace orvane::testing

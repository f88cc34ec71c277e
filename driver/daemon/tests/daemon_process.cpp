#include "driver/daemon/tests/daemon_process.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <algorithm>
#include <thread>

#include "platform/device_wire.h"

namespace velix::daemon::testing {
namespace {

using Clock = std::chrono::steady_clock;

std::string MakeFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "velixd-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return {};
  return pattern;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace

namespace {
DaemonLaunch WithArgs(std::vector<std::string> args) {
  DaemonLaunch launch;
  launch.args = std::move(args);
  return launch;
}
}  // namespace

DaemonProcess::DaemonProcess(const std::string& scenario_text, std::vector<std::string> args)
    : DaemonProcess(scenario_text, WithArgs(std::move(args))) {}

DaemonProcess::DaemonProcess(const std::string& scenario_text, DaemonLaunch launch) {
  private_folder_ = MakeFolder();
  if (private_folder_.empty()) return;
  folder_ = launch.runtime_dir.empty() ? private_folder_ : launch.runtime_dir;
  const std::string scenario = private_folder_ + "/scenario.scn";
  std::ofstream(scenario) << scenario_text;
  std::vector<std::string> line = {VELIXD_PATH, "--runtime-dir", folder_, "--trace-level", "0", "--simulate",
                                   scenario};
  const auto& args = launch.args;
  const bool unplugged = std::find(args.begin(), args.end(), "--unplugged") != args.end();
  line.insert(line.end(), args.begin(), args.end());
  pid_ = ::fork();
  if (pid_ == 0) {
    if (launch.umask >= 0) ::umask(static_cast<mode_t>(launch.umask));
    if (launch.open_file_limit > 0) {
      const rlimit limit{static_cast<rlim_t>(launch.open_file_limit), static_cast<rlim_t>(launch.open_file_limit)};
      ::setrlimit(RLIMIT_NOFILE, &limit);
    }
    std::vector<char*> argv;
    for (std::string& word : line) argv.push_back(word.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  if (pid_ < 0) return;
  // The simulator synthesizes its whole stream before it serves; a large
  // one in a sanitizer build on a busy machine takes more than ten seconds.
  ready_ = WaitForName(unplugged ? "velixd.control" : "VELIX0", true, 30000);
}

DaemonProcess::~DaemonProcess() {
  Stop();
  if (!private_folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(private_folder_, ignored);
  }
}

int DaemonProcess::Stop() {
  if (pid_ <= 0) return -1;
  ::kill(pid_, SIGTERM);
  int status = 0;
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (::waitpid(pid_, &status, WNOHANG) == 0) {
    if (Clock::now() > deadline) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  pid_ = -1;
  return status;
}

bool DaemonProcess::WaitForExit(int timeout_ms, int* status) {
  if (pid_ <= 0) return false;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  while (::waitpid(pid_, status, WNOHANG) == 0) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  pid_ = -1;
  return true;
}

bool DaemonProcess::WaitForName(const std::string& name, bool present, int timeout_ms) const {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  while (Exists(folder_ + "/" + name) != present) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

std::string DaemonProcess::Sim(const std::string& command) const {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path = folder_ + "/velixd.control";
  std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    ::close(fd);
    return "ok=0\nerror=no control socket\n";
  }
  const std::string line = command + "\n";
  platform::SendAll(fd, {reinterpret_cast<const uint8_t*>(line.data()), line.size()});
  std::string reply;
  char buffer[4096];
  for (ssize_t got; (got = ::recv(fd, buffer, sizeof(buffer), 0)) > 0;) reply.append(buffer, static_cast<size_t>(got));
  ::close(fd);
  return reply;
}

std::string DaemonProcess::Value(const std::string& reply, const std::string& key) {
  std::istringstream lines(reply);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  }
  return {};
}

}  // namespace velix::daemon::testing

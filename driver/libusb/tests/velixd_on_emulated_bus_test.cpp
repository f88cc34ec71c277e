// velixd itself on the emulated bus: a client's write that the analyzer never
// accepts must not keep the daemon from stopping.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "driver/libusb/tests/emulated_usbfs.h"
#include "platform/device_file.h"

extern char** environ;

namespace velix::driver {
namespace {

using namespace std::chrono_literals;
using emulated::EmulatedUsbBus;

constexpr auto kPatience = 10s;

// velixd over the emulated bus in a private runtime folder; always stopped.
class EmulatedBusDaemon {
 public:
  EmulatedBusDaemon() {
    char folder[] = "/tmp/velixd-emulated-XXXXXX";
    folder_ = ::mkdtemp(folder);
    ::setenv("VELIX_RUNTIME_DIR", folder_.c_str(), 1);
    const std::vector<std::string> args = {VELIXD_PATH, "--runtime-dir", folder_, "--trace-level", "0"};
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    // The child inherits umockdev's preload and the testbed's folder.
    if (::posix_spawn(&pid_, VELIXD_PATH, nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
  }
  ~EmulatedBusDaemon() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    std::filesystem::remove_all(folder_);
  }
  bool WaitForDevice() const {
    const std::string name = folder_ + "/VELIX0";
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    struct stat info {};
    while (::stat(name.c_str(), &info) != 0) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(10ms);
    }
    return true;
  }
  // SIGTERM; true when the daemon ended within the patience, with status 0.
  bool StopsPromptly() {
    ::kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(10ms);
    }
    pid_ = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

 private:
  std::string folder_;
  pid_t pid_ = -1;
};

TEST(VelixdOnEmulatedBusTest, StopsWhileAClientWritesToAnAnalyzerThatNeverAccepts) {
  if (!EmulatedUsbBus::Available()) GTEST_SKIP() << "needs umockdev's preload (run under umockdev-wrapper)";
  EmulatedUsbBus bus;
  const int device = bus.Plug({0x1D9A, 0x030A});
  bus.SetBulkOutRefused(device, true);
  EmulatedBusDaemon daemon;
  ASSERT_TRUE(daemon.WaitForDevice());

  platform::DeviceFile* file = platform::CreateDeviceFile("\\\\.\\VELIX0");
  ASSERT_NE(file, nullptr);
  std::thread writer([file] {
    const std::vector<uint8_t> command(10, 0xC4);
    uint32_t written = 0;
    platform::WriteDeviceFile(file, command.data(), static_cast<uint32_t>(command.size()), &written);
  });
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (bus.Queued(device, emulated::kBulkOut) == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(1ms);
  }
  EXPECT_EQ(bus.Queued(device, emulated::kBulkOut), 1u) << "the write never reached the device";
  EXPECT_TRUE(daemon.StopsPromptly());
  writer.join();
  platform::CloseDeviceFile(file);
}

}  // namespace
}  // namespace velix::driver

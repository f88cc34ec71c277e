#pragma once
// A velixd process with the simulated analyzer for the firmware library's
// tests, with what they need around it: switching the personality, the
// packets the device received, and the driver's status word.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <memory>

#include "driver/daemon/tests/daemon_process.h"

namespace velix::firmup::testing {

// The device's socket name in a personality ("operation", "update", "fx2",
// "loader").
std::string InterfaceName(const std::string& personality);

class FirmupDaemon {
 public:
  // `args`: further velixd options, e.g. {"--personality", "update"}.
  explicit FirmupDaemon(std::vector<std::string> args = {});

  bool running() const { return process_.running(); }
  const std::string& folder() const { return process_.folder(); }
  // Points the library (and the device layer) at this daemon.
  void UseAsRuntime() const;

  // Re-plugs the device in the personality; true once it is published.
  bool PlugAs(const std::string& personality);
  // Unplugs and plugs in again with the personality its memory decides.
  bool Replug();

  // Every bulk OUT transfer the device received so far, as hex.
  std::vector<std::string> Received() const;
  // Those after the first `mark`.
  std::vector<std::string> ReceivedSince(size_t mark) const;

  // The driver's status word through VELIX0; ~0 when it cannot be read.
  uint32_t DriverStatus() const;
  bool ResetDriverStatus() const;

 private:
  bool Unplug();

  daemon::testing::DaemonProcess process_;
};

std::string Hex(const uint8_t* bytes, size_t size);

// A test suite that shares one daemon: started before the suite's first
// test, stopped after its last, and made the library's runtime before each
// test. A suite that needs other daemon options starts it itself in its own
// SetUpTestSuite with StartDaemon.
class FirmupDaemonTest : public ::testing::Test {
 protected:
  static void StartDaemon(std::vector<std::string> args = {}) {
    daemon_ = std::make_unique<FirmupDaemon>(std::move(args));
  }
  static void SetUpTestSuite() { StartDaemon(); }
  static void TearDownTestSuite() { daemon_.reset(); }
  void SetUp() override {
    ASSERT_TRUE(daemon_->running());
    daemon_->UseAsRuntime();
  }

  static inline std::unique_ptr<FirmupDaemon> daemon_;
};

}  // namespace velix::firmup::testing

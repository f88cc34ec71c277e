// Finding the device: GetDeviceMode in every personality, the order of the
// probes, and every export's failure when the device it needs is absent.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "Firmup/VELIXFw.h"
#include "Firmup/tests/c_caller.h"
#include "Firmup/tests/firmup_daemon.h"
#include "velix/device_interface.h"

namespace velix::firmup::testing {
namespace {

namespace fs = std::filesystem;

// Every export that needs a device, with arguments that would succeed.
struct NamedCall {
  const char* name;
  std::function<int()> call;
};

std::vector<NamedCall> DeviceCalls() {
  static uint8_t buffer[16];
  return {
      {"CPLDWrite", [] { return CPLDWrite(buffer, 16, 16); }},
      {"FlashErase", [] { return FlashErase(1); }},
      {"FlashRead", [] { return FlashRead(0, buffer, 16); }},
      {"FlashWrite", [] { return FlashWrite(0, buffer, 16); }},
      {"GetFirmVersion", [] { return GetFirmVersion(buffer, buffer, buffer, buffer, buffer, buffer); }},
      {"GetStatus", [] { return GetStatus(buffer); }},
      {"SerialRead", [] { return SerialRead(0, buffer, 16); }},
      {"SerialReadTemporary", [] { return SerialReadTemporary(0, 16, buffer); }},
      {"SerialWrite", [] { return SerialWrite(0, buffer, 16); }},
      {"SerialWriteCypress", [] { return SerialWriteCypress(); }},
      {"SerialWriteTemporary", [] { return SerialWriteTemporary(0, 16, buffer); }},
      {"SetFirmVersion", [] { return SetFirmVersion(1, 0, 1, 0, 1, 0); }},
      {"USBI2CComChange", [] { return USBI2CComChange(); }},
  };
}

class PersonalityTest : public FirmupDaemonTest {};

TEST_F(PersonalityTest, ReportsEachPersonality) {
  const struct {
    const char* personality;
    int mode;
  } cases[] = {
      {"update", VELIXFW_MODE_UPDATE},
      {"fx2", VELIXFW_MODE_BARE_FX2},
      {"loader", VELIXFW_MODE_RAM_LOADER},
      {"operation", VELIXFW_MODE_OPERATION},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.personality);
    ASSERT_TRUE(daemon_->PlugAs(c.personality));
    EXPECT_EQ(GetDeviceMode(), c.mode);
    EXPECT_EQ(DeviceModeFromC(), c.mode);
  }
}

TEST_F(PersonalityTest, OperationProbeSendsTheSerialEscapeTheDriverDoesNotKnow) {
  ASSERT_TRUE(daemon_->PlugAs("operation"));
  ASSERT_TRUE(daemon_->ResetDriverStatus());
  const size_t mark = daemon_->Received().size();
  EXPECT_EQ(GetDeviceMode(), VELIXFW_MODE_OPERATION);
  EXPECT_EQ(daemon_->DriverStatus(), driver::driver_status::kUnknownControlCode);
  EXPECT_TRUE(daemon_->ReceivedSince(mark).empty());
}

TEST_F(PersonalityTest, EveryOtherExportFailsInOperationModeWithoutSending) {
  ASSERT_TRUE(daemon_->PlugAs("operation"));
  const size_t mark = daemon_->Received().size();
  for (const NamedCall& c : DeviceCalls()) {
    if (std::string(c.name) == "USBI2CComChange") continue;
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.call(), 0);
  }
  EXPECT_TRUE(daemon_->ReceivedSince(mark).empty());
}

TEST_F(PersonalityTest, ComChangeSendsTheDeviceIntoUpdateModeAtTheNextPlugIn) {
  ASSERT_TRUE(daemon_->PlugAs("operation"));
  const size_t mark = daemon_->Received().size();
  ::testing::internal::CaptureStderr();
  const int result = USBI2CComChange();
  const std::string shown = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(result, 1);
  EXPECT_EQ(daemon_->ReceivedSince(mark), std::vector<std::string>{"d9000000000000000000"});
  EXPECT_EQ(shown.rfind("DLL\n[VELIX] ", 0), 0u) << shown;
  // The device remembers the request across the re-plug.
  ASSERT_TRUE(daemon_->Replug());
  EXPECT_EQ(GetDeviceMode(), VELIXFW_MODE_UPDATE);
}

TEST(NoDeviceTest, EveryExportFailsWithoutADevice) {
  FirmupDaemon daemon({"--unplugged"});
  ASSERT_TRUE(daemon.running());
  daemon.UseAsRuntime();
  EXPECT_EQ(GetDeviceMode(), VELIXFW_MODE_NONE);
  EXPECT_EQ(DeviceModeFromC(), VELIXFW_MODE_NONE);
  for (const NamedCall& c : DeviceCalls()) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.call(), 0);
  }
  // No daemon at all behind the runtime folder.
  const fs::path empty = fs::path(daemon.folder()) / "empty";
  fs::create_directory(empty);
  ::setenv("VELIX_RUNTIME_DIR", empty.c_str(), 1);
  EXPECT_EQ(GetDeviceMode(), VELIXFW_MODE_NONE);
  uint8_t status = 0;
  EXPECT_EQ(GetStatus(&status), 0);
}

// Two analyzers at once: the interface sockets of two daemons hard-linked
// into one runtime folder.
TEST(TwoDevicesTest, OperationModeIsProbedFirstAndTheFirstMatchServes) {
  FirmupDaemon operation;
  FirmupDaemon update({"--personality", "update"});
  ASSERT_TRUE(operation.running());
  ASSERT_TRUE(update.running());
  const fs::path both = fs::path(operation.folder()) / "both";
  fs::create_directory(both);
  for (const auto& [daemon, personality] : {std::pair{&operation, "operation"}, std::pair{&update, "update"}}) {
    const std::string name = InterfaceName(personality);
    ASSERT_EQ(::link((fs::path(daemon->folder()) / name).c_str(), (both / name).c_str()), 0);
  }
  ::setenv("VELIX_RUNTIME_DIR", both.c_str(), 1);
  EXPECT_EQ(GetDeviceMode(), VELIXFW_MODE_OPERATION);
  uint8_t eeprom_major = 0;
  EXPECT_EQ(GetFirmVersion(&eeprom_major, nullptr, nullptr, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(update.Received(), std::vector<std::string>{"c0000000000000000800"});

  fs::remove(both / InterfaceName("operation"));
  EXPECT_EQ(GetDeviceMode(), VELIXFW_MODE_UPDATE);
}

}  // namespace
}  // namespace velix::firmup::testing

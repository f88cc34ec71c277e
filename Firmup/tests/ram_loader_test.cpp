// The recovery path of a controller without firmware: the loader download,
// the loader's serial EEPROM access, and what the EEPROM then decides at
// the next plug-in.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "Firmup/VELIXFw.h"
#include "Firmup/tests/firmup_daemon.h"

namespace velix::firmup::testing {
namespace {

class RamLoaderTest : public FirmupDaemonTest {};

// The daemon publishes the re-enumerated device on its own thread.
bool ModeBecomes(int wanted, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (GetDeviceMode() != wanted) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

TEST_F(RamLoaderTest, DownloadThenEepromThenTheControllerBootsWhatTheEepromSays) {
  ASSERT_TRUE(daemon_->PlugAs("fx2"));
  ASSERT_EQ(GetDeviceMode(), VELIXFW_MODE_BARE_FX2);
  ASSERT_EQ(SerialWriteCypress(), 1);
  ASSERT_TRUE(ModeBecomes(VELIXFW_MODE_RAM_LOADER, std::chrono::seconds(2)));

  const uint8_t data[5] = {0x10, 0x20, 0x30, 0x40, 0x50};
  ASSERT_EQ(SerialWriteTemporary(0x0100, 5, data), 1);
  uint8_t back[5] = {};
  ASSERT_EQ(SerialReadTemporary(0x0100, 5, back), 1);
  EXPECT_EQ(Hex(back, 5), Hex(data, 5));

  // Without the boot marker in its first byte the controller comes up bare.
  const uint8_t no_firmware = 0xFF;
  ASSERT_EQ(SerialWriteTemporary(0, 1, &no_firmware), 1);
  ASSERT_TRUE(daemon_->Replug());
  EXPECT_EQ(GetDeviceMode(), VELIXFW_MODE_BARE_FX2);
}

TEST_F(RamLoaderTest, LoaderReadsPastTheEepromEndAsErased) {
  ASSERT_TRUE(daemon_->PlugAs("loader"));
  const uint8_t data[4] = {1, 2, 3, 4};
  ASSERT_EQ(SerialWriteTemporary(0x3FFC, 4, data), 1);
  uint8_t back[8] = {};
  ASSERT_EQ(SerialReadTemporary(0x3FFC, 8, back), 1);
  EXPECT_EQ(Hex(back, 8), "01020304ffffffff");
  // The address is 16 bits wide.
  ASSERT_EQ(SerialReadTemporary(0x13FFC, 4, back), 1);
  EXPECT_EQ(Hex(back, 4), "01020304");
}

TEST_F(RamLoaderTest, LoaderCallsRefuseNullBuffersAndTheBareControllerRefusesThem) {
  ASSERT_TRUE(daemon_->PlugAs("loader"));
  EXPECT_EQ(SerialReadTemporary(0, 4, nullptr), 0);
  EXPECT_EQ(SerialWriteTemporary(0, 4, nullptr), 0);
  EXPECT_EQ(SerialWriteCypress(), 0);

  ASSERT_TRUE(daemon_->PlugAs("fx2"));
  uint8_t byte = 0;
  EXPECT_EQ(SerialReadTemporary(0, 1, &byte), 0);
  EXPECT_EQ(SerialWriteTemporary(0, 1, &byte), 0);
}

}  // namespace
}  // namespace velix::firmup::testing

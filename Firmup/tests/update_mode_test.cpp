// The firmware update mode's exports against a real daemon: the exact bytes
// the device receives, the replies the caller gets, and the device memory
// the calls change.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <numeric>
#include <vector>

#include "Firmup/VELIXFw.h"
#include "Firmup/tests/firmup_daemon.h"

namespace velix::firmup::testing {
namespace {

class UpdateModeTest : public FirmupDaemonTest {
 protected:
  static void SetUpTestSuite() { StartDaemon({"--personality", "update"}); }
  void SetUp() override {
    FirmupDaemonTest::SetUp();
    mark_ = daemon_->Received().size();
  }
  std::vector<std::string> Sent() const { return daemon_->ReceivedSince(mark_); }

  size_t mark_ = 0;
};

// The cpld image the device accepts: body, 16-bit sum low byte first, the
// product ID 0x030A low byte first, version minor, major, and "C".
std::vector<uint8_t> CpldImage(size_t size) {
  std::vector<uint8_t> image(size - 7);
  std::iota(image.begin(), image.end(), uint8_t{0});
  uint16_t sum = 0;
  for (const uint8_t byte : image) sum = static_cast<uint16_t>(sum + byte);
  image.insert(image.end(), {static_cast<uint8_t>(sum), static_cast<uint8_t>(sum >> 8), 0x0A, 0x03, 0x00, 0x02, 'C'});
  return image;
}

TEST_F(UpdateModeTest, EachExportSendsExactlyItsPackets) {
  static uint8_t buffer[512];
  static const uint8_t data[4] = {0x12, 0x34, 0x56, 0x78};
  static uint8_t status;
  struct Case {
    const char* what;
    std::function<int()> call;
    std::vector<std::string> packets;
  } cases[] = {
      {"FlashRead 512 at 0xD000", [] { return FlashRead(0xD000, buffer, 512); }, {"d2000000d00000020000"}},
      {"FlashRead uses the low 16 bits", [] { return FlashRead(0x1D000, buffer, 0x10010); }, {"d2000000d00000001000"}},
      {"GetFirmVersion",
       [] { return GetFirmVersion(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); },
       {"c0000000000000000800"}},
      {"GetStatus", [] { return GetStatus(&status); }, {"d8000000000000000400"}},
      {"SetFirmVersion flash only", [] { return SetFirmVersion(0, 0, 1, 2, 0, 0); }, {"c1010102000000000000"}},
      {"SetFirmVersion all pairs, low bytes",
       [] { return SetFirmVersion(0x103, 4, 0, 0x205, 0, 6); },
       {"c1070005030400060000"}},
      {"FlashErase uses the low byte", [] { return FlashErase(0x10C); }, {"d1000000000000000c00"}},
      {"FlashWrite", [] { return FlashWrite(0x3010, data, 4); }, {"d3000000301000000400", "12345678"}},
      {"SerialRead", [] { return SerialRead(0x0100, buffer, 16); }, {"d4000000010000001000"}},
      {"SerialWrite", [] { return SerialWrite(0x0200, data, 3); }, {"d5000000020000000300", "123456"}},
      {"CPLDWrite continuing an image", [] { return CPLDWrite(data, 4, 0); }, {"12345678"}},
      {"CPLDWrite starting an image", [] { return CPLDWrite(data, 2, 10000); }, {"d7000000000000271000", "1234"}},
      {"FlashRead of nothing", [] { return FlashRead(0xD000, buffer, 0); }, {"d2000000d00000000000"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    mark_ = daemon_->Received().size();
    EXPECT_EQ(c.call(), 1);
    EXPECT_EQ(Sent(), c.packets);
  }
  // The half-started image must not linger into later tests.
  ASSERT_TRUE(daemon_->PlugAs("update"));
}

TEST_F(UpdateModeTest, CpldChunkWithoutTotalSendsOnlyTheChunk) {
  const std::vector<uint8_t> chunk(4096, 0x5A);
  EXPECT_EQ(CPLDWrite(chunk.data(), 4096, 0), 1);
  ASSERT_EQ(Sent().size(), 1u);
  EXPECT_EQ(Sent()[0], Hex(chunk.data(), chunk.size()));
}

TEST_F(UpdateModeTest, FlashRecordReadsBack) {
  std::vector<uint8_t> record(512, 0);
  ASSERT_EQ(FlashRead(0xD000, record.data(), 512), 1);
  // The factory record: operation-mode identity, CPLD version 1.00.
  EXPECT_EQ(Hex(record.data(), 10), "9a1d0a03ffffffff0100");
}

TEST_F(UpdateModeTest, FlashEraseWriteReadRoundTrip) {
  const std::vector<uint8_t> data = {1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_EQ(FlashErase(2), 1);
  ASSERT_EQ(FlashWrite(0x2040, data.data(), 8), 1);
  std::vector<uint8_t> back(12, 0);
  ASSERT_EQ(FlashRead(0x2040, back.data(), 12), 1);
  EXPECT_EQ(Hex(back.data(), back.size()), "0102030405060708ffffffff");
  // Erasing again brings the block back to all ones.
  ASSERT_EQ(FlashErase(2), 1);
  ASSERT_EQ(FlashRead(0x2040, back.data(), 12), 1);
  EXPECT_EQ(back, std::vector<uint8_t>(12, 0xFF));
}

TEST_F(UpdateModeTest, SerialWriteReadRoundTrip) {
  const std::vector<uint8_t> data = {0xC0, 0xFF, 0xEE};
  ASSERT_EQ(SerialWrite(0x0300, data.data(), 3), 1);
  std::vector<uint8_t> back(3, 0);
  ASSERT_EQ(SerialRead(0x0300, back.data(), 3), 1);
  EXPECT_EQ(back, data);
}

TEST_F(UpdateModeTest, VersionsLandInTheirPointers) {
  ASSERT_EQ(SetFirmVersion(2, 0x34, 5, 0x67, 0, 0), 1);
  uint8_t v[6] = {};
  ASSERT_EQ(GetFirmVersion(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]), 1);
  // EEPROM, flash, then the CPLD version the device takes from its record.
  EXPECT_EQ(Hex(v, 6), "023405670100");

  // Only the last two pointers: only the CPLD version is written.
  uint8_t eeprom_major = 0xEE;
  uint8_t flash_minor = 0xEE;
  uint8_t cpld[2] = {0xEE, 0xEE};
  ASSERT_EQ(GetFirmVersion(nullptr, nullptr, nullptr, nullptr, &cpld[0], &cpld[1]), 1);
  EXPECT_EQ(Hex(cpld, 2), "0100");
  EXPECT_EQ(eeprom_major, 0xEE);
  EXPECT_EQ(flash_minor, 0xEE);
}

TEST_F(UpdateModeTest, CpldImageInChunksThenStatus) {
  const std::vector<uint8_t> image = CpldImage(10000);
  // 4,096 + 4,096 + 1,808, the first with the total.
  for (size_t offset = 0; offset < image.size(); offset += 4096) {
    const auto length = static_cast<uint32_t>(std::min<size_t>(4096, image.size() - offset));
    ASSERT_EQ(CPLDWrite(image.data() + offset, length, offset == 0 ? 10000 : 0), 1);
  }
  uint8_t status = 0xEE;
  ASSERT_EQ(GetStatus(&status), 1);
  EXPECT_EQ(status, 0);

  std::vector<uint8_t> broken = CpldImage(100);
  broken[0] ^= 1;  // the trailer's sum no longer matches
  ASSERT_EQ(CPLDWrite(broken.data(), 100, 100), 1);
  ASSERT_EQ(GetStatus(&status), 1);
  EXPECT_EQ(status, 1);
}

TEST_F(UpdateModeTest, NullBuffersAreRefusedBeforeAnythingIsSent) {
  EXPECT_EQ(FlashRead(0xD000, nullptr, 512), 0);
  EXPECT_EQ(FlashWrite(0xD000, nullptr, 512), 0);
  EXPECT_EQ(SerialRead(0, nullptr, 1), 0);
  EXPECT_EQ(SerialWrite(0, nullptr, 1), 0);
  EXPECT_EQ(CPLDWrite(nullptr, 4096, 4096), 0);
  EXPECT_EQ(GetStatus(nullptr), 0);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(UpdateModeTest, OtherPersonalitiesExportsFailWithoutSending) {
  EXPECT_EQ(GetDeviceMode(), VELIXFW_MODE_UPDATE);
  uint8_t byte = 0;
  EXPECT_EQ(USBI2CComChange(), 0);
  EXPECT_EQ(SerialReadTemporary(0, 1, &byte), 0);
  EXPECT_EQ(SerialWriteTemporary(0, 1, &byte), 0);
  EXPECT_EQ(SerialWriteCypress(), 0);
  EXPECT_TRUE(Sent().empty());
}

}  // namespace
}  // namespace velix::firmup::testing

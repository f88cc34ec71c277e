// Command packets and their replies, the flash/EEPROM/CPLD commands and the
// state file that keeps them between device objects.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "device_commands.h"
#include "sim/device/simulated_device.h"

namespace velix::sim {
namespace {

using testing::Exchange;
using testing::Packet;
using testing::Send;

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> bytes) { return bytes; }

TEST(DeviceCommandTest, OperationModeReplies) {
  SimulatedDevice device;
  device.Plug();
  ASSERT_EQ(device.personality(), Personality::kOperation);

  EXPECT_EQ(Exchange(&device, Packet({0xC0, 0, 0, 0, 0, 0, 0, 0, 8}), 8), Bytes({0, 0, 1, 0, 1, 0, 1, 0}));
  EXPECT_EQ(Exchange(&device, Packet({0xC8, 0, 0, 0, 0, 0, 0, 0, 4}), 4), Bytes({0, 0, 0, 1}));
  // The reply is as long as bytes 7-8 ask, whatever the buffer.
  EXPECT_EQ(Exchange(&device, Packet({0xC8, 0, 0, 0, 0, 0, 0, 0, 3}), 64), Bytes({0, 0, 0}));

  EXPECT_EQ(Exchange(&device, Packet({0xC5, 0, 0, 0, 0, 0, 0, 0, 4}), 4), Bytes({0, 0, 0, 0}));
  ASSERT_TRUE(Send(&device, Packet({0xC3, 0x03})));
  EXPECT_EQ(device.power_supply(), 3);
  EXPECT_EQ(Exchange(&device, Packet({0xC5, 0, 0, 0, 0, 0, 0, 0, 4}), 4), Bytes({0, 0, 0, 1}));
  ASSERT_TRUE(Send(&device, Packet({0xC3, 0x00})));
  device.SetTargetSelfPowered(true);
  EXPECT_EQ(Exchange(&device, Packet({0xC5, 0, 0, 0, 0, 0, 0, 0, 4}), 4), Bytes({0, 0, 0, 1}));

  const std::vector<uint8_t> trigger = Packet({0xC9, 0x05, 0xA0, 0x00, 0x12, 0x34});
  ASSERT_TRUE(Send(&device, trigger));
  const auto recorded = device.trigger_out_setting();
  EXPECT_EQ(std::vector<uint8_t>(recorded.begin(), recorded.end()), trigger);

  device.SetAnalyzerImage(false);
  EXPECT_EQ(Exchange(&device, Packet({0xC8, 0, 0, 0, 0, 0, 0, 0, 4}), 4), Bytes({0, 0, 0, 0}));

  const auto received = device.ReceivedBulkOut();
  ASSERT_EQ(received.size(), 10u);
  EXPECT_EQ(received[0], Packet({0xC0, 0, 0, 0, 0, 0, 0, 0, 8}));
  EXPECT_EQ(received[8], trigger);
}

TEST(DeviceCommandTest, UpdateModeVersionsAndStatus) {
  SimulatedDevice device;
  device.PlugAs(Personality::kFirmwareUpdate);
  ASSERT_TRUE(Send(&device, Packet({0xC1, 0x03, 0x02, 0x05, 0x03, 0x07, 0x09, 0x09})));
  // The CPLD version comes from the flash record while it holds the
  // operation identity; flag bit 2 was clear anyway.
  EXPECT_EQ(Exchange(&device, Packet({0xC0, 0, 0, 0, 0, 0, 0, 0, 8}), 8), Bytes({0, 0, 2, 5, 3, 7, 1, 0}));
  EXPECT_EQ(Exchange(&device, Packet({0xD8, 0, 0, 0, 0, 0, 0, 0, 4}), 4), Bytes({0, 0, 0, kStatusOk}));
  ASSERT_TRUE(Send(&device, Packet({0xD1, 0, 0, 0, 0, 0, 0, 0, 16})));
  EXPECT_EQ(Exchange(&device, Packet({0xD8, 0, 0, 0, 0, 0, 0, 0, 4}), 4),
            Bytes({0, 0, 0, kStatusFlashBlockInvalid}));
}

TEST(DeviceCommandTest, FlashEraseWriteReadAndEeprom) {
  SimulatedDevice device;
  device.PlugAs(Personality::kFirmwareUpdate);
  auto record = Exchange(&device, Packet({0xD2, 0, 0, 0, 0xD0, 0x00, 0, 0x02, 0x00}), 512);
  ASSERT_TRUE(record.has_value());
  ASSERT_EQ(record->size(), 512u);
  EXPECT_EQ(Bytes({(*record)[0], (*record)[1], (*record)[2], (*record)[3]}), Bytes({0x9A, 0x1D, 0x0A, 0x03}));

  // Writing without an erase can only clear bits.
  ASSERT_TRUE(Send(&device, Packet({0xD3, 0, 0, 0, 0xD0, 0x08, 0, 0x00, 0x02})));
  ASSERT_TRUE(Send(&device, Bytes({0x02, 0xFF})));
  EXPECT_EQ(Exchange(&device, Packet({0xD2, 0, 0, 0, 0xD0, 0x08, 0, 0x00, 0x02}), 2), Bytes({0x00, 0x00}));

  ASSERT_TRUE(Send(&device, Packet({0xD1, 0, 0, 0, 0, 0, 0, 0, 13})));
  EXPECT_EQ(Exchange(&device, Packet({0xD2, 0, 0, 0, 0xD0, 0x00, 0, 0x00, 0x04}), 4), Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
  // The block before is untouched.
  EXPECT_NE(Exchange(&device, Packet({0xD2, 0, 0, 0, 0xCF, 0xFF, 0, 0x00, 0x01}), 1), std::nullopt);
  ASSERT_TRUE(Send(&device, Packet({0xD3, 0, 0, 0, 0xD0, 0x08, 0, 0x00, 0x02})));
  ASSERT_TRUE(Send(&device, Bytes({0x02, 0x05})));
  EXPECT_EQ(Exchange(&device, Packet({0xD2, 0, 0, 0, 0xD0, 0x07, 0, 0x00, 0x03}), 3), Bytes({0xFF, 0x02, 0x05}));
  EXPECT_EQ(device.Memory().RecordCpldVersion(), 0x0205);

  ASSERT_TRUE(Send(&device, Packet({0xD5, 0, 0, 0, 0x01, 0x00, 0, 0x00, 0x03})));
  ASSERT_TRUE(Send(&device, Bytes({0xAA, 0xBB, 0xCC})));
  EXPECT_EQ(Exchange(&device, Packet({0xD4, 0, 0, 0, 0x01, 0x01, 0, 0x00, 0x02}), 2), Bytes({0xBB, 0xCC}));
}

std::vector<uint8_t> CpldImage(size_t body, bool corrupt, uint8_t first_byte = 0) {
  std::vector<uint8_t> image(body);
  uint16_t sum = 0;
  for (size_t i = 0; i < body; ++i) {
    image[i] = i == 0 ? first_byte : static_cast<uint8_t>(i * 13);
    sum = static_cast<uint16_t>(sum + image[i]);
  }
  if (corrupt) ++sum;
  image.insert(image.end(), {static_cast<uint8_t>(sum), static_cast<uint8_t>(sum >> 8), 0x0A, 0x03, 0x05, 0x02, 'C'});
  return image;
}

class CpldWriteTest : public ::testing::TestWithParam<bool> {};

TEST_P(CpldWriteTest, ImageInChunksIsKeptOnlyWithAValidTrailer) {
  const bool corrupt = GetParam();
  const std::vector<uint8_t> image = CpldImage(9993, corrupt);  // 10,000 bytes with the trailer
  SimulatedDevice device;
  device.PlugAs(Personality::kFirmwareUpdate);
  ASSERT_TRUE(Send(&device, Packet({0xD7, 0, 0, 0, 0, 0x00, 0x00, 0x27, 0x10})));
  for (size_t at = 0; at < image.size(); at += 4096) {
    const size_t n = std::min<size_t>(4096, image.size() - at);
    ASSERT_TRUE(Send(&device, std::vector<uint8_t>(image.begin() + at, image.begin() + at + n)));
  }
  const uint8_t status = corrupt ? kStatusCpldImageRejected : kStatusOk;
  EXPECT_EQ(Exchange(&device, Packet({0xD8, 0, 0, 0, 0, 0, 0, 0, 4}), 4), Bytes({0, 0, 0, status}));
  EXPECT_EQ(device.Memory().cpld_image, corrupt ? std::vector<uint8_t>() : image);
}

INSTANTIATE_TEST_SUITE_P(Trailers, CpldWriteTest, ::testing::Bool());

struct ImageMarkCase {
  const char* name;
  uint8_t first_byte;
  bool corrupt;
  bool analyzer_before;
  bool analyzer_after;
};

class CpldImageMarkTest : public ::testing::TestWithParam<ImageMarkCase> {};

TEST_P(CpldImageMarkTest, AnAcceptedImageLoadsThePersonalityItIsMarkedWith) {
  const ImageMarkCase& c = GetParam();
  const std::vector<uint8_t> image = CpldImage(5000, c.corrupt, c.first_byte);
  SimulatedDevice device;
  device.SetAnalyzerImage(c.analyzer_before);
  device.PlugAs(Personality::kFirmwareUpdate);
  ASSERT_TRUE(Send(&device, Packet({0xD7, 0, 0, 0, 0, 0x00, 0x00, 0x13, 0x8F})));
  ASSERT_TRUE(Send(&device, image));
  EXPECT_EQ(device.Memory().analyzer_image, c.analyzer_after);
  // Operation mode answers the mode query with the image's personality.
  device.PlugAs(Personality::kOperation);
  const uint8_t analyzer_bit = c.analyzer_after ? 1 : 0;
  EXPECT_EQ(Exchange(&device, Packet({0xC8, 0, 0, 0, 0, 0, 0, 0, 4}), 4), Bytes({0, 0, 0, analyzer_bit}));
}

INSTANTIATE_TEST_SUITE_P(Marks, CpldImageMarkTest,
                         ::testing::Values(ImageMarkCase{"AnalyzerOverMonitor", 'A', false, false, true},
                                           ImageMarkCase{"MonitorOverAnalyzer", 'M', false, true, false},
                                           ImageMarkCase{"UnmarkedKeepsTheMonitor", 0x00, false, false, false},
                                           ImageMarkCase{"RejectedAnalyzerImage", 'A', true, false, false}),
                         [](const ::testing::TestParamInfo<ImageMarkCase>& mark_case) { return mark_case.param.name; });

TEST(DeviceStateFileTest, MemorySurvivesANewDeviceObject) {
  const std::string path = ::testing::TempDir() + "device_state_test.bin";
  std::remove(path.c_str());
  {
    SimulatedDevice device(path);
    device.PlugAs(Personality::kFirmwareUpdate);
    ASSERT_TRUE(Send(&device, Packet({0xD1, 0, 0, 0, 0, 0, 0, 0, 2})));
    ASSERT_TRUE(Send(&device, Packet({0xD3, 0, 0, 0, 0x20, 0x10, 0, 0x00, 0x02})));
    ASSERT_TRUE(Send(&device, Bytes({0x12, 0x34})));
    ASSERT_TRUE(Send(&device, Packet({0xD5, 0, 0, 0, 0x00, 0x40, 0, 0x00, 0x01})));
    ASSERT_TRUE(Send(&device, Bytes({0x77})));
    device.SetAnalyzerImage(false);
    EXPECT_EQ(device.state_error(), "");
  }
  SimulatedDevice again(path);
  again.PlugAs(Personality::kFirmwareUpdate);
  EXPECT_EQ(Exchange(&again, Packet({0xD2, 0, 0, 0, 0x20, 0x10, 0, 0x00, 0x02}), 2), Bytes({0x12, 0x34}));
  EXPECT_EQ(Exchange(&again, Packet({0xD4, 0, 0, 0, 0x00, 0x40, 0, 0x00, 0x01}), 1), Bytes({0x77}));
  EXPECT_FALSE(again.Memory().analyzer_image);
  std::remove(path.c_str());
}

TEST(DeviceStateFileTest, MalformedFileIsRefused) {
  const std::string path = ::testing::TempDir() + "device_state_bad.bin";
  {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("VXDEVST1 too short", file);
    std::fclose(file);
  }
  DeviceMemory memory = DeviceMemory::Factory();
  std::string error;
  EXPECT_FALSE(memory.Load(path, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(memory.RecordHasOperationIdentity());
  {
    SimulatedDevice device(path);
    EXPECT_FALSE(device.state_error().empty());
  }
  // The device keeps its hands off a file it cannot read.
  EXPECT_EQ(std::filesystem::file_size(path), 18u);
  std::remove(path.c_str());
}

}  // namespace
}  // namespace velix::sim

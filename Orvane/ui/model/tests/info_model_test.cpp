// The Information dialog's content from the device info bytes, the memory
// figures and the live buffer.
#include "Orvane/ui/model/info_model.h"

#include <gtest/gtest.h>

#include "platform/trace.h"

namespace orvane {
namespace {

constexpr DeviceInfo kAnalyzer = {1, 2, 0x02, 0x01, 0x01, 0x0A, 0x00, 0x05};
constexpr DeviceInfo kMonitor = {0, 2, 0x02, 0x01, 0x03, 0xFF, 0x10, 0x00};

TEST(InfoTexts, DeviceStateAndVersions) {
  struct Case {
    const char* name;
    DeviceProbe probe;
    InfoStatus status;
    bool enabled;
    const char* firmware;
    const char* cpld;
    const char* driver;
    InfoMode mode;
    uint32_t colour;
  } cases[] = {
      {"analyzer", {true, true, kAnalyzer}, InfoStatus::kConnected, true, "01.0A", "00.05", "02.01",
       InfoMode::kBusAnalyzer, 0x1080C0},
      {"monitor", {true, true, kMonitor}, InfoStatus::kConnected, true, "03.FF", "10.00", "02.01", InfoMode::kMonitor,
       0x109F10},
      // The mode bit is the whole byte's value 1, not any odd value.
      {"mode byte 3", {true, true, {3, 2, 0, 0, 0, 0, 0, 0}}, InfoStatus::kConnected, true, "00.00", "00.00",
       "00.00", InfoMode::kMonitor, 0x109F10},
      {"version query failed", {true, false, kAnalyzer}, InfoStatus::kNotConnected, true, "", "", "",
       InfoMode::kNone, 0},
      {"not connected", {false, false, {}}, InfoStatus::kNotConnected, false, "", "", "", InfoMode::kNone, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const InfoTexts texts = MakeInfoTexts(c.probe, std::nullopt, std::nullopt);
    EXPECT_EQ(texts.status, c.status);
    EXPECT_EQ(texts.versions_enabled, c.enabled);
    EXPECT_EQ(texts.firmware_version, c.firmware);
    EXPECT_EQ(texts.cpld_version, c.cpld);
    EXPECT_EQ(texts.driver_version, c.driver);
    EXPECT_EQ(texts.mode, c.mode);
    EXPECT_EQ(texts.mode_colour, c.colour);
  }
}

TEST(InfoTexts, MemoryAndLiveBuffer) {
  struct Case {
    const char* name;
    std::optional<MemoryFigures> memory;
    std::optional<uint32_t> live_buffer_mb;
    std::optional<std::string> physical;
    std::optional<std::string> free;
    std::optional<std::string> allocation;
  } cases[] = {
      {"8 GiB", MemoryFigures{8589934592ull, 3221225472ull + 1048575}, std::nullopt,
       "8589934592 Byte  (8192 MB)", "3222274047 Byte  (3072 MB)", std::nullopt},
      {"below one MB", MemoryFigures{1048575, 0}, std::nullopt, "1048575 Byte  (0 MB)", "0 Byte  (0 MB)",
       std::nullopt},
      {"query failed", std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
      {"live buffer", MemoryFigures{1, 1}, 512u, "1 Byte  (0 MB)", "1 Byte  (0 MB)", "512 MB"},
      {"empty live buffer", std::nullopt, 0u, std::nullopt, std::nullopt, "0 MB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const InfoTexts texts = MakeInfoTexts({}, c.memory, c.live_buffer_mb);
    EXPECT_EQ(texts.physical_memory, c.physical);
    EXPECT_EQ(texts.free_memory, c.free);
    EXPECT_EQ(texts.allocation, c.allocation);
  }
}

TEST(InfoTexts, RightDoubleClickSwitchTogglesTheDebugTrace) {
  velix::platform::SetDebugMessages(false);
  EXPECT_TRUE(ToggleDebugMessages());
  EXPECT_TRUE(velix::platform::DebugMessages());
  EXPECT_FALSE(ToggleDebugMessages());
  EXPECT_FALSE(velix::platform::DebugMessages());
}

TEST(InfoProbe, NoDeviceClosesTheHandle) {
  DriverClient client;
  const DeviceProbe probe = ProbeDevice(client, "\\\\.\\NoSuchDevice9");
  EXPECT_FALSE(probe.opened);
  EXPECT_FALSE(probe.versions_read);
  EXPECT_FALSE(client.IsOpen());
  const DeviceProbe during_capture = ProbeOfRunningCapture(client);
  EXPECT_FALSE(during_capture.opened);
}

}  // namespace
}  // namespace orvane

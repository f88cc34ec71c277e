#include "Orvane/capture/capture_limits.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvane {
namespace {

constexpr uint64_t kMiB = 1048576;

TEST(CaptureLimits, MaxCaptureSizeFromAvailableMemory) {
  struct Case {
    uint64_t available;
    bool monitor;
    uint32_t expected;
  };
  const std::vector<Case> cases = {
      {2048 * kMiB, false, 480},  // 1024 - 2 = 1022, capped
      {2048 * kMiB, true, 192},
      {964 * kMiB, false, 480},   // exactly at the cap
      {962 * kMiB, false, 479},
      {800 * kMiB, false, 398},
      {300 * kMiB, true, 148},
      {7 * kMiB, false, 1},
      {6 * kMiB - 1, false, 0},   // half is 2 MB: nothing left
      {3 * kMiB, false, 0},       // would wrap below zero
      {0, true, 0},
      // Half minus 2 = 65536 MB: a 16-bit value would wrap to 0.
      {131076 * kMiB, false, 480},
      {uint64_t{1} << 50, true, 192},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MaxCaptureSizeMb(c.available, c.monitor), c.expected)
        << c.available / kMiB << " MB, monitor " << c.monitor;
  }
}

TEST(CaptureLimits, MaxCaptureSizeNowStaysUnderTheCap) {
  EXPECT_LE(MaxCaptureSizeMbNow(false), kCaptureSizeCapMb);
  EXPECT_LE(MaxCaptureSizeMbNow(true), kCaptureSizeCapMonitorMb);
}

TEST(CaptureLimits, FrequencyEntriesAndCodes) {
  EXPECT_EQ(FrequencyIndex(2), 0u);
  EXPECT_EQ(FrequencyIndex(5), 1u);
  EXPECT_EQ(FrequencyIndex(10), 2u);
  EXPECT_EQ(FrequencyIndex(0), 2u);
  EXPECT_EQ(FrequencyIndex(3), 2u);
  EXPECT_EQ(SamplePeriodCodeAt(0), 2);
  EXPECT_EQ(SamplePeriodCodeAt(1), 5);
  EXPECT_EQ(SamplePeriodCodeAt(2), 10);
  EXPECT_EQ(SamplePeriodCodeAt(99), 10);
}

struct OpeningCase {
  const char* name;
  bool monitor;
  uint32_t capture_size;
  uint32_t max_capture;
  uint8_t driver_buffer;
  uint32_t expected_capture;
  uint32_t expected_driver;
};

TEST(CaptureDialogOpening, SizesTakeDefaultsAndStayInRange) {
  const std::vector<OpeningCase> cases = {
      {"previous 600 above max 480", false, 600, 480, 8, 480, 8},
      {"analyzer defaults", false, 0, 480, 0, 256, 16},
      {"monitor defaults", true, 0, 192, 0, 32, 2},
      {"default above a small max", false, 0, 100, 16, 100, 16},
      {"driver buffer above 16, analyzer", false, 64, 480, 17, 64, 16},
      {"driver buffer above 16, monitor", true, 64, 192, 200, 64, 2},
      {"smallest sizes kept", true, 1, 192, 1, 1, 1},
      {"sizes at their maxima kept", false, 480, 480, 16, 480, 16},
  };
  for (const OpeningCase& c : cases) {
    SettingsRecord s = DefaultSettingsRecord();
    s.DriverBufferSize = c.driver_buffer;
    const CaptureDialogValues v = OpenCaptureDialogValues(s, c.capture_size, c.monitor, c.max_capture);
    EXPECT_EQ(v.capture_size_mb, c.expected_capture) << c.name;
    EXPECT_EQ(v.driver_buffer_mb, c.expected_driver) << c.name;
    EXPECT_EQ(v.max_capture_size_mb, c.max_capture) << c.name;
    EXPECT_EQ(v.max_driver_buffer_mb, 16u) << c.name;
  }
}

TEST(CaptureDialogOpening, BusModeAndFrequency) {
  SettingsRecord s = DefaultSettingsRecord();
  s.m_AnalyzeBusChannel = 3;
  s.FreeRun = 1;
  s.SamplePeriodCode = 5;
  CaptureDialogValues analyzer = OpenCaptureDialogValues(s, 0, false, 480);
  EXPECT_EQ(analyzer.bus, 0);         // above 2 becomes SPI
  EXPECT_EQ(analyzer.free_run, 0);    // a stored free run is shown as oneshot
  EXPECT_EQ(analyzer.frequency_index, 1u);
  EXPECT_FALSE(analyzer.monitor_mode);

  s.m_AnalyzeBusChannel = 2;
  CaptureDialogValues monitor = OpenCaptureDialogValues(s, 0, true, 192);
  EXPECT_EQ(monitor.bus, 2);
  EXPECT_EQ(monitor.free_run, 1);
  EXPECT_TRUE(monitor.monitor_mode);
}

TEST(CaptureDialogOpening, ModeTitles) {
  EXPECT_STREQ(CaptureModeTitle(true).text, "MONITOR MODE");
  EXPECT_EQ(CaptureModeTitle(true).colour, 0x109F10u);
  EXPECT_STREQ(CaptureModeTitle(false).text, "BUS ANALYZER MODE");
  EXPECT_EQ(CaptureModeTitle(false).colour, 0x1080C0u);
}

TEST(SizeEntry, ZeroOrAboveMaximumIsRefusedWithTheValue) {
  EXPECT_FALSE(SizeEntryError(1, 480).has_value());
  EXPECT_FALSE(SizeEntryError(480, 480).has_value());
  EXPECT_FALSE(SizeEntryError(32, 480).has_value());  // what "0x20" reads as
  EXPECT_EQ(SizeEntryError(0, 480).value_or(""),
            "Setting error.\nThe setting value is beyond the range\n : 0");
  EXPECT_EQ(SizeEntryError(481, 480).value_or(""),
            "Setting error.\nThe setting value is beyond the range\n : 481");
  EXPECT_EQ(SizeEntryError(0xFFFFFFFFu, 16).value_or(""),
            "Setting error.\nThe setting value is beyond the range\n : 4294967295");
}

}  // namespace
}  // namespace orvane

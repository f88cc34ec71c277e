#include "Orvane/ui/dialogs/capture_setting_model.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvane {
namespace {

CaptureDialogValues Values(bool monitor_mode, uint8_t bus) {
  CaptureDialogValues values;
  values.monitor_mode = monitor_mode;
  values.bus = bus;
  values.capture_size_mb = 256;
  values.driver_buffer_mb = 16;
  values.max_capture_size_mb = 480;
  return values;
}

TEST(CaptureSettingModel, WhatTheDialogOffers) {
  struct Case {
    const char* name;
    bool monitor;
    uint8_t bus;
    int right_double_clicks;
    bool spi, i2c, capture_mode, frequency;
  };
  const std::vector<Case> cases = {
      {"analyzer, SPI", false, 0, 0, true, false, false, true},
      {"analyzer, I2C #0", false, 1, 0, false, true, false, true},
      {"analyzer, I2C #1", false, 2, 0, false, true, false, true},
      {"monitor, SPI", true, 0, 0, true, false, true, false},
      {"monitor, I2C #1", true, 2, 0, false, true, true, false},
      {"analyzer, four right double-clicks", false, 0, 4, true, false, false, true},
      {"analyzer, five right double-clicks", false, 1, 5, false, true, true, true},
      {"analyzer, many right double-clicks", false, 1, 50, false, true, true, true},
  };
  for (const Case& c : cases) {
    CaptureSettingModel model(Values(c.monitor, 0));
    model.SelectBus(c.bus);
    for (int i = 0; i < c.right_double_clicks; ++i) model.RightDoubleClick();
    const CaptureSettingEnables enables = model.Enables();
    EXPECT_EQ(enables.spi_setting, c.spi) << c.name;
    EXPECT_EQ(enables.i2c_setting, c.i2c) << c.name;
    EXPECT_EQ(enables.capture_mode_shown, c.capture_mode) << c.name;
    EXPECT_EQ(enables.frequency_shown, c.frequency) << c.name;
  }
}

TEST(CaptureSettingModel, TypedSizes) {
  struct Case {
    const char* text;
    uint32_t maximum;
    std::optional<uint32_t> value;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"0x20", 480, 32, ""},
      {"040", 480, 32, ""},
      {" 480 ", 480, 480, ""},
      {"1", 16, 1, ""},
      {"0", 480, std::nullopt, "Setting error.\nThe setting value is beyond the range\n : 0"},
      {"481", 480, std::nullopt, "Setting error.\nThe setting value is beyond the range\n : 481"},
      {"17", 16, std::nullopt, "Setting error.\nThe setting value is beyond the range\n : 17"},
      {"", 480, std::nullopt,
       "Setting error.\nThe setting value is beyond the range\n : 4294967295"},
      {"12MB", 480, std::nullopt,
       "Setting error.\nThe setting value is beyond the range\n : 4294967295"},
  };
  for (const Case& c : cases) {
    const SizeEntry entry = CheckSizeEntry(c.text, c.maximum);
    EXPECT_EQ(entry.value, c.value) << c.text;
    EXPECT_EQ(entry.message, c.message) << c.text;
  }
}

TEST(CaptureSettingModel, EntriesFollowTheChoices) {
  CaptureDialogValues values = Values(true, 2);
  values.free_run = 1;
  values.frequency_index = 1;
  CaptureSettingModel model(values);
  EXPECT_TRUE(model.Entries().monitor_mode);
  EXPECT_EQ(model.Entries().bus, 2);
  EXPECT_EQ(model.Entries().free_run, 1);
  EXPECT_EQ(model.Entries().max_capture_size_mb, 480u);

  model.SelectBus(0);
  model.SelectCaptureMode(0);
  model.SelectFrequency(2);
  model.SetCaptureSize(100);
  model.SetDriverBuffer(4);
  const CaptureEntries& entries = model.Entries();
  EXPECT_EQ(entries.bus, 0);
  EXPECT_EQ(entries.free_run, 0);
  EXPECT_EQ(entries.frequency_index, 2u);
  EXPECT_EQ(entries.capture_size_mb, 100u);
  EXPECT_EQ(entries.driver_buffer_mb, 4u);
}

}  // namespace
}  // namespace orvane

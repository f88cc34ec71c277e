// The external input trigger and trigger output dialogs' rules.
#include "Orvane/ui/dialogs/trigger_line_models.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace orvane {
namespace {

TEST(TrgInModel, LinesComeFromTheirBits) {
  SettingsRecord s = DefaultSettingsRecord();
  s.TrgInEnable = 1;
  s.TrgInEnables = 0x05;
  s.TrgInLevels = 0x04;
  const TrgInFields f = TrgInFieldsFromSettings(s);
  EXPECT_TRUE(f.enabled);
  EXPECT_EQ(f.line_enabled, (std::array<bool, 5>{true, false, true, false, false}));
  EXPECT_EQ(f.high, (std::array<bool, 5>{false, false, true, false, false}));
}

TEST(TrgInModel, EnablingFollowsTheTriggerTheLinesAndTheContext) {
  struct Case {
    const char* name;
    bool enabled;
    TriggerContext context;
    std::array<bool, 5> level;
    bool software, out;
  };
  const std::array<bool, 5> none{};
  const std::array<bool, 5> lines_0_3{true, false, false, true, false};
  const std::vector<Case> cases = {
      {"OffMonitorI2C", false, {true, true, 1}, none, true, true},
      {"OnMonitorI2C1", true, {true, true, 2}, lines_0_3, true, true},
      {"OnMonitorSpi", true, {true, true, 0}, lines_0_3, true, false},
      {"AnalyzerMode", true, {false, true, 1}, lines_0_3, false, false},
      {"BusUnknown", true, {true, false, 0}, lines_0_3, true, true},
  };
  for (const Case& c : cases) {
    TrgInFields f;
    f.enabled = c.enabled;
    f.line_enabled = {true, false, false, true, false};
    const TrgInEnables e = TrgInControlEnables(f, c.context);
    EXPECT_EQ(e.line_box, (std::array<bool, 5>{c.enabled, c.enabled, c.enabled, c.enabled, c.enabled})) << c.name;
    EXPECT_EQ(e.level, c.level) << c.name;
    EXPECT_EQ(e.software_trigger, c.software) << c.name;
    EXPECT_EQ(e.trigger_out, c.out) << c.name;
  }
}

TEST(TrgInModel, OkKeepsTheLinesWhileTheTriggerIsOff) {
  struct Case {
    bool enabled;
    uint8_t enables, levels;
  };
  const std::vector<Case> cases = {{false, 0x1A, 0x03}, {true, 0x05, 0x04}};
  for (const Case& c : cases) {
    SettingsRecord s = DefaultSettingsRecord();
    s.TrgInEnable = 1;
    s.TrgInEnables = 0x1A;
    s.TrgInLevels = 0x03;
    TrgInFields f;
    f.enabled = c.enabled;
    f.line_enabled = {true, false, true, false, false};
    f.high = {false, false, true, false, false};
    ApplyTrgInDialog(f, &s);
    EXPECT_EQ(s.TrgInEnable, c.enabled ? 1 : 0);
    EXPECT_EQ(s.TrgInEnables, c.enables) << c.enabled;
    EXPECT_EQ(s.TrgInLevels, c.levels) << c.enabled;
  }
}

TEST(TrgOutModel, OkChecksTheAddressAndStoresEveryField) {
  struct Case {
    const char* name;
    bool enabled, address_enabled, ten_bit;
    const char* address;
    const char* message;  // nullptr: stored
    uint16_t stored;
  };
  const std::vector<Case> cases = {
      {"TenBitTooLarge", true, true, true, "0x400", "I2C address error", 0x11},
      {"TenBit", true, true, true, "0x2A5", nullptr, 0x2A5},
      {"Unreadable", true, true, false, "x", "I2C address error", 0x11},
      {"SevenBitAnyValue", true, true, false, "0x450", nullptr, 0x450},
      {"OutputOffSkipsTheCheck", false, true, true, "x", nullptr, 0x11},
      {"AddressOffSkipsTheCheck", true, false, true, "0x400", nullptr, 0x400},
  };
  for (const Case& c : cases) {
    SettingsRecord s = DefaultSettingsRecord();
    s.TrgOutAddress = 0x11;
    TrgOutFields f = TrgOutFieldsFromSettings(s);
    f.enabled = c.enabled;
    f.address_enabled = c.address_enabled;
    f.ten_bit = c.ten_bit;
    f.address = c.address;
    f.sub_address_enabled = true;
    f.sub_address_length = 4;
    f.sub_address = {0x12, 0x34, 0x56, 0x78};
    f.nack_ignore = true;
    const auto message = ApplyTrgOutDialog(f, &s);
    EXPECT_EQ(message.value_or("stored"), c.message ? c.message : "stored") << c.name;
    EXPECT_EQ(uint16_t{s.TrgOutAddress}, c.stored) << c.name;
    if (c.message) {
      EXPECT_EQ(s.TrgOutSubAddressLength, 2) << c.name;
      continue;
    }
    EXPECT_EQ(s.TrgOutEnable, c.enabled ? 1 : 0) << c.name;
    EXPECT_EQ(s.TrgOut10Bit, c.ten_bit ? 1 : 0) << c.name;
    EXPECT_EQ(s.TrgOutSubAddressEnable, 1);
    EXPECT_EQ(s.TrgOutSubAddressLength, 4);
    EXPECT_EQ(s.TrgOutSubAddressData[3], 0x78);
    EXPECT_EQ(s.TrgOutNackIgnore, 1);
  }
}

}  // namespace
}  // namespace orvane

#include "Orvane/ui/dialogs/hakei_mode_model.h"

#include <gtest/gtest.h>

#include <vector>

#include "Orvane/decode/dialog_values.h"

namespace orvane {
namespace {

TEST(HakeiModeModel, OpensWithTheStoredValuesAndAQuietTimeInRange) {
  struct Case {
    uint8_t forced;
    uint16_t stored;
    bool shown_forced;
    uint16_t shown_ms;
  };
  const std::vector<Case> cases = {
      {0, 0, false, 200},    {1, 0, true, 200},       {1, 1, true, 1},  {0, 4000, false, 4000},
      {1, 4001, true, 200},  {1, 65535, true, 200},   {2, 750, true, 750},
  };
  for (const Case& c : cases) {
    SettingsRecord settings = DefaultSettingsRecord();
    settings.ForcedDisplay = c.forced;
    settings.ForcedDisplayWindow = c.stored;
    const HakeiModeValues values = HakeiModeFromSettings(settings);
    EXPECT_EQ(values.forced_display, c.shown_forced) << c.stored;
    EXPECT_EQ(values.quiet_ms, c.shown_ms) << c.stored;
  }
}

TEST(HakeiModeModel, OkChecksTheQuietTimeOnlyWhileChecked) {
  struct Case {
    bool checked;
    const char* text;
    bool accepted;
    uint16_t kept_ms;
    uint32_t rejected;
  };
  const HakeiModeValues opened{false, 300};
  const std::vector<Case> cases = {
      {true, "1", true, 1, 0},
      {true, "4000", true, 4000, 0},
      {true, " 0x10 ", true, 16, 0},
      {true, "010", true, 8, 0},
      {true, "0", false, 300, 0},
      {true, "4001", false, 300, 4001},
      {true, "70000", false, 300, 70000},
      {true, "12ms", false, 300, kUnparsableNumber},
      {true, "", false, 300, kUnparsableNumber},
      // Unchecked: anything goes and the quiet time stays as opened.
      {false, "4001", true, 300, 0},
      {false, "nonsense", true, 300, 0},
  };
  for (const Case& c : cases) {
    const HakeiModeAccept result = AcceptHakeiMode(c.checked, c.text, opened);
    EXPECT_EQ(result.accepted, c.accepted) << c.text;
    if (c.accepted) {
      EXPECT_EQ(result.values.forced_display, c.checked) << c.text;
      EXPECT_EQ(result.values.quiet_ms, c.kept_ms) << c.text;
    } else {
      EXPECT_EQ(result.rejected_value, c.rejected) << c.text;
    }
  }
  EXPECT_EQ(QuietTimeRangeMessage(kQuietTimeRangeText, 4001),
            "Setting error.\nThe setting value is beyond the range\n : 4001");
}

TEST(HakeiModeModel, OnStoresBothAndOffClearsTheFlagOnly) {
  struct Case {
    HakeiModeValues values;
    uint8_t forced;
    uint16_t window;
  };
  const std::vector<Case> cases = {
      {{true, 1500}, 1, 1500},
      {{true, 200}, 1, 200},
      {{false, 1500}, 0, 0},  // the stored 0 stays: the pass reads it as 200
  };
  for (const Case& c : cases) {
    SettingsRecord settings = DefaultSettingsRecord();
    settings.ForcedDisplay = 1;
    settings.ForcedDisplayWindow = 0;
    StoreHakeiMode(c.values, &settings);
    EXPECT_EQ(settings.ForcedDisplay, c.forced) << c.values.quiet_ms;
    EXPECT_EQ(uint16_t{settings.ForcedDisplayWindow}, c.window) << c.values.quiet_ms;
  }
}

}  // namespace
}  // namespace orvane

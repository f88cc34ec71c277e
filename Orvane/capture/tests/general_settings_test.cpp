#include "Orvane/capture/general_settings.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/recording_sink.h"

namespace orvane {
namespace {

using velix::platform::Answer;
using velix::platform::Buttons;
using velix::platform::Icon;
using velix::platform::RecordingSink;

TEST(PowerSense, FromTheQuery) {
  struct Case {
    bool opened, queried;
    std::vector<uint8_t> reply;
    bool present, powered;
    const char* text;
  };
  const std::vector<Case> cases = {
      {true, true, {0, 0, 0, 1}, true, true, "Power ON"},
      {true, true, {0xFF, 0xFF, 0xFF, 0xFE}, true, false, "Power OFF (Power not supply)"},
      {true, true, {0, 0, 1}, false, false, ""},  // short reply
      {true, false, {0, 0, 0, 1}, false, false, ""},
      {false, true, {0, 0, 0, 1}, false, false, ""},
  };
  for (const Case& c : cases) {
    const PowerSense sense = PowerSenseFromQuery(c.opened, c.queried, c.reply);
    EXPECT_EQ(sense.device_present, c.present);
    EXPECT_EQ(sense.target_powered, c.powered);
    EXPECT_STREQ(PowerStateText(sense), c.text);
  }
}

TEST(GeneralSettings, OpeningShowsUnknownCodesAsFirstEntry) {
  SettingsRecord s = DefaultSettingsRecord();
  s.PowerSupply = 5;
  s.NoiseFilter = 4;
  GeneralSettingsValues v = OpenGeneralSettingsValues(s, false);
  EXPECT_EQ(v.power_supply, 0);
  EXPECT_EQ(v.noise_filter, 0);
  EXPECT_FALSE(v.lock_memory);

  s.PowerSupply = 4;
  s.NoiseFilter = 3;
  v = OpenGeneralSettingsValues(s, true);
  EXPECT_EQ(v.power_supply, 4);
  EXPECT_EQ(v.noise_filter, 3);
  EXPECT_TRUE(v.lock_memory);
}

TEST(GeneralSettings, PowerChangeAndTheAlreadyPoweredWarning) {
  struct Case {
    const char* name;
    bool present, powered, change_state;
    uint8_t choice;
    Answer answer;
    bool warned, applied;
  };
  const std::vector<Case> cases = {
      {"3.3 V on a powered target, No", true, true, true, 3, Answer::kNo, true, false},
      {"3.3 V on a powered target, Yes", true, true, true, 3, Answer::kYes, true, true},
      {"dialog closed without an answer", true, true, true, 1, Answer::kCancel, true, false},
      {"power off on a powered target", true, true, true, 0, Answer::kNo, false, true},
      {"3.3 V on an unpowered target", true, false, true, 3, Answer::kNo, false, true},
      {"unchanged", true, true, false, 3, Answer::kYes, false, false},
      {"no device", false, false, true, 3, Answer::kYes, false, false},
  };
  for (const Case& c : cases) {
    RecordingSink sink;
    sink.QueueAnswer(c.answer);
    AppState app;
    app.settings.PowerSupply = 2;
    app.settings.NoiseFilter = 0;
    app.lock_memory = 1;
    GeneralSettingsValues chosen;
    chosen.power_supply = c.choice;
    chosen.noise_filter = 1;
    chosen.lock_memory = false;
    const GeneralSettingsResult result =
        AcceptGeneralSettings(chosen, c.change_state, PowerSense{c.present, c.powered}, sink);
    EXPECT_EQ(result.apply_power, c.applied) << c.name;
    ASSERT_EQ(sink.Messages().size(), c.warned ? 1u : 0u) << c.name;
    if (c.warned) {
      EXPECT_EQ(sink.Messages()[0].text,
                "***[WARNING!!!] ***\n\nPower may have been already supplied.\nWhen you power up in "
                "this state, it may damage.\n\nAre you sure you want to turn ON the power?")
          << c.name;
      EXPECT_EQ(sink.Messages()[0].icon, Icon::kExclamation) << c.name;
      EXPECT_EQ(sink.Messages()[0].buttons, Buttons::kYesNo) << c.name;
    }

    const std::optional<uint8_t> send = StoreGeneralSettings(result, app);
    EXPECT_EQ(send.has_value(), c.applied) << c.name;
    EXPECT_EQ(app.settings.PowerSupply, c.applied ? c.choice : 2) << c.name;
    if (send) {
      EXPECT_EQ(*send, c.choice) << c.name;
    }
    EXPECT_EQ(app.settings.NoiseFilter, 1) << c.name;  // stored whatever happens to the power
    EXPECT_EQ(app.lock_memory, 0u) << c.name;
  }
}

}  // namespace
}  // namespace orvane

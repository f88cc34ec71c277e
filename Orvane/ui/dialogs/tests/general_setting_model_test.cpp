#include "Orvane/ui/dialogs/general_setting_model.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvane {
namespace {

TEST(GeneralSettingModel, PowerControlsNeedADevice) {
  struct Case {
    bool present, powered, change_state;
    bool controls, list;
  };
  const std::vector<Case> cases = {
      {false, false, false, false, false},
      {false, false, true, false, false},
      {true, false, false, true, false},
      {true, true, false, true, false},
      {true, true, true, true, true},
      {true, false, true, true, true},
  };
  for (const Case& c : cases) {
    const GeneralSettingEnables enables =
        GeneralControlEnables(PowerSense{c.present, c.powered}, c.change_state);
    EXPECT_EQ(enables.power_controls, c.controls);
    EXPECT_EQ(enables.power_list, c.list);
  }
}

}  // namespace
}  // namespace orvane

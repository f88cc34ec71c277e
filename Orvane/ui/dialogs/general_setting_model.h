#pragma once
// Which controls of the "Other setting" dialog the user may touch: the
// power controls only with a device that answered the power state query,
// and the power list only while "Change state" is selected.

#include "Orvane/capture/general_settings.h"

namespace orvane {

struct GeneralSettingEnables {
  bool power_controls = false;  // state, its value, both choices, the list's label
  bool power_list = false;
};

GeneralSettingEnables GeneralControlEnables(const PowerSense& sense, bool change_state);

}  // namespace orvane

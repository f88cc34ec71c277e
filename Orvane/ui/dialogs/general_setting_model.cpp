#include "Orvane/ui/dialogs/general_setting_model.h"

namespace orvane {

GeneralSettingEnables GeneralControlEnables(const PowerSense& sense, bool change_state) {
  GeneralSettingEnables enables;
  enables.power_controls = sense.device_present;
  enables.power_list = sense.device_present && change_state;
  return enables;
}

}  // namespace orvane

#include "Orvane/ui/dialogs/i2c_setting_model.h"

namespace orvane {

I2CSettingEnables I2CControlEnables(bool timing_fields_enabled, bool hs_enable) {
  return {timing_fields_enabled, timing_fields_enabled && hs_enable};
}

}  // namespace orvane

#include "Orvane/ui/dialogs/spi_setting_model.h"

namespace orvane {

SpiSettingEnables SpiControlEnables(const SpiSettingsFields& fields) {
  return {fields.monitor_ss, fields.timeout_enabled};
}

bool IgnoreFirstEdgeShown(bool on_at_opening, int background_double_clicks) {
  return on_at_opening || background_double_clicks > kIgnoreFirstEdgeClicks;
}

}  // namespace orvane

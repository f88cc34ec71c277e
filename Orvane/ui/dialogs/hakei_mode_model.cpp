#include "Orvane/ui/dialogs/hakei_mode_model.h"

#include "Orvane/decode/dialog_values.h"

namespace orvane {

HakeiModeValues HakeiModeFromSettings(const SettingsRecord& settings) {
  const uint16_t stored = settings.ForcedDisplayWindow;
  HakeiModeValues values;
  values.forced_display = settings.ForcedDisplay != 0;
  values.quiet_ms = (stored < kQuietTimeMinMs || stored > kQuietTimeMaxMs) ? kQuietTimeDefaultMs : stored;
  return values;
}

HakeiModeAccept AcceptHakeiMode(bool checked, std::string_view quiet_text, const HakeiModeValues& opened) {
  HakeiModeAccept result;
  result.values = opened;
  result.values.forced_display = checked;
  if (!checked) {
    result.accepted = true;
    return result;
  }
  const uint32_t value = ParseDialogNumber(quiet_text);
  if (value < kQuietTimeMinMs || value > kQuietTimeMaxMs) {
    result.rejected_value = value;
    return result;
  }
  result.accepted = true;
  result.values.quiet_ms = static_cast<uint16_t>(value);
  return result;
}

std::string QuietTimeRangeMessage(std::string_view text, uint32_t value) {
  return std::string(text) + " : " + std::to_string(value);
}

void StoreHakeiMode(const HakeiModeValues& values, SettingsRecord* settings) {
  if (!values.forced_display) {
    settings->ForcedDisplay = 0;
    return;
  }
  settings->ForcedDisplay = 1;
  settings->ForcedDisplayWindow = values.quiet_ms;
}

}  // namespace orvane

#include "Orvane/ui/dialogs/capture_setting_model.h"

#include "Orvane/decode/dialog_values.h"

namespace orvane {

SizeEntry CheckSizeEntry(std::string_view text, uint32_t maximum) {
  const uint32_t value = ParseDialogNumber(text);
  auto error = SizeEntryError(value, maximum);
  if (error) return {std::nullopt, std::move(*error)};
  return {value, {}};
}

CaptureSettingModel::CaptureSettingModel(const CaptureDialogValues& values)
    : entries_(EntriesFromDialogValues(values)), max_driver_buffer_mb_(values.max_driver_buffer_mb) {}

CaptureSettingEnables CaptureSettingModel::Enables() const {
  CaptureSettingEnables enables;
  enables.spi_setting = entries_.bus == 0;
  enables.i2c_setting = entries_.bus == 1 || entries_.bus == 2;
  enables.capture_mode_shown =
      entries_.monitor_mode || right_double_clicks_ >= kUnlockClicks;
  enables.frequency_shown = !entries_.monitor_mode;
  return enables;
}

void CaptureSettingModel::RightDoubleClick() {
  if (right_double_clicks_ < kUnlockClicks) ++right_double_clicks_;
}

}  // namespace orvane

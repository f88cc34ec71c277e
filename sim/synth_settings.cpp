#include "sim/synth_settings.h"

#include "Orvane/capture/settings_fields.h"

namespace velix::sim {

bool BuildCaptureSettings(const Scenario& scenario, bool monitor_mode, uint8_t rate_code_or_zero,
                          orvane::SettingsRecord* settings, std::string* error) {
  orvane::SettingsRecord& s = *settings;
  s = orvane::DefaultSettingsRecord();
  s.m_AnalyzeBusChannel = scenario.bus == BusKind::kSpi ? 0 : scenario.bus == BusKind::kI2c0 ? 1 : 2;
  s.SamplePeriodCode = scenario.rate_code;
  s.SpiSsMode = scenario.spi.ss_mode;
  // Data are sampled on the rising edge when polarity and phase agree.
  s.SpiSamplingEdge = scenario.spi.cpol == scenario.spi.cpha ? 1 : 2;
  s.SpiBitFlags = static_cast<uint8_t>((s.SpiBitFlags & 0x80) | (scenario.spi.lsb_first ? 0 : 1));
  for (const SettingOverride& item : scenario.overrides) {
    // The parser has checked the name and that the value fits the field.
    const orvane::SettingsField* field = orvane::FindSettingsField(item.name);
    if (field == nullptr || field->kind == orvane::FieldKind::kBytes) {
      *error = "line " + std::to_string(item.line) + ": cannot set " + item.name;
      return false;
    }
    orvane::SetSettingsNumber(s, *field, item.value);
  }
  s.MonitorMode = monitor_mode ? 1 : 0;
  if (rate_code_or_zero != 0) s.SamplePeriodCode = rate_code_or_zero;
  if (s.SamplePeriodCode != 2 && s.SamplePeriodCode != 5 && s.SamplePeriodCode != 10) {
    *error = "sample period code must be 2, 5 or 10";
    return false;
  }
  return true;
}

}  // namespace velix::sim

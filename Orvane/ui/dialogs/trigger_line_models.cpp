#include "Orvane/ui/dialogs/trigger_line_models.h"

#include <algorithm>

#include "Orvane/decode/dialog_values.h"

namespace orvane {
namespace {

constexpr uint8_t kDefaultSubAddressLength = 2;

bool I2CBus(uint8_t bus) { return bus == 1 || bus == 2; }

}  // namespace

TrgInFields TrgInFieldsFromSettings(const SettingsRecord& s) {
  TrgInFields f;
  f.enabled = s.TrgInEnable != 0;
  for (int n = 0; n < kTrgInLines; ++n) {
    f.line_enabled[n] = (s.TrgInEnables >> n) & 1;
    f.high[n] = (s.TrgInLevels >> n) & 1;
  }
  return f;
}

TrgInEnables TrgInControlEnables(const TrgInFields& f, const TriggerContext& context) {
  TrgInEnables e;
  for (int n = 0; n < kTrgInLines; ++n) {
    e.line_box[n] = f.enabled;
    e.level[n] = f.enabled && f.line_enabled[n];
  }
  e.software_trigger = context.buttons_enabled;
  e.trigger_out = context.buttons_enabled && (!context.bus_known || I2CBus(context.bus));
  return e;
}

void ApplyTrgInDialog(const TrgInFields& f, SettingsRecord* s) {
  s->TrgInEnable = f.enabled;
  if (!f.enabled) return;
  uint8_t enables = 0;
  uint8_t levels = 0;
  for (int n = 0; n < kTrgInLines; ++n) {
    if (f.line_enabled[n]) enables |= static_cast<uint8_t>(1u << n);
    if (f.high[n]) levels |= static_cast<uint8_t>(1u << n);
  }
  s->TrgInEnables = enables;
  s->TrgInLevels = levels;
}

TrgOutFields TrgOutFieldsFromSettings(const SettingsRecord& s) {
  TrgOutFields f;
  f.enabled = s.TrgOutEnable != 0;
  f.address_enabled = s.TrgOutAddressEnable != 0;
  f.address = FormatSearchAddress(s.TrgOutAddress);
  f.ten_bit = s.TrgOut10Bit != 0;
  f.sub_address_enabled = s.TrgOutSubAddressEnable != 0;
  const uint8_t length = s.TrgOutSubAddressLength;
  f.sub_address_length = length >= 1 && length <= kSubAddressRowBytes ? length : kDefaultSubAddressLength;
  std::copy(std::begin(s.TrgOutSubAddressData), std::end(s.TrgOutSubAddressData), f.sub_address.begin());
  f.nack_ignore = s.TrgOutNackIgnore != 0;
  return f;
}

TrgOutEnables TrgOutControlEnables(const TrgOutFields& f) {
  TrgOutEnables e;
  e.address_check = f.enabled;
  e.sub_address_check = f.enabled;
  e.nack = f.enabled;
  e.address_fields = f.enabled && f.address_enabled;
  e.sub_address_fields = f.enabled && f.sub_address_enabled;
  return e;
}

std::optional<std::string> ApplyTrgOutDialog(const TrgOutFields& f, SettingsRecord* s) {
  uint16_t address = s->TrgOutAddress;
  if (TrgOutControlEnables(f).address_fields) {
    if (auto message = CheckTriggerAddress(f.address, f.ten_bit, "I2C address error", &address)) return message;
  } else {
    // A disabled entry may hold anything; only a readable one is kept.
    CheckTriggerAddress(f.address, false, "", &address);
  }
  s->TrgOutEnable = f.enabled;
  s->TrgOutAddressEnable = f.address_enabled;
  s->TrgOut10Bit = f.ten_bit;
  s->TrgOutAddress = address;
  s->TrgOutSubAddressEnable = f.sub_address_enabled;
  const uint8_t length = f.sub_address_length;
  s->TrgOutSubAddressLength = length >= 1 && length <= kSubAddressRowBytes ? length : kDefaultSubAddressLength;
  std::copy(f.sub_address.begin(), f.sub_address.end(), s->TrgOutSubAddressData);
  s->TrgOutNackIgnore = f.nack_ignore;
  return std::nullopt;
}

}  // namespace orvane

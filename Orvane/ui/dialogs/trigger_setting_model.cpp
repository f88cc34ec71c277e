#include "Orvane/ui/dialogs/trigger_setting_model.h"

#include <algorithm>

#include "Orvane/capture/capture_limits.h"
#include "Orvane/decode/dialog_values.h"

namespace orvane {
namespace {

constexpr uint8_t kDefaultDataLength = 4;
constexpr uint8_t kDefaultSubAddressLength = 2;
constexpr uint32_t kTenBitAddressMax = 1023;

uint8_t ListIndex(uint8_t stored) { return stored <= 1 ? stored : 0; }

uint8_t LengthInRange(uint8_t stored, uint8_t maximum, uint8_t fallback) {
  return stored >= 1 && stored <= maximum ? stored : fallback;
}

// An operator is stored as typed only while its list can be used.
uint8_t StoredOp(bool enabled, uint8_t index) { return enabled ? ListIndex(index) : 0; }

}  // namespace

TriggerFields TriggerFieldsFromSettings(const SettingsRecord& s) {
  TriggerFields f;
  f.enabled = s.TriggerEnable != 0;
  f.position = static_cast<uint16_t>(std::min<uint32_t>(s.TriggerPosition, kTriggerPositionMax));
  f.data_enabled = s.DataPatternEnable != 0;
  f.data_length = LengthInRange(s.DataLength, kDataRowBytes, kDefaultDataLength);
  std::copy(std::begin(s.DataPattern), std::end(s.DataPattern), f.data.begin());
  std::copy(std::begin(s.DataMask), std::end(s.DataMask), f.data_mask.begin());
  f.address_enabled = s.AddressEnable != 0;
  f.address = FormatSearchAddress(s.AddressValue);
  f.address_mask = FormatSearchAddress(s.AddressMask);
  f.ten_bit = s.Address10Bit != 0;
  f.address_condition = ListIndex(s.AddressCondition);
  f.sub_address_enabled = s.SubAddressEnable != 0;
  f.sub_address_length = LengthInRange(s.SubAddressLength, kSubAddressRowBytes, kDefaultSubAddressLength);
  std::copy(std::begin(s.SubAddressData), std::end(s.SubAddressData), f.sub_address.begin());
  std::copy(std::begin(s.SubAddressMask), std::end(s.SubAddressMask), f.sub_address_mask.begin());
  f.sub_address_condition = ListIndex(s.SubAddressCondition);
  f.nack = s.NackDetect != 0;
  f.data_op = ListIndex(s.DataOp);
  f.address_op = ListIndex(s.AddressOp);
  f.nack_op = ListIndex(s.NackOp);
  return f;
}

TriggerEnables TriggerControlEnables(const TriggerFields& f, const TriggerContext& context) {
  TriggerEnables e;
  const bool on = f.enabled;
  e.position = on;
  e.data_check = on;
  e.data_fields = on && f.data_enabled;
  e.i2c_part = on && !(context.bus_known && context.bus == kBusSpi);
  e.address_fields = e.i2c_part && f.address_enabled;
  e.sub_address_fields = e.i2c_part && f.sub_address_enabled;
  const bool nack = e.i2c_part && f.nack;
  const bool data = e.data_fields;
  const bool address = e.address_fields;
  const bool sub_address = e.sub_address_fields;
  e.nack_op = e.i2c_part && nack && (data || address || sub_address);
  e.data_op = e.i2c_part && data && (address || sub_address);
  e.address_op = address && sub_address;
  e.nack_caption = nack;
  e.data_caption = e.i2c_part && data;
  e.address_caption = address;
  e.sub_address_caption = sub_address;
  return e;
}

SizeEntry CheckTriggerPosition(std::string_view text) {
  const uint32_t value = ParseDialogNumber(text);
  if (value > kTriggerPositionMax) return {std::nullopt, *SizeEntryError(value, kTriggerPositionMax)};
  return {value, {}};
}

std::optional<std::string> CheckTriggerAddress(std::string_view text, bool ten_bit, const char* message,
                                               uint16_t* value) {
  const uint32_t parsed = ParseDialogNumber(text);
  if (parsed == kUnparsableNumber || (ten_bit && parsed > kTenBitAddressMax)) return std::string(message);
  *value = static_cast<uint16_t>(parsed);
  return std::nullopt;
}

std::optional<std::string> ApplyTriggerDialog(const TriggerFields& f, const TriggerContext& context,
                                              SettingsRecord* s) {
  const TriggerEnables e = TriggerControlEnables(f, context);
  uint16_t address = s->AddressValue;
  uint16_t mask = s->AddressMask;
  if (e.address_fields) {
    if (auto message = CheckTriggerAddress(f.address, f.ten_bit, "I2C address error", &address)) return message;
    if (auto message = CheckTriggerAddress(f.address_mask, f.ten_bit, "I2C address Mask error", &mask)) {
      return message;
    }
  } else {
    // A disabled entry may hold anything; only a readable one is kept.
    CheckTriggerAddress(f.address, false, "", &address);
    CheckTriggerAddress(f.address_mask, false, "", &mask);
  }
  s->TriggerEnable = f.enabled;
  s->TriggerPosition = std::min<uint16_t>(f.position, kTriggerPositionMax);
  s->DataPatternEnable = f.data_enabled;
  s->DataLength = LengthInRange(f.data_length, kDataRowBytes, kDefaultDataLength);
  std::copy(f.data.begin(), f.data.end(), s->DataPattern);
  std::copy(f.data_mask.begin(), f.data_mask.end(), s->DataMask);
  s->AddressEnable = f.address_enabled;
  s->AddressCondition = ListIndex(f.address_condition);
  s->Address10Bit = f.ten_bit;
  s->AddressValue = address;
  s->AddressMask = mask;
  s->SubAddressEnable = f.sub_address_enabled;
  s->SubAddressCondition = ListIndex(f.sub_address_condition);
  s->SubAddressLength = LengthInRange(f.sub_address_length, kSubAddressRowBytes, kDefaultSubAddressLength);
  std::copy(f.sub_address.begin(), f.sub_address.end(), s->SubAddressData);
  std::copy(f.sub_address_mask.begin(), f.sub_address_mask.end(), s->SubAddressMask);
  s->NackDetect = f.nack;
  s->DataOp = StoredOp(e.data_op, f.data_op);
  s->AddressOp = StoredOp(e.address_op, f.address_op);
  s->NackOp = StoredOp(e.nack_op, f.nack_op);
  return std::nullopt;
}

}  // namespace orvane

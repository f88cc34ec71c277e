#include "Orvane/decode/trigger_eval.h"

#include <algorithm>

namespace orvane {

namespace {

constexpr uint32_t kMaxPatternBytes = 8;
constexpr uint32_t kMaxSubAddressBytes = 4;

TriggerCondition FromMet(bool met) { return met ? TriggerCondition::kMet : TriggerCondition::kNotMet; }

// A sub-address length outside 1..4 leaves nothing to compare.
uint32_t SubAddressLength(const SettingsRecord& settings) {
  const uint32_t length = settings.SubAddressLength;
  return length >= 1 && length <= kMaxSubAddressBytes ? length : 0;
}

}  // namespace

PatternScan::PatternScan(const uint8_t* pattern, const uint8_t* mask, uint32_t length) {
  if (length < 1 || length > kMaxPatternBytes) return;
  length_ = length;
  std::copy(pattern, pattern + length, pattern_.begin());
  std::copy(mask, mask + length, mask_.begin());
}

bool CombineTriggerConditions(const std::array<TriggerCondition, 4>& conditions,
                              const std::array<uint8_t, 3>& ops) {
  size_t last_enabled = conditions.size();
  for (size_t i = 0; i < conditions.size(); ++i) {
    if (conditions[i] != TriggerCondition::kDisabled) last_enabled = i;
  }
  if (last_enabled == conditions.size()) return false;
  for (size_t i = 0; i < last_enabled; ++i) {
    if (conditions[i] == TriggerCondition::kDisabled) continue;
    const bool met = conditions[i] == TriggerCondition::kMet;
    if (!met && ops[i] == kTriggerOpAnd) return false;
    if (met && ops[i] == kTriggerOpOr) return true;
  }
  return conditions[last_enabled] == TriggerCondition::kMet;
}

bool AnyI2CTriggerCondition(const SettingsRecord& s) {
  return s.NackDetect != 0 || s.DataPatternEnable != 0 || s.AddressEnable != 0 ||
         s.SubAddressEnable != 0;
}

I2CTriggerEvaluator::I2CTriggerEvaluator(const SettingsRecord& settings, const TransactionInfo& record,
                                         uint32_t address_bytes)
    : settings_(settings),
      record_(record),
      address_bytes_(address_bytes),
      pattern_(settings.DataPattern, settings.DataMask,
               settings.DataPatternEnable != 0 ? settings.DataLength : 0) {}

uint32_t I2CTriggerEvaluator::BytesNeeded() const {
  if (settings_.DataPatternEnable != 0) return record_.BitCount;
  if (settings_.SubAddressEnable != 0) {
    return std::min(record_.BitCount, address_bytes_ + SubAddressLength(settings_));
  }
  return 0;
}

void I2CTriggerEvaluator::Feed(uint8_t byte) {
  pattern_.Feed(byte);
  const uint32_t sub_index = fed_ - address_bytes_;
  if (fed_ >= address_bytes_ && sub_index < kMaxSubAddressBytes) {
    const uint8_t mask = settings_.SubAddressMask[sub_index];
    if ((byte & mask) == settings_.SubAddressData[sub_index]) sub_matched_ |= 1u << sub_index;
  }
  ++fed_;
}

TriggerCondition I2CTriggerEvaluator::AddressCondition() const {
  const bool ten_bit = (record_.i2c.I2CFlags & kI2C10Bit) != 0;
  if (ten_bit != (settings_.Address10Bit != 0)) return TriggerCondition::kNotMet;
  const bool equal = (settings_.AddressMask & record_.i2c.I2CAddress) == settings_.AddressValue;
  return FromMet(settings_.AddressCondition == 0 ? equal : !equal);
}

TriggerCondition I2CTriggerEvaluator::SubAddressCondition() const {
  const uint32_t length = SubAddressLength(settings_);
  const bool write = (record_.i2c.I2CFlags & kI2CRead) == 0;
  const uint32_t data_bytes = record_.BitCount > address_bytes_ ? record_.BitCount - address_bytes_ : 0;
  if (length == 0 || !write || data_bytes < length || fed_ < address_bytes_ + length) {
    return TriggerCondition::kNotMet;
  }
  const uint32_t wanted = (1u << length) - 1;
  const bool equal = (sub_matched_ & wanted) == wanted;
  return FromMet(settings_.SubAddressCondition == 0 ? equal : !equal);
}

bool I2CTriggerEvaluator::Triggered() const {
  std::array<TriggerCondition, 4> conditions{};
  if (settings_.NackDetect != 0) conditions[0] = FromMet((record_.i2c.I2CFlags & kI2CNack) != 0);
  if (settings_.DataPatternEnable != 0) conditions[1] = FromMet(pattern_.Found());
  if (settings_.AddressEnable != 0) conditions[2] = AddressCondition();
  if (settings_.SubAddressEnable != 0) conditions[3] = SubAddressCondition();
  return CombineTriggerConditions(conditions, {settings_.NackOp, settings_.DataOp, settings_.AddressOp});
}

SpiTriggerEvaluator::SpiTriggerEvaluator(const SettingsRecord& settings)
    : first_(settings.DataPattern, settings.DataMask,
             settings.DataPatternEnable != 0 ? settings.DataLength : 0),
      second_(settings.DataPattern, settings.DataMask,
              settings.DataPatternEnable != 0 ? settings.DataLength : 0) {}

}  // namespace orvane

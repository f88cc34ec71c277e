#pragma once
// The software trigger conditions of monitor mode, tested on every finished
// transaction. The bytes of a transaction are fed one at a time, in bus
// order, so a transaction of any length is tested without being copied.

#include <array>
#include <cstdint>

#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/transaction_info.h"

namespace orvane {

// The state of one condition.
enum class TriggerCondition : uint8_t { kDisabled = 0, kNotMet = 1, kMet = 2 };

// Operators between the conditions, as the settings store them.
inline constexpr uint8_t kTriggerOpOr = 0;
inline constexpr uint8_t kTriggerOpAnd = 1;

// Searches a masked byte pattern with a restarting scan: the match index
// advances while (byte & mask[i]) == pattern[i] and falls back to 0 on a
// mismatch, without trying the mismatching byte as a new start. A length
// outside 1..8 never matches.
class PatternScan {
 public:
  PatternScan(const uint8_t* pattern, const uint8_t* mask, uint32_t length);
  void Feed(uint8_t byte) {
    if (found_ || length_ == 0) return;
    if ((byte & mask_[index_]) == pattern_[index_]) {
      found_ = ++index_ == length_;
    } else {
      index_ = 0;
    }
  }
  bool Found() const { return found_; }

 private:
  std::array<uint8_t, 8> pattern_{};
  std::array<uint8_t, 8> mask_{};
  uint32_t length_ = 0;
  uint32_t index_ = 0;
  bool found_ = false;
};

// Decides the combination NACK op3 { data op1 ( address op2 sub-address ) }
// from left to right: a condition not met before an AND, or met before an
// OR, decides at once; a disabled condition passes on; the last enabled
// condition decides by itself.
bool CombineTriggerConditions(const std::array<TriggerCondition, 4>& conditions,
                              const std::array<uint8_t, 3>& ops);

bool AnyI2CTriggerCondition(const SettingsRecord& settings);

// The I2C conditions for one record. Feed every byte of the transaction,
// address bytes included; `address_bytes` is how many of them lead.
class I2CTriggerEvaluator {
 public:
  I2CTriggerEvaluator(const SettingsRecord& settings, const TransactionInfo& record,
                      uint32_t address_bytes);
  void Feed(uint8_t byte);
  // How many leading bytes the enabled conditions look at.
  uint32_t BytesNeeded() const;
  bool Triggered() const;

 private:
  TriggerCondition AddressCondition() const;
  TriggerCondition SubAddressCondition() const;

  const SettingsRecord& settings_;
  const TransactionInfo& record_;
  const uint32_t address_bytes_;
  PatternScan pattern_;
  uint32_t fed_ = 0;
  uint32_t sub_matched_ = 0;  // bit i: sub-address byte i satisfied (byte & mask) == data
};

// The SPI condition: the data pattern on the second line (low bytes) or on
// the first line (high bytes).
class SpiTriggerEvaluator {
 public:
  explicit SpiTriggerEvaluator(const SettingsRecord& settings);
  void Feed(uint8_t first_line, uint8_t second_line) {
    first_.Feed(first_line);
    second_.Feed(second_line);
  }
  bool Triggered() const { return second_.Found() || first_.Found(); }

 private:
  PatternScan first_;
  PatternScan second_;
};

}  // namespace orvane

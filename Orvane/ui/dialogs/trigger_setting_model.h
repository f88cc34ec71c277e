#pragma once
// The software trigger's dialog apart from its widgets: its fields as read
// from and written to the settings record, which controls the user may
// change, and the checks made on the position and on OK.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Orvane/capture/settings_record.h"
#include "Orvane/ui/dialogs/capture_setting_model.h"

namespace orvane {

inline constexpr uint8_t kBusSpi = 0;

// What the opener of the trigger dialogs knows: whether the buttons to the
// software trigger and the trigger output may be used, and the bus the
// capture is for (unknown from the menu unless a file is open).
struct TriggerContext {
  bool buttons_enabled = false;
  bool bus_known = false;
  uint8_t bus = kBusSpi;  // 0 SPI, 1 I2C #0, 2 I2C #1
};

inline constexpr size_t kDataRowBytes = 8;
inline constexpr size_t kSubAddressRowBytes = 4;
inline constexpr uint32_t kTriggerPositionMax = 100;

// The list entries, in the order of their stored values.
inline constexpr std::array<const char*, 2> kTriggerConditionLabels = {"== (equal)", "!= (not equal)"};
inline constexpr std::array<const char*, 2> kTriggerOpLabels = {"OR", "AND"};

struct TriggerFields {
  bool enabled = false;
  uint16_t position = 1;  // 0..100
  bool data_enabled = false;
  uint8_t data_length = 4;  // 1..8
  std::array<uint8_t, kDataRowBytes> data{};
  std::array<uint8_t, kDataRowBytes> data_mask{};
  bool address_enabled = false;
  std::string address, address_mask;  // as typed; shown as "0x%03X"
  bool ten_bit = false;
  uint8_t address_condition = 0;  // index into kTriggerConditionLabels
  bool sub_address_enabled = false;
  uint8_t sub_address_length = 2;  // 1..4
  std::array<uint8_t, kSubAddressRowBytes> sub_address{};
  std::array<uint8_t, kSubAddressRowBytes> sub_address_mask{};
  uint8_t sub_address_condition = 0;
  bool nack = false;
  uint8_t data_op = 0, address_op = 0, nack_op = 0;  // indexes into kTriggerOpLabels
};

// Values a list cannot show (an operator or condition other than 0 and 1,
// a length outside its entries) open as the first entry, or as the
// default length.
TriggerFields TriggerFieldsFromSettings(const SettingsRecord& settings);

struct TriggerEnables {
  bool position = false;
  bool data_check = false;
  bool data_fields = false;    // length, pattern and mask
  bool i2c_part = false;       // the "I2C only" group and the NACK box
  bool address_fields = false; // value, mask, 10-bit box, condition
  bool sub_address_fields = false;
  bool nack_op = false, data_op = false, address_op = false;
  // The captions of the combination line, each with its own condition.
  bool nack_caption = false, data_caption = false, address_caption = false, sub_address_caption = false;
};

// Re-applied on every click of a check box. A known SPI bus keeps the I2C
// part off; the data pattern stays, as the SPI monitor tests it too.
TriggerEnables TriggerControlEnables(const TriggerFields& fields, const TriggerContext& context);

// A position typed into the position box: the value when it reads as
// 0..100, else the range message; the box then shows its previous value.
SizeEntry CheckTriggerPosition(std::string_view text);

// OK: with the address fields enabled, the address and then its mask must
// read as numbers (and stay within 10 bits in 10-bit mode): "I2C address
// error" or "I2C address Mask error". nullopt when every field was written
// into `settings`; an operator whose list is disabled is stored as "OR".
std::optional<std::string> ApplyTriggerDialog(const TriggerFields& fields, const TriggerContext& context,
                                              SettingsRecord* settings);

// The check of an I2C address or mask entry, shared with the trigger
// output: `message` unless it reads as a number, within 10 bits in 10-bit
// mode; nullopt and the value otherwise.
std::optional<std::string> CheckTriggerAddress(std::string_view text, bool ten_bit, const char* message,
                                               uint16_t* value);

}  // namespace orvane

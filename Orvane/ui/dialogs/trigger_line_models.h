#pragma once
// The two dialogs of the device's trigger lines apart from their widgets:
// the external input trigger (TRGIN-0..4, handed to the device with the
// capture start) and the I2C trigger output (TRGOUT, handed to the device
// before a monitor capture starts).

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "Orvane/capture/settings_record.h"
#include "Orvane/ui/dialogs/trigger_setting_model.h"

namespace orvane {

// ---- External input trigger ----

inline constexpr int kTrgInLines = 5;
inline constexpr std::array<const char*, 2> kTrgInLevelLabels = {"LOW", "HIGH"};

struct TrgInFields {
  bool enabled = false;
  std::array<bool, kTrgInLines> line_enabled{};
  std::array<bool, kTrgInLines> high{};  // the level list is not on its first entry
};

TrgInFields TrgInFieldsFromSettings(const SettingsRecord& settings);

struct TrgInEnables {
  std::array<bool, kTrgInLines> line_box{};
  std::array<bool, kTrgInLines> level{};
  bool software_trigger = false;  // the button to the software trigger
  bool trigger_out = false;       // the button to the trigger output: I2C buses only
};
TrgInEnables TrgInControlEnables(const TrgInFields& fields, const TriggerContext& context);

// OK: the enable flag always; the lines and levels only while the trigger
// is enabled, so switching it off keeps the lines set up for next time.
void ApplyTrgInDialog(const TrgInFields& fields, SettingsRecord* settings);

// ---- Trigger output ----

struct TrgOutFields {
  bool enabled = false;
  bool address_enabled = false;
  std::string address;  // as typed; shown as "0x%03X"
  bool ten_bit = false;
  bool sub_address_enabled = false;
  uint8_t sub_address_length = 2;  // 1..4
  std::array<uint8_t, kSubAddressRowBytes> sub_address{};
  bool nack_ignore = false;
};

TrgOutFields TrgOutFieldsFromSettings(const SettingsRecord& settings);

struct TrgOutEnables {
  bool address_check = false, sub_address_check = false, nack = false;
  bool address_fields = false;      // value and 10-bit box
  bool sub_address_fields = false;  // length and row
};
TrgOutEnables TrgOutControlEnables(const TrgOutFields& fields);

// OK: with the address value enabled it must read as a number (within 10
// bits in 10-bit mode), else "I2C address error"; nullopt when every field
// was written into `settings`.
std::optional<std::string> ApplyTrgOutDialog(const TrgOutFields& fields, SettingsRecord* settings);

}  // namespace orvane

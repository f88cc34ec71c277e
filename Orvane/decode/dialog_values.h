#pragma once
// What the settings and search dialogs read from their fields: unsigned
// numbers with C-style prefixes, hexadecimal byte patterns, and the checks
// made on OK with their messages. A dialog fills the field structs from its
// controls, calls the Apply/Validate function and, when a message comes
// back, shows it and stays open.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Orvane/capture/settings_record.h"

namespace orvane {

inline constexpr uint32_t kUnparsableNumber = 0xFFFFFFFFu;

// "0x…" hexadecimal, leading "0" octal, else decimal; blanks around the
// number are allowed. Anything else, a sign, or a value beyond 32 bits reads
// as kUnparsableNumber.
uint32_t ParseDialogNumber(std::string_view text);

// Hexadecimal byte tokens split at any of ":- _.,;" (leading and trailing
// separators ignored), one byte per non-empty token, at most `max_bytes`.
// A token gives the low byte of its leading hexadecimal digits (0 without
// any).
std::vector<uint8_t> ParseHexBytes(std::string_view text, size_t max_bytes);
// Bytes as "%02X" joined by `separator` (how a dialog shows a pattern again).
std::string FormatHexBytes(const uint8_t* bytes, size_t count, const char* separator);

// ---- "Transaction Filter" ----

struct FilterDialogFields {
  bool enabled = false;
  bool range_enabled = false;
  std::string range_start, range_end;
  bool address_enabled = false;
  bool ten_bit = false;
  std::string address, address_mask;
  bool sub_address_enabled = false;
  uint8_t sub_address_length = 1;  // 1..4
  std::string sub_address_data, sub_address_mask;
  bool read = true, write = true;
  bool from_sub_address = true, from_write = true;
  bool write_for_read = true, omit_write_for_read = false;
  bool changes_only = false;
};

// The fields as the dialog opens: an end number of 0 shows as
// transaction_counter − 1 when transactions exist.
FilterDialogFields FilterFieldsFromSettings(const SettingsRecord& settings,
                                            uint32_t transaction_counter);
// OK: "Invalid Transaction number", "I2C address error" or "I2C address Mask
// error" in that order of checks; nullopt when stored into `settings`.
std::optional<std::string> ApplyFilterDialog(const FilterDialogFields& fields,
                                             SettingsRecord* settings);

// Which controls are enabled (recomputed on every check box change). A
// checked "Sub-address filter" forces "Write packet" on in `fields`.
struct FilterDialogEnables {
  bool range_fields, changes_only, address_fields, sub_address_fields;
  bool read, write, write_for_read, from_write, omit_write_for_read;
};
FilterDialogEnables FilterControlEnables(FilterDialogFields* fields, bool i2c_data,
                                         bool forced_display);

// ---- Search dialogs ----

// "I2C address search": nullopt and the value, or "I2C address error".
std::optional<std::string> ParseSearchAddress(std::string_view text, bool ten_bit,
                                              uint16_t* value);
std::string FormatSearchAddress(uint16_t value);  // "0x%03X"

// ---- "I2C Settings" ----

// Rows in dialog order; the HS column has no tBUF (its text is ignored).
enum TimingRow { kRowHdSta, kRowSuSta, kRowSuSto, kRowBuf, kRowLow, kRowHigh, kRowHdDat,
                 kRowSuDat, kTimingRows };

struct I2CSettingsFields {
  std::array<std::string, kTimingRows> standard;
  std::array<std::string, kTimingRows> hs;
  bool hs_enable = false;
  bool ignore_nack_before_stop = true;
};

enum class TimingPreset { kFast, kStandard, kHs100pF, kHs400pF };

I2CSettingsFields I2CFieldsFromSettings(const SettingsRecord& settings);
// A timing field: empty counts as 10, otherwise as ParseDialogNumber.
uint32_t ParseTimingField(std::string_view text);
// The confirmation each preset button asks before it fills its column.
const char* PresetQuestion(TimingPreset preset);
void ApplyPreset(TimingPreset preset, I2CSettingsFields* fields);
// The range every limit's spin button steps within; HS tSU_DAT may go down
// to 1 (the HS presets use 1).
inline constexpr uint32_t kTimingLimitMin = 4;
inline constexpr uint32_t kHsSuDatLimitMin = 1;
inline constexpr uint32_t kTimingLimitMax = 1000000;
// The name of a row as its range message gives it ("tLOW").
const char* TimingRowName(TimingRow row);
// OK's check of the enabled fields, FAST/STANDARD column first, row by row:
// a limit outside its spin range (an unreadable entry included) would make
// the timing test pass or fail every transaction. nullopt when all pass;
// else the message for the first that does not.
std::optional<std::string> ValidateI2CSettingsDialog(const I2CSettingsFields& fields,
                                                     bool timing_fields_enabled);
// OK: the limits are read only when the timing fields are enabled (not
// monitor data); the check boxes always. Returns true when the capture must
// be decoded again (I2C channel, forced display off).
bool ApplyI2CSettingsDialog(const I2CSettingsFields& fields, bool timing_fields_enabled,
                            SettingsRecord* settings);

// ---- "SPI Settings" ----

struct SpiSettingsFields {
  bool rising_edge = true;
  bool msb_first = true;
  bool monitor_ss = true;         // both SS check boxes are this one setting
  bool ss_active_high = false;
  bool timeout_enabled = true;
  std::string timeout_ms;
  std::string data_length;
  bool ignore_first_edge = false;
};

SpiSettingsFields SpiFieldsFromSettings(const SettingsRecord& settings);

struct SpiDialogResult {
  std::optional<std::string> message;  // set: show it, the dialog stays open
  bool rebuild = false;                // decode the capture again
};
SpiDialogResult ApplySpiSettingsDialog(const SpiSettingsFields& fields, SettingsRecord* settings);

inline constexpr uint32_t kSpiDataLengthMin = 4;
inline constexpr uint32_t kSpiDataLengthMax = 131072;

}  // namespace orvane

#pragma once
// "Waveform display settings（AnalyzerMode）": forced display mode and the
// quiet time after which the waveform-only pass closes a window. The quiet
// time is editable only while forced display is checked; OK with it checked
// accepts 1..4000 ms, OK with it unchecked accepts anything and keeps the
// old quiet time.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Orvane/capture/settings_record.h"

namespace orvane {

inline constexpr uint32_t kQuietTimeMinMs = 1;
inline constexpr uint32_t kQuietTimeMaxMs = 4000;
inline constexpr uint16_t kQuietTimeDefaultMs = 200;

// The text of the range message; the message is "<text> : <number read>".
inline constexpr char kQuietTimeRangeText[] = "Setting error.\nThe setting value is beyond the range\n";

struct HakeiModeValues {
  bool forced_display = false;
  uint16_t quiet_ms = kQuietTimeDefaultMs;
};

// The values the dialog opens with: a stored quiet time of 0 or above 4000
// shows as 200.
HakeiModeValues HakeiModeFromSettings(const SettingsRecord& settings);

struct HakeiModeAccept {
  bool accepted = false;
  HakeiModeValues values;      // what OK keeps when accepted
  uint32_t rejected_value = 0;  // the number read when not accepted
};

// OK: `quiet_text` is read as a dialog number only while `checked`.
HakeiModeAccept AcceptHakeiMode(bool checked, std::string_view quiet_text, const HakeiModeValues& opened);

// "<text> : <value>", the text in the user's language.
std::string QuietTimeRangeMessage(std::string_view text, uint32_t value);

// After OK: forced display on stores both values; off clears the flag only.
void StoreHakeiMode(const HakeiModeValues& values, SettingsRecord* settings);

}  // namespace orvane

#pragma once
// The "Other setting" dialog without the dialog: target power, noise filter
// and memory locking. What the power controls show comes from the power
// state query; turning the power on for a target that already has power is
// asked first, because two supplies on one target may damage it.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/settings_record.h"
#include "platform/interaction.h"

namespace orvane {

// "Power supply setting", in the order of `PowerSupply`.
inline constexpr std::array<const char*, 5> kPowerSupplyLabels = {"Power OFF", "1.8 V", "2.5 V",
                                                                  "3.3 V", "5.0 V"};
// "Signal noize filter\n(Analyzer mode only)", in the order of `NoiseFilter`.
inline constexpr std::array<const char*, 4> kNoiseFilterLabels = {
    "OFF (no filter)", "2clock filter", "3clock filter", "4clock filter"};

inline constexpr const char* kPowerAlreadySuppliedWarning =
    "***[WARNING!!!] ***\n\nPower may have been already supplied.\nWhen you power up in this "
    "state, it may damage.\n\nAre you sure you want to turn ON the power?";

// The state of the target's power as the device reported it. Without a
// device (open or query failed) the power controls stay disabled.
struct PowerSense {
  bool device_present = false;
  bool target_powered = false;
};

// From the outcome of opening the device and of the power state query
// (its reply); a short reply counts as a failed query.
PowerSense PowerSenseFromQuery(bool device_opened, bool query_succeeded,
                               std::span<const uint8_t> reply);
// "Current power supply state" value; empty without a device.
const char* PowerStateText(const PowerSense& sense);

struct GeneralSettingsValues {
  uint8_t power_supply = 0;  // index into kPowerSupplyLabels
  uint8_t noise_filter = 0;  // index into kNoiseFilterLabels
  bool lock_memory = true;
};

// What the dialog opens with: a power code above 4 or a filter above 3 shows
// as the first entry.
GeneralSettingsValues OpenGeneralSettingsValues(const SettingsRecord& settings, bool lock_memory);

struct GeneralSettingsResult {
  GeneralSettingsValues values;  // power_supply: the new choice, kept only when applied
  bool apply_power = false;
};

// OK. `change_state`: "Change state" is selected (it can be only with a
// device present). Powering a present,
// already powered target with anything but "Power OFF" asks the warning
// question (exclamation, No preselected); anything but Yes drops the power
// change.
GeneralSettingsResult AcceptGeneralSettings(const GeneralSettingsValues& chosen, bool change_state,
                                            const PowerSense& sense,
                                            velix::platform::InteractionSink& sink);

// Stores the accepted values: `NoiseFilter` and the memory-locking flag
// always, `PowerSupply` only when the power is to be applied. Returns the
// code to send to the device when it is. Writing "LockMemory" back to the
// settings store is the caller's.
std::optional<uint8_t> StoreGeneralSettings(const GeneralSettingsResult& result, AppState& app);

}  // namespace orvane

#include "Orvane/capture/general_settings.h"

#include "Orvane/capture/device_commands.h"

namespace orvane {
namespace {

using velix::platform::Answer;
using velix::platform::Buttons;
using velix::platform::Icon;

constexpr uint8_t kPowerOff = 0;
constexpr uint8_t kLastNoiseFilter = 3;

}  // namespace

PowerSense PowerSenseFromQuery(bool device_opened, bool query_succeeded,
                               std::span<const uint8_t> reply) {
  PowerSense sense;
  bool powered = false;
  if (device_opened && query_succeeded && ParsePowerStateReply(reply, &powered)) {
    sense.device_present = true;
    sense.target_powered = powered;
  }
  return sense;
}

const char* PowerStateText(const PowerSense& sense) {
  if (!sense.device_present) return "";
  return sense.target_powered ? "Power ON" : "Power OFF (Power not supply)";
}

GeneralSettingsValues OpenGeneralSettingsValues(const SettingsRecord& settings, bool lock_memory) {
  GeneralSettingsValues values;
  values.power_supply = settings.PowerSupply <= kMaxPowerSupplyCode ? settings.PowerSupply : 0;
  values.noise_filter = settings.NoiseFilter <= kLastNoiseFilter ? settings.NoiseFilter : 0;
  values.lock_memory = lock_memory;
  return values;
}

GeneralSettingsResult AcceptGeneralSettings(const GeneralSettingsValues& chosen, bool change_state,
                                            const PowerSense& sense,
                                            velix::platform::InteractionSink& sink) {
  GeneralSettingsResult result;
  result.values = chosen;
  result.apply_power = change_state && sense.device_present;
  if (result.apply_power && chosen.power_supply != kPowerOff && sense.target_powered) {
    const Answer answer = sink.MessageBox(kPowerAlreadySuppliedWarning, Icon::kExclamation,
                                          Buttons::kYesNo, Answer::kNo);
    result.apply_power = answer == Answer::kYes;
  }
  return result;
}

std::optional<uint8_t> StoreGeneralSettings(const GeneralSettingsResult& result, AppState& app) {
  app.settings.NoiseFilter = result.values.noise_filter;
  app.lock_memory = result.values.lock_memory ? 1 : 0;
  if (!result.apply_power) return std::nullopt;
  app.settings.PowerSupply = result.values.power_supply;
  return result.values.power_supply;
}

}  // namespace orvane

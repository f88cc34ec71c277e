// Any bytes as the start of a sampling data file: the acceptance rule, the
// settings taken from an accepted header and their repair must never read
// out of bounds or misbehave.

#include <cstddef>
#include <cstdint>
#include <span>

#include "Orvane/capture/settings_fields.h"
#include "Orvane/capture/sic_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  if (!orvane::IsAcceptedSicHeader(bytes)) return 0;
  orvane::SettingsRecord settings =
      orvane::SettingsFromSicHeader(bytes.first<orvane::kSicHeaderSize>());
  orvane::RepairLoadedSettings(settings);
  if (settings.HsMarker != 'H' || settings.FilterAddressMask == 0) __builtin_trap();
  for (const orvane::SettingsField& field : orvane::SettingsFields()) {
    (void)orvane::FormatSettingsField(settings, field);
  }
  const orvane::SicHeader rebuilt = orvane::BuildSicHeader(settings);
  if (!orvane::IsAcceptedSicHeader(rebuilt)) __builtin_trap();
  return 0;
}

#pragma once
// How the SPI decoders read the four lines: S0 = SS, S1 = SCLK, S2 and S3
// the data lines, plus the edge rules that depend on the SPI settings.

#include <cstdint>

#include "Orvane/capture/settings_record.h"

namespace orvane {

inline constexpr uint8_t kSpiSs = 0x01;
inline constexpr uint8_t kSpiSclk = 0x02;

struct SpiLineRules {
  uint8_t ss_mode = 1;        // 0 not monitored, 1 active LOW, 2 active HIGH
  uint8_t sampling_edge = 1;  // 1 rising, 2 falling
  bool msb_first = true;
  bool ignore_first_edge = false;

  static SpiLineRules From(const SettingsRecord& s) {
    return {s.SpiSsMode, s.SpiSamplingEdge, (s.SpiBitFlags & 0x01) != 0, (s.SpiBitFlags & 0x80) != 0};
  }

  bool SsActive(uint8_t state) const {
    if (ss_mode == 1) return (state & kSpiSs) == 0;
    if (ss_mode == 2) return (state & kSpiSs) != 0;
    return false;
  }
  // A transaction may open at an SCLK change in this state.
  bool ClockMayOpen(uint8_t state) const { return ss_mode == 0 || SsActive(state); }
  bool SsBecameActive(uint8_t previous, uint8_t state) const {
    return ((previous ^ state) & kSpiSs) && ss_mode != 0 && SsActive(state);
  }
  bool SsBecameInactive(uint8_t previous, uint8_t state) const {
    return ((previous ^ state) & kSpiSs) && ss_mode != 0 && !SsActive(state);
  }
  bool SamplingEdge(uint8_t previous, uint8_t state) const {
    if (!((previous ^ state) & kSpiSclk)) return false;
    const bool high = (state & kSpiSclk) != 0;
    return sampling_edge == 1 ? high : (sampling_edge == 2 && !high);
  }
  // Shifts one sampled bit into a byte in the configured order.
  uint8_t Shift(uint8_t byte, uint8_t bit) const {
    return msb_first ? static_cast<uint8_t>((byte << 1) | bit)
                     : static_cast<uint8_t>((byte >> 1) | (bit << 7));
  }
};

}  // namespace orvane

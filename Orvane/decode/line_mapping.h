#pragma once
// Reduces a 4-bit atom state to the lines one decoder looks at. An I2C bus
// becomes two bits (bit 0 = SCL, bit 1 = SDA) taken from S0/S1 (bus #0) or
// S2/S3 (bus #1); SPI and the waveform pass keep all four lines.

#include <cstdint>

#include "Orvane/capture/settings_record.h"

namespace orvane {

inline constexpr uint8_t kSclLine = 0x01;
inline constexpr uint8_t kSdaLine = 0x02;

struct LineMapping {
  uint8_t shift = 0;
  uint8_t mask = 0x0F;

  uint8_t Map(uint8_t state) const { return static_cast<uint8_t>((state >> shift) & mask); }
};

// By bus channel: 1 = I2C #0, 2 = I2C #1, anything else all four lines.
inline LineMapping LineMappingForChannel(uint8_t bus_channel) {
  if (bus_channel == 1) return {0, 0x03};
  if (bus_channel == 2) return {2, 0x03};
  return {0, 0x0F};
}

inline LineMapping LineMappingFor(const SettingsRecord& settings) {
  if (settings.ForcedDisplay) return {0, 0x0F};
  return LineMappingForChannel(static_cast<uint8_t>(settings.m_AnalyzeBusChannel & 3));
}

}  // namespace orvane

namespace orvane {

// What one I2C line change means, comparing the mapped new state with the
// previous one. An SCL change wins over a simultaneous SDA change; SDA moving
// while SCL stays high is a START (falling) or STOP (rising).
enum class I2CEdge : uint8_t { kNone, kSclRise, kStart, kStop };

inline I2CEdge ClassifyI2CEdge(uint8_t previous, uint8_t state) {
  const uint8_t changed = previous ^ state;
  if (changed & kSclLine) return (state & kSclLine) ? I2CEdge::kSclRise : I2CEdge::kNone;
  if ((changed & kSdaLine) && (state & kSclLine)) {
    return (state & kSdaLine) ? I2CEdge::kStop : I2CEdge::kStart;
  }
  return I2CEdge::kNone;
}

}  // namespace orvane

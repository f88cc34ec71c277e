#pragma once
// The shapes of I2C monitor units that ordinary traffic is made of, by the
// unit's high byte: one data byte, one START or STOP, a START and the
// address byte that follows it, and a last data byte with the START or STOP
// after it. The decoder handles these in place with their events known from
// the shape; every other unit (empty, invalid, two conditions, a STOP and a
// data byte) takes the general path.

#include <array>
#include <cstdint>

#include "Orvane/decode/monitor_units.h"

namespace orvane {

enum class I2CUnitShape : uint8_t { kOther, kData, kStart, kStop, kStartData, kDataStart, kDataStop };

namespace detail {
constexpr I2CUnitShape ShapeOfI2CUnit(uint8_t count, uint8_t codes) {
  const auto first = static_cast<uint8_t>(codes >> 4);
  const auto second = static_cast<uint8_t>(codes & 0x0F);
  const bool second_is_data = (second & kEventData) != 0;
  if (count == 1) {
    if (second_is_data) return I2CUnitShape::kData;
    if (second == kEventStart) return I2CUnitShape::kStart;
    return second == kEventStop ? I2CUnitShape::kStop : I2CUnitShape::kOther;
  }
  if (count != 2) return I2CUnitShape::kOther;
  if (first == kEventStart && second_is_data) return I2CUnitShape::kStartData;
  if ((first & kEventData) == 0) return I2CUnitShape::kOther;
  if (second == kEventStart) return I2CUnitShape::kDataStart;
  return second == kEventStop ? I2CUnitShape::kDataStop : I2CUnitShape::kOther;
}

inline constexpr auto kI2CUnitShapes = [] {
  std::array<I2CUnitShape, 256> shapes{};
  for (uint32_t nibbles = 0; nibbles < shapes.size(); ++nibbles) {
    const I2CUnitKind kind = kI2CUnitKinds[nibbles];
    shapes[nibbles] = ShapeOfI2CUnit(kind.count, kind.codes);
  }
  return shapes;
}();
}  // namespace detail

// The shape of a non-empty unit by its high byte (a zero high byte, which
// is no valid unit, is kOther: the empty unit takes the general path too).
constexpr I2CUnitShape ShapeOfI2CUnit(uint8_t nibbles) { return detail::kI2CUnitShapes[nibbles]; }

}  // namespace orvane

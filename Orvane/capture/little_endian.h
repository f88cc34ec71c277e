#pragma once
// Unaligned little-endian integers for records that cross a boundary (file
// header, settings record). They hold bytes, so a packed record has the same
// layout on every host and the byte order is explicit where values are read.

#include <array>
#include <cstdint>
#include <span>
#include <type_traits>

namespace orvane {

template <typename T>
class LittleEndian {
 public:
  LittleEndian() = default;
  LittleEndian(T value) { Set(value); }  // NOLINT: implicit by design
  LittleEndian& operator=(T value) {
    Set(value);
    return *this;
  }
  operator T() const { return Get(); }  // NOLINT: implicit by design

  T Get() const {
    T value = 0;
    for (unsigned i = 0; i < sizeof(T); ++i) value = static_cast<T>(value | (T(bytes_[i]) << (8 * i)));
    return value;
  }
  void Set(T value) {
    for (unsigned i = 0; i < sizeof(T); ++i) bytes_[i] = static_cast<uint8_t>(value >> (8 * i));
  }

 private:
  uint8_t bytes_[sizeof(T)];
};

using le_u16 = LittleEndian<uint16_t>;
using le_u32 = LittleEndian<uint32_t>;

static_assert(sizeof(le_u16) == 2 && alignof(le_u16) == 1);
static_assert(sizeof(le_u32) == 4 && alignof(le_u32) == 1);
static_assert(std::is_trivially_copyable_v<le_u32> && std::is_trivially_default_constructible_v<le_u32>);

// A 32-bit value as the four bytes a control buffer carries, and back; the
// span must hold at least four bytes.
inline std::array<uint8_t, 4> Le32Bytes(uint32_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
          static_cast<uint8_t>(value >> 24)};
}
inline uint32_t Le32Value(std::span<const uint8_t> bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace orvane

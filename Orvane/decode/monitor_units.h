#pragma once
// The units of monitor mode, where the device firmware decodes the bus
// itself: I2C units are little-endian 16-bit words, SPI units a 16-bit data
// word followed by a 16-bit control word. Units are read in place like
// sample atoms: offline under the view lock with the window switch, live
// straight from the capture buffer.
//
// An I2C word carries the data byte D in bits 0..7 and two nibbles X (bits
// 8..11) and Y (bits 12..15). With b = X ^ Y, c = X & Y and d = c without
// bit 3, one or two events come out of it, each a 4-bit code (1 START,
// 2 STOP, 4 data byte, | 8 the byte was acknowledged):
//   b = 0      one event from d
//   b = 1, 2   the condition b, then an event from d
//   b = 4      the data byte (ACK = bit 3 of c), then an event from d
// where "an event from d" is d itself for 1 or 2, c for 4, anything else
// makes the unit invalid; so does every other b.

#include <algorithm>
#include <array>
#include <cstdint>

#include "Orvane/capture/sampling_obj.h"

namespace orvane {

inline constexpr uint32_t kI2CUnitBytes = 2;
inline constexpr uint32_t kSpiUnitBytes = 4;

// I2C event codes.
inline constexpr uint8_t kEventStart = 0x1;
inline constexpr uint8_t kEventStop = 0x2;
inline constexpr uint8_t kEventData = 0x4;
inline constexpr uint8_t kEventAck = 0x8;

// Event counts of an I2C unit besides 1 and 2.
inline constexpr uint8_t kUnitEmpty = 0;
inline constexpr uint8_t kUnitMapError = 254;
inline constexpr uint8_t kUnitInvalid = 255;

// SPI control word bits.
inline constexpr uint16_t kSpiDataValid = 0x01;
inline constexpr uint16_t kSpiSsLevel = 0x04;
inline constexpr uint16_t kSpiSsReport = 0x08;
inline constexpr uint16_t kSpiControlLimit = 0x100;  // control words from here on are invalid

struct I2CMonitorUnit {
  uint8_t count = kUnitEmpty;  // 1 or 2 events, kUnitEmpty, kUnitInvalid, kUnitMapError
  uint8_t codes = 0;           // first event in the high nibble, second or only in the low
  uint8_t data = 0;
  uint8_t nibbles = 0;         // the unit's high byte (Y, X) as received, for the traces
};

struct SpiMonitorUnit {
  bool mapped = false;  // false: the data could not be reached
  uint16_t data = 0;    // low byte S2 (MOSI), high byte S3 (MISO)
  uint16_t control = 0;
};

namespace detail {
// The event that d (with its ACK bit from c) stands for; 0 = none.
constexpr uint8_t EventFromD(uint8_t c) {
  const auto d = static_cast<uint8_t>(c & 0x7);
  if (d == kEventStart || d == kEventStop) return d;
  if (d == kEventData) return c;
  return 0;
}
}  // namespace detail

constexpr I2CMonitorUnit DecodeI2CUnit(uint16_t word) {
  if (word == 0) return {kUnitEmpty, 0, 0, 0};
  const auto data = static_cast<uint8_t>(word);
  const auto nibbles = static_cast<uint8_t>(word >> 8);
  const auto x = static_cast<uint8_t>(nibbles & 0xF);
  const auto y = static_cast<uint8_t>(nibbles >> 4);
  const auto b = static_cast<uint8_t>(x ^ y);
  const auto c = static_cast<uint8_t>(x & y);
  const uint8_t second = detail::EventFromD(c);
  if (second == 0) return {kUnitInvalid, 0, data, nibbles};
  uint8_t first = 0;
  if (b == 0) return {1, second, data, nibbles};
  if (b == kEventStart || b == kEventStop) {
    first = b;
  } else if (b == kEventData) {
    first = static_cast<uint8_t>(kEventData | (c & kEventAck));
  } else {
    return {kUnitInvalid, 0, data, nibbles};
  }
  return {2, static_cast<uint8_t>(first << 4 | second), data, nibbles};
}

namespace detail {
// Count and codes of a unit by its high byte (a zero high byte is empty or
// invalid, by the data byte): what DecodeI2CUnit works out, looked up.
struct I2CUnitKind {
  uint8_t count;
  uint8_t codes;
};
inline constexpr auto kI2CUnitKinds = [] {
  std::array<I2CUnitKind, 256> kinds{};
  for (uint32_t nibbles = 0; nibbles < kinds.size(); ++nibbles) {
    const I2CMonitorUnit unit = DecodeI2CUnit(static_cast<uint16_t>(nibbles << 8 | 1));
    kinds[nibbles] = {unit.count, unit.codes};
  }
  return kinds;
}();
}  // namespace detail

// DecodeI2CUnit by table, for the decoders' reads.
constexpr I2CMonitorUnit LookUpI2CUnit(uint16_t word) {
  if (word == 0) return {kUnitEmpty, 0, 0, 0};
  const auto nibbles = static_cast<uint8_t>(word >> 8);
  const detail::I2CUnitKind kind = detail::kI2CUnitKinds[nibbles];
  return {kind.count, kind.codes, static_cast<uint8_t>(word), nibbles};
}

constexpr SpiMonitorUnit DecodeSpiUnit(const uint8_t* p) {
  return {true, static_cast<uint16_t>(p[0] | p[1] << 8), static_cast<uint16_t>(p[2] | p[3] << 8)};
}

// Single-unit readers with their own locking; they trace a window failure.
I2CMonitorUnit GetMonitorAtomI2C(CSamplingObj& sampling, uint32_t position);
SpiMonitorUnit GetMonitorAtomSPI(CSamplingObj& sampling, uint32_t position);

// A sequential unit reader for the decoders and the extraction: the view
// lock and the current window are kept across a batch of reads instead of
// being taken per unit, and given up every `batch` reads so that the UI
// thread gets at the data in between.
class MonitorUnitWalker {
 public:
  static constexpr uint32_t kDefaultBatch = 1u << 15;

  explicit MonitorUnitWalker(CSamplingObj& sampling, uint32_t batch = kDefaultBatch);
  ~MonitorUnitWalker();
  MonitorUnitWalker(const MonitorUnitWalker&) = delete;
  MonitorUnitWalker& operator=(const MonitorUnitWalker&) = delete;

  I2CMonitorUnit ReadI2C(uint32_t position) {
    const uint8_t* p = Locate(position, kI2CUnitBytes);
    if (p == nullptr) return MapFailureI2C();
    return LookUpI2CUnit(static_cast<uint16_t>(p[0] | p[1] << 8));
  }

  SpiMonitorUnit ReadSpi(uint32_t position) {
    const uint8_t* p = Locate(position, kSpiUnitBytes);
    if (p == nullptr) return MapFailureSpi();
    return DecodeSpiUnit(p);
  }

  // Up to `wanted` whole units in place from `position` on, as far as the
  // current window and batch reach (*units = 0 when a single read must
  // move them first); they count as read once the caller calls Took(n).
  const uint8_t* Span(uint32_t position, uint32_t unit_bytes, uint32_t wanted, uint32_t* units) const {
    *units = 0;
    if (!locked_ || position - first_ >= length_) return nullptr;
    const uint32_t offset = position - first_;
    *units = std::min({wanted, (length_ - offset) / unit_bytes, budget_});
    return base_ + offset;
  }
  void Took(uint32_t units) { budget_ -= units; }

  // Lets other threads at the data now (the next read takes the lock again).
  void Release();

 private:
  const uint8_t* Locate(uint32_t position, uint32_t unit_bytes) {
    if (locked_ && budget_ != 0 && position - first_ < length_ &&
        length_ - (position - first_) >= unit_bytes) {
      --budget_;
      return base_ + (position - first_);
    }
    return LocateSlow(position, unit_bytes);
  }
  const uint8_t* LocateSlow(uint32_t position, uint32_t unit_bytes);
  static I2CMonitorUnit MapFailureI2C();
  static SpiMonitorUnit MapFailureSpi();

  CSamplingObj& sampling_;
  const uint32_t batch_;
  bool locked_ = false;           // a batch is open
  bool holds_view_lock_ = false;  // and took the view lock (offline data)
  uint32_t budget_ = 0;
  const uint8_t* base_ = nullptr;  // address of position first_
  uint32_t first_ = 0;
  uint32_t length_ = 0;            // bytes readable from first_
};

}  // namespace orvane

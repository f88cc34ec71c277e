#pragma once
// The first bytes of an I2C monitor record, gathered while the decoder reads
// its units, so that the preview needs no second walk over the units of
// every record. The bytes come out exactly as WalkMonitorI2CBytes finds
// them: one data byte per unit whose code byte passes the unit's mask (the
// opening unit, the units in between and the closing unit each have their
// own), which is not always the decoder's own byte count (BitCount).

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "Orvane/capture/transaction_info.h"
#include "Orvane/decode/monitor_units.h"

namespace orvane {

// The address bytes in front of the data of an I2C monitor record: two for
// a 10-bit write, else one (none in an empty record).
inline uint32_t MonitorI2CAddressBytes(uint32_t bytes, bool ten_bit, bool read) {
  if (bytes == 0) return 0;
  return ten_bit && !read ? 2 : 1;
}

// The same for a closed record, from its BitCount and I2CFlags.
inline uint32_t MonitorI2CAddressBytes(const TransactionInfo& record) {
  const uint16_t flags = record.i2c.I2CFlags;
  return MonitorI2CAddressBytes(record.BitCount, (flags & kI2C10Bit) != 0, (flags & kI2CRead) != 0);
}

class MonitorI2CFirstBytes {
 public:
  // The most the preview can ask for: a 10-bit write address, then the
  // preview bytes.
  static constexpr uint32_t kCapacity = 2 + kPreviewBytes;

  // The buffer past the bytes found stays zero, so that the preview is one
  // copy of fixed length whatever was found.
  void Reset() {
    std::fill(std::begin(bytes_), std::end(bytes_), uint8_t{0});
    found_ = 0;
  }

  // Takes the unit's data byte when its code byte passes `mask`.
  void Offer(const I2CMonitorUnit& unit, uint8_t mask) {
    if ((unit.codes & mask) == 0 || found_ == kCapacity) return;
    bytes_[found_++] = unit.data;
  }

  // Takes the data bytes of `count` units in place (two bytes each, the
  // data byte first), all known to pass their masks.
  void OfferUnitBytes(const uint8_t* units, uint32_t count) {
    const uint32_t taken = std::min(count, kCapacity - found_);
    for (uint32_t i = 0; i < taken; ++i) bytes_[found_ + i] = units[2 * i];
    found_ += taken;
  }

  // Preview and PreviewLen of the closed record (BitCount and I2CFlags set,
  // the preview still zero); `address_bytes` is MonitorI2CAddressBytes of it.
  void FillPreview(TransactionInfo& record, uint32_t address_bytes) const {
    const uint32_t found = std::min({found_, address_bytes + uint32_t(kPreviewBytes), record.BitCount});
    if (found <= address_bytes) return;
    if (found_ <= record.BitCount) {
      // Whatever lies past `found` in the window copied is zero.
      std::memcpy(record.Preview, bytes_ + address_bytes, kPreviewBytes);
    } else {
      std::copy(bytes_ + address_bytes, bytes_ + found, record.Preview);
    }
    record.PreviewLen = static_cast<uint8_t>(found - address_bytes);
  }

 private:
  static_assert(kCapacity <= 16, "the window of the preview stays inside the buffer");
  uint8_t bytes_[16] = {};
  uint32_t found_ = 0;
};

}  // namespace orvane

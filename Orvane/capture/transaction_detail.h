#pragma once
// The complete bytes of the one transaction selected in the views,
// re-extracted from the sampling data on demand (records keep only a
// preview). I2C: data bytes and one ACK bit per byte (first byte in the most
// significant bit, 1 = NACK); SPI: the bytes of the two data lines.

#include <cstdint>
#include <vector>

namespace orvane {

struct TransactionDetail {
  int32_t index = -1;              // Index of the cached record; -1 = none
  uint32_t count = 0;              // bytes in the detail
  std::vector<uint8_t> bytes;      // I2C data bytes / SPI first-line bytes
  std::vector<uint8_t> bytes2;     // I2C ACK bit array / SPI second-line bytes
  std::vector<uint32_t> offsets;   // analyzer: clock offset of each byte's first bit
  std::vector<uint32_t> ack_offsets;  // analyzer I2C: clock offset of each ACK bit

  void Free() { *this = TransactionDetail{}; }
};

}  // namespace orvane

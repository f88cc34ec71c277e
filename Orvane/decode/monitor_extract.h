#pragma once
// Re-extraction of the bytes of one monitor record from the units it spans,
// for the previews, the trigger and the detail of the selected transaction.
//
// I2C: the data byte of each unit whose code byte passes a mask. The first
// unit passes only its second or only event (mask 0x04) when the record
// opened with that event, else both (0x44); the last unit of a record whose
// closing event shared its unit with the next opening passes only its first
// event (0x40); every other unit passes both. A byte is NACKed when neither
// ACK bit (0x08, 0x80) of its code byte is set.
//
// SPI: the data word of each unit with a valid data word, up to an invalid
// control word; the high byte is the first line (S3, shown as MISO), the
// low byte the second line (S2, MOSI).

#include <algorithm>
#include <cstdint>

#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/transaction_info.h"
#include "Orvane/decode/monitor_units.h"

namespace orvane {

// The position `offset` bytes after `start`, wrapped into the ring of
// `size` bytes (records of a free-run capture may run past its end).
inline uint32_t RingPosition(uint32_t start, uint64_t offset, uint32_t size) {
  const uint64_t position = start + offset;
  return static_cast<uint32_t>(size != 0 && position >= size ? position % size : position);
}

// Calls fn(byte, nack) for up to min(wanted, BitCount) bytes of an I2C
// record; returns how many were found.
template <typename Fn>
uint32_t WalkMonitorI2CBytes(MonitorUnitWalker& walker, uint32_t buffer_size, const TransactionInfo& record,
                             uint32_t wanted, Fn&& fn) {
  const uint32_t limit = std::min(wanted, record.BitCount);
  const uint8_t first_mask = (record.bStartEndType & kMonitorOpenSecondEvent) != 0 ? 0x04 : 0x44;
  const bool shared_last = (record.bStartEndType & kMonitorSharedUnit) != 0;
  uint32_t found = 0;
  for (uint64_t offset = 0; offset <= record.SampleLen && found < limit; offset += kI2CUnitBytes) {
    const I2CMonitorUnit unit = walker.ReadI2C(RingPosition(record.SamplePos, offset, buffer_size));
    if (unit.count == kUnitMapError) break;
    uint8_t mask = 0x44;
    if (offset == 0) {
      mask = first_mask;
    } else if (offset == record.SampleLen && shared_last) {
      mask = 0x40;
    }
    if ((unit.codes & mask) == 0) continue;
    fn(unit.data, (unit.codes & 0x88) == 0);
    ++found;
  }
  return found;
}

// Calls fn(first_line, second_line) for up to min(wanted, BitCount) data
// words of an SPI record; returns how many were found.
template <typename Fn>
uint32_t WalkMonitorSpiBytes(MonitorUnitWalker& walker, uint32_t buffer_size, const TransactionInfo& record,
                             uint32_t wanted, Fn&& fn) {
  const uint32_t limit = std::min(wanted, record.BitCount);
  uint32_t found = 0;
  for (uint64_t offset = 0; offset <= record.SampleLen && found < limit; offset += kSpiUnitBytes) {
    const SpiMonitorUnit unit = walker.ReadSpi(RingPosition(record.SamplePos, offset, buffer_size));
    if (!unit.mapped || unit.control >= kSpiControlLimit) break;
    if ((unit.control & kSpiDataValid) == 0) continue;
    fn(static_cast<uint8_t>(unit.data >> 8), static_cast<uint8_t>(unit.data));
    ++found;
  }
  return found;
}

// Detail of an I2C monitor record: count = min(wanted, BitCount) bytes,
// bytes2 = the ACK bit array (first byte in the most significant bit,
// 1 = NACK). Arrays are zero-filled before the walk.
void ExtractMonitorI2CDetail(CSamplingObj& sampling, const TransactionInfo& record, uint32_t wanted_bytes,
                             TransactionDetail* detail);

// Detail of an SPI monitor record: bytes = the first line (data word high
// byte, "MISO"), bytes2 = the second line (low byte, "MOSI").
void ExtractMonitorSpiDetail(CSamplingObj& sampling, const TransactionInfo& record, uint32_t wanted_bytes,
                             TransactionDetail* detail);

}  // namespace orvane

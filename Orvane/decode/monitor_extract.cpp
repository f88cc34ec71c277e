#include "Orvane/decode/monitor_extract.h"

namespace orvane {

namespace {

// Every unit holds at most one byte of a record, so a record can never
// have more bytes than units: a damaged BitCount cannot make the detail
// arrays larger than the span they describe.
uint32_t DetailCount(const TransactionInfo& record, uint32_t wanted, uint32_t unit_bytes) {
  const uint64_t units = uint64_t(record.SampleLen) / unit_bytes + 1;
  return static_cast<uint32_t>(std::min<uint64_t>({wanted, record.BitCount, units}));
}

}  // namespace

void ExtractMonitorI2CDetail(CSamplingObj& sampling, const TransactionInfo& record, uint32_t wanted_bytes,
                             TransactionDetail* detail) {
  const uint32_t count = DetailCount(record, wanted_bytes, kI2CUnitBytes);
  detail->count = count;
  detail->bytes.assign(count, 0);
  detail->bytes2.assign((count + 7) / 8, 0);
  detail->offsets.clear();
  detail->ack_offsets.clear();
  MonitorUnitWalker walker(sampling);
  uint32_t i = 0;
  WalkMonitorI2CBytes(walker, sampling.m_sizeSamplingBuf, record, count, [&](uint8_t byte, bool nack) {
    detail->bytes[i] = byte;
    if (nack) detail->bytes2[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
    ++i;
  });
}

void ExtractMonitorSpiDetail(CSamplingObj& sampling, const TransactionInfo& record, uint32_t wanted_bytes,
                             TransactionDetail* detail) {
  const uint32_t count = DetailCount(record, wanted_bytes, kSpiUnitBytes);
  detail->count = count;
  detail->bytes.assign(count, 0);
  detail->bytes2.assign(count, 0);
  detail->offsets.clear();
  detail->ack_offsets.clear();
  MonitorUnitWalker walker(sampling);
  uint32_t i = 0;
  WalkMonitorSpiBytes(walker, sampling.m_sizeSamplingBuf, record, count, [&](uint8_t first, uint8_t second) {
    detail->bytes[i] = first;
    detail->bytes2[i] = second;
    ++i;
  });
}

}  // namespace orvane

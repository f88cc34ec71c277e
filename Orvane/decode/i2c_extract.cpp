#include "Orvane/decode/i2c_extract.h"

#include <algorithm>

#include "Orvane/capture/atom_walker.h"
#include "Orvane/decode/line_mapping.h"

namespace orvane {

namespace {

constexpr uint32_t kExtractBatch = 4096;

uint32_t Clamp32(uint64_t value) { return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(value); }

// Calls on_bit(byte_index, slot, bit, offset) for each of the first
// `bit_limit` SCL rises of the record: slot 0..7 are the data bits, most
// significant first, slot 8 the ACK bit; offset counts clocks from the
// opening condition. Stops at a STOP, a damaged atom or the record's end.
template <typename OnBit>
void WalkI2CAnalyzerBits(CSamplingObj& sampling, uint8_t bus_channel, const TransactionInfo& record,
                         uint64_t bit_limit, OnBit&& on_bit) {
  const LineMapping mapping = LineMappingForChannel(bus_channel);
  const uint32_t data_end = sampling.m_lenSamplingDataInBuffer;
  AtomWalker walker(sampling, kExtractBatch);
  // old_Signal is stored already mapped to the bus lines.
  uint8_t line = static_cast<uint8_t>(record.old_Signal & mapping.mask);
  uint64_t position = record.SamplePos;
  // The record's bytes are counted from after its opening atom.
  uint64_t end = 0;
  uint64_t offset = 0;
  uint64_t bit = 0;
  uint32_t byte_index = 0;
  uint32_t slot = 0;  // bit slot 0..8 within byte_index
  while (bit < bit_limit && position < data_end && (end == 0 || position < end)) {
    const SampleAtom atom = walker.Read(static_cast<uint32_t>(position));
    if (atom.size != 1 && atom.size != 2) return;
    if (end == 0) end = position + atom.size + record.SampleLen;
    position += atom.size;
    offset += atom.count;
    const uint8_t state = mapping.Map(atom.state);
    const uint8_t previous = line;
    line = state;
    // The decoder's rule: a zero-count long atom only replaces the state.
    if (state == previous || (atom.count == 0 && atom.size == 2)) continue;
    const I2CEdge edge = ClassifyI2CEdge(previous, state);
    if (edge == I2CEdge::kStart) {
      offset = 0;
    } else if (edge == I2CEdge::kStop) {
      return;
    } else if (edge == I2CEdge::kSclRise) {
      on_bit(byte_index, slot, static_cast<uint8_t>((state >> 1) & 1), offset);
      ++bit;
      if (++slot == 9) {
        slot = 0;
        ++byte_index;
      }
    }
  }
}

uint32_t DataBytes(const TransactionInfo& record) {
  return static_cast<uint32_t>((uint64_t(record.BitCount) + 8) / 9);
}

}  // namespace

void ExtractI2CAnalyzerDetail(CSamplingObj& sampling, uint8_t bus_channel, const TransactionInfo& record,
                              uint32_t wanted_bytes, TransactionDetail* detail) {
  const uint32_t count = std::min(wanted_bytes, DataBytes(record));
  detail->count = count;
  detail->bytes.assign(count, 0);
  detail->bytes2.assign((uint64_t(count) + 7) / 8, 0);
  detail->offsets.assign(count, 0);
  detail->ack_offsets.assign(count, 0);
  if (count == 0) return;
  const uint64_t bit_limit = std::min<uint64_t>(record.BitCount, uint64_t(count) * 9);
  WalkI2CAnalyzerBits(sampling, bus_channel, record, bit_limit,
                      [detail](uint32_t byte_index, uint32_t slot, uint8_t b, uint64_t offset) {
                        if (slot == 8) {
                          detail->bytes2[byte_index / 8] |= static_cast<uint8_t>(b << (7 - byte_index % 8));
                          detail->ack_offsets[byte_index] = Clamp32(offset);
                        } else {
                          if (slot == 0) detail->offsets[byte_index] = Clamp32(offset);
                          detail->bytes[byte_index] = static_cast<uint8_t>((detail->bytes[byte_index] << 1) | b);
                        }
                      });
}

void ExtractI2CAnalyzerBytes(CSamplingObj& sampling, uint8_t bus_channel, const TransactionInfo& record,
                             TransactionDetail* detail) {
  const uint32_t count = DataBytes(record);
  detail->count = count;
  detail->bytes.assign(count, 0);
  detail->bytes2.clear();
  detail->offsets.clear();
  detail->ack_offsets.clear();
  if (count == 0) return;
  uint8_t* bytes = detail->bytes.data();
  WalkI2CAnalyzerBits(sampling, bus_channel, record, record.BitCount,
                      [bytes](uint32_t byte_index, uint32_t slot, uint8_t b, uint64_t) {
                        if (slot != 8) bytes[byte_index] = static_cast<uint8_t>((bytes[byte_index] << 1) | b);
                      });
}

}  // namespace orvane

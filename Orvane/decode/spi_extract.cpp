#include "Orvane/decode/spi_extract.h"

#include <algorithm>

#include "Orvane/capture/atom_walker.h"
#include "Orvane/decode/spi_lines.h"

namespace orvane {

namespace {

constexpr uint32_t kExtractBatch = 4096;

// Calls on_bit(bit, state, offset) for each of the first `bit_limit`
// sampling edges of the record, with the line state after the edge and the
// clock offset from SS becoming active.
template <typename OnBit>
void WalkSpiAnalyzerBits(CSamplingObj& sampling, const SettingsRecord& settings, const TransactionInfo& record,
                         uint64_t bit_limit, OnBit&& on_bit) {
  const SpiLineRules rules = SpiLineRules::From(settings);
  const uint32_t data_end = sampling.m_lenSamplingDataInBuffer;
  AtomWalker walker(sampling, kExtractBatch);
  uint8_t line = record.old_Signal & 0x0F;
  uint64_t position = record.SamplePos;
  uint64_t end = 0;
  uint64_t offset = 0;
  uint64_t bit = 0;
  bool first_atom = true;
  bool first_edge_ignored = false;
  while (bit < bit_limit && position < data_end && (end == 0 || position < end)) {
    const SampleAtom atom = walker.Read(static_cast<uint32_t>(position));
    if (atom.size != 1 && atom.size != 2) return;
    // The record's bytes are counted from after its opening atom (at the
    // data end from the opening atom itself, which this bound covers too).
    if (end == 0) end = position + atom.size + record.SampleLen;
    position += atom.size;
    const uint8_t state = atom.state & 0x0F;
    const uint8_t previous = line;
    line = state;
    // The clocks before the opening atom are the lead-in, not the offset.
    if (!first_atom) offset += atom.count;
    first_atom = false;
    // The decoder's rule: a zero-count long atom only replaces the state.
    if (atom.count == 0 && atom.size == 2) continue;
    if (rules.SsBecameActive(previous, state)) offset = 0;
    if (rules.ignore_first_edge && !first_edge_ignored && ((previous ^ state) & kSpiSclk)) {
      first_edge_ignored = true;
      continue;
    }
    if (!rules.SamplingEdge(previous, state)) continue;
    on_bit(bit, state, offset);
    ++bit;
  }
}

uint32_t DataBytes(const TransactionInfo& record) {
  return static_cast<uint32_t>((uint64_t(record.BitCount) + 7) / 8);
}

}  // namespace

void ExtractSpiAnalyzerDetail(CSamplingObj& sampling, const SettingsRecord& settings,
                              const TransactionInfo& record, uint32_t wanted_bytes, TransactionDetail* detail) {
  const uint32_t count = std::min(wanted_bytes, DataBytes(record));
  detail->count = count;
  detail->bytes.assign(count, 0);
  detail->bytes2.assign(count, 0);
  detail->offsets.assign(count, 0);
  detail->ack_offsets.clear();
  if (count == 0) return;
  const SpiLineRules rules = SpiLineRules::From(settings);
  const uint64_t bit_limit = std::min<uint64_t>(record.BitCount, uint64_t(count) * 8);
  WalkSpiAnalyzerBits(sampling, settings, record, bit_limit, [&](uint64_t bit, uint8_t state, uint64_t offset) {
    const uint64_t index = bit / 8;
    if (bit % 8 == 0) detail->offsets[index] = offset > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(offset);
    detail->bytes[index] = rules.Shift(detail->bytes[index], (state >> 3) & 1);
    detail->bytes2[index] = rules.Shift(detail->bytes2[index], (state >> 2) & 1);
  });
}

void ExtractSpiAnalyzerBytes(CSamplingObj& sampling, const SettingsRecord& settings, const TransactionInfo& record,
                             TransactionDetail* detail) {
  const uint32_t count = DataBytes(record);
  detail->count = count;
  detail->bytes.assign(count, 0);
  detail->bytes2.assign(count, 0);
  detail->offsets.clear();
  detail->ack_offsets.clear();
  if (count == 0) return;
  const SpiLineRules rules = SpiLineRules::From(settings);
  uint8_t* first = detail->bytes.data();
  uint8_t* second = detail->bytes2.data();
  WalkSpiAnalyzerBits(sampling, settings, record, record.BitCount, [&](uint64_t bit, uint8_t state, uint64_t) {
    const uint64_t index = bit / 8;
    first[index] = rules.Shift(first[index], (state >> 3) & 1);
    second[index] = rules.Shift(second[index], (state >> 2) & 1);
  });
}

}  // namespace orvane

#include "Orvane/decode/spi_extract.h"

#include <algorithm>

#include "Orvane/capture/atom_walker.h"
#include "Orvane/decode/atom_span_loop.h"
#include "Orvane/decode/extract_lanes.h"
#include "Orvane/decode/spi_lines.h"

namespace orvane {

namespace {

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

// The exports' walk: both data lines' bits of one record shifted into their
// bytes with nothing else kept, so the hot loop runs over the mapped bytes
// with its values in registers, eight short atoms at a time where it can.
// The bits of the byte being filled wait in a register per line, last bit
// lowest; each byte is stored once, when complete or when the record ends,
// exactly as shifting the bits in one at a time in the configured order
// would have left it.
class SpiByteShifter {
 public:
  SpiByteShifter(const SpiLineRules& rules, uint8_t* first, uint8_t* second, uint64_t bit_limit, uint8_t line)
      : msb_first_(rules.msb_first),
        // The SCLK level after a sampling edge; no level matches an unknown
        // edge setting.
        sample_level_(rules.sampling_edge == 1 ? kSpiSclk : rules.sampling_edge == 2 ? 0 : 0xFF),
        // The same for a block: the SCLK lanes flipped so that a sampled
        // level reads 1 (bit 0 of every 8-bit lane, so of every 16-bit one
        // too), nothing kept for an unknown edge setting.
        sample_flip_(rules.sampling_edge == 2 ? extract_lanes::ShortLanes::kLanes : 0),
        sample_keep_(rules.sampling_edge == 1 || rules.sampling_edge == 2 ? ~uint64_t{0} : 0),
        first_(first),
        second_(second),
        bit_limit_(bit_limit),
        walk_{0, line, rules.ignore_first_edge, 0, 0} {}

  // One atom's state; `state_only` for a zero-count long atom, which only
  // replaces the state. False after the record's last bit.
  bool Atom(uint8_t state, bool state_only) {
    const uint8_t previous = walk_.line;
    walk_.line = state;
    if (state_only || ((previous ^ state) & kSpiSclk) == 0) return true;
    return ClockEdge(walk_, state);
  }

  // The byte being filled, as far as its bits came.
  void Finish() {
    const uint64_t index = walk_.bit / 8;
    const uint32_t left = static_cast<uint32_t>(walk_.bit % 8);
    if (left == 0) return;
    const uint32_t filled = (1u << left) - 1;
    first_[index] = Ordered(walk_.held3 & filled);
    second_[index] = Ordered(walk_.held2 & filled);
  }

  // The atoms of one span read in place (see atom_span_loop.h).
  uint32_t Run(const uint8_t* data, uint32_t length, uint32_t odd, bool* more) {
    Walk walk = walk_;
    uint32_t i = 0;
    while (i + 1 < length) {
      if (i + 8 < length) {
        const uint64_t block = extract_lanes::LoadWord(data + i);
        if (extract_lanes::ShortLanes::Holds(block) ? Block<extract_lanes::ShortLanes>(walk, block)
            : ((i ^ odd) & 1) == 0 && extract_lanes::LongLanes::Holds(block) &&
                  Block<extract_lanes::LongLanes>(walk, block)) {
          i += 8;
          continue;
        }
      }
      const uint32_t low = data[i];
      const uint32_t word = low | (uint32_t(data[i + 1]) << 8);
      const bool is_short = (low & 0x10) != 0;
      if (!is_short && ((i ^ odd) & 1) != 0) break;
      i += is_short ? 1 : 2;
      const uint8_t state = static_cast<uint8_t>(low & 0x0F);
      const uint8_t previous = walk.line;
      walk.line = state;
      if (((previous ^ state) & kSpiSclk) == 0) continue;
      if (!is_short && (word >> 5) == 0) continue;
      if (!ClockEdge(walk, state)) {
        *more = false;
        break;
      }
    }
    walk_ = walk;
    return i;
  }

 private:
  struct Walk {
    uint64_t bit;
    uint8_t line;
    bool ignore_edge;  // the next SCLK change is not sampled
    uint32_t held3;    // bits of the byte being filled, last bit lowest
    uint32_t held2;
  };

  // An SCLK change to `state`.
  bool ClockEdge(Walk& walk, uint8_t state) const {
    if (walk.ignore_edge) {
      walk.ignore_edge = false;
      return true;
    }
    if ((state & kSpiSclk) != sample_level_) return true;
    Put(walk, (state >> 3) & 1, (state >> 2) & 1, 1);
    return walk.bit < bit_limit_;
  }

  // One word of atoms at once; false, with nothing taken, when they hold
  // the record's last bit, which the per-atom path finds.
  template <typename Shape>
  bool Block(Walk& walk, uint64_t block) const {
    using namespace extract_lanes;
    const uint64_t sclk = Line<Shape>(block, 1);
    uint64_t changes = Changes<Shape>(sclk, (walk.line >> 1) & 1);
    if (changes == 0) {
      walk.line = LastState<Shape>(block);
      return true;
    }
    if (walk.ignore_edge) changes &= changes - 1;
    const uint64_t sampled_lanes = changes & (sclk ^ (sample_flip_ & Shape::kLanes)) & sample_keep_;
    const uint32_t count = Shape::Count(sampled_lanes);
    if (walk.bit + count >= bit_limit_) return false;
    walk.ignore_edge = false;
    walk.line = LastState<Shape>(block);
    if (count != 0) {
      const uint32_t sampled = Shape::Mask(sampled_lanes);
      Put(walk, PackFirstHighest(Shape::Mask(Line<Shape>(block, 3)), sampled),
          PackFirstHighest(Shape::Mask(Line<Shape>(block, 2)), sampled), count);
    }
    return true;
  }

  // Adds `count` (1..8) bits per line, first bit highest.
  void Put(Walk& walk, uint32_t bits3, uint32_t bits2, uint32_t count) const {
    const uint32_t before = static_cast<uint32_t>(walk.bit % 8);
    walk.held3 = (walk.held3 << count) | bits3;
    walk.held2 = (walk.held2 << count) | bits2;
    walk.bit += count;
    const uint64_t index = walk.bit / 8;
    const uint32_t left = static_cast<uint32_t>(walk.bit % 8);
    // Only one byte completes: fewer than 8 bits were held before.
    if (before + count >= 8) {
      first_[index - 1] = Ordered((walk.held3 >> left) & 0xFF);
      second_[index - 1] = Ordered((walk.held2 >> left) & 0xFF);
    }
  }

  // A byte as its bits were shifted in, from the first bit highest.
  uint8_t Ordered(uint32_t first_highest) const {
    return static_cast<uint8_t>(msb_first_ ? first_highest : extract_lanes::Reversed(first_highest));
  }

  const bool msb_first_;
  const uint8_t sample_level_;
  const uint64_t sample_flip_;
  const uint64_t sample_keep_;
  uint8_t* const first_;
  uint8_t* const second_;
  const uint64_t bit_limit_;
  Walk walk_;
};

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
  AtomWalker walker(sampling, kExtractBatch);
  ExtractSpiAnalyzerBytes(walker, sampling, settings, record, detail);
}

void ExtractSpiAnalyzerBytes(AtomWalker& walker, CSamplingObj& sampling, const SettingsRecord& settings,
                             const TransactionInfo& record, TransactionDetail* detail) {
  const uint32_t count = DataBytes(record);
  detail->count = count;
  detail->bytes.assign(count, 0);
  detail->bytes2.assign(count, 0);
  detail->offsets.clear();
  detail->ack_offsets.clear();
  if (count == 0) return;
  SpiByteShifter shifter(SpiLineRules::From(settings), detail->bytes.data(), detail->bytes2.data(), record.BitCount,
                         record.old_Signal & 0x0F);
  ShiftRecordAtoms(walker, sampling, record, shifter);
}

}  // namespace orvane

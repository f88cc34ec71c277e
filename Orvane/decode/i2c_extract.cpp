#include "Orvane/decode/i2c_extract.h"

#include <algorithm>
#include <array>

#include "Orvane/capture/atom_walker.h"
#include "Orvane/decode/atom_span_loop.h"
#include "Orvane/decode/extract_lanes.h"
#include "Orvane/decode/line_mapping.h"

namespace orvane {

namespace {

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

// What four atoms do to the bytes, by the mapped line before them (index
// bits 8..9) and their mapped lines (two bits each, the first atom lowest):
// the SDA bits of the SCL rises, first bit highest, in bits 0..3, how many
// in bits 4..6, and kQuadEnds when one of them is a STOP.
constexpr uint8_t kQuadEnds = 0x80;

const uint8_t* I2CQuadTable() {
  static const std::array<uint8_t, 1024> table = [] {
    std::array<uint8_t, 1024> t{};
    for (uint32_t index = 0; index < t.size(); ++index) {
      uint8_t line = static_cast<uint8_t>(index >> 8);
      uint32_t bits = 0;
      uint32_t count = 0;
      bool ends = false;
      for (uint32_t lane = 0; lane < 4; ++lane) {
        const uint8_t state = static_cast<uint8_t>((index >> (2 * lane)) & 3);
        const I2CEdge edge = state == line ? I2CEdge::kNone : ClassifyI2CEdge(line, state);
        line = state;
        if (edge == I2CEdge::kStop) ends = true;
        if (edge != I2CEdge::kSclRise) continue;
        bits = (bits << 1) | ((state >> 1) & 1);
        ++count;
      }
      t[index] = static_cast<uint8_t>(ends ? kQuadEnds : (count << 4) | bits);
    }
    return t;
  }();
  return table.data();
}

// The exports' walk: the data bits of one record shifted into its bytes
// (the ACK bit of each nine skipped) with nothing else kept, so the hot
// loops run over the mapped bytes with their values in registers, eight
// atoms at a time where they can: one word of short atoms or two of long
// ones, through two look-ups that do not wait for each other.
class I2CByteShifter {
 public:
  I2CByteShifter(uint8_t* bytes, uint32_t bit_limit, LineMapping mapping, uint8_t line)
      : mapping_(mapping), quads_(I2CQuadTable()), walk_{bytes, bit_limit, 0, line, 0} {}

  // One atom's four line bits; `state_only` for a zero-count long atom,
  // which only replaces the state. False once the record ends: at a STOP or
  // after its last bit.
  bool Atom(uint8_t raw_state, bool state_only) {
    const uint8_t state = mapping_.Map(raw_state);
    const uint8_t previous = walk_.line;
    walk_.line = state;
    if (state == previous || state_only) return true;
    return Edge(walk_, previous, state);
  }

  // The byte being filled, as far as its bits came (the bytes start at
  // zero, so an unfinished one holds the bits shifted in so far).
  void Finish() {
    if (walk_.slot == 0) return;
    const uint32_t data_bits = walk_.slot < 8 ? walk_.slot : 8;
    *walk_.out = static_cast<uint8_t>(walk_.held & ((1u << data_bits) - 1));
  }

  // The atoms of one span read in place (see atom_span_loop.h).
  uint32_t Run(const uint8_t* data, uint32_t length, uint32_t odd, bool* more) {
    const LineMapping mapping = mapping_;
    Walk walk = walk_;
    uint32_t i = 0;
    while (i + 1 < length) {
      if (i + 8 < length) {
        const uint32_t taken = Words(data + i, length - i, ((i ^ odd) & 1) == 0, walk);
        if (taken != 0) {
          i += taken;
          continue;
        }
      }
      const uint32_t low = data[i];
      const uint32_t word = low | (uint32_t(data[i + 1]) << 8);
      const bool is_short = (low & 0x10) != 0;
      if (!is_short && ((i ^ odd) & 1) != 0) break;
      i += is_short ? 1 : 2;
      const uint8_t state = static_cast<uint8_t>((low >> mapping.shift) & mapping.mask);
      const uint8_t previous = walk.line;
      if (state == previous) continue;
      walk.line = state;
      if (!is_short && (word >> 5) == 0) continue;
      if (!Edge(walk, previous, state)) {
        *more = false;
        break;
      }
    }
    walk_ = walk;
    return i;
  }

 private:
  struct Walk {
    uint8_t* out;        // the byte being filled
    uint32_t remaining;  // bits still to come, at least one while walking
    uint32_t slot;       // bit slot 0..8 within the byte being filled
    uint8_t line;
    uint32_t held;       // the bits of the byte being filled, last bit lowest
  };

  // Whole words of atoms from data[0] on, with more than eight bytes left:
  // a run of short atoms, or of long ones when data[0] is at an even
  // position. Returns the bytes taken; 0 when the first atoms must go one
  // at a time (mixed kinds, a zero count, a STOP or the record's end). The
  // bus's line shift is a constant in each loop.
  uint32_t Words(const uint8_t* data, uint32_t length, bool even, Walk& walk) const {
    const uint64_t raw = extract_lanes::LoadWord(data);
    if (extract_lanes::ShortLanes::Holds(raw)) {
      return mapping_.shift == 0 ? ShortRun<0>(data, length, walk) : ShortRun<2>(data, length, walk);
    }
    if (even && extract_lanes::LongLanes::Holds(raw)) {
      return mapping_.shift == 0 ? LongRun<0>(data, length, walk) : LongRun<2>(data, length, walk);
    }
    return 0;
  }

  // data[0, 8) holds short atoms.
  template <unsigned kShift>
  uint32_t ShortRun(const uint8_t* data, uint32_t length, Walk& walk) const {
    using extract_lanes::ShortLanes;
    uint32_t i = 0;
    do {
      const uint64_t block = extract_lanes::LoadWord(data + i) >> kShift;
      if (!Octet(walk, ShortLanes::Quad(block), ShortLanes::Quad(block >> 32))) {
        return Quad(walk, ShortLanes::Quad(block)) ? i + 4 : i;
      }
      i += 8;
    } while (i + 8 < length && ShortLanes::Holds(extract_lanes::LoadWord(data + i)));
    return i;
  }

  // Pairs of words of long atoms, then one word alone.
  template <unsigned kShift>
  uint32_t LongRun(const uint8_t* data, uint32_t length, Walk& walk) const {
    using extract_lanes::LongLanes;
    uint32_t i = 0;
    for (; i + 16 < length; i += 16) {
      const uint64_t first = extract_lanes::LoadWord(data + i);
      const uint64_t second = extract_lanes::LoadWord(data + i + 8);
      if (!LongLanes::BothHold(first, second) ||
          !Octet(walk, LongLanes::Quad(first >> kShift), LongLanes::Quad(second >> kShift))) {
        break;
      }
    }
    if (i + 8 < length) {
      const uint64_t word = extract_lanes::LoadWord(data + i);
      if (LongLanes::Holds(word) && Quad(walk, LongLanes::Quad(word >> kShift))) i += 8;
    }
    return i;
  }

  // Four atoms at once, as their mapped lines from extract_lanes Quad();
  // false, with nothing taken, when one of them ends the record (a STOP or
  // the last bit), which the per-atom path finds.
  bool Quad(Walk& walk, uint32_t lines) const {
    const uint32_t entry = quads_[(uint32_t{walk.line} << 8) | lines];
    const uint32_t count = entry >> 4;
    if ((entry & kQuadEnds) || count >= walk.remaining) return false;
    walk.line = static_cast<uint8_t>(lines >> 6);
    Put(walk, entry & 0x0F, count);
    return true;
  }

  // Eight atoms as two groups of four; the second group's line before it is
  // the first group's last lane, so both look-ups start at once. False, with
  // nothing taken, when either group ends the record.
  bool Octet(Walk& walk, uint32_t first, uint32_t second) const {
    const uint32_t a = quads_[(uint32_t{walk.line} << 8) | first];
    const uint32_t b = quads_[((first & 0xC0) << 2) | second];
    const uint32_t count_b = b >> 4;
    const uint32_t count = (a >> 4) + count_b;
    if (((a | b) & kQuadEnds) || count >= walk.remaining) return false;
    walk.line = static_cast<uint8_t>(second >> 6);
    Put(walk, ((a & 0x0F) << count_b) | (b & 0x0F), count);
    return true;
  }

  // Adds `count` (0..8) bits, first bit highest, to the nine bit slots of
  // the byte being filled: eight data bits, then the ACK bit, which is
  // dropped. Stores a byte once its ACK bit came; Finish() stores the last.
  static void Put(Walk& walk, uint32_t bits, uint32_t count) {
    walk.held = (walk.held << count) | bits;
    walk.remaining -= count;
    walk.slot += count;
    // Fewer than nine slots were filled before, so at most one byte
    // completes: its data bits stand above the ACK bit and the newer bits.
    if (walk.slot >= 9) {
      walk.slot -= 9;
      *walk.out++ = static_cast<uint8_t>(walk.held >> (walk.slot + 1));
    }
  }

  static bool Edge(Walk& walk, uint8_t previous, uint8_t state) {
    const I2CEdge edge = ClassifyI2CEdge(previous, state);
    if (edge == I2CEdge::kStop) return false;
    if (edge != I2CEdge::kSclRise) return true;
    Put(walk, (state >> 1) & 1, 1);
    return walk.remaining != 0;
  }

  const LineMapping mapping_;
  const uint8_t* const quads_;  // I2CQuadTable()
  Walk walk_;
};

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
  AtomWalker walker(sampling, kExtractBatch);
  ExtractI2CAnalyzerBytes(walker, sampling, bus_channel, record, detail);
}

void ExtractI2CAnalyzerBytes(AtomWalker& walker, CSamplingObj& sampling, uint8_t bus_channel,
                             const TransactionInfo& record, TransactionDetail* detail) {
  const uint32_t count = DataBytes(record);
  detail->count = count;
  detail->bytes.assign(count, 0);
  detail->bytes2.clear();
  detail->offsets.clear();
  detail->ack_offsets.clear();
  if (count == 0) return;
  const LineMapping mapping = LineMappingForChannel(bus_channel);
  // old_Signal is stored already mapped to the bus lines.
  I2CByteShifter shifter(detail->bytes.data(), record.BitCount, mapping,
                         static_cast<uint8_t>(record.old_Signal & mapping.mask));
  ShiftRecordAtoms(walker, sampling, record, shifter);
}

}  // namespace orvane

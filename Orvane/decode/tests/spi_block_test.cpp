// The SPI analyzer takes runs of eight short atoms as one block. These
// tests drive it with traffic that is almost all short atoms at every rate,
// with SS edges, data-length cuts and time-outs falling at every lane of a
// block, and compare with the synthesizer's ground truth.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "Orvane/decode/short_atom_block.h"
#include "Orvane/decode/spi_analyzer.h"
#include "Orvane/decode/spi_extract.h"
#include "Orvane/decode/tests/analyzer_test_support.h"
#include "sim/synthesizer.h"

namespace orvane {
namespace {

using analyzer_test::Harness;

// Bit k set where atom k's line differs from atom k-1's (atom 0 compares
// with `before`), worked out from the block's lanes.
uint32_t ChangedAtoms(const ShortAtomBlock& block, unsigned bit, uint64_t before) {
  const uint64_t line = block.Line(bit);
  return ShortAtomBlock::Mask(line ^ ((line << 8) | before));
}

TEST(ShortAtomBlock, LaneHelpersAgreeWithAPlainWalk) {
  for (uint32_t pattern = 0; pattern < 256; ++pattern) {
    uint8_t bytes[8];
    for (unsigned k = 0; k < 8; ++k) bytes[k] = EncodeShortAtom(((pattern >> k) & 1) ? 0x2 : 0x0, (k * 3 + pattern) & 7);
    ShortAtomBlock block;
    ASSERT_EQ(block.LoadLeading(bytes), 8u);
    uint32_t changed_mask = 0;
    uint32_t sum = 0;
    uint8_t before = 0;
    for (unsigned k = 0; k < 8; ++k) {
      const uint8_t level = (pattern >> k) & 1;
      sum += bytes[k] >> 5;
      if (level != before) changed_mask |= 1u << k;
      before = level;
    }
    EXPECT_EQ(ChangedAtoms(block, 1, 0), changed_mask) << pattern;
    EXPECT_EQ(ShortAtomBlock::Sum(block.Counts()), sum) << pattern;
  }
  uint8_t with_long[8] = {0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x00, 0x30};
  EXPECT_EQ(ShortAtomBlock().LoadLeading(with_long), 6u);
}

// A long atom (or any byte without the short flag) at lane `stop`: the
// block keeps the atoms before it, and the lanes after add no time and no
// change.
TEST(ShortAtomBlock, LoadLeadingKeepsTheShortAtomsBeforeAnother) {
  for (uint32_t stop = 0; stop <= 8; ++stop) {
    for (uint32_t pattern = 0; pattern < 256; pattern += 37) {
      uint8_t bytes[8];
      for (unsigned k = 0; k < 8; ++k) bytes[k] = EncodeShortAtom(static_cast<uint8_t>((pattern >> k) & 0xF), (k + pattern) & 7);
      if (stop < 8) bytes[stop] = static_cast<uint8_t>(bytes[stop] & ~0x10);
      ShortAtomBlock block;
      ASSERT_EQ(block.LoadLeading(bytes), stop) << pattern;
      if (stop == 0) continue;
      uint32_t sum = 0;
      for (unsigned k = 0; k < stop; ++k) sum += bytes[k] >> 5;
      EXPECT_EQ(ShortAtomBlock::Sum(block.Counts()), sum) << stop << " " << pattern;
      for (unsigned bit = 0; bit < 4; ++bit) {
        const uint64_t line = block.Line(bit);
        EXPECT_EQ(ChangedAtoms(block, bit, line & 1) >> stop, 0u) << stop << " " << pattern << " line " << bit;
        for (unsigned k = 0; k < stop; ++k) EXPECT_EQ((line >> (8 * k)) & 1, (bytes[k] >> bit) & 1u);
      }
    }
  }
}

std::string Hex2(uint32_t value) {
  static const char kDigits[] = "0123456789abcdef";
  return {kDigits[(value >> 4) & 0xF], kDigits[value & 0xF]};
}

// A duration of `ticks` sample periods at `rate` (10 ns units per period).
std::string Ticks(uint32_t ticks, uint8_t rate) { return std::to_string(ticks * rate * 10) + "ns"; }

// Fast traffic whose atoms are all short but for the idle before and after:
// an SCLK period of 5 or 8 sample periods at the given rate, selects and
// deselects a few periods apart, optional data-length cuts, first-edge
// skips and time-outs reached in a run of short data-line glitches.
std::string FastSpiScenario(uint32_t seed, uint8_t rate) {
  std::mt19937 rng(seed);
  auto pick = [&](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
  std::ostringstream s;
  const bool timeout = pick(3) == 0;
  const char* ss[] = {"active-low", "active-high", "none"};
  s << "bus spi\nss " << ss[timeout ? 2 : pick(2)] << "\nmode " << pick(4) << "\n";
  const bool msb = pick(2) != 0;
  s << (msb ? "msb-first\n" : "lsb-first\n");
  const uint32_t period_ns = (pick(2) ? 5 : 8) * rate * 10;
  s << "sclk " << 1000.0 / period_ns << "m\n";
  if (pick(2)) s << "set SpiDataLength " << 1 + pick(3) << "\n";
  if (pick(4) == 0) s << "set SpiBitFlags " << (msb ? 0x81 : 0x80) << "\n";
  if (timeout) s << "set SpiSclkTimeout 1\n";
  for (int t = 0; t < 6; ++t) {
    if (!timeout) s << "select\n";
    s << "xfer mosi=" << std::hex;
    const uint32_t n = 1 + pick(12);
    for (uint32_t i = 0; i < n; ++i) s << (i ? "," : "") << Hex2(pick(256));
    s << " miso=";
    for (uint32_t i = 0; i < n; ++i) s << (i ? "," : "") << Hex2(pick(256));
    s << std::dec;
    if (pick(3) == 0) s << " bits=" << 8 * n - 1 - pick(7);
    if (pick(2)) s << " gap=" << Ticks(1 + pick(6), rate);
    s << "\n";
    if (timeout) {
      // Quiet SCLK up to just before the time-out, then short glitches.
      s << "idle " << 1000000 - (40 + pick(40)) * rate * 10 << "ns\n";
      for (int g = 0; g < 60; ++g) s << "glitch mosi " << Ticks(2 + pick(3), rate) << "\n";
    } else {
      s << "deselect\nidle " << Ticks(1 + pick(7), rate) << "\n";
    }
  }
  return s.str();
}

// The same atoms with every short atom written as a long one, so no block
// can form. A zero-count short atom becomes itself and a repeat of it (no
// time, no change), since a zero-count long atom means something else.
std::vector<uint8_t> WithoutShortAtoms(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < data.size();) {
    const SampleAtom atom = DecodeAtom(&data[i], (i & 1) != 0, i + 1 < data.size());
    if (atom.size != 1 && atom.size != 2) break;
    if (atom.size == 1 && atom.count == 0) {
      out.insert(out.end(), 2, EncodeShortAtom(atom.state, 0));
    } else {
      const uint16_t word = EncodeLongAtom(atom.state, atom.count);
      out.push_back(static_cast<uint8_t>(word));
      out.push_back(static_cast<uint8_t>(word >> 8));
    }
    i += atom.size;
  }
  return out;
}

// Everything a record says about the bus, leaving out the byte positions.
void ExpectSameBusRecord(const TransactionInfo& a, const TransactionInfo& b) {
  EXPECT_EQ(a.bStartEndType, b.bStartEndType);
  EXPECT_EQ(a.Status, b.Status);
  EXPECT_EQ(a.StartClock, b.StartClock);
  EXPECT_EQ(a.Duration, b.Duration);
  EXPECT_EQ(a.BitCount, b.BitCount);
  EXPECT_EQ(a.old_Signal, b.old_Signal);
  EXPECT_EQ(a.old_SignalClock, b.old_SignalClock);
  EXPECT_EQ(a.PreviewLen, b.PreviewLen);
  EXPECT_EQ(std::vector<uint8_t>(a.Preview, a.Preview + kPreviewBytes),
            std::vector<uint8_t>(b.Preview, b.Preview + kPreviewBytes));
  EXPECT_EQ(std::vector<uint8_t>(a.Preview2, a.Preview2 + kPreviewBytes),
            std::vector<uint8_t>(b.Preview2, b.Preview2 + kPreviewBytes));
}

class SpiBlocks : public ::testing::TestWithParam<uint32_t> {};

TEST_P(SpiBlocks, DecodedRecordsMatchTheGroundTruthAtEveryRate) {
  for (const uint8_t rate : {uint8_t{2}, uint8_t{5}, uint8_t{10}}) {
    const std::string text = FastSpiScenario(GetParam(), rate);
    SCOPED_TRACE(text);
    SCOPED_TRACE(rate);
    velix::sim::SynthOptions options;
    options.rate_code = rate;
    velix::sim::SynthResult synth;
    std::string error;
    ASSERT_TRUE(velix::sim::SynthesizeToMemory(text, options, 64u << 20, &synth, &error)) << error;
    Harness h;
    const auto out = h.RunOffline(RunSpiAnalyzerDecode, synth.data, synth.settings);
    // Where the ground truth cannot be exact (the glitch runs), the same
    // atoms decoded one by one still must give the same records.
    Harness atom_by_atom;
    const auto reference = atom_by_atom.RunOffline(RunSpiAnalyzerDecode, WithoutShortAtoms(synth.data), synth.settings);
    ASSERT_EQ(out.records.size(), reference.records.size());
    for (size_t i = 0; i < out.records.size(); ++i) {
      SCOPED_TRACE(i);
      ExpectSameBusRecord(out.records[i], reference.records[i]);
    }
    const auto& truth = synth.truth.transactions;
    ASSERT_EQ(out.records.size(), truth.size());
    for (size_t i = 0; i < truth.size(); ++i) {
      if (!truth[i].exact) continue;
      SCOPED_TRACE(i);
      const TransactionInfo& r = out.records[i];
      EXPECT_EQ(r.bStartEndType, truth[i].start_end);
      EXPECT_EQ(r.Status & 0x00FF, truth[i].status);
      EXPECT_EQ(r.StartClock, truth[i].start_clock);
      if (truth[i].duration >= 0) {
        EXPECT_EQ(r.Duration, static_cast<uint64_t>(truth[i].duration));
      }
      EXPECT_EQ(r.BitCount, truth[i].bit_count);
      TransactionDetail detail;
      ExtractSpiAnalyzerDetail(h.Sampling(), synth.settings, r, 0xFFFFFFFF, &detail);
      EXPECT_EQ(detail.bytes, truth[i].bytes);
      EXPECT_EQ(detail.bytes2, truth[i].bytes2);
      const size_t shown = std::min<size_t>(kPreviewBytes, truth[i].bytes.size());
      EXPECT_EQ(std::vector<uint8_t>(r.Preview, r.Preview + r.PreviewLen),
                std::vector<uint8_t>(truth[i].bytes.begin(), truth[i].bytes.begin() + shown));
      EXPECT_EQ(std::vector<uint8_t>(r.Preview2, r.Preview2 + r.PreviewLen),
                std::vector<uint8_t>(truth[i].bytes2.begin(), truth[i].bytes2.begin() + shown));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SpiBlocks, ::testing::Range(uint32_t{1}, uint32_t{25}));

}  // namespace
}  // namespace orvane

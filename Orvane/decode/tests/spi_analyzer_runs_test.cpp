// The SPI analyzer walks runs of atoms in blocks and keeps the sampled data
// bits in a register until a preview byte is whole. These tests compare the
// block readers with a plain walk of the bytes, the preview bytes with bits
// shifted in one at a time, and whole decodes of random SPI-like traffic
// (SS glitches, every setting, a capture ending while selected, corrupt
// bytes), with both block readers, with the same atoms written so that no
// block can form.

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

#include "Orvane/decode/short_atom_lanes.h"
#include "Orvane/decode/spi_analyzer.h"
#include "Orvane/decode/spi_analyzer_bits.h"
#include "Orvane/decode/spi_lines.h"
#include "Orvane/decode/tests/analyzer_test_support.h"

namespace orvane {
namespace {

using analyzer_test::Harness;

// Random bytes that are short atoms up to a lane chosen by the trial (a
// byte without the short flag there), read by `Lanes` and checked against
// the bytes one by one, before and after trimming to fewer atoms.
template <class Lanes>
void ExpectLanesMatchBytes(uint32_t seed) {
  std::mt19937 rng(seed);
  for (int trial = 0; trial < 400; ++trial) {
    uint8_t bytes[Lanes::kWidth];
    for (uint8_t& b : bytes) b = EncodeShortAtom(static_cast<uint8_t>(rng() & 0x0F), static_cast<uint16_t>(rng() % 8));
    const uint32_t other = static_cast<uint32_t>(rng() % (Lanes::kWidth + 1));
    if (other < Lanes::kWidth) bytes[other] = static_cast<uint8_t>(bytes[other] & ~0x10);
    Lanes lanes;
    ASSERT_EQ(lanes.Load(bytes), other) << "trial " << trial;
    if (other == 0) continue;
    const uint32_t kept = 1 + static_cast<uint32_t>(rng() % other);
    if (kept != other) lanes.Trim(kept);
    SCOPED_TRACE(testing::Message() << "trial " << trial << " kept " << kept);
    const uint32_t keep = (1u << kept) - 1;
    uint32_t lines[4] = {};
    uint32_t sum = 0;
    for (uint32_t k = 0; k < kept; ++k) {
      for (uint32_t bit = 0; bit < 4; ++bit) lines[bit] |= ((bytes[k] >> bit) & 1u) << k;
      sum += bytes[k] >> 5;
    }
    EXPECT_EQ(lanes.template Line<0>() & keep, lines[0]);
    EXPECT_EQ(lanes.template Line<1>() & keep, lines[1]);
    EXPECT_EQ(lanes.template Line<2>() & keep, lines[2]);
    EXPECT_EQ(lanes.template Line<3>() & keep, lines[3]);
    EXPECT_EQ(lanes.Sum(), sum);
    uint32_t after = sum;
    for (uint32_t k = 0; k < kept; ++k) {
      after -= bytes[k] >> 5;
      EXPECT_EQ(lanes.SumAfter(k), after) << "lane " << k;
    }
    EXPECT_EQ(lanes.LastState(), bytes[kept - 1] & 0x0F);
  }
}

TEST(ShortAtomLanes, ReadersAgreeWithTheBytes) {
  for (const uint32_t seed : {1u, 2u, 3u}) {
    ExpectLanesMatchBytes<WordShortAtomLanes>(seed);
#if defined(__SSE2__)
    ExpectLanesMatchBytes<Sse2ShortAtomLanes>(seed);
#endif
  }
}

struct BitsCase {
  bool msb_first;
  uint32_t start_bits;  // bits already in the preview when the run starts
};

class SpiSampledBitsTest : public ::testing::TestWithParam<BitsCase> {};

TEST_P(SpiSampledBitsTest, MatchesBitsShiftedOneAtATime) {
  const BitsCase c = GetParam();
  SpiLineRules rules;
  rules.msb_first = c.msb_first;
  std::mt19937 rng(c.start_bits * 2 + c.msb_first);
  for (int trial = 0; trial < 40; ++trial) {
    uint8_t expect3[kPreviewBytes] = {};
    uint8_t expect2[kPreviewBytes] = {};
    uint32_t bits = 0;
    auto shift_in = [&](uint32_t b3, uint32_t b2) {
      if (bits < kPreviewBytes * 8) {
        expect3[bits / 8] = rules.Shift(expect3[bits / 8], static_cast<uint8_t>(b3));
        expect2[bits / 8] = rules.Shift(expect2[bits / 8], static_cast<uint8_t>(b2));
      }
      ++bits;
    };
    while (bits < c.start_bits) shift_in(rng() & 1, rng() & 1);
    uint8_t got3[kPreviewBytes];
    uint8_t got2[kPreviewBytes];
    std::copy(expect3, expect3 + kPreviewBytes, got3);
    std::copy(expect2, expect2 + kPreviewBytes, got2);
    SpiSampledBits collected(got3, got2, bits, c.msb_first);
    uint32_t got_bits = bits;
    while (bits < kPreviewBytes * 8 + 12) {
      if (rng() % 3 == 0) {
        const uint32_t state = rng() & 0x0F;
        shift_in((state >> 3) & 1, (state >> 2) & 1);
        collected.Put(got_bits, SpiStateBits(state), 1);
        ++got_bits;
        continue;
      }
      // Blocks of eight or sixteen atoms, as the two readers give them.
      const uint32_t width = rng() % 2 != 0 ? 16 : 8;
      const uint32_t lanes_mask = (1u << width) - 1;
      const uint32_t sampled = static_cast<uint32_t>(rng()) & lanes_mask;
      const uint32_t lanes3 = static_cast<uint32_t>(rng()) & lanes_mask;
      const uint32_t lanes2 = static_cast<uint32_t>(rng()) & lanes_mask;
      uint32_t count = 0;
      for (uint32_t lane = 0; lane < width; ++lane) {
        if (((sampled >> lane) & 1) == 0) continue;
        shift_in((lanes3 >> lane) & 1, (lanes2 >> lane) & 1);
        ++count;
      }
      collected.Put(got_bits, SpiBlockBits(sampled, lanes3, lanes2), count);
      got_bits += count;
      if (rng() % 4 == 0) break;  // a run may end anywhere
    }
    collected.Store(got_bits);
    ASSERT_EQ(got_bits, bits);
    EXPECT_EQ(std::vector<uint8_t>(got3, got3 + kPreviewBytes), std::vector<uint8_t>(expect3, expect3 + kPreviewBytes))
        << "trial " << trial;
    EXPECT_EQ(std::vector<uint8_t>(got2, got2 + kPreviewBytes), std::vector<uint8_t>(expect2, expect2 + kPreviewBytes))
        << "trial " << trial;
  }
}

INSTANTIATE_TEST_SUITE_P(Offsets, SpiSampledBitsTest,
                         ::testing::Values(BitsCase{true, 0}, BitsCase{false, 0}, BitsCase{true, 3},
                                           BitsCase{false, 5}, BitsCase{true, 8}, BitsCase{false, 15},
                                           BitsCase{true, 77}, BitsCase{false, 79}, BitsCase{true, 80},
                                           BitsCase{false, 86}));

struct Atom {
  uint8_t state;
  uint16_t count;
  bool corrupt_after;
};

// SPI-like traffic: mostly SCLK toggles of a few sample periods with data
// changes between them, sometimes SS edges (short ones are glitches), long
// quiet holds and an odd byte that is no atom. SS may be left active.
std::vector<Atom> RandomTraffic(std::mt19937& rng) {
  auto pick = [&](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
  std::vector<Atom> atoms;
  uint8_t state = 0x1;
  atoms.push_back({state, 40, false});
  const uint32_t n = 200 + pick(3000);
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t what = pick(100);
    if (what < 60) {
      state ^= kSpiSclk;
    } else if (what < 85) {
      state = static_cast<uint8_t>((state & 0x3) | (pick(4) << 2));
    } else if (what < 90) {
      state ^= kSpiSs;
    } else if (what < 93) {
      state ^= static_cast<uint8_t>(kSpiSclk | (pick(4) << 2));
    }
    const uint16_t count = static_cast<uint16_t>(what == 99 ? 8 + pick(2000) : 1 + pick(7));
    atoms.push_back({state, count, pick(4000) == 0});
  }
  return atoms;
}

// The bytes of the atoms: short ones where they fit and `short_share` (of
// 8) says so, else long ones. A long atom at an odd position is preceded
// by a zero-count repeat of the state before, which adds no time and no
// change.
std::vector<uint8_t> Layout(const std::vector<Atom>& atoms, uint32_t short_share, std::mt19937& rng) {
  std::vector<uint8_t> out;
  uint8_t before = atoms.front().state;
  for (const Atom& atom : atoms) {
    if (atom.count <= 7 && rng() % 8 < short_share) {
      out.push_back(EncodeShortAtom(atom.state, atom.count));
    } else {
      if (out.size() % 2 != 0) out.push_back(EncodeShortAtom(before, 0));
      const uint16_t word = EncodeLongAtom(atom.state, atom.count);
      out.push_back(static_cast<uint8_t>(word));
      out.push_back(static_cast<uint8_t>(word >> 8));
    }
    before = atom.state;
    if (atom.corrupt_after) {
      if (out.size() % 2 == 0) out.push_back(EncodeShortAtom(before, 0));
      out.push_back(static_cast<uint8_t>(before & 0x0F));
    }
  }
  return out;
}

SettingsRecord RandomSpiSettings(std::mt19937& rng) {
  auto pick = [&](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
  SettingsRecord s = DefaultSettingsRecord();
  s.m_AnalyzeBusChannel = 0;
  s.ForcedDisplay = 0;
  s.SamplePeriodCode = static_cast<uint8_t>(pick(2) ? 2 : 10);
  s.SpiSsMode = static_cast<uint8_t>(pick(3));
  s.SpiSamplingEdge = static_cast<uint8_t>(pick(4) == 0 ? 0 : 1 + pick(2));  // 0: no sampling edge
  s.SpiBitFlags = static_cast<uint8_t>((pick(2) ? 0x01 : 0) | (pick(4) == 0 ? 0x80 : 0));
  // A time-out of 1 ms is 50,000 periods at 20 ns: reached by long holds.
  s.SpiSclkTimeout = pick(3) == 0 ? 1 : 0;
  s.SpiDataLength = pick(2) ? 1 + pick(12) : 1024;
  return s;
}

auto BusFields(const TransactionInfo& r) {
  return std::make_tuple(r.bStartEndType, r.Status, r.StartClock, r.Duration, r.BitCount, r.old_Signal,
                         r.old_SignalClock, r.PreviewLen, std::vector<uint8_t>(r.Preview, r.Preview + kPreviewBytes),
                         std::vector<uint8_t>(r.Preview2, r.Preview2 + kPreviewBytes));
}

class SpiAnalyzerRuns : public ::testing::TestWithParam<uint32_t> {};

TEST_P(SpiAnalyzerRuns, BlocksDecodeAsAtomsOneByOne) {
  std::mt19937 rng(GetParam());
  const std::vector<Atom> atoms = RandomTraffic(rng);
  const SettingsRecord settings = RandomSpiSettings(rng);
  SCOPED_TRACE(testing::Message() << "ss " << int(settings.SpiSsMode) << " edge " << int(settings.SpiSamplingEdge)
                                  << " flags " << int(settings.SpiBitFlags) << " length " << settings.SpiDataLength
                                  << " timeout " << settings.SpiSclkTimeout);
  Harness reference;
  const auto one_by_one = reference.RunOffline(RunSpiAnalyzerDecode, Layout(atoms, 0, rng), settings);
  for (const uint32_t short_share : {8u, 7u, 4u}) {
    SCOPED_TRACE(short_share);
    const std::vector<uint8_t> data = Layout(atoms, short_share, rng);
    // The reader this build uses, and the portable one other builds use.
    for (const auto decode : {RunSpiAnalyzerDecode, RunSpiAnalyzerDecodeWordLanes}) {
      SCOPED_TRACE(decode == RunSpiAnalyzerDecode ? "this build's reader" : "portable reader");
      Harness h;
      const auto out = h.RunOffline(decode, data, settings);
      EXPECT_EQ(out.result, one_by_one.result);
      ASSERT_EQ(out.records.size(), one_by_one.records.size());
      for (size_t i = 0; i < out.records.size(); ++i) {
        EXPECT_EQ(BusFields(out.records[i]), BusFields(one_by_one.records[i])) << "record " << i;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SpiAnalyzerRuns, ::testing::Range(uint32_t{1}, uint32_t{61}));

}  // namespace
}  // namespace orvane

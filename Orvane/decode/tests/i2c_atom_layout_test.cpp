// The decoder's loop over a run of atoms takes short and long atoms itself
// and hands zero-count and misplaced long atoms back to the per-atom path.
// The same line changes laid out in other atoms (long where the device wrote
// short, holds split, zero-count atoms between changes) must give the same
// records and timing records; only the byte positions may differ.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Orvane/capture/sample_atom.h"
#include "Orvane/decode/i2c_analyzer.h"
#include "Orvane/decode/line_mapping.h"
#include "Orvane/decode/tests/analyzer_test_support.h"
#include "Orvane/decode/tests/random_timing_scenario.h"
#include "sim/synthesizer.h"

namespace orvane {
namespace {

using analyzer_test::Harness;
using analyzer_test::Outcome;

struct Atom {
  uint8_t state;
  uint16_t count;
};

std::vector<Atom> ReadAtoms(const std::vector<uint8_t>& data) {
  std::vector<Atom> atoms;
  for (size_t i = 0; i < data.size();) {
    if ((data[i] & 0x10) != 0) {
      atoms.push_back({static_cast<uint8_t>(data[i] & 0x0F), static_cast<uint16_t>(data[i] >> 5)});
      i += 1;
    } else {
      if (i + 1 >= data.size()) break;
      const uint16_t word = static_cast<uint16_t>(data[i] | (data[i + 1] << 8));
      atoms.push_back({static_cast<uint8_t>(data[i] & 0x0F), static_cast<uint16_t>(word >> 5)});
      i += 2;
    }
  }
  return atoms;
}

// Writes atoms, padding an odd position with a zero-count short atom of the
// state in force before a long atom.
class AtomWriter {
 public:
  void Short(uint8_t state, uint16_t count) {
    bytes_.push_back(EncodeShortAtom(state, count));
    held_ = state;
  }
  void Long(uint8_t state, uint16_t count) {
    if ((bytes_.size() & 1) != 0) Short(held_, 0);
    const uint16_t word = EncodeLongAtom(state, count);
    bytes_.push_back(static_cast<uint8_t>(word));
    bytes_.push_back(static_cast<uint8_t>(word >> 8));
    held_ = state;
  }
  void Fitting(uint8_t state, uint16_t count) {
    if (count <= kShortAtomMaxCount) {
      Short(state, count);
    } else {
      Long(state, count);
    }
  }
  uint8_t Held() const { return held_; }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  uint8_t held_ = 0;
};

// A change atom keeps its count (a record's lead-in is its opening atom's
// count); an atom repeating the held state may be split.
using Layout = void (*)(const Atom& atom, AtomWriter& out);

struct LayoutCase {
  const char* name;
  Layout layout;
};

const LayoutCase kLayouts[] = {
    {"LongOnly", [](const Atom& a, AtomWriter& out) { out.Long(a.state, a.count); }},
    {"ShortWherePossible",
     [](const Atom& a, AtomWriter& out) {
       if (a.state != out.Held()) return out.Fitting(a.state, a.count);
       uint16_t left = a.count;
       for (; left > kShortAtomMaxCount; left = static_cast<uint16_t>(left - kShortAtomMaxCount)) {
         out.Short(a.state, kShortAtomMaxCount);
       }
       out.Short(a.state, left);
     }},
    {"ZeroCountAtomsBeforeChanges",
     [](const Atom& a, AtomWriter& out) {
       if (a.state != out.Held()) {
         out.Short(out.Held(), 0);
         out.Long(out.Held(), 0);
       }
       out.Fitting(a.state, a.count);
     }},
    {"HoldsSplitInHalves",
     [](const Atom& a, AtomWriter& out) {
       if (a.state != out.Held() || a.count < 2) return out.Fitting(a.state, a.count);
       out.Long(a.state, static_cast<uint16_t>(a.count / 2));
       out.Fitting(a.state, static_cast<uint16_t>(a.count - a.count / 2));
     }},
};

std::vector<uint8_t> Relayout(const std::vector<uint8_t>& data, Layout layout) {
  const std::vector<Atom> atoms = ReadAtoms(data);
  AtomWriter out;
  if (atoms.empty()) return out.Bytes();
  // The first atom only sets the reference state: keep it as written.
  out.Long(atoms[0].state, atoms[0].count);
  for (size_t i = 1; i < atoms.size(); ++i) layout(atoms[i], out);
  return out.Bytes();
}

// A decoder reads at most a percent of the data at a time: a long idle in
// front makes the runs after it long enough for the loop over a run.
constexpr uint32_t kLeadingIdleAtoms = 30000;

std::vector<uint8_t> WithLeadingIdle(const std::vector<uint8_t>& data) {
  AtomWriter out;
  if (!data.empty()) {
    for (uint32_t k = 0; k < kLeadingIdleAtoms; ++k) out.Long(data[0] & 0x0F, kLongAtomMaxCount);
  }
  std::vector<uint8_t> bytes = out.Bytes();
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

void ExpectSameRecords(const Outcome& got, const Outcome& want) {
  EXPECT_EQ(got.result, want.result);
  ASSERT_EQ(got.records.size(), want.records.size());
  ASSERT_FALSE(want.records.empty());
  for (size_t i = 0; i < want.records.size(); ++i) {
    SCOPED_TRACE(i);
    const TransactionInfo& g = got.records[i];
    const TransactionInfo& w = want.records[i];
    EXPECT_EQ(g.bStartEndType, w.bStartEndType);
    EXPECT_EQ(g.Status, w.Status);
    EXPECT_EQ(g.BitCount, w.BitCount);
    EXPECT_EQ(g.StartClock, w.StartClock);
    EXPECT_EQ(g.Duration, w.Duration);
    EXPECT_EQ(g.old_Signal, w.old_Signal);
    EXPECT_EQ(g.old_SignalClock, w.old_SignalClock);
    EXPECT_EQ(g.i2c.I2CAddress, w.i2c.I2CAddress);
    EXPECT_EQ(g.i2c.I2CFlags, w.i2c.I2CFlags);
    ASSERT_EQ(g.PreviewLen, w.PreviewLen);
    EXPECT_EQ(std::memcmp(g.Preview, w.Preview, w.PreviewLen), 0);
    EXPECT_EQ(std::memcmp(&got.timings[i], &want.timings[i], sizeof(TimingInfo)), 0);
  }
}

struct RelayoutCase {
  LayoutCase layout;
  uint32_t seed;
  uint8_t rate_code;  // 2 = 50 MHz, 5 = 20 MHz, 10 = 10 MHz
  bool verify_timing;
};

class I2CAtomLayouts : public ::testing::TestWithParam<RelayoutCase> {};

Outcome Decode(const std::vector<uint8_t>& data, const SettingsRecord& settings, bool verify_timing) {
  Harness h;
  if (!h.OpenFile(data)) return {};
  DecodeContext ctx{h.Sampling(), settings, h.Events()};
  ctx.verify_timing = verify_timing;
  Outcome out;
  out.result = RunI2CAnalyzerDecode(ctx);
  h.Collect(&out);
  return out;
}

TEST_P(I2CAtomLayouts, DecodeLikeTheWrittenAtoms) {
  const RelayoutCase& c = GetParam();
  const std::string text = analyzer_test::RandomTimingScenario(
      c.seed, {.transactions = 10, .repeated_start_chains = true, .shortest_idle_us = 1});
  SCOPED_TRACE(text);
  velix::sim::SynthOptions options;
  options.rate_code = c.rate_code;
  velix::sim::SynthResult synth;
  std::string error;
  ASSERT_TRUE(velix::sim::SynthesizeToMemory(text, options, 64u << 20, &synth, &error)) << error;
  const std::vector<uint8_t> relaid = Relayout(synth.data, c.layout.layout);
  ASSERT_NE(relaid, synth.data) << "the layout must change the atoms";
  ExpectSameRecords(Decode(WithLeadingIdle(relaid), synth.settings, c.verify_timing),
                    Decode(WithLeadingIdle(synth.data), synth.settings, c.verify_timing));
}

std::vector<RelayoutCase> RelayoutCases() {
  std::vector<RelayoutCase> cases;
  for (const LayoutCase& layout : kLayouts) {
    for (const uint8_t rate : {uint8_t{2}, uint8_t{5}, uint8_t{10}}) {
      for (uint32_t seed = 1; seed <= 2; ++seed) cases.push_back({layout, seed, rate, seed == 1});
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(LayoutsRatesSeeds, I2CAtomLayouts, ::testing::ValuesIn(RelayoutCases()),
                         [](const auto& param) {
                           return std::string(param.param.layout.name) + "_rate" +
                                  std::to_string(param.param.rate_code) + "_seed" +
                                  std::to_string(param.param.seed);
                         });

// A zero-count long atom replaces the reference state without an edge, also
// in the middle of a run of long atoms: one into the state of the SCL rise
// that follows hides that rise, as if SCL had stayed low.
struct HiddenRiseCase {
  const char* name;
  uint32_t rise;  // which SCL rise of the transaction, from 0
};

const HiddenRiseCase kHiddenRises[] = {
    {"InTheAddress", 2},
    {"AtTheAddressAck", 8},
    {"InTheFirstDataByte", 12},
    {"InTheSecondDataByte", 22},
};

class I2CZeroCountLongAtom : public ::testing::TestWithParam<HiddenRiseCase> {};

TEST_P(I2CZeroCountLongAtom, HidesTheRiseItAnticipates) {
  analyzer_test::I2CWave wave;
  wave.Start();
  wave.Byte(0xA0);
  wave.Byte(0x5A);
  wave.Byte(0xC3);
  wave.Stop();
  const std::vector<Atom> atoms = ReadAtoms(wave.Finish());
  AtomWriter hidden;
  AtomWriter held;
  uint32_t rises = 0;
  bool after_hidden = false;
  for (size_t i = 0; i < atoms.size(); ++i) {
    const Atom& a = atoms[i];
    const uint8_t before = i > 0 ? atoms[i - 1].state : a.state;
    const bool rise = i > 0 && (a.state & kSclLine) != 0 && (before & kSclLine) == 0;
    if (rise && rises++ == GetParam().rise) {
      hidden.Long(a.state, 0);
      hidden.Long(a.state, a.count);
      held.Long(before, a.count);
      after_hidden = true;
      continue;
    }
    hidden.Long(a.state, a.count);
    // Until SCL falls again the reference stays at the state before the rise.
    held.Long(after_hidden && (a.state & kSclLine) != 0 ? before : a.state, a.count);
    if ((a.state & kSclLine) == 0) after_hidden = false;
  }
  ASSERT_GT(rises, GetParam().rise);
  const SettingsRecord settings = analyzer_test::RelaxedI2CSettings();
  const Outcome got = Decode(WithLeadingIdle(hidden.Bytes()), settings, false);
  ExpectSameRecords(got, Decode(WithLeadingIdle(held.Bytes()), settings, false));
  ASSERT_EQ(got.records.size(), 1u);
  EXPECT_EQ(got.records[0].BitCount, 26u) << "one rise of 27 hidden";
}

INSTANTIATE_TEST_SUITE_P(Rises, I2CZeroCountLongAtom, ::testing::ValuesIn(kHiddenRises),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace orvane

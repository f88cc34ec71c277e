#include "sim/atom_encoder.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "atom_walk.h"

namespace velix::sim {
namespace {

struct Step {
  uint64_t sample;
  uint8_t state;  // kCorruptMarker = corrupt atom here
};

struct EncoderCase {
  const char* name;
  uint8_t initial;
  std::vector<Step> steps;
  uint64_t end;
  PaddingStyle padding;
  std::vector<uint8_t> expected;
};

std::vector<uint8_t> Encode(const EncoderCase& c) {
  std::vector<uint8_t> out;
  ByteWriter writer([&](const uint8_t* d, size_t n) {
    out.insert(out.end(), d, d + n);
    return true;
  }, 16);
  AtomEncoder encoder(&writer, c.initial, c.padding);
  for (const Step& step : c.steps) {
    if (step.state == kCorruptMarker) encoder.Corrupt(step.sample);
    else encoder.Change(step.sample, step.state);
  }
  encoder.End(c.end);
  return out;
}

constexpr auto kCarry = PaddingStyle::kCarryPeriods;
constexpr auto kZero = PaddingStyle::kZeroCount;

// Short atom: 0x10 | state | count << 5. Long atom word: state | count << 5.
const EncoderCase kCases[] = {
    {"OnlyLeadingAtom", 0x3, {}, 0, kCarry, {0x03, 0x00}},
    {"ShortChangeAtEvenPosition", 0x3, {{5, 0x1}}, 5, kCarry, {0x03, 0x00, 0xB1}},
    {"ChangeAtSampleZeroHasCountZero", 0xF, {{0, 0xE}}, 0, kCarry, {0x0F, 0x00, 0x1E}},
    {"EightNeedsLongAtom", 0x3, {{8, 0x1}}, 8, kCarry, {0x03, 0x00, 0x01, 0x01}},
    {"HoldOf2047IsOneLongAtom", 0x3, {{2047, 0x2}}, 2047, kCarry, {0x03, 0x00, 0xE2, 0xFF}},
    {"HoldOf2048SplitsIntoRepeat", 0x3, {{2048, 0x2}}, 2048, kCarry, {0x03, 0x00, 0xE3, 0xFF, 0x32}},
    {"OddPositionShortFits", 0x3, {{1, 0x1}, {8, 0x3}}, 8, kCarry, {0x03, 0x00, 0x31, 0xF3}},
    {"OddPositionPadCarriesSeven", 0x3, {{1, 0x1}, {11, 0x3}}, 11, kCarry, {0x03, 0x00, 0x31, 0xF1, 0x73}},
    {"OddPositionPadCarriesNothing", 0x3, {{1, 0x1}, {11, 0x3}}, 11, kZero, {0x03, 0x00, 0x31, 0x11, 0x43, 0x01}},
    {"TrailingHoldRepeatsState", 0x3, {{1, 0x1}}, 4, kCarry, {0x03, 0x00, 0x31, 0x71}},
    {"TrailingLongHoldPadsFirst", 0x3, {{1, 0x1}}, 21, kCarry, {0x03, 0x00, 0x31, 0xF1, 0xA1, 0x01}},
    {"CorruptAtOddPositionDirect", 0x3, {{2, 0x1}, {2, kCorruptMarker}}, 2, kCarry, {0x03, 0x00, 0x51, 0x01}},
    {"CorruptAtEvenPositionIsPadded", 0x3, {{8, 0x1}, {8, kCorruptMarker}}, 8, kCarry,
     {0x03, 0x00, 0x01, 0x01, 0x11, 0x01}},
    {"CorruptAfterHold", 0x3, {{1, 0x1}, {4, kCorruptMarker}}, 4, kCarry, {0x03, 0x00, 0x31, 0x71, 0x11, 0x01}},
};

class AtomEncoderCases : public ::testing::TestWithParam<EncoderCase> {};

TEST_P(AtomEncoderCases, ProducesExpectedBytes) {
  const EncoderCase& c = GetParam();
  EXPECT_EQ(Encode(c), c.expected);
}

TEST_P(AtomEncoderCases, WalkReproducesTheStates) {
  const EncoderCase& c = GetParam();
  const testing::WalkResult walk = testing::WalkAtoms(Encode(c));
  std::vector<uint8_t> expected(c.end, c.initial);
  bool corrupt = false;
  uint64_t corrupt_at = 0;
  for (const Step& step : c.steps) {
    if (step.state == kCorruptMarker) {
      corrupt = true;
      corrupt_at = step.sample;
      break;
    }
    for (uint64_t k = step.sample; k < c.end; ++k) expected[k] = step.state;
  }
  if (corrupt) {
    EXPECT_TRUE(walk.alignment_error);
    expected.resize(corrupt_at);
  } else {
    EXPECT_FALSE(walk.alignment_error);
  }
  EXPECT_EQ(walk.states, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, AtomEncoderCases, ::testing::ValuesIn(kCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// The changes before any corrupt atom, handed over in one batch through
// output chunks of every size from a single byte up, give the bytes of one
// Change() call each.
// The same changes encoded one Change() at a time and with ChangeAll() in
// the batches `splits` cut them into, through writers of `chunk` bytes.
struct BothWays {
  std::vector<uint8_t> one_by_one;
  std::vector<uint8_t> batched;
};
BothWays EncodeBothWays(const std::vector<SampleState>& changes, std::initializer_list<size_t> splits,
                        uint8_t initial, PaddingStyle padding, uint64_t end, size_t chunk) {
  BothWays out;
  ByteWriter a([&](const uint8_t* d, size_t n) {
    out.one_by_one.insert(out.one_by_one.end(), d, d + n);
    return true;
  }, chunk);
  ByteWriter b([&](const uint8_t* d, size_t n) {
    out.batched.insert(out.batched.end(), d, d + n);
    return true;
  }, chunk);
  AtomEncoder single(&a, initial, padding);
  AtomEncoder all(&b, initial, padding);
  for (const SampleState& s : changes) single.Change(s.sample, s.state);
  size_t from = 0;
  for (const size_t split : splits) {
    all.ChangeAll(changes.data() + from, split - from);
    from = split;
  }
  all.ChangeAll(changes.data() + from, changes.size() - from);
  single.End(end);
  all.End(end);
  return out;
}

TEST_P(AtomEncoderCases, ChangeAllMatchesOneChangeAtATime) {
  const EncoderCase& c = GetParam();
  std::vector<SampleState> batch;
  for (const Step& step : c.steps) {
    if (step.state == kCorruptMarker) break;
    batch.push_back({step.sample, step.state});
  }
  for (const size_t chunk : {1, 2, 3, 16}) {
    const BothWays both = EncodeBothWays(batch, {}, c.initial, c.padding, c.end, chunk);
    EXPECT_EQ(both.batched, both.one_by_one) << "chunk " << chunk;
  }
}

TEST(AtomEncoder, ChangeAllMixesShortAndLongHolds) {
  // Short holds; long ones at odd and even positions around the longest
  // one atom carries after a pad (2047 + 7); a split one; a repeat.
  const std::vector<SampleState> batch = {
      {1, 0x1},    {3, 0x3},    {10, 0x2},   {11, 0x0},   {2060, 0x1}, {2061, 0x5}, {4115, 0x4},
      {4116, 0x6}, {6171, 0x7}, {6179, 0x4}, {6180, 0x4}, {8227, 0x2}, {8228, 0x3}, {10283, 0x2},
      {10284, 0x1}, {12339, 0x0}, {12340, 0x2}, {14394, 0x3}, {20000, 0x7}, {20001, 0x6}};
  for (const PaddingStyle padding : {kCarry, kZero}) {
    for (const size_t chunk : {1, 2, 3, 5, 1 << 20}) {
      const BothWays both = EncodeBothWays(batch, {4}, 0xF, padding, 20003, chunk);
      EXPECT_EQ(both.batched, both.one_by_one) << "chunk " << chunk;
      EXPECT_FALSE(testing::WalkAtoms(both.batched).alignment_error) << "chunk " << chunk;
    }
  }
}

TEST(AtomEncoder, LongHoldsAreSplitAndWalkBackExactly) {
  for (uint64_t hold : {2046ULL, 2047ULL, 2048ULL, 4094ULL, 4095ULL, 1'000'003ULL}) {
    for (PaddingStyle padding : {kCarry, kZero}) {
      std::vector<uint8_t> out;
      ByteWriter writer([&](const uint8_t* d, size_t n) {
        out.insert(out.end(), d, d + n);
        return true;
      });
      AtomEncoder encoder(&writer, 0x0F, padding);
      encoder.Change(3, 0x0D);  // leaves the next atom at an odd position
      encoder.Change(3 + hold, 0x0F);
      encoder.End(3 + hold + 9);
      const testing::WalkResult walk = testing::WalkAtoms(out);
      ASSERT_FALSE(walk.alignment_error) << hold;
      ASSERT_EQ(walk.states.size(), 3 + hold + 9) << hold;
      EXPECT_EQ(walk.states[2], 0x0F);
      EXPECT_EQ(walk.states[3], 0x0D);
      EXPECT_EQ(walk.states[2 + hold], 0x0D);
      EXPECT_EQ(walk.states[3 + hold], 0x0F);
    }
  }
}

TEST(AtomEncoder, PadToSizeReachesExactSizeAndStaysValid) {
  for (uint64_t size : {7ULL, 8ULL, 1001ULL}) {
    std::vector<uint8_t> out;
    ByteWriter writer([&](const uint8_t* d, size_t n) {
      out.insert(out.end(), d, d + n);
      return true;
    });
    AtomEncoder encoder(&writer, 0x05, kCarry);
    encoder.Change(1, 0x04);
    encoder.End(2);
    encoder.PadToSize(size);
    EXPECT_EQ(out.size(), size);
    const testing::WalkResult walk = testing::WalkAtoms(out);
    EXPECT_FALSE(walk.alignment_error);
    EXPECT_EQ(walk.states.back(), 0x04);
  }
}

}  // namespace
}  // namespace velix::sim

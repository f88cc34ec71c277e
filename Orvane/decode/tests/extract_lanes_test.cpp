// The lane arithmetic of the exports' byte extractions against the same
// operations done one atom at a time.

#include "Orvane/decode/extract_lanes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace orvane::extract_lanes {
namespace {

// The bits of `value` at the positions set in `mask`, lowest position first.
uint32_t PackOneByOne(uint32_t value, uint32_t mask) {
  uint32_t out = 0;
  for (uint32_t bit = 0; bit < 8; ++bit) {
    if ((mask >> bit) & 1) out = (out << 1) | ((value >> bit) & 1);
  }
  return out;
}

TEST(ExtractLanes, PackEveryValueUnderEveryMask) {
  for (uint32_t mask = 0; mask < 256; ++mask) {
    for (uint32_t value = 0; value < 256; ++value) {
      ASSERT_EQ(PackFirstHighest(value, mask), PackOneByOne(value, mask)) << mask << " " << value;
    }
  }
}

TEST(ExtractLanes, ReverseEveryByte) {
  for (uint32_t byte = 0; byte < 256; ++byte) {
    uint32_t back = 0;
    for (uint32_t bit = 0; bit < 8; ++bit) back |= ((byte >> (7 - bit)) & 1) << bit;
    ASSERT_EQ(Reversed(byte), back) << byte;
  }
}

// Eight bytes of atoms; the masks have bit k set for atom k.
struct BlockCase {
  const char* name;
  uint8_t bytes[8];
  bool long_atoms;     // four long atoms, else eight short ones
  bool holds;          // the shape takes the word
  uint32_t line1;      // where line S1 is high
  uint32_t changes;    // where line S1 changes, from `before`
  uint8_t before;
  uint8_t last_state;  // the last atom's four lines
};

const BlockCase kBlockCases[] = {
    {"ShortQuietLow", {0x10, 0x30, 0x50, 0x70, 0x90, 0xB0, 0xD0, 0xF0}, false, true, 0x00, 0x00, 0, 0x0},
    {"ShortHighAfterLow", {0x12, 0x12, 0x12, 0x12, 0x12, 0x12, 0x12, 0x12}, false, true, 0xFF, 0x01, 0, 0x2},
    {"ShortEveryAtomFlips", {0x12, 0x10, 0x12, 0x10, 0x12, 0x10, 0x12, 0x10}, false, true, 0x55, 0xFF, 0, 0x0},
    {"ShortLastAtomFlips", {0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1D}, false, true, 0x7F, 0x80, 1, 0xD},
    {"ShortThenLong", {0x12, 0x12, 0x12, 0x12, 0x12, 0x12, 0x12, 0x0F}, false, false, 0xFF, 0x00, 1, 0x0},
    {"LongAlternating", {0x8E, 0x02, 0x8C, 0x03, 0x8E, 0x02, 0x8C, 0x03}, true, true, 0x5, 0xF, 0, 0xC},
    {"LongQuietHigh", {0xEF, 0x7F, 0x2F, 0x01, 0x22, 0x40, 0x02, 0x20}, true, true, 0xF, 0x0, 1, 0x2},
    {"LongZeroCount", {0x8E, 0x02, 0x0C, 0x00, 0x8E, 0x02, 0x8C, 0x03}, true, false, 0x5, 0xF, 0, 0xC},
    {"LongWithShort", {0x8E, 0x02, 0x1C, 0x1E, 0x8E, 0x02, 0x8C, 0x03}, true, false, 0x5, 0xF, 0, 0xC},
};

class ExtractBlocks : public ::testing::TestWithParam<BlockCase> {};

template <typename Shape>
void ExpectLanes(const BlockCase& c) {
  const uint64_t word = LoadWord(c.bytes);
  EXPECT_EQ(Shape::Holds(word), c.holds);
  if (!c.holds) return;
  const uint64_t line = Line<Shape>(word, 1);
  EXPECT_EQ(Shape::Mask(line), c.line1);
  EXPECT_EQ(Shape::Count(line), static_cast<uint32_t>(__builtin_popcount(c.line1)));
  EXPECT_EQ(Shape::Mask(Changes<Shape>(line, c.before)), c.changes);
  EXPECT_EQ(LastState<Shape>(word), c.last_state);
  // Lines S0 and S1 of the first four atoms, then S2 and S3.
  const uint32_t size = Shape::kWidth / 8;
  for (unsigned shift : {0u, 2u}) {
    uint32_t quad = 0;
    for (uint32_t lane = 0; lane < 4; ++lane) quad |= ((c.bytes[lane * size] >> shift) & 3u) << (2 * lane);
    EXPECT_EQ(Shape::Quad(word >> shift), quad) << shift;
  }
}

TEST_P(ExtractBlocks, LanesMatchTheAtoms) {
  const BlockCase& c = GetParam();
  // The expectations themselves, atom by atom.
  const uint32_t size = c.long_atoms ? 2 : 1;
  uint32_t line1 = 0;
  uint32_t changes = 0;
  uint8_t previous = c.before;
  for (uint32_t lane = 0; lane < 8 / size; ++lane) {
    const uint8_t level = (c.bytes[lane * size] >> 1) & 1;
    line1 |= uint32_t{level} << lane;
    changes |= uint32_t{level != previous} << lane;
    previous = level;
  }
  ASSERT_EQ(line1, c.line1);
  ASSERT_EQ(changes, c.changes);
  if (c.long_atoms) {
    ExpectLanes<LongLanes>(c);
  } else {
    ExpectLanes<ShortLanes>(c);
  }
}

// Two words of long atoms judged at once, against each judged alone: every
// pairing of the cases' words, and words with one lane made short or its
// count zero, or with the count's top bit alone set.
TEST(ExtractLanes, BothHoldIsEachHolding) {
  std::vector<uint64_t> words;
  for (const BlockCase& c : kBlockCases) words.push_back(LoadWord(c.bytes));
  const uint64_t valid = LoadWord(kBlockCases[5].bytes);  // LongAlternating
  for (unsigned lane = 0; lane < 4; ++lane) {
    const unsigned at = 16 * lane;
    words.push_back(valid | (uint64_t{0x10} << at));                        // short flag
    words.push_back(valid & ~(uint64_t{0xFFE0} << at));                     // zero count
    words.push_back((valid & ~(uint64_t{0xFFE0} << at)) | (uint64_t{0x8000} << at));  // count 1024
  }
  for (uint64_t first : words) {
    for (uint64_t second : words) {
      ASSERT_EQ(LongLanes::BothHold(first, second), LongLanes::Holds(first) && LongLanes::Holds(second))
          << std::hex << first << " " << second;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Blocks, ExtractBlocks, ::testing::ValuesIn(kBlockCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace orvane::extract_lanes

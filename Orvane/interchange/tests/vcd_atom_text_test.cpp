#include "Orvane/interchange/vcd_atom_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velix::interchange {
namespace {

constexpr size_t kRoom = VcdAtomText::kAtomTextMax;

struct Written {
  std::string text;
  size_t stopped_at = 0;
  bool corrupt = false;
};

// Runs the atoms through Write in pieces that end at `splits` (positions
// where a new call starts), then Finish. The data get a spare byte after
// them, as the export's block has.
Written WriteInPieces(const std::vector<uint8_t>& atoms, uint64_t ticks, const std::vector<size_t>& splits) {
  std::vector<uint8_t> data = atoms;
  data.push_back(0);
  VcdAtomText text(ticks);
  std::vector<char> out((atoms.size() + 2) * kRoom);
  char* at = out.data();
  at += text.Start(data[0] & 0x0F, data[0] >> 5, at);
  Written result;
  size_t i = 1;
  size_t next_split = 0;
  while (i < atoms.size()) {
    while (next_split < splits.size() && splits[next_split] <= i) ++next_split;
    const size_t end = next_split < splits.size() ? splits[next_split] : atoms.size();
    i = text.Write(data.data(), i, end, &at, &result.corrupt);
    if (result.corrupt) break;
  }
  result.stopped_at = i;
  if (!result.corrupt) at += text.Finish(at);
  result.text.assign(out.data(), at);
  return result;
}

struct AtomTextCase {
  const char* name;
  uint64_t ticks;
  std::vector<uint8_t> atoms;  // the first a short atom: the starting state
  std::string text;            // after the starting values
  size_t stopped_at;
  bool corrupt;
};

class VcdAtomTextTest : public ::testing::TestWithParam<AtomTextCase> {};

// Whatever positions the writing is split at, the text is the same: the
// state, the periods not yet stamped and the time carry from call to call.
TEST_P(VcdAtomTextTest, TextIsTheSameWhereverTheRunsSplit) {
  const AtomTextCase& c = GetParam();
  for (size_t split = 1; split <= c.atoms.size(); ++split) {
    const Written written = WriteInPieces(c.atoms, c.ticks, {split});
    ASSERT_EQ(written.corrupt, c.corrupt) << "split at " << split;
    EXPECT_EQ(written.stopped_at, c.stopped_at) << "split at " << split;
    const std::string initial = written.text.substr(0, 12);
    ASSERT_EQ(initial, "1!\n1\"\n1%\n1&\n");
    EXPECT_EQ(written.text.substr(12), c.text) << "split at " << split;
  }
  std::vector<size_t> every;
  for (size_t i = 1; i < c.atoms.size(); ++i) every.push_back(i);
  EXPECT_EQ(WriteInPieces(c.atoms, c.ticks, every).text.substr(12), c.text) << "one atom per call";
}

// Short atom: 0x10 | state | count << 5. Long atom (even positions only):
// the word state | count << 5, low byte first.
INSTANTIATE_TEST_SUITE_P(
    Runs, VcdAtomTextTest,
    ::testing::Values(
        AtomTextCase{"one_line_changes", 1, {0x3F, 0x3E, 0x5C, 0x3D}, "#2\n0!\n#4\n0\"\n#5\n1!\n", 4, false},
        AtomTextCase{"ticks_scale_the_time", 5, {0x3F, 0x3E, 0x5C}, "#10\n0!\n#20\n0\"\n", 3, false},
        AtomTextCase{"no_stamp_without_time", 1, {0x1F, 0x1E, 0x1C, 0x3F}, "0!\n0\"\n#1\n1!\n1\"\n", 4, false},
        AtomTextCase{"holds_add_up_before_a_change", 2, {0x3F, 0xFF, 0xFF, 0x3E}, "#32\n0!\n", 4, false},
        AtomTextCase{"periods_after_the_last_change", 1, {0x3F, 0x3E, 0xFE}, "#2\n0!\n#9\n", 3, false},
        // A long atom (count 1000: the word 0x7D0E) at position 2.
        AtomTextCase{"long_atom", 1, {0x3F, 0x3F, 0x0E, 0x7D, 0x3F}, "#1002\n0!\n#1003\n1!\n", 5, false},
        AtomTextCase{"long_atom_at_an_odd_position", 1, {0x3F, 0x3E, 0x3F, 0x0E, 0x7D}, "#2\n0!\n#3\n1!\n", 3,
                     true},
        AtomTextCase{"all_lines_at_once", 10, {0x3F, 0x30}, "#20\n0!\n0\"\n0%\n0&\n", 2, false},
        // Times through three, four and five digits.
        AtomTextCase{"times_grow_digits",
                     1,
                     {0x1F, 0xFE, 0xEF, 0x7B, 0xEE, 0x00, 0xEF, 0xFF, 0xEE, 0xFF, 0xEF, 0xFF, 0xEE, 0xFF, 0xEF, 0xFF,
                      0x3F},
                     "#7\n0!\n#998\n1!\n#1005\n0!\n#3052\n1!\n#5099\n0!\n#7146\n1!\n#9193\n0!\n#11240\n1!\n#11241\n",
                     17, false},
        AtomTextCase{"upper_digits_advance",
                     5,
                     {0x1F, 0x1F, 0xEE, 0xFF, 0xEF, 0xFF, 0xEE, 0xFF, 0xEF, 0xFF, 0xEE, 0xFF, 0xEF, 0xFF},
                     "#10235\n0!\n#20470\n1!\n#30705\n0!\n#40940\n1!\n#51175\n0!\n#61410\n1!\n", 14, false}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace velix::interchange

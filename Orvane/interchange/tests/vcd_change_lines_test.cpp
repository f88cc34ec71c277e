#include "Orvane/interchange/vcd_change_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "Orvane/interchange/tests/test_files.h"
#include "Orvane/interchange/vcd_source.h"

namespace velix::interchange {
namespace {

using testing::ScratchFolder;
using testing::WriteFile;

// What a source gave: "tick:channel:level" per change, then the end or the
// error.
std::string Drain(LogicSource* source, size_t batch) {
  std::string text;
  std::vector<LevelChange> out(batch);
  while (size_t n = source->Read(out.data(), batch)) {
    for (size_t i = 0; i < n; ++i) {
      text += std::to_string(out[i].tick) + ":" + std::to_string(out[i].channel) + ":" + (out[i].level ? "1 " : "0 ");
    }
  }
  if (source->State() == SourceState::kFailed) return text + "error " + source->Error();
  return text + "end " + std::to_string(source->EndTick());
}

std::string ReadText(const std::string& text, size_t batch) {
  std::string error;
  const auto source = OpenVcdText(text, "t.vcd", &error);
  return source ? Drain(source.get(), batch) : "open " + error;
}

// The same file with CR LF line ends: the word reader alone reads it, and
// its line numbers are the same.
std::string CrLf(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

constexpr char kHead[] =
    "$timescale 1 ns $end\n"
    "$var wire 1 ! a $end\n"
    "$var wire 1 \" b $end\n"
    "$var wire 1 ab c $end\n"
    "$var wire 1 abc d $end\n"
    "$var wire 8 % bus $end\n"
    "$enddefinitions $end\n"
    "#0\n0!\n0\"\n0ab\n0abc\n#1\n";

struct HandOverCase {
  const char* name;
  std::string body;  // after kHead
};

class VcdHandOverTest : public ::testing::TestWithParam<HandOverCase> {};

// Whatever line the fast reader leaves to the word reader, the changes,
// the end and every message with its line number are those of the word
// reader alone, in any batch size.
TEST_P(VcdHandOverTest, GivesWhatTheWordReaderGives) {
  const std::string text = kHead + GetParam().body;
  const std::string expected = ReadText(CrLf(text), 1000);
  for (const size_t batch : {1, 2, 3, 1000}) EXPECT_EQ(ReadText(text, batch), expected) << "batch " << batch;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, VcdHandOverTest,
    ::testing::Values(HandOverCase{"plain", "1!\n1\"\n#2\n0!\n1ab\n#3\n1abc\n0\"\n#4\n"},
                      HandOverCase{"x_and_z", "x!\n#2\n0!\nZ\"\n#3\nz!\n0\"\n#4\n"},
                      HandOverCase{"long_code", "1abc\n#2\n0abc\n1ab\n#3\n"},
                      HandOverCase{"vector_and_skipped", "b101 %\n1!\n#2\nb0 !\n0%\n#3\n"},
                      HandOverCase{"comment_inside", "1!\n$comment 0! #1 $end\n#2\n$comment\n#0\n$end\n0!\n#3\n"},
                      HandOverCase{"dumpoff_inside", "1!\n#2\n$dumpoff\n0!\n$end\n#3\n$dumpon 1\" $end\n#4\n"},
                      HandOverCase{"mixed_line_ends", "1!\r\n#2\n0!\n1\"\r\n#3\r\n0\"\n#4\n"},
                      HandOverCase{"spaces_around", " 1!\n0! \n#2 \n 1ab\n#3\n"},
                      HandOverCase{"blank_lines", "1!\n\n\n#2\n\n0!\n#3\n"},
                      HandOverCase{"no_final_line_feed", "1!\n#2\n0!"},
                      HandOverCase{"stamp_at_the_end", "1!\n#20"},
                      HandOverCase{"stamps_sharing_eight_digits",
                                   "#12345678\n1!\n#123456789\n0!\n#1234567890\n1!\n#1234567891\n#12345678901\n0!\n"},
                      HandOverCase{"long_stamps", "#0000000000000000002\n1!\n#18446744073709551615\n0!\n"},
                      HandOverCase{"time_goes_back", "1!\n#5\n0!\n#4\n1!\n"},
                      HandOverCase{"time_back_after_stamp_lines", "#9\n#9\n#8\n"},
                      HandOverCase{"undeclared_code", "1!\n#2\n1?\n"},
                      HandOverCase{"undeclared_pair", "1!\n#2\n1zz\n"},
                      HandOverCase{"control_code", "1!\n#2\n1\x01\n"},
                      HandOverCase{"blank_code", "1!\n#2\n1 \n0!\n"},
                      HandOverCase{"tab_code", "1!\n#2\n0\t\n"},
                      HandOverCase{"control_then_printable_pair", "1!\n#2\n1\x01!\n"},
                      HandOverCase{"printable_then_control_pair", "1!\n#2\n1!\x7f\n"},
                      HandOverCase{"stamp_not_a_number", "1!\n#2\n#3a\n"},
                      HandOverCase{"bad_value", "1!\n#2\n2!\n"},
                      HandOverCase{"keyword_late", "1!\n#2\n$var wire 1 ( e $end\n"}),
    [](const auto& p) { return std::string(p.param.name); });

// The changes of a long read, packed for a quick comparison (small ticks,
// channels below 8), then the end or the error.
std::vector<uint64_t> Packed(LogicSource* source) {
  std::vector<uint64_t> packed;
  LevelChange out[4096];
  while (size_t n = source->Read(out, 4096)) {
    for (size_t i = 0; i < n; ++i) packed.push_back(out[i].tick << 4 | out[i].channel << 1 | (out[i].level ? 1 : 0));
  }
  packed.push_back(source->State() == SourceState::kEnded ? source->EndTick() : ~uint64_t{0});
  return packed;
}

// A file read through the scanner's buffer: lines that straddle its edge,
// at each offset within a line, are read as the word reader reads them.
TEST(VcdChangeLinesFile, ReadsLinesAcrossTheBufferEdge) {
  constexpr size_t kBuffer = 1u << 20;  // the scanner's read size
  std::string body;
  for (int i = 0; body.size() < kBuffer + 64; ++i) {
    body += "#" + std::to_string(i + 2) + "\n" + (i % 2 ? "0" : "1") + (i % 3 ? "!" : "ab") + "\n";
  }
  ScratchFolder folder;
  for (size_t shift = 0; shift < 8; ++shift) {
    const std::string text = std::string(kHead) + "$comment " + std::string(shift, ' ') + "$end\n" + body;
    const std::string path = folder.File("f.vcd");
    WriteFile(path, text);
    std::string error;
    const auto source = OpenVcdSource(path, &error);
    const auto words = OpenVcdText(CrLf(text), path, &error);
    ASSERT_TRUE(source && words) << error;
    // Compared whole but not printed: hundreds of thousands of changes.
    EXPECT_TRUE(Packed(source.get()) == Packed(words.get())) << "shift " << shift;
  }
}

struct StopCase {
  const char* name;
  std::string text;  // from a line feed
  size_t bytes;      // read before the reader stops
  size_t changes;
  uint64_t tick;     // the time then, from 10
};

class VcdChangeLinesStopTest : public ::testing::TestWithParam<StopCase> {};

TEST_P(VcdChangeLinesStopTest, StopsBeforeTheFirstLineItDoesNotKnow) {
  VcdIdentifiers identifiers;
  identifiers.Add("!", 0);
  identifiers.Add("ab", 1);
  identifiers.Add("%", kSkippedVariable);
  uint64_t tick = 10;
  uint8_t levels[2] = {0, 0};
  LevelChange out[8];
  const StopCase& c = GetParam();
  const ChangeLines read = ReadChangeLines(c.text, identifiers, &tick, levels, out, 8);
  EXPECT_EQ(read.bytes, c.bytes);
  EXPECT_EQ(read.changes, c.changes);
  EXPECT_EQ(tick, c.tick);
  EXPECT_EQ(read.lines, static_cast<uint64_t>(std::count(c.text.begin(), c.text.begin() + read.bytes, '\n')));
}

INSTANTIATE_TEST_SUITE_P(
    Stops, VcdChangeLinesStopTest,
    ::testing::Values(StopCase{"all_known", "\n1!\n#12\n1ab\n0%\n0!\n", 17, 3, 12},
                      StopCase{"not_at_a_line_feed", " 1!\n", 0, 0, 10},
                      StopCase{"crlf", "\n1!\r\n", 0, 0, 10},
                      StopCase{"unfinished_line", "\n1!\n1ab", 3, 1, 10},
                      StopCase{"unchanged_level", "\n0!\n1!\n1!\n", 9, 1, 10},
                      StopCase{"x_value", "\n1!\nx!\n", 3, 1, 10},
                      StopCase{"three_character_code", "\n1abc\n", 0, 0, 10},
                      StopCase{"undeclared", "\n1!\n1b\n", 3, 1, 10},
                      StopCase{"blank_as_code", "\n1!\n0 \n", 3, 1, 10},
                      StopCase{"line_feed_as_code", "\n1!\n0\n\n0!\n", 3, 1, 10},
                      StopCase{"control_as_code", "\n1!\n0\x7f\n", 3, 1, 10},
                      StopCase{"control_first_in_pair", "\n1!\n0\x01b\n", 3, 1, 10},
                      StopCase{"stamps_sharing_eight_digits",
                               "\n#12345678\n#123456789\n#1234567890\n#12345678901\n1!\n1!\n1!\n1!\n", 58, 1,
                               12345678901},
                      StopCase{"shared_eight_digits_then_letter", "\n#12345678\n#12345678a\n1!\n1!\n1!\n1!\n", 10,
                               0, 12345678},
                      StopCase{"eight_leading_zeros", "\n#000000000010\n1!\n1!\n1!\n1!\n", 26, 1, 10},
                      StopCase{"eight_digit_stamp_then_more", "\n#12345678\n#123456789\n1!\n1!\n1!\n1!\n", 33, 1,
                               123456789},
                      StopCase{"time_back", "\n#10\n#9\n", 4, 0, 10},
                      StopCase{"stamp_lengths", "\n#10\n#210\n#3210\n#43210\n#543210\n#6543210\n#76543210\n#876543210\n1!\n",
                               63, 1, 876543210},
                      StopCase{"eight_digits", "\n#12345678\n1!\n1!\n1!\n1!\n1!\n", 25, 1, 12345678},
                      StopCase{"fifteen_and_sixteen_digits",
                               "\n#123456789012345\n#1234567890123456\n1!\n1!\n1!\n1!\n1!\n1!\n", 53, 1,
                               1234567890123456},
                      StopCase{"letter_after_eight_digits", "\n#20\n#12345678a\n1!\n1!\n1!\n1!\n", 4, 0, 20},
                      StopCase{"leading_zeros", "\n#0000011\n#00000000000000000012\n1!\n1!\n", 9, 0, 11},
                      StopCase{"nineteen_digits", "\n#1000000000000000000\n", 21, 0, 1000000000000000000},
                      StopCase{"twenty_digits", "\n#00000000000000000010\n", 0, 0, 10},
                      StopCase{"bare_hash", "\n#\n1!\n1!\n1!\n", 0, 0, 10},
                      // Bytes just beside the digits, where eight are read at once.
                      StopCase{"stamp_then_colon", "\n#20\n#1:\n1!\n1!\n", 4, 0, 20},
                      StopCase{"stamp_then_slash", "\n#20\n#1/\n1!\n1!\n", 4, 0, 20},
                      StopCase{"stamp_then_high_byte", "\n#20\n#2\xff\n1!\n1!\n", 4, 0, 20},
                      StopCase{"stamp_then_space", "\n#20\n#21 \n1!\n1!\n", 4, 0, 20},
                      StopCase{"stamp_then_cr", "\n#20\n#21\r\n1!\n1!\n", 4, 0, 20},
                      StopCase{"stamp_at_the_end", "\n#20\n#21", 4, 0, 20},
                      StopCase{"full_output", "\n1!\n0!\n1!\n0!\n1!\n0!\n1!\n0!\n1!\n", 24, 8, 10},
                      // Long enough for the lines read sixteen bytes at a time.
                      StopCase{"full_output_after_a_stamp",
                               "\n#11\n1!\n#12\n0!\n#13\n1!\n#14\n0!\n#15\n1!\n#16\n0!\n#17\n1!\n#18\n0!\n#19\n1!\n#20\n",
                               56, 8, 18},
                      StopCase{"fourteen_then_fifteen_digits",
                               "\n#12345678901234\n1!\n#123456789012345\n0!\n1ab\n0ab\n1ab\n0ab\n", 55, 6,
                               123456789012345},
                      StopCase{"high_digits_change",
                               "\n#123456789\n1!\n#223456789\n0!\n#1000000000\n1!\n#10000000000\n0!\n1ab\n0ab\n1ab\n0ab\n",
                               75, 8, 10000000000},
                      StopCase{"stamp_then_x", "\n#11\nx!\n#12\n1!\n0!\n1!\n0!\n1!\n", 4, 0, 11},
                      StopCase{"stamp_then_undeclared", "\n#11\n1?\n#12\n1!\n0!\n1!\n0!\n1!\n", 4, 0, 11},
                      StopCase{"stamp_then_skipped", "\n#11\n1%\n#12\n1!\n0!\n1!\n0!\n1!\n", 26, 5, 12},
                      StopCase{"letter_among_digits", "\n#11\n1!\n#12a4\n1!\n0!\n1!\n0!\n1!\n", 7, 1, 11},
                      StopCase{"time_back_in_long_text", "\n#11\n1!\n#10\n1!\n0!\n1!\n0!\n1!\n", 7, 1, 11},
                      StopCase{"no_line_feed_in_sixteen", "\n#11\n1!\n#12345678901234567890123\n", 7, 1, 11}),
    [](const auto& p) { return std::string(p.param.name); });

struct RandomCase {
  const char* name;
  uint32_t seed;
  int odd_lines;  // in a thousand: x and z values, CR LF, blanks, comments
};

class VcdRandomLinesTest : public ::testing::TestWithParam<RandomCase> {};

// Random files of the common lines with a share of others read as the word
// reader alone reads them, in any batch size.
TEST_P(VcdRandomLinesTest, GivesWhatTheWordReaderGives) {
  std::mt19937 random(GetParam().seed);
  const auto below = [&](uint32_t n) { return static_cast<uint32_t>(random() % n); };
  const char* const codes[] = {"!", "\"", "ab", "abc", "%"};
  const char* const odd[] = {"x!", "Z\"", "1!\r", "", " 0ab", "b10 %", "$comment #1 $end", "1abc", "#5\r"};
  // The line the file ends with, often one the word reader refuses.
  const char* const last[] = {"1!", "1?", "#", "#12a", "2!", "#1", "1ab"};
  std::string text = kHead;
  uint64_t time = 1;
  for (int line = 0; line < 20000; ++line) {
    if (below(1000) < static_cast<uint32_t>(GetParam().odd_lines)) {
      text += odd[below(std::size(odd))];
    } else if (below(3) == 0) {
      // Steps of every size, so stamps of one to twenty digits appear.
      const uint32_t bits = below(50) == 0 ? 62 : 40;
      time += below(4) == 0 ? uint64_t{1} << below(bits) : below(100);
      text += (below(20) == 0 ? "#00" : "#") + std::to_string(time);
    } else {
      text += std::string(below(2) ? "1" : "0") + codes[below(std::size(codes))];
    }
    text += '\n';
  }
  text += last[GetParam().seed % std::size(last)];
  const std::string expected = ReadText(CrLf(text), 1000);
  for (const size_t batch : {1, 7, 4096}) EXPECT_TRUE(ReadText(text, batch) == expected) << "batch " << batch;
}

INSTANTIATE_TEST_SUITE_P(Files, VcdRandomLinesTest,
                         ::testing::Values(RandomCase{"common_lines_only", 1, 0}, RandomCase{"few_odd_lines", 2, 2},
                                           RandomCase{"some_odd_lines", 3, 30}, RandomCase{"many_odd_lines", 4, 300},
                                           RandomCase{"ending_in_a_stamp", 5, 10},
                                           RandomCase{"ending_in_a_pair", 6, 10}),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace velix::interchange

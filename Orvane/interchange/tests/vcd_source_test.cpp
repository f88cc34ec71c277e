#include "Orvane/interchange/vcd_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velix::interchange {
namespace {

struct Read {
  std::vector<std::string> channels;
  TickLength tick;
  std::vector<LevelChange> changes;
  uint64_t end_tick = 0;
  std::vector<uint8_t> carried;
  std::string error;  // from the opener or the read
};

// Reads a whole text in small batches, so batch edges are crossed.
Read ReadAll(const std::string& text) {
  Read result;
  const auto source = OpenVcdText(text, "t.vcd", &result.error);
  if (!source) return result;
  result.channels = source->Channels();
  result.tick = source->Tick();
  result.carried = source->CarriedSettings();
  LevelChange batch[3];
  while (size_t n = source->Read(batch, 3)) result.changes.insert(result.changes.end(), batch, batch + n);
  if (source->State() == SourceState::kFailed) result.error = source->Error();
  if (source->State() == SourceState::kEnded) result.end_tick = source->EndTick();
  return result;
}

constexpr char kTwoWires[] =
    "$timescale 1 ns $end\n"
    "$scope module top $end\n"
    "$var wire 1 ! clk $end\n"
    "$var wire 1 \" dat $end\n"
    "$upscope $end\n"
    "$enddefinitions $end\n";

// "tick:channel:level" for each change.
std::string Changes(const Read& read) {
  std::string text;
  for (const LevelChange& c : read.changes) {
    text += std::to_string(c.tick) + ":" + std::to_string(c.channel) + ":" + (c.level ? "1" : "0") + " ";
  }
  return text;
}

struct GoodCase {
  const char* name;
  std::string body;  // after the two-wire declarations
  std::string changes;
  uint64_t end_tick;
};

class VcdValuesTest : public ::testing::TestWithParam<GoodCase> {};

TEST_P(VcdValuesTest, ReadsTheChanges) {
  const GoodCase& c = GetParam();
  const Read read = ReadAll(kTwoWires + c.body);
  ASSERT_EQ(read.error, "");
  EXPECT_EQ(Changes(read), c.changes);
  EXPECT_EQ(read.end_tick, c.end_tick);
}

INSTANTIATE_TEST_SUITE_P(
    Values, VcdValuesTest,
    ::testing::Values(
        GoodCase{"dumpvars", "#0\n$dumpvars\n0!\n1\"\n$end\n#10\n1!\n#25\n0\"\n#30\n", "0:0:0 0:1:1 10:0:1 25:1:0 ",
                 30},
        // x and z read as high, and a line never given a value is high.
        GoodCase{"x_and_z", "#0\nx!\n#5\n0!\n#6\nz!\n#7\n0\"\n#8\nX\"\n", "0:0:1 0:1:1 5:0:0 6:0:1 7:1:0 8:1:1 ", 8},
        GoodCase{"vectors_of_one_bit", "#0\nb0 !\nb1 \"\n#4\nB1 !\nb10 \"\n", "0:0:0 0:1:1 4:0:1 4:1:0 ", 4},
        GoodCase{"unchanged_level_is_no_change", "#0\n0!\n#3\n0!\n#4\n1!\n1!\n", "0:0:0 0:1:1 4:0:1 ", 4},
        GoodCase{"values_before_first_stamp", "0!\n0\"\n#100\n#150\n1!\n#200\n1\"\n",
                 "100:0:0 100:1:0 150:0:1 200:1:1 ", 200},
        GoodCase{"later_values_at_first_stamp_win", "#7\n0!\n1!\n0\"\n#9\n0!\n", "7:0:1 7:1:0 9:0:0 ", 9},
        GoodCase{"no_time_stamp", "0!\n", "0:0:0 0:1:1 ", 0},
        GoodCase{"dumpoff_holds_levels", "#0\n0!\n#5\n$dumpoff\nx!\nx\"\n$end\n#6\n$dumpon\n1!\n$end\n",
                 "0:0:0 0:1:1 6:0:1 ", 6},
        GoodCase{"comments_among_values", "#0\n0!\n$comment 1! #99 $end\n#2\n1!\n", "0:0:0 0:1:1 2:0:1 ", 2},
        GoodCase{"many_channels_in_small_batches", "#0\n0!\n0\"\n#1\n1!\n1\"\n#2\n0!\n0\"\n",
                 "0:0:0 0:1:0 1:0:1 1:1:1 2:0:0 2:1:0 ", 2},
        GoodCase{"crlf_lines", "#0\r\n0!\r\n#3\r\n1!\r\n", "0:0:0 0:1:1 3:0:1 ", 3},
        // Stamps on both sides of 19 digits, with and without leading zeros.
        GoodCase{"stamps_near_64_bits",
                 "#0000000000000000007\n0!\n#9999999999999999999\n1!\n#00000000000000000000000018446744073709551615\n",
                 "7:0:0 7:1:1 9999999999999999999:0:1 ", 18446744073709551615u}),
    [](const auto& p) { return std::string(p.param.name); });

struct DeclarationCase {
  const char* name;
  std::string text;
  std::vector<std::string> channels;
  TickLength tick;
};

class VcdDeclarationsTest : public ::testing::TestWithParam<DeclarationCase> {};

TEST_P(VcdDeclarationsTest, NamesTheChannelsAndTheTick) {
  const DeclarationCase& c = GetParam();
  const Read read = ReadAll(c.text + "#0\n");
  ASSERT_EQ(read.error, "");
  EXPECT_EQ(read.channels, c.channels);
  EXPECT_EQ(read.tick.numerator, c.tick.numerator);
  EXPECT_EQ(read.tick.denominator, c.tick.denominator);
}

INSTANTIATE_TEST_SUITE_P(
    Declarations, VcdDeclarationsTest,
    ::testing::Values(
        DeclarationCase{"joined_timescale",
                        "$timescale 1ns $end $var wire 1 ! a $end $enddefinitions $end\n",
                        {"a"},
                        {1, 1000000000}},
        DeclarationCase{
            "ten_us", "$timescale\n 10 us\n$end $var reg 1 ! a $end $enddefinitions $end\n", {"a"}, {10, 1000000}},
        DeclarationCase{"hundred_fs",
                        "$timescale 100 fs $end $var wire 1 ! a $end $enddefinitions $end\n",
                        {"a"},
                        {100, 1000000000000000}},
        DeclarationCase{"seconds", "$timescale 1 s $end $var wire 1 ! a $end $enddefinitions $end\n", {"a"}, {1, 1}},
        // Wider variables and events are read over; their values are skipped.
        DeclarationCase{"wide_and_real_skipped",
                        "$timescale 1 ps $end $var wire 8 # bus $end $var real 1 % r $end $var wire 1 ! a $end "
                        "$var event 1 & e $end $enddefinitions $end\nb1010 #\nr1.5 %\n",
                        {"a"},
                        {1, 1000000000000}},
        DeclarationCase{"same_name_in_two_scopes",
                        "$timescale 1 ns $end $scope module a $end $var wire 1 ! clk $end $upscope $end "
                        "$scope module b $end $var wire 1 \" clk $end $upscope $end $enddefinitions $end\n",
                        {"clk", "b.clk"},
                        {1, 1000000000}},
        // A second declaration of a code is the same signal, not a new channel.
        DeclarationCase{"alias",
                        "$timescale 1 ns $end $var wire 1 ! a $end $var wire 1 ! b $end "
                        "$enddefinitions $end\n",
                        {"a"},
                        {1, 1000000000}},
        DeclarationCase{"bit_select_and_long_codes",
                        "$date today $end $version x $end $timescale 1 ns $end $var wire 1 ab d [0] $end "
                        "$var wire 1 abc d [1] $end $enddefinitions $end\n1ab\n0abc\n",
                        {"d[0]", "d[1]"},
                        {1, 1000000000}}),
    [](const auto& p) { return std::string(p.param.name); });

struct BadCase {
  const char* name;
  std::string text;
  std::string message;  // the whole message names the file and the line
};

class VcdMalformedTest : public ::testing::TestWithParam<BadCase> {};

TEST_P(VcdMalformedTest, RefusesWithTheLine) {
  const BadCase& c = GetParam();
  const Read read = ReadAll(c.text);
  EXPECT_EQ(read.error, c.message);
}

const std::string kHead = kTwoWires;  // six lines

INSTANTIATE_TEST_SUITE_P(
    Malformed, VcdMalformedTest,
    ::testing::Values(
        BadCase{"no_enddefinitions", "$timescale 1 ns $end\n$var wire 1 ! a $end\n",
                "t.vcd, line 2: the file ends before $enddefinitions"},
        BadCase{"no_timescale", "$var wire 1 ! a $end\n$enddefinitions $end\n",
                "t.vcd, line 2: no $timescale before $enddefinitions"},
        BadCase{"timescale_twenty", "$timescale 20 ns $end\n",
                "t.vcd, line 1: the timescale '20ns' is not 1, 10 or 100 of a unit"},
        BadCase{"timescale_unit", "$timescale 1 ks $end\n",
                "t.vcd, line 1: the timescale unit 'ks' is not s, ms, us, ns, ps or fs"},
        BadCase{"no_signal", "$timescale 1 ns $end\n$var wire 4 ! a $end\n$enddefinitions $end\n",
                "t.vcd, line 3: no one-bit signal is declared"},
        BadCase{"short_var", "$timescale 1 ns $end\n$var wire 1 ! $end\n",
                "t.vcd, line 2: a $var needs a type, a width, an identifier and a name"},
        BadCase{"bad_width", "$timescale 1 ns $end\n$var wire one ! a $end\n",
                "t.vcd, line 2: the width 'one' is not a number of bits"},
        BadCase{"zero_width", "$timescale 1 ns $end\n$var wire 0 ! a $end\n",
                "t.vcd, line 2: the width '0' is not a number of bits"},
        BadCase{"lone_upscope", "$upscope $end\n", "t.vcd, line 1: $upscope without an open $scope"},
        BadCase{"stray_word", "$timescale 1 ns $end\nhello\n",
                "t.vcd, line 2: unexpected 'hello' among the declarations"},
        BadCase{"control_bytes_quoted", "\x01\x1b[2J\n", "t.vcd, line 1: unexpected '??[2J' among the declarations"},
        BadCase{"control_in_name", "$timescale 1 ns $end\n$var wire 1 ! a\x1b $end\n",
                "t.vcd, line 2: the name 'a?' holds a control character"},
        BadCase{"control_in_scope", "$scope module \x07 $end\n",
                "t.vcd, line 1: the scope name '?' holds a control character"},
        BadCase{"open_comment", "$comment never ends\n", "t.vcd, line 1: the file ends inside $comment"},
        BadCase{"time_goes_back", kHead + "#10\n1!\n#5\n", "t.vcd, line 9: time goes back from 10 to 5"},
        BadCase{"time_overflow", kHead + "#99999999999999999999\n",
                "t.vcd, line 7: the time stamp '#99999999999999999999' does not fit 64 bits"},
        BadCase{"time_not_number", kHead + "#12a\n", "t.vcd, line 7: the time stamp '#12a' is not a number"},
        BadCase{"time_just_over", kHead + "#18446744073709551616\n",
                "t.vcd, line 7: the time stamp '#18446744073709551616' does not fit 64 bits"},
        BadCase{"time_letter_at_twentieth", kHead + "#1844674407370955161x\n",
                "t.vcd, line 7: the time stamp '#1844674407370955161x' is not a number"},
        BadCase{"time_zeros_then_letter", kHead + "#000000000000000000000x\n",
                "t.vcd, line 7: the time stamp '#000000000000000000000x' is not a number"},
        BadCase{"bare_hash", kHead + "#\n", "t.vcd, line 7: a time stamp without a time"},
        BadCase{"unknown_code", kHead + "#0\n1?\n", "t.vcd, line 8: the identifier '?' was not declared"},
        BadCase{"no_code", kHead + "#0\n1\n", "t.vcd, line 8: the value '1' has no identifier"},
        BadCase{"unreadable_value", kHead + "#0\nq!\n", "t.vcd, line 8: cannot read 'q!'"},
        BadCase{"vector_digit", kHead + "#0\nb2 !\n",
                "t.vcd, line 8: the vector value 'b2' holds a digit other than 0 1 x z"},
        BadCase{"vector_without_code", kHead + "#0\nb1\n", "t.vcd, line 8: the file ends after the value 'b1'"},
        BadCase{"empty_vector", kHead + "#0\nb !\n", "t.vcd, line 8: a value 'b' without digits"},
        BadCase{"real_on_wire", kHead + "#0\nr1.5 !\n", "t.vcd, line 8: a real value for the one-bit signal '!'"},
        BadCase{"declaration_late", kHead + "$var wire 1 # c $end\n",
                "t.vcd, line 7: unexpected '$var' among the value changes"},
        BadCase{"open_dumpoff", kHead + "$dumpoff\n0!\n", "t.vcd, line 8: the file ends inside $dumpoff"},
        BadCase{"endless_word", kHead + std::string(5000, 'a') + "\n",
                "t.vcd, line 7: a word longer than 4096 characters"},
        BadCase{"endless_name", "$timescale 1 ns $end\n$var wire 1 ! " + std::string(4097, 'n') + " $end\n",
                "t.vcd, line 2: a word longer than 4096 characters"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(VcdSettingsComment, CarriesOurRecordOnly) {
  const std::string record(2 * 466, 'a');
  EXPECT_EQ(ReadAll("$comment orvane-settings " + record + " $end\n" + kHead).carried, std::vector<uint8_t>(466, 0xAA));
  // Someone else's comment, a short record, or extra words: not ours.
  EXPECT_TRUE(ReadAll("$comment made by hand $end\n" + kHead).carried.empty());
  EXPECT_TRUE(ReadAll("$comment orvane-settings abcd $end\n" + kHead).carried.empty());
  EXPECT_TRUE(ReadAll("$comment orvane-settings " + record + " more $end\n" + kHead).carried.empty());
  EXPECT_TRUE(ReadAll("$comment orvane-settings " + record.substr(1) + "g $end\n" + kHead).carried.empty());
}

TEST(VcdFile, NamesAMissingFile) {
  std::string error;
  EXPECT_EQ(OpenVcdSource("/nonexistent/x.vcd", &error), nullptr);
  EXPECT_EQ(error, "cannot open /nonexistent/x.vcd: No such file or directory");
}

}  // namespace
}  // namespace velix::interchange

#include "tools/velixctl/arguments.h"

#include <gtest/gtest.h>

#include "tools/velixctl/command_options.h"

namespace velix::ctl {
namespace {

struct ParseCase {
  std::vector<std::string> args;
  bool ok;
  std::string command;
  std::string device;
  std::vector<std::string> positional;
  std::map<std::string, std::string, std::less<>> options;
};

struct HelpCase {
  std::vector<std::string> args;
  bool help;
  bool version;
};

TEST(ParseCommandLine, HelpAndVersionWinOverTheRestOfTheLine) {
  const std::vector<HelpCase> cases{
      {{"--help"}, true, false},
      {{"-h"}, true, false},
      {{"--device", "x", "-h"}, true, false},
      {{"list", "--help"}, true, false},
      {{"ioctl", "-h", "--bogus"}, true, false},
      {{"read", "--help"}, true, false},
      {{"sim", "-h"}, true, false},
      {{"--version"}, false, true},
      // A verbatim command passes its later words on, help included.
      {{"sim", "fault", "--help"}, false, false},
  };
  for (const HelpCase& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += "[" + a + "]";
    SCOPED_TRACE(joined);
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine(c.args, VelixctlCommands(), &line, &error)) << error;
    EXPECT_EQ(line.help, c.help);
    EXPECT_EQ(line.version, c.version);
  }
}

TEST(ParseCommandLine, AcceptsWhatEachCommandTakesAndRefusesTheRest) {
  const std::string kDefault(kDefaultDeviceName);
  const std::vector<ParseCase> cases{
      {{"list"}, true, "list", kDefault, {}, {}},
      {{"--device", "\\\\?\\usb#x", "list"}, true, "list", "\\\\?\\usb#x", {}, {}},
      {{"--device=\\\\.\\VELIX0\\PIPE01", "read", "4"}, true, "read", "\\\\.\\VELIX0\\PIPE01", {"4"}, {}},
      {{"read", "4", "--device", "other"}, true, "read", "other", {"4"}, {}},
      {{"ioctl", "GET_COUNT", "--out", "4"}, true, "ioctl", kDefault, {"GET_COUNT"}, {{"out", "4"}}},
      {{"ioctl", "bulk_start", "--event", "--out=4"}, true, "ioctl", kDefault, {"bulk_start"},
       {{"event", ""}, {"out", "4"}}},
      {{"write", ""}, true, "write", kDefault, {""}, {}},
      {{"stream", "--bytes", "10", "--start", "0a00"}, true, "stream", kDefault, {},
       {{"bytes", "10"}, {"start", "0a00"}}},
      {{"sim", "fault", "overrun", "--device", "x"}, true, "sim", kDefault,
       {"fault", "overrun", "--device", "x"}, {}},
      {{}, false, "", "", {}, {}},
      {{"--device"}, false, "", "", {}, {}},
      {{"--device", "x"}, false, "", "", {}, {}},
      {{"flash"}, false, "", "", {}, {}},
      {{"--out", "4", "ioctl", "1"}, false, "", "", {}, {}},
      {{"list", "extra"}, false, "", "", {}, {}},
      {{"read"}, false, "", "", {}, {}},
      {{"ioctl", "1", "--out"}, false, "", "", {}, {}},
      {{"ioctl", "1", "--out", "--event"}, false, "", "", {}, {}},
      {{"ioctl", "1", "--event=1"}, false, "", "", {}, {}},
      {{"ioctl", "1", "--out", "4", "--out", "8"}, false, "", "", {}, {}},
      {{"ioctl", "1", "--bytes", "4"}, false, "", "", {}, {}},
      {{"sim"}, false, "", "", {}, {}},
  };
  for (const ParseCase& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += "[" + a + "]";
    SCOPED_TRACE(joined);
    CommandLine line;
    std::string error;
    ASSERT_EQ(ParseCommandLine(c.args, VelixctlCommands(), &line, &error), c.ok);
    if (!c.ok) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(line.command->name, c.command);
    EXPECT_EQ(line.device, c.device);
    EXPECT_EQ(line.positional, c.positional);
    EXPECT_EQ(line.options, c.options);
  }
}

TEST(ParseUnsigned, ReadsDecimalAndHexWithinTheLimit) {
  struct Case {
    std::string text;
    uint64_t max;
    bool ok;
    uint64_t value;
  };
  const std::vector<Case> cases{
      {"0", 10, true, 0},
      {"0010", 100, true, 10},  // leading zeros are decimal, not octal
      {"0x220024", UINT32_MAX, true, 0x220024},
      {"0XfF", 255, true, 255},
      {"4294967295", UINT32_MAX, true, UINT32_MAX},
      {"4294967296", UINT32_MAX, false, 0},
      {"0x100000000", UINT32_MAX, false, 0},
      {"18446744073709551615", UINT64_MAX, true, UINT64_MAX},
      {"18446744073709551616", UINT64_MAX, false, 0},
      {"256", 255, false, 0},
      {"5", 0, false, 0},
      {"", 10, false, 0},
      {"0x", 10, false, 0},
      {"-1", 10, false, 0},
      {"+1", 10, false, 0},
      {" 1", 10, false, 0},
      {"1k", 10000, false, 0},
      {"12ab", UINT32_MAX, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    uint64_t value = 0;
    ASSERT_EQ(ParseUnsigned(c.text, c.max, &value), c.ok);
    if (c.ok) {
      EXPECT_EQ(value, c.value);
    }
  }
}

}  // namespace
}  // namespace velix::ctl

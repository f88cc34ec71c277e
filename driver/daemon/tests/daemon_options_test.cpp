#include "driver/daemon/daemon_options.h"

#include <gtest/gtest.h>

namespace velix::daemon {
namespace {

struct Line {
  std::vector<std::string> args;
  bool ok;
  const char* error_part;
};

TEST(DaemonOptions, AcceptsWhatItDocumentsAndNamesWhatItRefuses) {
  const Line lines[] = {
      {{}, true, ""},
      {{"--simulate", "a.scn", "--rate", "1000", "--chunk", "4096", "--fault", "unplug@100", "--fault", "stall"},
       true, ""},
      {{"--simulate", "a.SIC", "--personality", "loader", "--image", "monitor", "--speed", "full"}, true, ""},
      {{"--rate", "1000"}, false, "need --simulate"},
      {{"--simulate", "a.scn", "--fault", "melt"}, false, "bad value for --fault"},
      {{"--simulate", "a.scn", "--fault", "unplug@x"}, false, "bad value for --fault"},
      {{"--simulate", "a.scn", "--personality", "other"}, false, "bad value for --personality"},
      {{"--simulate", "a.scn", "--repeat", "0"}, false, "bad value for --repeat"},
      {{"--trace-level", "-1"}, false, "bad value for --trace-level"},
      {{"--simulate"}, false, "--simulate needs a value"},
      {{"--bogus", "1"}, false, "unknown option: --bogus"},
      {{"--frobnicate"}, false, "unknown option: --frobnicate"},
      {{"--simulate", "a.scn", "--frobnicate"}, false, "unknown option: --frobnicate"},
      {{"--version", "--bogus"}, true, ""},
      {{"stray"}, false, "unknown argument: stray"},
      {{"--idle-exit", "30"}, true, ""},
      {{"--simulate", "a.scn", "--unplugged", "--idle-exit", "1"}, true, ""},
      {{"--idle-exit", "0"}, false, "bad value for --idle-exit"},
      {{"--idle-exit", "86401"}, false, "bad value for --idle-exit"},
      {{"--idle-exit", "-5"}, false, "bad value for --idle-exit"},
      {{"--idle-exit"}, false, "--idle-exit needs a value"},
  };
  for (const Line& line : lines) {
    DaemonOptions options;
    bool help = false;
    std::string error;
    EXPECT_EQ(ParseDaemonOptions(line.args, &options, &help, &error), line.ok) << error;
    EXPECT_NE(error.find(line.error_part), std::string::npos) << error;
  }
}

TEST(DaemonOptions, KeepsValuesAndFaultsInOrder) {
  DaemonOptions options;
  bool help = false;
  std::string error;
  ASSERT_TRUE(ParseDaemonOptions({"--simulate", "s.scn", "--size", "1048576", "--fault", "overrun@5", "--fault",
                                  "xact-error", "--runtime-dir", "/tmp/x", "--unplugged"},
                                 &options, &help, &error));
  EXPECT_EQ(options.size, 1048576u);
  ASSERT_EQ(options.faults.size(), 2u);
  EXPECT_EQ(options.faults[0].kind, "overrun");
  EXPECT_EQ(options.faults[0].at_byte, 5u);
  EXPECT_EQ(options.faults[1].kind, "xact-error");
  EXPECT_EQ(options.faults[1].at_byte, 0u);
  EXPECT_EQ(options.runtime_dir, "/tmp/x");
  EXPECT_TRUE(options.unplugged);
  EXPECT_FALSE(ParseDaemonOptions({"--help"}, &options, &help, &error));
  EXPECT_TRUE(help);
  EXPECT_FALSE(options.show_version);
  EXPECT_TRUE(ParseDaemonOptions({"--version"}, &options, &help, &error));
  EXPECT_TRUE(options.show_version);
}

}  // namespace
}  // namespace velix::daemon

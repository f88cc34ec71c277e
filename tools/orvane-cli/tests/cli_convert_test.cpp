#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "Orvane/interchange/tests/session_archive_builder.h"
#include "platform/tests/scratch_folder.h"
#include "tools/orvane-cli/tests/run_command.h"

namespace orvane {
namespace {

using velix::platform::testing::ReadFile;
using velix::platform::testing::ScratchFolder;
using velix::platform::testing::WriteFile;

constexpr char kI2c[] = "bus i2c0\nscl 400k\nstart\naddr 0x50 w\nwrite 00 10\nstop\nidle 10us\n";

constexpr char kForeign[] =
    "$timescale 1 ns $end\n$var wire 1 ! clk $end\n$var wire 1 \" dat $end\n$enddefinitions $end\n"
    "#0\n1!\n1\"\n#1000\n0\"\n#2001\n0!\n#2010\n1!\n#3000\n";

constexpr char kMalformed[] =
    "$timescale 1 ns $end\n$var wire 1 ! SCL $end\n$var wire 1 \" SDA $end\n$enddefinitions $end\n#5\n#4\n";

class CliConvertTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(files_.File("i2c.scn"), kI2c);
    ASSERT_EQ(Run({"synth", files_.File("i2c.scn"), "-o", files_.File("a.SIC")}).status, 0);
    ASSERT_EQ(Run({"synth", files_.File("i2c.scn"), "-o", files_.File("m.SIC"), "--mode", "monitor"}).status, 0);
    const std::string capture = ReadFile(files_.File("a.SIC"));
    // An odd-position byte with bit 4 clear right after the first atom.
    WriteFile(files_.File("corrupt.SIC"), capture.substr(0, 1026) + std::string("\x3F\x0F", 2));
    WriteFile(files_.File("foreign.vcd"), kForeign);
    WriteFile(files_.File("foreign.txt"), kForeign);
    WriteFile(files_.File("bad.vcd"), kMalformed);
    ASSERT_EQ(::mkfifo(files_.File("fifo.vcd").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(files_.File("fifo.SIC").c_str(), 0600), 0);
  }
  testing::CommandResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), ORVANE_CLI_PATH);
    return testing::RunCommand(args);
  }
  ScratchFolder files_;
};

struct ExitCase {
  const char* name;
  std::vector<std::string> args;  // "@x" is the file x in the test's folder
  int status;
  std::string message;  // a part of standard error
};

class CliConvertExitTest : public CliConvertTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(CliConvertExitTest, ExitsWithTheDocumentedStatus) {
  std::vector<std::string> args = {"convert"};
  for (const std::string& arg : GetParam().args) args.push_back(arg[0] == '@' ? files_.File(arg.substr(1)) : arg);
  const testing::CommandResult result = Run(args);
  EXPECT_EQ(result.status, GetParam().status) << result.err;
  EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    ExitCodes, CliConvertExitTest,
    ::testing::Values(
        ExitCase{"no_files", {}, 1, "missing IN and OUT"},
        ExitCase{"unknown_output", {"@a.SIC", "@out.txt"}, 1, "OUT must end in .vcd (export) or .SIC (import)"},
        ExitCase{"choices_on_export", {"@a.SIC", "@o.vcd", "--bus", "spi"}, 1, "apply to an import"},
        ExitCase{"vcd_from_vcd", {"@foreign.vcd", "@o.vcd"}, 1, "a VCD file is written from a .SIC capture"},
        ExitCase{"sic_to_sic", {"@a.SIC", "@b.sic"}, 1, "nothing to convert"},
        ExitCase{"missing_capture", {"@none.SIC", "@o.vcd"}, 2, "cannot open"},
        ExitCase{"fifo_capture", {"@fifo.SIC", "@o.vcd"}, 2, "is not a regular file"},
        ExitCase{"fifo_vcd", {"@fifo.vcd", "@o.SIC", "--bus", "i2c0"}, 2, "is not a regular file"},
        ExitCase{"monitor_capture", {"@m.SIC", "@o.vcd"}, 2, "is a monitor-mode capture"},
        ExitCase{"corrupt_capture", {"@corrupt.SIC", "@o.vcd"}, 3, "position 3: data align error"},
        ExitCase{"unwritable_vcd", {"@a.SIC", "@none/o.vcd"}, 6, "cannot create a file in"},
        ExitCase{"export", {"@a.SIC", "@o.vcd"}, 0, ""},
        ExitCase{"missing_vcd", {"@none.vcd", "@o.SIC", "--bus", "i2c0"}, 2, "cannot open"},
        ExitCase{"unsupported_input", {"@foreign.txt", "@o.SIC", "--bus", "i2c0"}, 1, "unsupported input format"},
        ExitCase{"malformed_vcd", {"@bad.vcd", "@o.SIC", "--bus", "i2c0"}, 3, "line 6: time goes back from 5 to 4"},
        ExitCase{"no_bus", {"@foreign.vcd", "@o.SIC"}, 1, "name the bus with --bus"},
        ExitCase{"bad_bus", {"@foreign.vcd", "@o.SIC", "--bus", "can"}, 1, "--bus is spi, i2c0 or i2c1"},
        ExitCase{"bad_rate", {"@foreign.vcd", "@o.SIC", "--bus", "i2c0", "--rate", "30"}, 1, "--rate is 50, 20"},
        ExitCase{"unmapped", {"@foreign.vcd", "@o.SIC", "--bus", "i2c0"}, 1, "no channel for the line SCL"},
        ExitCase{"no_such_channel",
                 {"@foreign.vcd", "@o.SIC", "--bus", "i2c0", "--map", "SCL=ck", "--map", "SDA=dat"},
                 1,
                 "the channels are clk, dat"},
        ExitCase{"merging_edges",
                 {"@foreign.vcd", "@o.SIC", "--bus", "i2c0", "--map", "SCL=clk", "--map", "SDA=dat"},
                 3,
                 "the line SCL (channel clk) changes twice within one sample at 50 MHz"},
        ExitCase{"unwritable_sic",
                 {"@foreign.vcd", "@none/o.SIC", "--bus", "i2c0", "--map", "SCL=clk", "--map", "SDA=dat"},
                 6,
                 "cannot create a file in"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(CliConvertTest, RoundTripThroughTheCommand) {
  ASSERT_EQ(Run({"convert", files_.File("a.SIC"), files_.File("a.vcd")}).status, 0);
  const testing::CommandResult back = Run({"convert", files_.File("a.vcd"), files_.File("b.SIC")});
  ASSERT_EQ(back.status, 0) << back.err;
  EXPECT_TRUE(ReadFile(files_.File("a.SIC")) == ReadFile(files_.File("b.SIC")));
}

TEST_F(CliConvertTest, ImportsAForeignFileWithAMap) {
  // Edges 1 ns apart merge at 50 MHz; without them the file imports.
  std::string foreign = kForeign;
  foreign.replace(foreign.find("#2001"), 5, "#2000");
  foreign.replace(foreign.find("#2010"), 5, "#2100");
  WriteFile(files_.File("slow.vcd"), foreign);
  const testing::CommandResult result = Run({"convert", files_.File("slow.vcd"), files_.File("o.SIC"), "--bus", "i2c0",
                                             "--rate", "10", "--map", "SCL=clk", "--map", "SDA=dat"});
  ASSERT_EQ(result.status, 0) << result.err;
  const testing::CommandResult atoms = Run({"atoms", files_.File("o.SIC")});
  // Initial state, SDA low at sample 10, SCL low at 20 and high at 21, the
  // end at 30 (100 ns samples).
  EXPECT_EQ(atoms.out, "0 2 15 0\n2 2 13 10\n4 2 12 10\n6 1 13 1\n7 1 13 7\n8 1 13 2\n");
}

// One I2C write of 0x42 to 0x50 sampled at 1 MHz on the probes clk and dat
// (100 kHz clock), as a session file holds it.
std::string I2cSessionSamples() {
  std::vector<uint64_t> samples;
  const auto put = [&samples](uint64_t scl, uint64_t sda, int count) {
    for (int i = 0; i < count; ++i) samples.push_back(scl | (sda << 1));
  };
  put(1, 1, 20);
  put(1, 0, 5);  // START
  uint64_t sda = 0;
  for (const uint8_t byte : {uint8_t{0xA0}, uint8_t{0x42}}) {
    for (int bit = 7; bit >= -1; --bit) {  // bit -1: the receiver's ACK
      put(0, sda, 2);
      sda = bit < 0 ? 0 : (byte >> bit) & 1;
      put(0, sda, 3);
      put(1, sda, 5);
    }
  }
  put(0, sda, 2);
  put(0, 0, 3);
  put(1, 0, 5);
  put(1, 1, 20);  // STOP
  return velix::interchange::testing::SampleBytes(samples, 1);
}

TEST_F(CliConvertTest, ImportsASigrokSessionThatThenDecodes) {
  velix::interchange::testing::SessionPlan plan;
  plan.total_probes = 2;
  plan.probe_names = {"clk", "dat"};
  plan.chunks = {I2cSessionSamples()};
  ASSERT_TRUE(velix::interchange::testing::WriteZipArchive(files_.File("bus.sr"),
                                                           velix::interchange::testing::SessionEntries(plan)));
  const testing::CommandResult result = Run({"convert", files_.File("bus.sr"), files_.File("o.SIC"), "--bus", "i2c0",
                                             "--rate", "10", "--map", "SCL=clk", "--map", "SDA=dat"});
  ASSERT_EQ(result.status, 0) << result.err;
  const testing::CommandResult decoded = Run({"decode", files_.File("o.SIC"), "--json", "-"});
  ASSERT_EQ(decoded.status, 0) << decoded.err;
  EXPECT_NE(decoded.out.find(R"("address":80,"ten_bit":false,"direction":"write","start":"S","end":"P",)"
                             R"("nack":false,"data":"42",)"),
            std::string::npos)
      << decoded.out;

  const testing::CommandResult unmapped =
      Run({"convert", files_.File("bus.sr"), files_.File("p.SIC"), "--bus", "i2c0", "--map", "SCL=clk"});
  EXPECT_EQ(unmapped.status, 1);
  EXPECT_NE(unmapped.err.find("the channels are clk, dat"), std::string::npos) << unmapped.err;
}

}  // namespace
}  // namespace orvane

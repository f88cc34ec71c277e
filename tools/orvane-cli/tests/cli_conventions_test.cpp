// orvane-cli as command-line users expect it: help on standard output,
// usage errors that name what is wrong, named choices, outputs whose
// failure is never silent, and inputs that cannot hang or flood it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/tests/case_name.h"
#include "platform/tests/scratch_folder.h"
#include "tools/orvane-cli/tests/run_command.h"

namespace orvane {
namespace {

using velix::platform::testing::PrintTo;
using velix::platform::testing::ScratchFolder;
using velix::platform::testing::WriteFile;

class CliConventionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TMPDIR", temp_.Path().c_str(), 1);
    capture_ = files_.File("demo.SIC");
    ASSERT_EQ(Run({"synth", Demo(), "-o", capture_}).status, 0);
  }
  static std::string Demo() { return std::string(VELIX_SOURCE_DIR) + "/sim/scenarios/i2c_demo.scn"; }
  static testing::CommandResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), ORVANE_CLI_PATH);
    return testing::RunCommand(args);
  }
  // Runs orvane-cli through the shell with `redirect` appended.
  static testing::CommandResult RunRedirected(const std::vector<std::string>& args, const std::string& redirect) {
    std::vector<std::string> argv = {"/bin/sh", "-c", "exec \"$0\" \"$@\" " + redirect, ORVANE_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    return testing::RunCommand(argv);
  }
  std::string TempListing() const {
    return testing::RunCommand({"/bin/sh", "-c", "ls -A " + temp_.Path()}).out;
  }
  std::vector<std::string> Substitute(std::vector<std::string> args) const {
    for (std::string& arg : args) {
      if (arg == "CAPTURE") arg = capture_;
      if (arg == "SCENARIO") arg = Demo();
      if (arg == "FIFO") arg = Fifo();
    }
    return args;
  }
  std::string Fifo() const {
    const std::string path = files_.File("fifo");
    mkfifo(path.c_str(), 0600);
    return path;
  }

  ScratchFolder files_;
  ScratchFolder temp_;
  std::string capture_;
};

TEST_F(CliConventionsTest, HelpGoesToStandardOutputWithSuccess) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--help"}, {"-h"}, {"help"}, {"info", "--help"}, {"atoms", "-h"},
        {"synth", "--help"}, {"decode", "--help"}, {"decode", "CAPTURE", "-h", "--bogus"}, {"search", "-h"},
        {"capture", "--help"}, {"stats", "--help"}}) {
    const auto r = Run(Substitute(args));
    EXPECT_EQ(r.status, 0) << args[0];
    EXPECT_EQ(r.out.rfind("usage: orvane-cli", 0), 0u) << r.out;
    EXPECT_EQ(r.err, "") << args[0];
  }
}

TEST_F(CliConventionsTest, VersionIsTheProjectVersion) {
  const auto r = Run({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, std::string("orvane-cli ") + VELIX_VERSION + "\n");
}

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
  const char* message;
};

class CliUsageTest : public CliConventionsTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(CliUsageTest, NamesWhatIsWrong) {
  const auto r = Run(Substitute(GetParam().args));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("usage: orvane-cli"), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CliUsageTest,
    ::testing::Values(
        UsageCase{"UnknownShortOption", {"-x"}, "unknown command '-x'"},
        UsageCase{"ExtraFile", {"decode", "CAPTURE", "other.SIC"}, "unexpected argument 'other.SIC'"},
        UsageCase{"NoFile", {"info"}, "missing FILE.SIC"},
        UsageCase{"AllDataWithoutText", {"decode", "CAPTURE", "--all-data"}, "--all-data"},
        UsageCase{"UnparsableSet", {"decode", "CAPTURE", "--set", "tLOW=12z"}, "'12z' is not a number"},
        UsageCase{"UnknownBus", {"decode", "CAPTURE", "--bus", "usb"}, "--bus is spi, i2c0 or i2c1"},
        UsageCase{"UnknownRate", {"search", "CAPTURE", "nack", "--rate", "25"}, "--rate is 50, 20 or 10"},
        UsageCase{"ValueForAKindWithout", {"search", "CAPTURE", "nack", "7"}, "unexpected argument '7'"},
        UsageCase{"CaptureStray", {"capture", "x.SIC"}, "unexpected argument 'x.SIC'"},
        UsageCase{"TwoExportsToStandardOutput", {"decode", "CAPTURE", "--text", "-", "--json", "-"},
                  "only one export can go to standard output"},
        UsageCase{"CaptureTwoExportsToStandardOutput", {"capture", "-o", "x.SIC", "--csv", "-", "--json", "-"},
                  "only one export can go to standard output"},

        UsageCase{"SynthToStandardOutput", {"synth", "SCENARIO", "-o", "-"}, "-o must name a file"},
        UsageCase{"StatsTwoFiles", {"stats", "CAPTURE", "other.SIC"}, "unexpected argument 'other.SIC'"},
        UsageCase{"StatsUnknownOption", {"stats", "CAPTURE", "--csv", "-"}, "--csv"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(CliConventionsTest, AllOnesSpelledOutIsStillANumber) {
  const auto r = Run({"decode", capture_, "--set", "FilterRangeEnd=0xFFFFFFFF"});
  EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(CliConventionsTest, DecodeWithoutExportOptionWritesTheCsvRows) {
  const auto plain = Run({"decode", capture_});
  const auto csv = Run({"decode", capture_, "--csv", "-"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out, csv.out);
  EXPECT_EQ(plain.out.rfind("\"0\", ", 0), 0u) << plain.out;
}

TEST_F(CliConventionsTest, ForcedDisplayFailsOnlyAnExportThatWasAskedFor) {
  const auto plain = Run({"decode", capture_, "--set", "ForcedDisplay=1"});
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out, "");
  EXPECT_NE(plain.err.find("note: the exports are not available"), std::string::npos) << plain.err;
  const auto asked = Run({"decode", capture_, "--set", "ForcedDisplay=1", "--csv", "-"});
  EXPECT_EQ(asked.status, 6);
  EXPECT_NE(asked.err.find("error: the exports are not available"), std::string::npos) << asked.err;
}

struct ChoiceCase {
  const char* name;
  std::vector<std::string> named;
  std::vector<std::string> numbered;
};

class CliNamedChoiceTest : public CliConventionsTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(CliNamedChoiceTest, MeansTheSettingsFieldValue) {
  std::vector<std::string> named = {"decode", capture_};
  named.insert(named.end(), GetParam().named.begin(), GetParam().named.end());
  std::vector<std::string> numbered = {"decode", capture_};
  numbered.insert(numbered.end(), GetParam().numbered.begin(), GetParam().numbered.end());
  const auto by_name = Run(named);
  const auto by_number = Run(numbered);
  EXPECT_EQ(by_name.status, by_number.status) << by_name.err;
  EXPECT_EQ(by_name.out, by_number.out);
  EXPECT_EQ(by_name.err, by_number.err);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, CliNamedChoiceTest,
    ::testing::Values(ChoiceCase{"Spi", {"--bus", "spi"}, {"--set", "m_AnalyzeBusChannel=0"}},
                      ChoiceCase{"I2c0", {"--bus", "i2c0"}, {"--set", "m_AnalyzeBusChannel=1"}},
                      ChoiceCase{"I2c1", {"--bus", "i2c1"}, {"--set", "m_AnalyzeBusChannel=2"}},
                      ChoiceCase{"Rate20", {"--rate", "20"}, {"--set", "SamplePeriodCode=5"}},
                      ChoiceCase{"Rate10", {"--rate", "10"}, {"--set", "SamplePeriodCode=10"}},
                      ChoiceCase{"Rate50", {"--rate", "50", "--bus", "i2c0"},
                                 {"--set", "SamplePeriodCode=2", "--set", "m_AnalyzeBusChannel=1"}}),
    [](const auto& test) { return std::string(test.param.name); });

struct NotAFileCase {
  const char* name;
  std::vector<std::string> args;
  const char* message;
};

class CliNotAFileTest : public CliConventionsTest, public ::testing::WithParamInterface<NotAFileCase> {};

// A device or a FIFO is refused before anything is read from it: no hang,
// no endless copy into the temporary folder, no crash.
TEST_P(CliNotAFileTest, IsRefusedBeforeReading) {
  const auto r = Run(Substitute(GetParam().args));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
  EXPECT_EQ(TempListing(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, CliNotAFileTest,
    ::testing::Values(NotAFileCase{"InfoDevZero", {"info", "/dev/zero"}, "Not a regular file"},
                      NotAFileCase{"InfoFifo", {"info", "FIFO"}, "Not a regular file"},
                      NotAFileCase{"AtomsFifo", {"atoms", "FIFO"}, "Not a regular file"},
                      NotAFileCase{"DecodeDevZero", {"decode", "/dev/zero"}, "Not a regular file"},
                      NotAFileCase{"SynthFifo", {"synth", "FIFO", "-o", "x.SIC"}, "not a regular file"},
                      NotAFileCase{"SynthDevZero", {"synth", "/dev/zero", "-o", "x.SIC"}, "not a regular file"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(CliConventionsTest, EndlessScenarioOnStandardInputIsCutOff) {
  const auto r = RunRedirected({"synth", "-", "-o", files_.File("x.SIC")}, "< /dev/zero");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("larger than"), std::string::npos) << r.err;
}

struct OutputCase {
  const char* name;
  std::vector<std::string> args;
  const char* redirect;
  const char* message;
};

class CliOutputFailureTest : public CliConventionsTest, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(CliOutputFailureTest, IsAnErrorWithItsReason) {
  const auto r = RunRedirected(Substitute(GetParam().args), GetParam().redirect);
  EXPECT_EQ(r.status, 6);
  EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, CliOutputFailureTest,
    ::testing::Values(
        OutputCase{"AtomsToFullDevice", {"atoms", "CAPTURE"}, "> /dev/full", "cannot write standard output"},
        OutputCase{"InfoToFullDevice", {"info", "CAPTURE"}, "> /dev/full", "cannot write standard output"},
        OutputCase{"DecodeToFullDevice", {"decode", "CAPTURE"}, "> /dev/full", "No space left on device"},
        OutputCase{"SearchToFullDevice", {"search", "CAPTURE", "jump", "3"}, "> /dev/full",
                   "cannot write standard output"},
        OutputCase{"JsonToFullDevice", {"decode", "CAPTURE", "--json", "-"}, "> /dev/full", "No space left on device"},
        OutputCase{"JsonIntoFullFile", {"decode", "CAPTURE", "--json", "/dev/full"}, "",
                   "cannot write /dev/full: No space left on device"},
        OutputCase{"JsonIntoMissingFolder", {"decode", "CAPTURE", "--json", "/nonexistent/x.jsonl"}, "",
                   "cannot write /nonexistent/x.jsonl: No such file or directory"},
        OutputCase{"CsvIntoMissingFolder", {"decode", "CAPTURE", "--csv", "/nonexistent/x.csv"}, "",
                   "cannot write /nonexistent/x.csv: No such file or directory"},
        OutputCase{"SynthToFullDevice", {"synth", "SCENARIO", "-o", "/dev/full"}, "",
                   "cannot write /dev/full: No space left on device"},
        OutputCase{"SynthIntoMissingFolder", {"synth", "SCENARIO", "-o", "/nonexistent/x.SIC"}, "",
                   "cannot write /nonexistent/x.SIC: No such file or directory"}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace orvane

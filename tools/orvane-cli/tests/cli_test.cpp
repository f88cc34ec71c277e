#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Orvane/capture/sample_atom.h"
#include "Orvane/capture/sic_header.h"
#include "platform/tests/scratch_folder.h"
#include "tools/orvane-cli/tests/run_command.h"

namespace orvane {
namespace {

using velix::platform::testing::ScratchFolder;
using velix::platform::testing::WriteFile;

std::string Sic(const SettingsRecord& settings, const std::string& data) {
  const SicHeader h = BuildSicHeader(settings);
  return std::string(h.begin(), h.end()) + data;
}

class CliTest : public ::testing::Test {
 protected:
  testing::CommandResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), ORVANE_CLI_PATH);
    setenv("TMPDIR", temp_.Path().c_str(), 1);
    return testing::RunCommand(args);
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    WriteFile(files_.File(name), bytes);
    return files_.File(name);
  }
  ScratchFolder files_;
  ScratchFolder temp_;
};

TEST_F(CliTest, InfoPrintsEveryFieldAsNameValue) {
  SettingsRecord settings = DefaultSettingsRecord();
  settings.m_AnalyzeBusChannel = 2;
  settings.DataPattern[0] = 0xAB;
  const std::string path = Write("a.SIC", Sic(settings, std::string(10, '\x10')));
  const auto r = Run({"info", path});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  for (const char* line : {"m_AnalyzeBusChannel=2\n", "m_sizeSamplingBuf=10\n", "tHD_STA=60\n",
                           "tSU_DAT_HS=1\n", "DataPattern=AB 00 00 00 00 00 00 00\n",
                           "HsMarker=72\n", "FilterChangesOnly=0\n"}) {
    EXPECT_NE(r.out.find(line), std::string::npos) << line;
  }
  EXPECT_EQ(r.out.rfind("m_AnalyzeBusChannel=", 0), 0u) << "nothing before the fields";
}

struct BadFileCase {
  const char* name;
  bool create;
  std::string (*bytes)();
  const char* message;
};

class CliBadFileTest : public CliTest, public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(CliBadFileTest, ClearMessageAndNonZeroExit) {
  const std::string path = GetParam().create ? Write("bad.SIC", GetParam().bytes()) : files_.File("gone.SIC");
  for (const char* command : {"info", "atoms"}) {
    const auto r = Run({command, path});
    EXPECT_EQ(r.status, 2) << command;
    EXPECT_EQ(r.out, "") << command;
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << command << ": " << r.err;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, CliBadFileTest,
    ::testing::Values(
        BadFileCase{"Missing", false, nullptr, "File not found!"},
        BadFileCase{"Empty", true, [] { return std::string(); }, "is Empty!!!  No Sampling Data"},
        BadFileCase{"TruncatedHeader", true,
                    [] { return Sic(DefaultSettingsRecord(), "").substr(0, 512); },
                    "This file is not with the correct data."},
        BadFileCase{"WrongMagic", true,
                    [] { return "XPW!" + Sic(DefaultSettingsRecord(), "\x10").substr(4); },
                    "This file is not with the correct data."},
        BadFileCase{"HeaderSize1023", true,
                    [] {
                      std::string b = Sic(DefaultSettingsRecord(), "\x10");
                      b[4] = '\xFF';
                      b[5] = '\x03';
                      return b;
                    },
                    "This file is not with the correct data."}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(CliTest, AtomsListsPositionSizeStateCount) {
  const std::string data = {'\x35', '\x10', '\xE3', '\xFF', '\xF3', '\x10', '\x00', '\x00'};
  const std::string path = Write("atoms.SIC", Sic(DefaultSettingsRecord(), data));
  auto r = Run({"atoms", path});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "0 1 5 1\n1 1 0 0\n2 2 3 2047\n4 1 3 7\n5 1 0 0\n6 2 0 0\n");

  r = Run({"atoms", path, "--start", "2", "--count", "2"});
  EXPECT_EQ(r.out, "2 2 3 2047\n4 1 3 7\n");
}

TEST_F(CliTest, AtomsStopsAtCorruptDataWithItsMeaning) {
  const std::string data = {'\x10', '\x10', '\x11', '\x05', '\x10', '\x10'};
  const std::string path = Write("bad-atoms.SIC", Sic(DefaultSettingsRecord(), data));
  const auto r = Run({"atoms", path});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out, "0 1 0 0\n1 1 0 0\n2 1 1 0\n");
  EXPECT_NE(r.err.find("position 3"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("*** Sampling data is incorrect. ***"), std::string::npos) << r.err;
}

TEST_F(CliTest, UsageErrors) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"frobnicate"}, {"info"}, {"atoms", "x.SIC", "--start"},
        {"atoms", "x.SIC", "--count", "many"}, {"atoms", "x.SIC", "--bogus", "1"}}) {
    const auto r = Run(args);
    EXPECT_EQ(r.status, 1) << (args.empty() ? "" : args[0]);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("usage"), std::string::npos);
  }
}

TEST_F(CliTest, NoTemporaryCopyIsLeftBehind) {
  const std::string path = Write("a.SIC", Sic(DefaultSettingsRecord(), "\x10"));
  ASSERT_EQ(Run({"info", path}).status, 0);
  ASSERT_EQ(Run({"atoms", path}).status, 0);
  const auto r = testing::RunCommand({"/bin/sh", "-c", "ls -A " + temp_.Path()});
  EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

TEST_F(CliTest, SynthWritesACaptureAndItsTruth) {
  const std::string out = files_.File("demo.SIC");
  const std::string truth = files_.File("demo.truth");
  auto r = Run({"synth", std::string(VELIX_SOURCE_DIR) + "/sim/scenarios/i2c_demo.scn", "-o", out,
                "--truth", truth, "--rate", "20"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  r = Run({"info", out});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("SamplePeriodCode=5\n"), std::string::npos);
  EXPECT_NE(r.out.find("m_AnalyzeBusChannel=1\n"), std::string::npos);
  r = Run({"atoms", out, "--count", "3"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("0 2 ", 0), 0u) << "the capture opens with a long atom";
  r = testing::RunCommand({"/bin/sh", "-c", "head -c 12 " + truth});
  EXPECT_EQ(r.out, "truth mode=a");
}

TEST_F(CliTest, SynthReportsScenarioErrorsWithTheirLine) {
  const std::string scenario = Write("bad.scn", "bus i2c0\nstart\naddr 0x50 sideways\n");
  const auto r = Run({"synth", scenario, "-o", files_.File("x.SIC")});
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("line 3"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

// The demo scenario decoded end to end: the CSV has one CR LF line per
// transaction of the scenario, and the searches find them.
class CliDecodeTest : public CliTest {
 protected:
  void SetUp() override {
    capture_ = files_.File("demo.SIC");
    const auto r = Run({"synth", std::string(VELIX_SOURCE_DIR) + "/sim/scenarios/i2c_demo.scn",
                        "-o", capture_});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  std::string capture_;
};

TEST_F(CliDecodeTest, CsvToStandardOutput) {
  const auto r = Run({"decode", capture_, "--csv", "-"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("\"0\", \"0:000:001.50\", 72.00, \" 50H\", \"W\", \"S:P\", \"-\", \"-\", 2, \" 00 10\"\r\n", 0), 0u)
      << r.out;
  size_t lines = 0;
  for (size_t at = r.out.find("\r\n"); at != std::string::npos; at = r.out.find("\r\n", at + 2)) ++lines;
  EXPECT_EQ(lines, 8u);
}

TEST_F(CliDecodeTest, SetOverridesAndFilter) {
  const auto r = Run({"decode", capture_, "--csv", "-", "--set", "FilterEnable=1", "--set",
                      "FilterRangeEnable=1", "--set", "FilterRangeStart=2", "--set",
                      "FilterRangeEnd=0x3"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("\"2\", ", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("\r\n\"3\", "), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("\"4\", "), std::string::npos) << r.out;
}

TEST_F(CliDecodeTest, UnknownFieldIsAUsageError) {
  const auto r = Run({"decode", capture_, "--set", "NoSuchField=1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("NoSuchField"), std::string::npos);
}

TEST_F(CliDecodeTest, CorruptDataReportsTheRunErrorAndKeepsEarlierTransactions) {
  const std::string scenario = Write("corrupt.scn",
                                     "bus i2c0\nscl 400k\nstart\naddr 0x50 w\nwrite 01\nstop\n"
                                     "idle 10us\ncorrupt-atom\nidle 10us\n");
  const std::string capture = files_.File("corrupt.SIC");
  ASSERT_EQ(Run({"synth", scenario, "-o", capture}).status, 0);
  const auto r = Run({"decode", capture, "--csv", "-"});
  EXPECT_EQ(r.status, 4);
  EXPECT_NE(r.err.find("*** Sampling data is incorrect. ***"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.rfind("\"0\", ", 0), 0u) << r.out;
}

struct JsonCase {
  const char* name;
  std::vector<std::string> args;
  const char* first_line;
  size_t lines;
};

class CliJsonTest : public CliDecodeTest, public ::testing::WithParamInterface<JsonCase> {};

// The JSON Lines rows are the CSV's rows, filtered alike, with "\n" line
// ends; a file receives what standard output would, and another export
// beside it is unchanged.
TEST_P(CliJsonTest, WritesOneObjectPerListedRow) {
  std::vector<std::string> args = {"decode", capture_, "--json", "-"};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
  const auto r = Run(args);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind(GetParam().first_line, 0), 0u) << r.out;
  EXPECT_EQ(r.out.find('\r'), std::string::npos);
  EXPECT_EQ(static_cast<size_t>(std::count(r.out.begin(), r.out.end(), '\n')), GetParam().lines);
  EXPECT_EQ(r.out.back(), '\n');

  const std::string path = files_.File("rows.jsonl");
  args[3] = path;
  args.insert(args.end(), {"--csv", "-"});
  const auto to_file = Run(args);
  ASSERT_EQ(to_file.status, 0) << to_file.err;
  EXPECT_EQ(velix::platform::testing::ReadFile(path), r.out);
  args.erase(args.begin() + 2, args.begin() + 4);
  EXPECT_EQ(to_file.out, Run(args).out);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CliJsonTest,
    ::testing::Values(
        JsonCase{"All", {},
                 "{\"index\":0,\"start_ns\":1500,\"duration_ns\":72000,\"bus\":\"i2c0\",\"address\":80,"
                 "\"ten_bit\":false,\"direction\":\"write\",\"start\":\"S\",\"end\":\"P\",\"nack\":false,"
                 "\"data\":\"0010\",\"remarks\":[],\"remark_text\":\"-\"}\n",
                 8},
        JsonCase{"Filtered",
                 {"--set", "FilterEnable=1", "--set", "FilterRangeEnable=1", "--set", "FilterRangeStart=2", "--set",
                  "FilterRangeEnd=3"},
                 "{\"index\":2,", 2},
        JsonCase{"At10MHz", {"--rate", "10"}, "{\"index\":0,\"start_ns\":7500,\"duration_ns\":360000,", 8}),
    [](const auto& test) { return std::string(test.param.name); });

struct SearchCase {
  const char* name;
  std::vector<std::string> args;
  int status;
  const char* out;
};

class CliSearchTest : public CliDecodeTest, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(CliSearchTest, FindsOrSaysSo) {
  std::vector<std::string> args = {"search", capture_};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
  const auto r = Run(args);
  EXPECT_EQ(r.status, GetParam().status) << r.err;
  EXPECT_EQ(r.out, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, CliSearchTest,
    ::testing::Values(SearchCase{"Jump", {"jump", "3"}, 0, "3\n"},
                      SearchCase{"JumpBeyondAsksAndYesTakesTheLast", {"jump", "99", "--yes"}, 0, "7\n"},
                      SearchCase{"JumpBeyondWithoutYes", {"jump", "99"}, 7, ""},
                      SearchCase{"TenBitAddress", {"address", "0x2A5", "--10bit"}, 0, "3\n"},
                      SearchCase{"DataSpanningBytes", {"data", "22:33"}, 0, "2 2\n"},
                      SearchCase{"DataNotThere", {"data", "EE EE"}, 7, ""},
                      SearchCase{"SubAddress", {"subaddress", "01"}, 0, "7\n"}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

struct DemoCase {
  const char* name;
  const char* scenario;
  const char* mode;
};

class CliDemoTest : public CliTest, public ::testing::WithParamInterface<DemoCase> {};

// Every demo scenario, in either mode, decodes to one CSV line per
// transaction of its ground truth, and the text report has one block each.
TEST_P(CliDemoTest, DecodesAsManyTransactionsAsTheScenarioHas) {
  const std::string capture = files_.File("demo.SIC");
  const std::string truth = files_.File("demo.truth");
  auto r = Run({"synth", std::string(VELIX_SOURCE_DIR) + "/sim/scenarios/" + GetParam().scenario,
                "-o", capture, "--truth", truth, "--mode", GetParam().mode});
  ASSERT_EQ(r.status, 0) << r.err;
  r = testing::RunCommand({"/bin/sh", "-c", "grep -c '^tx ' " + truth});
  const int expected = std::stoi(r.out);
  ASSERT_GT(expected, 0);

  r = Run({"decode", capture, "--csv", "-"});
  ASSERT_EQ(r.status, 0) << r.err;
  int lines = 0;
  for (size_t at = r.out.find("\r\n"); at != std::string::npos; at = r.out.find("\r\n", at + 2)) ++lines;
  EXPECT_EQ(lines, expected) << r.out;

  r = Run({"decode", capture, "--text", "-", "--all-data"});
  ASSERT_EQ(r.status, 0) << r.err;
  int blocks = 0;
  for (size_t at = r.out.find("Transaction Number : "); at != std::string::npos;
       at = r.out.find("Transaction Number : ", at + 1)) {
    ++blocks;
  }
  EXPECT_EQ(blocks, expected);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, CliDemoTest,
                         ::testing::Values(DemoCase{"I2cAnalyzer", "i2c_demo.scn", "analyzer"},
                                           DemoCase{"I2cMonitor", "i2c_demo.scn", "monitor"},
                                           DemoCase{"SpiAnalyzer", "spi_demo.scn", "analyzer"},
                                           DemoCase{"SpiMonitor", "spi_demo.scn", "monitor"}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace orvane

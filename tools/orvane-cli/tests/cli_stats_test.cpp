#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "platform/tests/scratch_folder.h"
#include "tools/orvane-cli/tests/run_command.h"

namespace orvane {
namespace {

using nlohmann::json;
using velix::platform::testing::ScratchFolder;

class CliStatsTest : public ::testing::Test {
 protected:
  testing::CommandResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), ORVANE_CLI_PATH);
    setenv("TMPDIR", temp_.Path().c_str(), 1);
    return testing::RunCommand(args);
  }
  std::string Synth(const std::string& scenario, const std::string& mode, const std::string& rate) {
    const std::string capture = files_.File(scenario + "." + mode + rate + ".SIC");
    std::vector<std::string> args = {"synth", std::string(VELIX_SOURCE_DIR) + "/sim/scenarios/" + scenario,
                                     "-o", capture, "--mode", mode};
    if (!rate.empty()) args.insert(args.end(), {"--rate", rate});
    const auto r = Run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    return capture;
  }
  ScratchFolder files_;
  ScratchFolder temp_;
};

// The table with every run of blanks made one and lines unindented, so a
// test names a row without counting columns.
std::string Squeezed(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == ' ' && !out.empty() && (out.back() == ' ' || out.back() == '\n')) continue;
    out += c;
  }
  return out;
}

const json& Parameter(const json& doc, const char* column, const std::string& name) {
  for (const json& p : doc["timing"][column]["parameters"]) {
    if (p["name"] == name) return p;
  }
  static const json kMissing;
  ADD_FAILURE() << "no " << name;
  return kMissing;
}

struct StatsCase {
  const char* name;
  const char* scenario;
  const char* mode;
  const char* rate;
  std::vector<std::string> extra;
  std::vector<std::string> text_lines;  // squeezed lines the table holds
  void (*check_json)(const json& doc);
};

class CliStatsCaseTest : public CliStatsTest, public ::testing::WithParamInterface<StatsCase> {};

TEST_P(CliStatsCaseTest, TableAndJsonTellTheSameSummary) {
  const StatsCase& c = GetParam();
  const std::string capture = Synth(c.scenario, c.mode, c.rate);
  std::vector<std::string> args = {"stats", capture};
  args.insert(args.end(), c.extra.begin(), c.extra.end());
  auto r = Run(args);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string table = "\n" + Squeezed(r.out);
  for (const std::string& line : c.text_lines) {
    EXPECT_NE(table.find("\n" + line + "\n"), std::string::npos) << line << "\n" << r.out;
  }

  args.push_back("--json");
  r = Run(args);
  ASSERT_EQ(r.status, 0) << r.err;
  const json doc = json::parse(r.out, nullptr, false);
  ASSERT_FALSE(doc.is_discarded()) << r.out;
  c.check_json(doc);
}

INSTANTIATE_TEST_SUITE_P(
    Captures, CliStatsCaseTest,
    ::testing::Values(
        StatsCase{"I2cTimingErrors",
                  "i2c_timing_errors.scn",
                  "analyzer",
                  "20",
                  {},
                  {"Bus: I2C #0, bus analyzer mode, 20 MHz sampling", "Transactions: 2 listed of 2 decoded",
                   "50H 7-bit write 1 3 0", "50H 7-bit read 1 2 0", "[tLOW] NG 2", "[tHIGH] NG 2",
                   "tLOW >= 1300 600 2 2 #0", "tHIGH >= 600 400 2 2 #0", "tSU_STA >= 600 - 0 0 -",
                   "tBUF >= 1300 20000 1 0 #1",
                   "Bus speed: median SCL frequency 1000.000 kHz (period 1000 ns, 63 periods)"},
                  [](const json& doc) {
                    EXPECT_EQ(doc["bus"], "i2c0");
                    EXPECT_EQ(doc["sample_rate_hz"], 20000000);
                    EXPECT_EQ(doc["transactions"]["listed"], 2);
                    EXPECT_EQ(doc["remarks"]["tLOW"], 2);
                    EXPECT_EQ(doc["remarks"]["bit_count"], 0);
                    const json& low = Parameter(doc, "fast_standard", "tLOW");
                    EXPECT_EQ(low["limit"], "min");
                    EXPECT_EQ(low["limit_ns"], 1300);
                    EXPECT_EQ(low["worst_ns"], 600);
                    EXPECT_EQ(low["violations"], 2);
                    EXPECT_EQ(low["worst_index"], 0);
                    EXPECT_EQ(Parameter(doc, "fast_standard", "tHD_DAT")["limit"], "max");
                    EXPECT_TRUE(Parameter(doc, "fast_standard", "tSU_STA")["worst_ns"].is_null());
                    EXPECT_TRUE(doc["timing"]["hs"].is_null());
                    EXPECT_EQ(doc["bus_speed"]["median_frequency_hz"], 1000000);
                    EXPECT_EQ(doc["bus_speed"]["median_period_ns"], 1000);
                    EXPECT_TRUE(doc["note"].is_null());
                  }},
        StatsCase{"I2cDemoReadsOnly",
                  "i2c_demo.scn",
                  "analyzer",
                  "50",
                  {"--set", "FilterEnable=1", "--set", "FilterWrite=0", "--set", "FilterWriteForRead=0"},
                  {"Transactions: 3 listed of 8 decoded", "50H 7-bit read 1 3 0", "2A5H 10-bit read 1 1 0",
                   "4H HS code read 1 0 0", "Total 3 4 0"},
                  [](const json& doc) {
                    EXPECT_EQ(doc["transactions"]["decoded"], 8);
                    ASSERT_EQ(doc["traffic"].size(), 3u);
                    EXPECT_EQ(doc["traffic"][1]["address"], 0x2A5);
                    EXPECT_EQ(doc["traffic"][1]["ten_bit"], true);
                    EXPECT_EQ(doc["traffic"][2]["master_code"], true);
                    EXPECT_EQ(doc["traffic"][2]["direction"], "read");
                    EXPECT_TRUE(doc["timing"]["hs"].is_null());
                  }},
        StatsCase{"I2cDemoHsColumn",
                  "i2c_demo.scn",
                  "analyzer",
                  "50",
                  {},
                  {"<HS XFER> 1", "Timing against the HS limits (transactions judged: 1)",
                   "Bus speed: median SCL frequency 400.000 kHz (period 2500 ns, 180 periods)"},
                  [](const json& doc) {
                    EXPECT_EQ(doc["remarks"]["hs"], 1);
                    EXPECT_EQ(doc["timing"]["hs"]["transactions"], 1);
                    EXPECT_EQ(doc["timing"]["fast_standard"]["transactions"], 7);
                    EXPECT_EQ(Parameter(doc, "hs", "tLOW")["limit_ns"], 160);
                  }},
        StatsCase{"SpiAnalyzer",
                  "spi_demo.scn",
                  "analyzer",
                  "10",
                  {},
                  {"Bus: SPI, bus analyzer mode, 10 MHz sampling", "SPI 3 8", "DATA BIT count NG 1",
                   "Bus speed: median SCLK frequency 2000.000 kHz (period 500 ns, 57 periods)"},
                  [](const json& doc) {
                    EXPECT_EQ(doc["bus"], "spi");
                    ASSERT_EQ(doc["traffic"].size(), 1u);
                    EXPECT_FALSE(doc["traffic"][0].contains("address"));
                    EXPECT_EQ(doc["traffic"][0]["data_bytes"], 8);
                    EXPECT_FALSE(doc["remarks"].contains("tLOW"));
                    EXPECT_FALSE(doc["remarks"].contains("hs"));
                    EXPECT_EQ(doc["remarks"]["bit_count"], 1);
                    EXPECT_TRUE(doc["timing"].is_null());
                    EXPECT_EQ(doc["bus_speed"]["clock"], "SCLK");
                    EXPECT_EQ(doc["bus_speed"]["median_frequency_hz"], 2000000);
                  }},
        StatsCase{"I2cMonitor",
                  "i2c_demo.scn",
                  "monitor",
                  "",
                  {},
                  {"Bus: I2C #0, monitor mode", "50H 7-bit write 3 6 0",
                   "Timing and bus speed: not available, the device decoded the bus, no samples"},
                  [](const json& doc) {
                    EXPECT_EQ(doc["mode"], "monitor");
                    EXPECT_TRUE(doc["sample_rate_hz"].is_null());
                    EXPECT_TRUE(doc["timing"].is_null());
                    EXPECT_TRUE(doc["bus_speed"].is_null());
                    EXPECT_EQ(doc["note"], "the device decoded the bus, no samples");
                  }}),
    [](const ::testing::TestParamInfo<StatsCase>& param) { return std::string(param.param.name); });

TEST_F(CliStatsTest, ForcedDisplayHasNoSummary) {
  const std::string capture = Synth("i2c_demo.scn", "analyzer", "");
  const auto r = Run({"stats", capture, "--set", "ForcedDisplay=1"});
  EXPECT_EQ(r.status, 6);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("not available in forced display mode"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace orvane

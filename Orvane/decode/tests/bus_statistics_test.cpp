#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>

#include "Orvane/decode/bus_statistics.h"
#include "Orvane/decode/i2c_analyzer.h"
#include "Orvane/decode/monitor_i2c.h"
#include "Orvane/decode/monitor_spi.h"
#include "Orvane/decode/spi_analyzer.h"
#include "Orvane/decode/tests/analyzer_test_support.h"
#include "Orvane/decode/transaction_filter.h"
#include "sim/synthesizer.h"

namespace orvane {
namespace {

using analyzer_test::Harness;
using velix::sim::CaptureMode;

std::string ScenarioText(const std::string& name) {
  std::ifstream in(std::string(VELIX_SOURCE_DIR) + "/sim/scenarios/" + name);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Remark {
  const char* name;
  uint64_t count;
};

struct ScenarioCase {
  const char* label;
  const char* file;
  CaptureMode mode;
  uint8_t rate;
  bool reads_only;
  uint64_t period_ns;  // the median clock period; 0 = no estimate (monitor)
  std::vector<Remark> remarks;  // every other remark of the bus counts 0
  // The timing remarks of the demo depend on how well each rate resolves
  // its HS part; the agreement test covers them.
  bool timing_remarks = true;
};

// The traffic rows the ground truth implies, in the summary's order.
using RowKey = std::tuple<bool, bool, uint16_t, bool>;  // master code, 10-bit, address, read
std::vector<TrafficRow> TruthRows(const velix::sim::GroundTruth& truth, bool reads_only) {
  std::map<RowKey, TrafficRow> rows;
  for (const velix::sim::TruthTransaction& t : truth.transactions) {
    const bool read = (t.flags & kI2CRead) != 0;
    if (reads_only && !read) continue;
    if (!truth.is_i2c()) {
      TrafficRow& row = rows[RowKey{}];
      ++row.transactions;
      row.data_bytes += t.bytes.size();
      continue;
    }
    const bool ten_bit = (t.flags & kI2C10Bit) != 0;
    const bool master = (t.flags & kI2CHsMasterCode) != 0;
    TrafficRow& row = rows[RowKey{master, ten_bit, t.address, read}];
    row.address = t.address;
    row.ten_bit = ten_bit;
    row.read = read;
    row.master_code = master;
    ++row.transactions;
    const size_t address_bytes = ten_bit && !read ? 2 : 1;
    row.data_bytes += t.bytes.size() > address_bytes ? t.bytes.size() - address_bytes : 0;
    if (t.flags & kI2CNack) ++row.nacks;
  }
  std::vector<TrafficRow> ordered;
  for (const auto& [key, row] : rows) ordered.push_back(row);
  return ordered;
}

uint32_t LimitOfSettings(const SettingsRecord& s, TimingCheck check) {
  switch (check) {
    case TimingCheck::kBuf: return s.tBUF;
    case TimingCheck::kHdSta: return s.tHD_STA;
    case TimingCheck::kSuSto: return s.tSU_STO;
    case TimingCheck::kSuSta: return s.tSU_STA;
    case TimingCheck::kLow: return s.tLOW;
    case TimingCheck::kHigh: return s.tHIGH;
    case TimingCheck::kHdDat: return s.tHD_DAT;
    case TimingCheck::kSuDat: return s.tSU_DAT;
  }
  return 0;
}

class ScenarioSummary : public ::testing::TestWithParam<ScenarioCase> {};

TEST_P(ScenarioSummary, CountsTrafficRemarksAndSpeed) {
  const ScenarioCase& c = GetParam();
  velix::sim::SynthOptions options;
  options.mode = c.mode;
  options.rate_code = c.rate;
  velix::sim::SynthResult synth;
  std::string error;
  ASSERT_TRUE(velix::sim::SynthesizeToMemory(ScenarioText(c.file), options, 64u << 20, &synth, &error)) << error;
  SettingsRecord settings = synth.settings;
  if (c.reads_only) {
    settings.FilterEnable = 1;
    settings.FilterRead = 1;
    settings.FilterWrite = 0;
    settings.FilterWriteForRead = 0;
  }
  const bool i2c = synth.truth.is_i2c();
  const bool monitor = c.mode == CaptureMode::kMonitor;
  Harness h;
  const auto decoder = monitor ? (i2c ? RunMonitorI2CDecode : RunMonitorSpiDecode)
                               : (i2c ? RunI2CAnalyzerDecode : RunSpiAnalyzerDecode);
  const auto decoded = h.RunOffline(decoder, synth.data, settings);
  ApplyTransactionFilter(h.Sampling(), settings, h.Sink());
  BusSummary summary;
  ASSERT_TRUE(SummarizeListedTransactions(h.Sampling(), settings, &summary));

  EXPECT_EQ(summary.decoded, decoded.records.size());
  EXPECT_EQ(summary.listed, h.Sampling().Records().ViewCount());
  EXPECT_EQ(summary.monitor, monitor);
  EXPECT_EQ(summary.timing, i2c && !monitor);
  const std::vector<TrafficRow> expected = TruthRows(synth.truth, c.reads_only);
  ASSERT_EQ(summary.traffic.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    const TrafficRow& row = summary.traffic[i];
    if (i2c) {
      EXPECT_EQ(row.address, expected[i].address);
      EXPECT_EQ(row.ten_bit, expected[i].ten_bit);
      EXPECT_EQ(row.read, expected[i].read);
      EXPECT_EQ(row.master_code, expected[i].master_code);
    }
    EXPECT_EQ(row.transactions, expected[i].transactions);
    EXPECT_EQ(row.data_bytes, expected[i].data_bytes);
    EXPECT_EQ(row.nacks, expected[i].nacks);
  }

  std::map<std::string, uint64_t> counted;
  counted[kTriggerRemark.name] = summary.trigger;
  counted[kHsRemark.name] = summary.hs;
  for (uint32_t i = 0; i < kStatusRemarkCount; ++i) {
    if (c.timing_remarks || !kStatusRemarks[i].i2c_only) counted[kStatusRemarks[i].name] = summary.status_remarks[i];
  }
  std::map<std::string, uint64_t> expected_remarks;
  for (const auto& [name, count] : counted) expected_remarks[name] = 0;
  for (const Remark& r : c.remarks) expected_remarks[r.name] = r.count;
  EXPECT_EQ(counted, expected_remarks);

  EXPECT_EQ(summary.speed, c.period_ns != 0);
  if (c.period_ns != 0) {
    ASSERT_TRUE(summary.median_period.found);
    ASSERT_FALSE(summary.median_period.beyond_range);
    EXPECT_EQ(uint64_t{summary.median_period.clocks} * c.rate * 10, c.period_ns);
  } else {
    EXPECT_EQ(summary.clock_periods, 0u);
  }
}

std::vector<ScenarioCase> Cases() {
  std::vector<ScenarioCase> cases;
  for (const uint8_t rate : {uint8_t{2}, uint8_t{5}, uint8_t{10}}) {
    const std::string r = std::to_string(rate);
    // Every SCL phase of the 1 MHz bus is short of the FAST/STANDARD limits.
    cases.push_back({"timing_errors", "i2c_timing_errors.scn", CaptureMode::kAnalyzer, rate, false, 1000,
                     {{"tLOW", 2}, {"tHIGH", 2}}});
    cases.push_back({"timing_errors_reads", "i2c_timing_errors.scn", CaptureMode::kAnalyzer, rate, true, 1000,
                     {{"tLOW", 1}, {"tHIGH", 1}}});
    cases.push_back({"i2c_demo", "i2c_demo.scn", CaptureMode::kAnalyzer, rate, false, 2500, {{"hs", 1}}, false});
    cases.push_back({"spi_demo", "spi_demo.scn", CaptureMode::kAnalyzer, rate, false, 500, {{"bit_count", 1}}});
  }
  cases.push_back({"i2c_demo_monitor", "i2c_demo.scn", CaptureMode::kMonitor, 0, false, 0, {{"hs", 1}}});
  // The device counts whole bytes: the partial byte is no bit-count error.
  cases.push_back({"spi_demo_monitor", "spi_demo.scn", CaptureMode::kMonitor, 0, false, 0, {}});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ScenarioSummary, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<ScenarioCase>& param) {
                           return std::string(param.param.label) + "_" + std::to_string(param.param.rate);
                         });

struct ExpectedParameter {
  TimingCheck check;
  uint64_t measured;
  uint64_t violations;
  int64_t worst_ns;  // -1: not compared (sampling quantises it), or none measured when measured is 0
  uint32_t worst_index;
};

class TimingErrorsTable : public ::testing::TestWithParam<uint8_t> {};

// The 1 MHz bus of the scenario: 600 ns low, 400 ns high, 600 ns condition
// setups and holds, 20 us between the transfers; passing checks report
// their worst value as well.
TEST_P(TimingErrorsTable, ReportsLimitsWorstValuesAndViolations) {
  const uint8_t rate = GetParam();
  velix::sim::SynthOptions options;
  options.rate_code = rate;
  velix::sim::SynthResult synth;
  std::string error;
  ASSERT_TRUE(velix::sim::SynthesizeToMemory(ScenarioText("i2c_timing_errors.scn"), options, 64u << 20, &synth,
                                             &error))
      << error;
  Harness h;
  h.RunOffline(RunI2CAnalyzerDecode, synth.data, synth.settings);
  ApplyTransactionFilter(h.Sampling(), synth.settings, h.Sink());
  BusSummary summary;
  ASSERT_TRUE(SummarizeListedTransactions(h.Sampling(), synth.settings, &summary));
  EXPECT_FALSE(summary.hs_present);
  EXPECT_EQ(summary.fast_standard.records, 2u);
  const ExpectedParameter expected[] = {
      {TimingCheck::kLow, 2, 2, 600, 0},      {TimingCheck::kHigh, 2, 2, 400, 0},
      {TimingCheck::kSuSta, 0, 0, -1, 0},     {TimingCheck::kHdSta, 2, 0, 600, 0},
      {TimingCheck::kSuDat, 2, 0, -1, 0},     {TimingCheck::kHdDat, 2, 0, -1, 0},
      {TimingCheck::kSuSto, 2, 0, 600, 0},    {TimingCheck::kBuf, 1, 0, 20000, 1},
  };
  for (const ExpectedParameter& e : expected) {
    SCOPED_TRACE(TimingCheckName(e.check));
    const TimingParameter& p = summary.fast_standard.Of(e.check);
    EXPECT_EQ(p.limit, LimitOfSettings(synth.settings, e.check));
    EXPECT_EQ(p.measured, e.measured);
    EXPECT_EQ(p.violations, e.violations);
    EXPECT_EQ(p.worst_found, e.measured != 0);
    if (e.worst_ns < 0) continue;
    EXPECT_EQ(ClocksToNs(p.worst_clocks, rate), static_cast<uint64_t>(e.worst_ns));
    EXPECT_EQ(p.worst_index, e.worst_index);
  }
}

INSTANTIATE_TEST_SUITE_P(Rates, TimingErrorsTable, ::testing::Values(uint8_t{2}, uint8_t{5}, uint8_t{10}));

TEST(BusSummary, ForcedDisplayHasNoTransactionsToSummarize) {
  velix::sim::SynthResult synth;
  std::string error;
  ASSERT_TRUE(velix::sim::SynthesizeToMemory(ScenarioText("i2c_demo.scn"), {}, 64u << 20, &synth, &error)) << error;
  SettingsRecord settings = synth.settings;
  settings.ForcedDisplay = 1;
  Harness h;
  ASSERT_TRUE(h.OpenFile(synth.data));
  BusSummary summary;
  EXPECT_FALSE(SummarizeListedTransactions(h.Sampling(), settings, &summary));
}

}  // namespace
}  // namespace orvane

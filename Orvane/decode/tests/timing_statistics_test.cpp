#include <gtest/gtest.h>

#include <string>

#include "Orvane/decode/bus_statistics.h"
#include "Orvane/decode/i2c_analyzer.h"
#include "Orvane/decode/i2c_timing_limits.h"
#include "Orvane/decode/tests/analyzer_test_support.h"
#include "Orvane/decode/tests/random_timing_scenario.h"
#include "Orvane/decode/transaction_filter.h"
#include "sim/synthesizer.h"

namespace orvane {
namespace {

using analyzer_test::Harness;
using analyzer_test::RandomTimingScenario;

struct ListedBits {
  uint64_t records[2] = {0, 0};
  uint64_t with_bit[2][kTimingCheckCount] = {};
};

// What the records' own status bits say, per column, over the listed rows.
ListedBits CountListedBits(const std::vector<TransactionInfo>& records) {
  ListedBits bits;
  for (const TransactionInfo& r : records) {
    if (!(r.RecordFlags & kRecordInView)) continue;
    const int column = IsHsTransfer(r) ? 1 : 0;
    ++bits.records[column];
    for (const TimingCheck check : kTimingTableOrder) {
      if (r.Status & StatusBitOf(check)) ++bits.with_bit[column][static_cast<size_t>(check)];
    }
  }
  return bits;
}

const TransactionInfo* RecordWithIndex(const std::vector<TransactionInfo>& records, uint32_t index) {
  for (const TransactionInfo& r : records) {
    if (r.Index == index) return &r;
  }
  return nullptr;
}

struct AgreementCase {
  uint32_t seed;
  bool reads_only;  // the filter hides the writes whose repeated START the reads begin with
};

class TimingStatisticsAgreement : public ::testing::TestWithParam<AgreementCase> {};

TEST_P(TimingStatisticsAgreement, ViolationsAreTheRecordsWithTheStatusBitAtEveryRate) {
  const std::string text = RandomTimingScenario(GetParam().seed);
  SCOPED_TRACE(text);
  uint64_t violations_seen = 0;
  uint64_t su_sta_seen = 0;
  for (const uint8_t rate : {uint8_t{2}, uint8_t{5}, uint8_t{10}}) {
    SCOPED_TRACE(rate);
    velix::sim::SynthOptions options;
    options.rate_code = rate;
    velix::sim::SynthResult synth;
    std::string error;
    ASSERT_TRUE(velix::sim::SynthesizeToMemory(text, options, 64u << 20, &synth, &error)) << error;
    SettingsRecord settings = synth.settings;
    if (GetParam().reads_only) {
      settings.FilterEnable = 1;
      settings.FilterRead = 1;
      settings.FilterWrite = 0;
      settings.FilterWriteForRead = 0;
    }
    Harness h;
    h.RunOffline(RunI2CAnalyzerDecode, synth.data, settings);
    ApplyTransactionFilter(h.Sampling(), settings, h.Sink());
    analyzer_test::Outcome listed;
    h.Collect(&listed);
    BusSummary summary;
    ASSERT_TRUE(SummarizeListedTransactions(h.Sampling(), settings, &summary));
    ASSERT_TRUE(summary.timing);

    const ListedBits expected = CountListedBits(listed.records);
    const TimingColumn* columns[2] = {&summary.fast_standard, &summary.hs_column};
    for (int column = 0; column < 2; ++column) {
      SCOPED_TRACE(column);
      EXPECT_EQ(columns[column]->records, expected.records[column]);
      for (const TimingCheck check : kTimingTableOrder) {
        SCOPED_TRACE(TimingCheckName(check));
        const TimingParameter& p = columns[column]->Of(check);
        EXPECT_EQ(p.violations, expected.with_bit[column][static_cast<size_t>(check)]);
        EXPECT_LE(p.violations, p.measured);
        violations_seen += p.violations;
        if (check == TimingCheck::kSuSta) su_sta_seen += p.violations;
        if (p.violations == 0) continue;
        // The worst value is a violation, measured on a listed record that
        // carries the bit.
        const bool failed = IsMaximumCheck(check) ? AboveLimit(p.worst_clocks, rate, p.limit)
                                                  : BelowLimit(p.worst_clocks, rate, p.limit);
        EXPECT_TRUE(failed) << p.worst_clocks;
        const TransactionInfo* worst = RecordWithIndex(listed.records, p.worst_index);
        ASSERT_NE(worst, nullptr);
        EXPECT_TRUE(worst->RecordFlags & kRecordInView);
        EXPECT_TRUE(worst->Status & StatusBitOf(check));
      }
    }
  }
  EXPECT_GT(violations_seen, 0u);
  // Without the writes listed, the setup of a read's repeated START is
  // measured on a record the summary does not count.
  if (GetParam().reads_only) {
    EXPECT_GT(su_sta_seen, 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, TimingStatisticsAgreement,
                         ::testing::Values(AgreementCase{1, false}, AgreementCase{2, false}, AgreementCase{3, false},
                                           AgreementCase{4, true}, AgreementCase{6, true}, AgreementCase{7, true}),
                         [](const ::testing::TestParamInfo<AgreementCase>& param) {
                           return "seed" + std::to_string(param.param.seed) + (param.param.reads_only ? "_reads" : "");
                         });

}  // namespace
}  // namespace orvane

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Orvane/decode/detail_loader.h"
#include "Orvane/decode/i2c_analyzer.h"
#include "Orvane/decode/tests/analyzer_test_support.h"
#include "Orvane/decode/timing_marks.h"
#include "Orvane/decode/waveform_overlays.h"

namespace orvane {
namespace {

using analyzer_test::Harness;
using analyzer_test::I2CPhases;
using analyzer_test::I2CWave;

SettingsRecord FastLimits(uint8_t period = 2) {
  SettingsRecord s = analyzer_test::RelaxedI2CSettings();
  s.SamplePeriodCode = period;
  s.tHD_STA = s.tSU_STA = s.tSU_STO = 60;
  s.tBUF = 130;
  s.tLOW = 130;
  s.tHIGH = 60;
  s.tHD_DAT = 90;
  s.tSU_DAT = 10;
  s.tHD_STA_HS = s.tSU_STA_HS = s.tSU_STO_HS = 16;
  s.tLOW_HS = 16;
  s.tHIGH_HS = 6;
  s.tHD_DAT_HS = 7;
  s.tSU_DAT_HS = 1;
  return s;
}

// A run of marks at a fixed pitch: `count` marks of `length` from `first`.
struct MarkRun {
  int32_t first;
  int32_t pitch;
  uint32_t count;
  int32_t length;
  uint32_t colour;
  std::string first_label;
};

std::vector<TimingMark> Expand(const std::vector<MarkRun>& runs) {
  std::vector<TimingMark> marks;
  for (const MarkRun& run : runs) {
    for (uint32_t i = 0; i < run.count; ++i) {
      marks.push_back({run.first + run.pitch * static_cast<int32_t>(i), run.length, run.colour, run.first_label});
    }
  }
  return marks;
}

void ExpectMarks(const std::vector<TimingMark>& got, const std::vector<TimingMark>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(got[i].start, want[i].start);
    EXPECT_EQ(got[i].length, want[i].length);
    EXPECT_EQ(got[i].colour, want[i].colour);
    EXPECT_EQ(got[i].label, want[i].label);
  }
}

// One byte 0xA0 (SDA changes in bits 0..3) between START and STOP. With
// the START's SCL fall at hd_sta, bit k's low phase begins at
// hd_sta + k * (low + high), its SDA change hd_dat later.
struct ErrorCase {
  const char* name;
  I2CPhases phases;
  uint8_t period;
  uint32_t su_dat_limit;
  std::vector<MarkRun> clock;
  std::vector<MarkRun> data;
};

class ErrorTimingMarks : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ErrorTimingMarks, MarkEveryViolatedPhase) {
  const ErrorCase& c = GetParam();
  I2CWave wave(1, c.phases);
  wave.Start();
  wave.Byte(0xA0);
  wave.Stop();
  Harness harness;
  SettingsRecord settings = FastLimits(c.period);
  settings.tSU_DAT = c.su_dat_limit;
  const auto out = harness.RunOffline(RunI2CAnalyzerDecode, wave.Finish(), settings);
  ASSERT_EQ(out.records.size(), 1u);
  WaveformOverlays overlays;
  BuildTransactionOverlays(harness.Sampling(), settings, out.records[0], &overlays);
  BuildErrorTimingOverlays(harness.Sampling(), settings, out.records[0], &overlays);
  ExpectMarks(overlays.clock, Expand(c.clock));
  ExpectMarks(overlays.data, Expand(c.data));
}

INSTANTIATE_TEST_SUITE_P(
    Phases, ErrorTimingMarks,
    ::testing::Values(
        // Nothing below the FAST limits at 50 MHz.
        ErrorCase{"clean", {70, 35, 10, 35, 35, 35, 70}, 2, 10, {}, {}},
        // High phases of 20 clocks (0.40 us < 0.60): the nine bit clocks.
        ErrorCase{"short_high", {70, 20, 10, 35, 35, 35, 70}, 2, 10, {{105, 90, 9, 20, kHighPhaseMarkColour, ""}}, {}},
        // Low phases of 50 clocks (1.00 us < 1.30): nine bits and the STOP's.
        ErrorCase{"short_low", {50, 40, 10, 35, 35, 35, 70}, 2, 10, {{35, 90, 10, 50, kLowPhaseMarkColour, ""}}, {}},
        // At 10 MHz the same 13 clocks are 1.30 us: no longer short.
        ErrorCase{"low_at_limit", {13, 40, 3, 35, 35, 35, 70}, 10, 10, {}, {}},
        ErrorCase{"low_below_limit", {12, 40, 3, 35, 35, 35, 70}, 10, 10, {{35, 52, 10, 12, kLowPhaseMarkColour, ""}}, {}},
        // Holds of 50 clocks (1.00 us > 0.90) after falls 1..3: bit 0 follows
        // fall 0, bits 4..7 do not move SDA.
        ErrorCase{"long_hold",
                  {80, 40, 50, 35, 35, 35, 80},
                  2,
                  10,
                  {},
                  {{155, 120, 3, 50, kHdDatMarkColour, "tHD_DAT:1.00"}}},
        // Setups of 30 clocks (0.60 us < 1.00) before the rises of bits 1..3.
        ErrorCase{"short_setup",
                  {70, 40, 40, 35, 35, 35, 70},
                  2,
                  100,
                  {},
                  {{35 + 110 + 40, 110, 3, 30, kSuDatMarkColour, "tSU_DAT:0.60"}}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

struct ConditionCase {
  const char* name;
  uint32_t hd_sta;
  uint32_t su_sto;
  uint8_t period;
  std::vector<TimingMark> want;  // start -1 stands for Duration - su_sto
};

class ConditionTimingMarks : public ::testing::TestWithParam<ConditionCase> {};

TEST_P(ConditionTimingMarks, MarkOnlyViolations) {
  const ConditionCase& c = GetParam();
  I2CWave wave(1, {70, 35, 10, c.hd_sta, 35, c.su_sto, 70});
  wave.Start();
  wave.Byte(0x5A, true);
  wave.Stop();
  Harness harness;
  const SettingsRecord settings = FastLimits(c.period);
  const auto out = harness.RunOffline(RunI2CAnalyzerDecode, wave.Finish(), settings);
  ASSERT_EQ(out.records.size(), 1u);
  const TransactionInfo& r = out.records[0];
  WaveformOverlays overlays;
  BuildTransactionOverlays(harness.Sampling(), settings, r, &overlays);
  std::vector<TimingMark> want = c.want;
  for (TimingMark& m : want) {
    if (m.start == -1) m.start = static_cast<int32_t>(r.Duration - c.su_sto);
  }
  ExpectMarks(overlays.timing, want);
  EXPECT_TRUE(overlays.conditions.start);
  EXPECT_EQ(overlays.conditions.start_offset, 0);
  EXPECT_FALSE(overlays.conditions.repeat);
  EXPECT_TRUE(overlays.conditions.stop);
  EXPECT_EQ(overlays.conditions.stop_offset, static_cast<int32_t>(r.Duration));
  // The ninth clock rises hd_sta + 8 * 105 + 70 after the START point.
  ASSERT_EQ(overlays.acks.size(), 1u);
  EXPECT_EQ(overlays.acks[0].offset, static_cast<int32_t>(c.hd_sta + 8 * 105 + 70));
  EXPECT_TRUE(overlays.acks[0].nack);
  // With the record's detail loaded (as a selection does) the marks come
  // from it and must be the same.
  LoadTransactionDetail(harness.Sampling(), settings, r);
  WaveformOverlays from_detail;
  BuildTransactionOverlays(harness.Sampling(), settings, r, &from_detail);
  ASSERT_EQ(from_detail.acks.size(), 1u);
  EXPECT_EQ(from_detail.acks[0].offset, overlays.acks[0].offset);
  EXPECT_EQ(from_detail.acks[0].nack, overlays.acks[0].nack);
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, ConditionTimingMarks,
    ::testing::Values(ConditionCase{"clean", 35, 35, 2, {}},
                      ConditionCase{"short_hd_sta", 20, 35, 2, {{0, 20, kHdStaMarkColour, "tHD_STA:0.40"}}},
                      ConditionCase{"short_su_sto", 35, 29, 2, {{-1, 29, kSuStoMarkColour, "tSU_STO:0.58"}}},
                      // At 20 MHz 11 clocks are 0.55 us.
                      ConditionCase{"both_at_20_mhz",
                                    11,
                                    11,
                                    5,
                                    {{0, 11, kHdStaMarkColour, "tHD_STA:0.55"},
                                     {-1, 11, kSuStoMarkColour, "tSU_STO:0.55"}}},
                      ConditionCase{"at_limit_at_10_mhz", 6, 6, 10, {}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

// A write, a repeated START with a short setup, a read. The setup shows on
// both records: at the first one's end and in the second one's lead-in.
TEST(RepeatedStartMarks, TheSetupShowsOnBothSidesOfTheRepeatedStart) {
  I2CWave wave(1, {80, 40, 10, 40, 40, 40, 80});
  wave.Start();
  wave.Byte(0xA0);
  wave.Phases().su_sta = 20;
  wave.RepeatedStart();
  wave.Byte(0xA1, true);
  wave.Stop();
  Harness harness;
  const SettingsRecord settings = FastLimits();
  const auto out = harness.RunOffline(RunI2CAnalyzerDecode, wave.Finish(), settings);
  ASSERT_EQ(out.records.size(), 2u);
  WaveformOverlays first, second;
  BuildTransactionOverlays(harness.Sampling(), settings, out.records[0], &first);
  BuildTransactionOverlays(harness.Sampling(), settings, out.records[1], &second);
  ExpectMarks(first.timing, {{static_cast<int32_t>(out.records[0].Duration), 20, kSuStaMarkColour, "tSU_STA:0.40"}});
  ExpectMarks(second.timing, {{-20, 20, kSuStaMarkColour, "tSU_STA:0.40"}});
  EXPECT_TRUE(first.conditions.start);
  EXPECT_FALSE(first.conditions.stop);
  EXPECT_TRUE(second.conditions.repeat);
  EXPECT_EQ(second.conditions.repeat_offset, 0);
  EXPECT_FALSE(second.conditions.start);
  ASSERT_EQ(second.acks.size(), 1u);
  EXPECT_TRUE(second.acks[0].nack);
  ASSERT_EQ(first.acks.size(), 1u);
  EXPECT_FALSE(first.acks[0].nack);
}

// The master code at FAST timing, then the HS transfer: the closing setup
// of the master code record is tested, and labelled, with the HS column.
TEST(RepeatedStartMarks, HsTransfersUseAndNameTheHsColumn) {
  I2CWave wave(1, {80, 40, 2, 40, 40, 40, 80});
  wave.Start();
  wave.Byte(0x0A, true);
  wave.Phases() = {10, 2, 2, 5, 5, 5, 80};
  wave.RepeatedStart();
  wave.Byte(0xA0);
  wave.Stop();
  SettingsRecord settings = FastLimits();
  settings.HsEnable = 1;
  Harness harness;
  const auto out = harness.RunOffline(RunI2CAnalyzerDecode, wave.Finish(), settings);
  ASSERT_EQ(out.records.size(), 2u);
  ASSERT_TRUE(out.records[1].i2c.I2CFlags & kI2CHsTransfer);
  WaveformOverlays master, transfer;
  BuildTransactionOverlays(harness.Sampling(), settings, out.records[0], &master);
  BuildTransactionOverlays(harness.Sampling(), settings, out.records[1], &transfer);
  BuildErrorTimingOverlays(harness.Sampling(), settings, out.records[1], &transfer);
  ExpectMarks(master.timing, {{static_cast<int32_t>(out.records[0].Duration), 5, kSuStaMarkColour,
                               "tSU_STA(HS):0.10"}});
  ExpectMarks(transfer.timing, {{-5, 5, kSuStaMarkColour, "tSU_STA(HS):0.10"},
                                {0, 5, kHdStaMarkColour, "tHD_STA(HS):0.10"},
                                {static_cast<int32_t>(out.records[1].Duration - 5), 5, kSuStoMarkColour,
                                 "tSU_STO(HS):0.10"}});
  // High phases of 2 clocks are 0.04 us, below the HS 0.06.
  ASSERT_EQ(transfer.clock.size(), 9u);
  EXPECT_EQ(transfer.clock[0].colour, kHighPhaseMarkColour);
  EXPECT_EQ(transfer.clock[0].length, 2);
}

TEST(WaveformOverlays, NothingOutsideTheAnalyzerI2CBus) {
  I2CWave wave(1, {70, 20, 10, 20, 35, 20, 70});
  wave.Start();
  wave.Byte(0xA0);
  wave.Stop();
  Harness harness;
  const SettingsRecord settings = FastLimits();
  const auto out = harness.RunOffline(RunI2CAnalyzerDecode, wave.Finish(), settings);
  ASSERT_EQ(out.records.size(), 1u);
  for (const auto& change : std::vector<void (*)(SettingsRecord&)>{
           [](SettingsRecord& s) { s.ForcedDisplay = 1; }, [](SettingsRecord& s) { s.MonitorMode = 1; },
           [](SettingsRecord& s) { s.m_AnalyzeBusChannel = 0; }}) {
    SettingsRecord other = settings;
    change(other);
    WaveformOverlays overlays;
    overlays.clock.push_back({});
    BuildTransactionOverlays(harness.Sampling(), other, out.records[0], &overlays);
    BuildErrorTimingOverlays(harness.Sampling(), other, out.records[0], &overlays);
    EXPECT_TRUE(overlays.acks.empty());
    EXPECT_TRUE(overlays.timing.empty());
    EXPECT_TRUE(overlays.clock.empty());
    EXPECT_TRUE(overlays.data.empty());
    EXPECT_FALSE(overlays.conditions.start || overlays.conditions.stop);
  }
}

}  // namespace
}  // namespace orvane

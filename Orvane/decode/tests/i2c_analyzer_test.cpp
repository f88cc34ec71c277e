#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "Orvane/capture/run_result.h"
#include "Orvane/decode/i2c_analyzer.h"
#include "Orvane/decode/tests/analyzer_test_support.h"

namespace orvane {
namespace {

using analyzer_test::Harness;
using analyzer_test::I2CWave;
using analyzer_test::RelaxedI2CSettings;

struct Expected {
  uint8_t start_end;
  uint32_t bits;
  uint16_t address;
  uint16_t flags;
  uint16_t status;
  std::vector<uint8_t> preview;
};

struct DecodeCase {
  const char* name;
  std::function<void(I2CWave&)> build;
  std::function<void(SettingsRecord&)> tweak;
  uint32_t result;
  std::vector<Expected> records;
};

void WriteThenReadHs(I2CWave& w) {
  w.Start();
  w.Byte(0x0A, true);  // HS master code 00001010, never acknowledged
  w.RepeatedStart();
  w.Byte(0xA0);
  w.Byte(0x01);
  w.Stop();
}

void HsOn(SettingsRecord& s) { s.HsEnable = 1; }
void HsOff(SettingsRecord& s) { s.HsEnable = 0; }
void KeepNack(SettingsRecord& s) { s.IgnoreNackBeforeStop = 0; }
void NoTweak(SettingsRecord&) {}

std::vector<DecodeCase> Cases() {
  return {
      {"SevenBitWrite",
       [](I2CWave& w) {
         w.Start();
         w.Byte(0xA0);
         w.Byte(0xA7);
         w.Stop();
       },
       NoTweak, kResultDataEnd, {{0x11, 18, 0x50, 0x00, 0, {0xA7}}}},
      {"ReadNackIgnoredBeforeStop",
       [](I2CWave& w) {
         w.Start();
         w.Byte(0xA1);
         w.Byte(0x3C, true);
         w.Stop();
       },
       NoTweak, kResultDataEnd, {{0x11, 18, 0x50, kI2CRead, 0, {0x3C}}}},
      {"ReadNackKeptBeforeStop",
       [](I2CWave& w) {
         w.Start();
         w.Byte(0xA1);
         w.Byte(0x3C, true);
         w.Stop();
       },
       KeepNack, kResultDataEnd, {{0x11, 18, 0x50, kI2CRead | kI2CNack, 0, {0x3C}}}},
      {"NackInsideTransferAlwaysCounts",
       [](I2CWave& w) {
         w.Start();
         w.Byte(0xA0, true);
         w.Byte(0x01);
         w.Stop();
       },
       NoTweak, kResultDataEnd, {{0x11, 18, 0x50, kI2CNack, 0, {0x01}}}},
      {"RepeatedStartChain",
       [](I2CWave& w) {
         w.Start();
         w.Byte(0xA0);
         w.Byte(0x10);
         w.RepeatedStart();
         w.Byte(0xA1);
         w.Byte(0x55, true);
         w.Stop();
       },
       NoTweak, kResultDataEnd, {{0x21, 18, 0x50, 0, 0, {0x10}}, {0x12, 18, 0x50, kI2CRead, 0, {0x55}}}},
      {"TenBitWrite",
       [](I2CWave& w) {
         w.Start();
         w.Byte(0xF4);
         w.Byte(0xA5);
         w.Byte(0x11);
         w.Stop();
       },
       NoTweak, kResultDataEnd, {{0x11, 27, 0x2A5, kI2C10Bit, 0, {0x11}}}},
      {"TenBitReadAfterRepeatedStart",
       [](I2CWave& w) {
         w.Start();
         w.Byte(0xF4);
         w.Byte(0xA5);
         w.RepeatedStart();
         w.Byte(0xF5);
         w.Byte(0x77, true);
         w.Stop();
       },
       NoTweak, kResultDataEnd,
       {{0x21, 18, 0x2A5, kI2C10Bit, 0, {}}, {0x12, 18, 0x2A5, kI2C10Bit | kI2CRead, 0, {0x77}}}},
      {"HsMasterCodeThenHsTransfer", WriteThenReadHs, HsOn, kResultDataEnd,
       {{0x21, 9, 0x05, kI2CHsMasterCode, 0, {}}, {0x12, 18, 0x50, kI2CHsTransfer, 0, {0x01}}}},
      {"HsDisabledMasterCodeIsPlainAddress", WriteThenReadHs, HsOff, kResultDataEnd,
       {{0x21, 9, 0x05, kI2CNack, 0, {}}, {0x12, 18, 0x50, 0, 0, {0x01}}}},
      {"EightBitsThenStop",
       [](I2CWave& w) {
         w.Start();
         for (int i = 7; i >= 0; --i) w.Bit((0xA0 >> i) & 1);
         w.Stop();
       },
       NoTweak, kResultDataEnd, {{0x11, 8, 0x50, 0, kStatusBitCount, {}}}},
      {"StartThenStopWithoutBits",
       [](I2CWave& w) {
         w.Start();
         w.Stop();
       },
       NoTweak, kResultDataEnd, {{0x11, 0, 0, 0, 0, {}}}},
      {"DataEndInsideTransaction",
       [](I2CWave& w) {
         w.Start();
         w.Byte(0xA0);
         w.Bit(1);
         w.Bit(0);
         w.Bit(1);
       },
       NoTweak, kResultDataEndOpen, {{0x81, 12, 0x50, 0, kStatusBitCount, {0x05}}}},
      {"PreviewStopsAtTenBytes",
       [](I2CWave& w) {
         w.Start();
         w.Byte(0xA0);
         for (uint8_t b = 1; b <= 12; ++b) w.Byte(b);
         w.Stop();
       },
       NoTweak, kResultDataEnd, {{0x11, 117, 0x50, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}}},
      // A partly sent byte: the preview holds the bits proven by a later rise.
      {"RepeatedStartAfterFourBits",
       [](I2CWave& w) {
         w.Start();
         w.Byte(0xA0);
         for (const int b : {1, 0, 1, 1}) w.Bit(static_cast<uint8_t>(b));
         w.RepeatedStart();
         w.Byte(0xA1);
         w.Byte(0x5A);
         w.Stop();
       },
       NoTweak, kResultDataEnd,
       {{0x21, 13, 0x50, 0, kStatusBitCount, {0x0B}}, {0x12, 18, 0x50, kI2CRead, 0, {0x5A}}}},
      {"StopAfterEightBitsWithoutAcknowledge",
       [](I2CWave& w) {
         w.Start();
         w.Byte(0xA0);
         for (int i = 7; i >= 0; --i) w.Bit((0x3C >> i) & 1);
         w.Stop();
       },
       NoTweak, kResultDataEnd, {{0x11, 17, 0x50, 0, kStatusBitCount, {0x3C}}}},
      {"DataEndAfterEightBitsWithoutAcknowledge",
       [](I2CWave& w) {
         w.Start();
         w.Byte(0xA0);
         for (int i = 7; i >= 0; --i) w.Bit((0xC3 >> i) & 1);
       },
       NoTweak, kResultDataEndOpen, {{0x81, 17, 0x50, 0, kStatusBitCount, {0xC3}}}},
      {"DataEndInsideTheTenthPreviewByte",
       [](I2CWave& w) {
         w.Start();
         w.Byte(0xA0);
         for (uint8_t b = 1; b <= 9; ++b) w.Byte(b);
         for (const int b : {1, 1, 0}) w.Bit(static_cast<uint8_t>(b));
       },
       NoTweak, kResultDataEndOpen, {{0x81, 93, 0x50, 0, kStatusBitCount, {1, 2, 3, 4, 5, 6, 7, 8, 9, 6}}}},
  };
}

class I2CDecodeCases : public ::testing::TestWithParam<DecodeCase> {};

void ExpectRecords(const analyzer_test::Outcome& out, const std::vector<Expected>& expected) {
  ASSERT_EQ(out.records.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const TransactionInfo& r = out.records[i];
    const Expected& e = expected[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(r.Index, i);
    EXPECT_EQ(r.RecordFlags, kRecordI2C | kRecordAnalyzer | kRecordComplete);
    EXPECT_EQ(r.bStartEndType, e.start_end);
    EXPECT_EQ(r.BitCount, e.bits);
    EXPECT_EQ(r.i2c.I2CAddress, e.address);
    EXPECT_EQ(r.i2c.I2CFlags, e.flags);
    EXPECT_EQ(r.Status, e.status);
    ASSERT_EQ(r.PreviewLen, e.preview.size());
    EXPECT_EQ(std::vector<uint8_t>(r.Preview, r.Preview + r.PreviewLen), e.preview);
  }
}

TEST_P(I2CDecodeCases, OnBothBuses) {
  for (const uint8_t channel : {uint8_t{1}, uint8_t{2}}) {
    SCOPED_TRACE(channel);
    I2CWave wave(channel);
    GetParam().build(wave);
    SettingsRecord settings = RelaxedI2CSettings(channel);
    GetParam().tweak(settings);
    Harness harness;
    const auto out = harness.RunOffline(RunI2CAnalyzerDecode, wave.Finish(), settings);
    EXPECT_EQ(out.result, GetParam().result);
    ExpectRecords(out, GetParam().records);
  }
}

INSTANTIATE_TEST_SUITE_P(Transactions, I2CDecodeCases, ::testing::ValuesIn(Cases()),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(I2CDecode, PositionsAndTimesOfStopAndRepeatedStartRecords) {
  I2CWave wave;
  wave.Idle(40);
  wave.Start();
  const uint64_t first_start = wave.start_clock;
  wave.Byte(0xA0);
  wave.RepeatedStart();
  const uint64_t sr = wave.start_clock;
  // The rise before the repeated START: SCL went high su_sta clocks earlier.
  const uint64_t last_rise = sr - wave.Phases().su_sta;
  wave.Byte(0xA1);
  wave.Stop();
  Harness harness;
  const auto out = harness.RunOffline(RunI2CAnalyzerDecode, wave.Finish(), RelaxedI2CSettings());
  ASSERT_EQ(out.records.size(), 2u);
  const TransactionInfo& a = out.records[0];
  EXPECT_EQ(a.SamplePos, 2u) << "the opening atom follows the initial state atom";
  EXPECT_EQ(a.StartClock, first_start);
  EXPECT_EQ(a.old_SignalClock, first_start);
  EXPECT_EQ(a.old_Signal, 0x3);
  EXPECT_EQ(a.Duration, last_rise - first_start);
  const TransactionInfo& b = out.records[1];
  EXPECT_EQ(b.StartClock, sr);
  EXPECT_EQ(b.old_SignalClock, wave.Phases().su_sta);
  EXPECT_EQ(b.old_Signal, 0x3) << "SCL and SDA high just before the repeated START";
  EXPECT_EQ(b.Duration, wave.stop_clock - sr);
  EXPECT_EQ(b.Prev, 0u);
  EXPECT_EQ(harness.Sampling().transaction_counter, 2u);
}

TEST(I2CDecode, StopWithoutStartMakesNoRecord) {
  analyzer_test::AtomStream s(0xF);
  s.Change(30, 0xE);  // SCL low
  s.Change(30, 0xC);  // SDA low
  s.Change(30, 0xD);  // SCL high
  s.Change(30, 0xF);  // SDA high while SCL high: STOP
  s.Hold(50);
  Harness harness;
  const auto out = harness.RunOffline(RunI2CAnalyzerDecode, s.Bytes(), RelaxedI2CSettings());
  EXPECT_EQ(out.result, kResultDataEnd);
  EXPECT_TRUE(out.records.empty());
}

TEST(I2CDecode, AlignmentErrorKeepsEarlierRecordsAndClosesTheOpenOne) {
  I2CWave wave;
  wave.Start();
  wave.Byte(0xA0);
  wave.Stop();
  wave.Start();
  wave.Byte(0xA2);
  wave.Idle(10);
  wave.Finish(0);
  wave.Stream().Corrupt();
  wave.Stream().Hold(300);
  Harness harness;
  const auto out = harness.RunOffline(RunI2CAnalyzerDecode, wave.Stream().Bytes(), RelaxedI2CSettings());
  EXPECT_EQ(out.result, kResultBadData);
  EXPECT_TRUE(IsErrorResult(out.result));
  ASSERT_EQ(out.records.size(), 2u);
  EXPECT_EQ(out.records[0].bStartEndType, 0x11);
  EXPECT_TRUE(out.records[0].RecordFlags & kRecordComplete);
  EXPECT_EQ(out.records[1].bStartEndType, 0x81);
  EXPECT_EQ(out.records[1].Status, kStatusBadData);
  EXPECT_EQ(out.records[1].BitCount, 9u);
  EXPECT_EQ(out.records[1].i2c.I2CAddress, 0x51);
}

TEST(I2CDecode, StopRequestBeforeTheFirstAtomEndsWithoutRecords) {
  I2CWave wave;
  wave.Start();
  wave.Byte(0xA0);
  wave.Stop();
  Harness harness;
  ASSERT_TRUE(harness.OpenFile(wave.Finish()));
  harness.Sampling().m_bDoStop_SamplingAnalysis = true;
  const auto out = harness.Run(RunI2CAnalyzerDecode, RelaxedI2CSettings());
  EXPECT_EQ(out.result, kResultDataEnd);
  EXPECT_TRUE(out.records.empty());
}

TEST(I2CDecode, StopEventEndsTheRunLikeTheFlag) {
  I2CWave wave;
  wave.Start();
  wave.Byte(0xA0);
  wave.Stop();
  Harness harness;
  ASSERT_TRUE(harness.OpenFile(wave.Finish()));
  harness.Sampling().StopEvent.Set();
  const auto out = harness.Run(RunI2CAnalyzerDecode, RelaxedI2CSettings());
  EXPECT_EQ(out.result, kResultDataEnd);
  EXPECT_TRUE(out.records.empty());
  EXPECT_TRUE(harness.Sampling().m_bDoStop_SamplingAnalysis);
}

TEST(I2CDecode, OverLongTransactionIsCutAtTheLimit) {
  I2CWave wave;
  wave.Start();
  wave.Byte(0xA0);
  wave.Idle(0x7FFF0001ull + 4096);
  wave.Stop();
  Harness harness;
  const auto out = harness.RunOffline(RunI2CAnalyzerDecode, wave.Finish(), RelaxedI2CSettings());
  EXPECT_EQ(out.result, kResultDataEnd);
  ASSERT_EQ(out.records.size(), 1u) << "the STOP after the cut finds the bus idle";
  EXPECT_EQ(out.records[0].bStartEndType, 0x81);
  EXPECT_EQ(out.records[0].Status, kStatusNotEnd);
  EXPECT_EQ(out.records[0].BitCount, 9u);
  EXPECT_GE(out.records[0].Duration, 0x7FFF0001u);
  EXPECT_LT(out.records[0].Duration, 0x7FFF0001u + 2048u);
}

// The clocks from the atom after `open` on, up to and including the first
// atom that brings them to `limit`: where an over-long record must end.
uint64_t ClocksReaching(const std::vector<uint8_t>& data, uint32_t open, uint64_t limit) {
  uint64_t clocks = 0;
  uint32_t i = open + ((data[open] & 0x10) != 0 ? 1 : 2);
  while (i < data.size() && clocks < limit) {
    const bool is_short = (data[i] & 0x10) != 0;
    clocks += is_short ? data[i] >> 5 : (data[i] | (uint32_t(data[i + 1]) << 8)) >> 5;
    i += is_short ? 1 : 2;
  }
  return clocks;
}

struct OverLongCase {
  const char* name;
  uint32_t lead;  // extra clocks after the START: moves the limit among the atoms
  bool verify_timing;
};

// The loop over unchanged lines tests the limit only near it, so the cut
// must land on the first atom reaching it wherever it falls.
const OverLongCase kOverLongCases[] = {
    {"NoLead", 0, true},
    {"OneClock", 1, false},
    {"HalfALongAtom", 1000, true},
    {"AlmostALongAtom", 2046, false},
    {"ABlockOfAtoms", 64 * 2047 + 5, true},
};

class I2COverLongCases : public ::testing::TestWithParam<OverLongCase> {};

TEST_P(I2COverLongCases, CutAtTheFirstAtomReachingTheLimit) {
  const OverLongCase& c = GetParam();
  I2CWave wave;
  wave.Start();
  wave.Idle(c.lead);
  wave.Byte(0xA0);
  wave.Idle(0x7FFF0001ull + 4096);
  wave.Stop();
  const std::vector<uint8_t> data = wave.Finish();
  Harness harness;
  ASSERT_TRUE(harness.OpenFile(data));
  DecodeContext ctx{harness.Sampling(), RelaxedI2CSettings(), harness.Events()};
  ctx.verify_timing = c.verify_timing;
  EXPECT_EQ(RunI2CAnalyzerDecode(ctx), kResultDataEnd);
  const TransactionStore& store = harness.Sampling().Records();
  ASSERT_NE(store.Head(), kNoRecord);
  const TransactionInfo& record = store.At(store.Head());
  EXPECT_EQ(record.Status & kStatusNotEnd, kStatusNotEnd);
  EXPECT_EQ(record.Duration, ClocksReaching(data, record.SamplePos, 0x7FFF0001u));
}

INSTANTIATE_TEST_SUITE_P(Limits, I2COverLongCases, ::testing::ValuesIn(kOverLongCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(I2CDecode, ProgressIsPostedWhenThePercentageChanges) {
  I2CWave wave;
  for (int i = 0; i < 40; ++i) {
    wave.Start();
    wave.Byte(0xA0);
    wave.Stop();
  }
  Harness harness;
  const auto out = harness.RunOffline(RunI2CAnalyzerDecode, wave.Finish(), RelaxedI2CSettings());
  ASSERT_EQ(out.records.size(), 40u);
  std::vector<uint32_t> percents;
  bool start_seen = false;
  while (auto event = harness.Events().Take(0)) {
    if (event->a == 12) start_seen = event->b == 100;
    if (event->a == 13) percents.push_back(event->b);
  }
  EXPECT_TRUE(start_seen);
  ASSERT_FALSE(percents.empty());
  EXPECT_EQ(percents.back(), 100u);
  for (size_t i = 1; i < percents.size(); ++i) EXPECT_GT(percents[i], percents[i - 1]);
  EXPECT_GE(percents.size(), 50u) << "one post per percent";
}

}  // namespace
}  // namespace orvane

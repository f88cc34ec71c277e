#include <gtest/gtest.h>

#include <vector>

#include "Orvane/capture/run_result.h"
#include "Orvane/decode/i2c_analyzer.h"
#include "Orvane/decode/i2c_extract.h"
#include "Orvane/decode/tests/analyzer_test_support.h"

namespace orvane {
namespace {

using analyzer_test::Harness;
using analyzer_test::I2CPhases;
using analyzer_test::I2CWave;
using analyzer_test::RelaxedI2CSettings;

constexpr uint16_t kTimingBits = 0xFF00;

SettingsRecord StandardPreset() {
  SettingsRecord s = RelaxedI2CSettings();
  s.tHD_STA = 400;
  s.tSU_STA = 470;
  s.tSU_STO = 400;
  s.tBUF = 470;
  s.tLOW = 470;
  s.tHIGH = 400;
  s.tHD_DAT = 345;
  s.tSU_DAT = 25;
  return s;
}

SettingsRecord FastPresetWithHs() {
  SettingsRecord s = RelaxedI2CSettings();
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
  s.HsEnable = 1;
  return s;
}

// A 400 kHz clock at 50 MHz: 1.3 us low, 0.6 us high.
I2CPhases FourHundredKilohertz() { return {65, 30, 10, 30, 30, 30, 65}; }

TEST(I2CTiming, FourHundredKilohertzFailsTheStandardPresetOnEveryRecord) {
  I2CWave wave(1, FourHundredKilohertz());
  for (int i = 0; i < 3; ++i) {
    wave.Start();
    wave.Byte(0xA0);
    wave.Byte(0x5A);
    wave.Stop();
  }
  Harness harness;
  const auto out = harness.RunOffline(RunI2CAnalyzerDecode, wave.Finish(), StandardPreset());
  ASSERT_EQ(out.records.size(), 3u);
  for (const TransactionInfo& r : out.records) {
    EXPECT_EQ(r.Status & (kStatusLow | kStatusHigh), kStatusLow | kStatusHigh);
  }
}

TEST(I2CTiming, MeasuredSpansAreStoredInTheTimingRecord) {
  I2CWave wave(1, FourHundredKilohertz());
  wave.Start();
  wave.Byte(0xA0);
  wave.Stop();
  Harness harness;
  const auto out = harness.RunOffline(RunI2CAnalyzerDecode, wave.Finish(), RelaxedI2CSettings());
  ASSERT_EQ(out.records.size(), 1u);
  const TimingInfo& t = out.timings[0];
  EXPECT_EQ(t.tHD_STA_start, 0u);
  EXPECT_EQ(t.tHD_STA, 30u);
  EXPECT_EQ(t.tSU_STO, 30u);
  EXPECT_EQ(t.tSU_STO_at, out.records[0].Duration - 30);
  EXPECT_EQ(out.records[0].Status & kTimingBits, 0);
}

struct BufCase {
  uint32_t gap;
  bool fails;
};

class I2CBusFreeTime : public ::testing::TestWithParam<BufCase> {};

// At 10 MHz (code 10) 13 clocks are 130 x 10 ns: exactly the limit.
TEST_P(I2CBusFreeTime, AtTenMegahertz) {
  I2CWave wave;
  wave.Start();
  wave.Byte(0xA0);
  wave.Stop();
  wave.Phases().buf = GetParam().gap;
  wave.Start();
  wave.Byte(0xA0);
  wave.Stop();
  SettingsRecord s = RelaxedI2CSettings();
  s.SamplePeriodCode = 10;
  s.tBUF = 130;
  Harness harness;
  const auto out = harness.RunOffline(RunI2CAnalyzerDecode, wave.Finish(), s);
  ASSERT_EQ(out.records.size(), 2u);
  EXPECT_EQ(out.records[0].Status & kStatusBuf, 0) << "no tBUF for the first record";
  EXPECT_EQ(out.timings[1].tBUF, GetParam().gap);
  EXPECT_EQ((out.records[1].Status & kStatusBuf) != 0, GetParam().fails);
}

INSTANTIATE_TEST_SUITE_P(Gaps, I2CBusFreeTime, ::testing::Values(BufCase{13, false}, BufCase{12, true}));

TEST(I2CTiming, ShortRepeatedStartSetupMarksTheRecordThatBeginsWithIt) {
  for (const uint32_t setup : {5u, 40u}) {
    I2CWave wave(1, {80, 40, 10, 40, 40, 40, 80});
    wave.Start();
    wave.Byte(0xA0);
    wave.Phases().su_sta = setup;
    wave.RepeatedStart();
    wave.Byte(0xA1);
    wave.Stop();
    Harness harness;
    const auto out = harness.RunOffline(RunI2CAnalyzerDecode, wave.Finish(), FastPresetWithHs());
    ASSERT_EQ(out.records.size(), 2u);
    EXPECT_EQ(out.records[0].Status & kStatusSuSta, 0) << setup;
    EXPECT_EQ((out.records[1].Status & kStatusSuSta) != 0, setup * 2 < 60) << setup;
    EXPECT_EQ(out.timings[0].tSU_STA, setup);
    EXPECT_EQ(out.timings[0].tSU_STA_at, out.records[0].Duration);
  }
}

TEST(I2CTiming, HsTransfersUseTheHsColumn) {
  // Master code at FAST timing, the transfer after it at HS timing: 10/5
  // clocks are 200/100 ns, within the HS limits but far below FAST ones.
  for (const bool hs : {true, false}) {
    I2CWave wave(1, {80, 40, 2, 40, 40, 40, 80});
    wave.Start();
    wave.Byte(0x0A, true);
    wave.RepeatedStart();
    wave.Phases() = {10, 5, 2, 10, 10, 10, 80};
    wave.Byte(0xA0);
    wave.Stop();
    SettingsRecord s = FastPresetWithHs();
    s.HsEnable = hs ? 1 : 0;
    Harness harness;
    const auto out = harness.RunOffline(RunI2CAnalyzerDecode, wave.Finish(), s);
    ASSERT_EQ(out.records.size(), 2u);
    EXPECT_EQ(out.records[0].Status & (kStatusLow | kStatusHigh), 0) << hs;
    const uint16_t clock_bits = out.records[1].Status & (kStatusLow | kStatusHigh);
    EXPECT_EQ(clock_bits, hs ? 0 : (kStatusLow | kStatusHigh)) << hs;
  }
}

TEST(I2CTiming, DataHoldAndSetupLimits) {
  // Hold 50 clocks = 1 us (> 0.9 us), setup 30 clocks = 0.6 us.
  I2CWave wave(1, {80, 40, 50, 40, 40, 40, 80});
  wave.Start();
  wave.Byte(0xA5);
  wave.Stop();
  SettingsRecord s = FastPresetWithHs();
  s.HsEnable = 0;
  Harness harness;
  auto out = harness.RunOffline(RunI2CAnalyzerDecode, wave.Finish(), s);
  ASSERT_EQ(out.records.size(), 1u);
  EXPECT_EQ(out.records[0].Status & (kStatusHdDat | kStatusSuDat), kStatusHdDat);
  s.tSU_DAT = 61;
  Harness again;
  out = again.RunOffline(RunI2CAnalyzerDecode, wave.Finish(0), s);
  EXPECT_EQ(out.records[0].Status & (kStatusHdDat | kStatusSuDat), kStatusHdDat | kStatusSuDat);
}

TEST(I2CExtract, BytesAcksAndOffsets) {
  I2CWave wave;  // 25 low / 25 high: one bit every 50 clocks
  wave.Start();
  wave.Byte(0xA0);
  wave.Byte(0x12, true);
  wave.Byte(0x34);
  wave.Stop();
  Harness harness;
  const auto out = harness.RunOffline(RunI2CAnalyzerDecode, wave.Finish(), RelaxedI2CSettings());
  ASSERT_EQ(out.records.size(), 1u);
  TransactionDetail detail;
  ExtractI2CAnalyzerDetail(harness.Sampling(), 1, out.records[0], 100, &detail);
  ASSERT_EQ(detail.count, 3u);
  EXPECT_EQ(detail.bytes, (std::vector<uint8_t>{0xA0, 0x12, 0x34}));
  EXPECT_EQ(detail.bytes2, (std::vector<uint8_t>{0x40}));
  // The first rise is hd_sta + low after the START.
  EXPECT_EQ(detail.offsets, (std::vector<uint32_t>{50, 500, 950}));
  EXPECT_EQ(detail.ack_offsets, (std::vector<uint32_t>{450, 900, 1350}));

  ExtractI2CAnalyzerDetail(harness.Sampling(), 1, out.records[0], 2, &detail);
  EXPECT_EQ(detail.count, 2u);
  EXPECT_EQ(detail.bytes, (std::vector<uint8_t>{0xA0, 0x12}));
  EXPECT_EQ(detail.ack_offsets.size(), 2u);
}

TEST(I2CExtract, PartialLastByteAndNineAcks) {
  I2CWave wave(2);
  wave.Start();
  for (int i = 0; i < 9; ++i) wave.Byte(static_cast<uint8_t>(0x11 * i), i % 2 == 1);
  wave.Bit(1);
  wave.Bit(1);
  wave.Stop();
  Harness harness;
  const auto out = harness.RunOffline(RunI2CAnalyzerDecode, wave.Finish(), RelaxedI2CSettings(2));
  ASSERT_EQ(out.records.size(), 1u);
  EXPECT_EQ(out.records[0].BitCount, 83u);
  TransactionDetail detail;
  ExtractI2CAnalyzerDetail(harness.Sampling(), 2, out.records[0], 1000, &detail);
  ASSERT_EQ(detail.count, 10u);
  EXPECT_EQ(detail.bytes[9], 0x03) << "two bits of the unfinished byte";
  EXPECT_EQ(detail.bytes2, (std::vector<uint8_t>{0x55, 0x00}));
  // The preview is the same bytes after the address byte.
  EXPECT_EQ(out.records[0].PreviewLen, 9);
  EXPECT_EQ(std::vector<uint8_t>(out.records[0].Preview, out.records[0].Preview + 9),
            std::vector<uint8_t>(detail.bytes.begin() + 1, detail.bytes.end()));
}

}  // namespace
}  // namespace orvane

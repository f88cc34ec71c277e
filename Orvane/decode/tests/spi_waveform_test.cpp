#include <gtest/gtest.h>

#include <vector>

#include "Orvane/capture/run_result.h"
#include "Orvane/decode/spi_analyzer.h"
#include "Orvane/decode/spi_extract.h"
#include "Orvane/decode/tests/analyzer_test_support.h"
#include "Orvane/decode/waveform_pass.h"

namespace orvane {
namespace {

using analyzer_test::AtomStream;
using analyzer_test::Harness;

// SPI mode 0 on S0..S3: SS idles high, SCLK idles low, data change while
// SCLK is low and are sampled on its rising edge.
class SpiWave {
 public:
  SpiWave() : stream_(0x1) {}
  void Select() { Set(state_ & ~1, 20); }
  void Deselect() { Set(state_ | 1, 20); }
  void Idle(uint64_t clocks) { pending_ += clocks; }
  // Bit i of s3 / s2 (MSB first).
  void Bits(uint32_t s3, uint32_t s2, int count) {
    for (int i = count - 1; i >= 0; --i) {
      const uint8_t data = static_cast<uint8_t>((((s3 >> i) & 1) << 3) | (((s2 >> i) & 1) << 2));
      Set((state_ & 0x3) | data, 5);
      Set(state_ | 0x2, 10);
      Set(state_ & ~0x2, 10);
    }
  }
  void Byte(uint8_t s3, uint8_t s2) { Bits(s3, s2, 8); }
  const std::vector<uint8_t>& Finish() {
    stream_.Hold(pending_ + 50);
    pending_ = 0;
    return stream_.Bytes();
  }

 private:
  void Set(int state, uint64_t after) {
    pending_ += after;
    if (static_cast<uint8_t>(state) == state_) return;
    state_ = static_cast<uint8_t>(state);
    stream_.Change(pending_, state_);
    pending_ = 0;
  }
  AtomStream stream_;
  uint8_t state_ = 0x1;
  uint64_t pending_ = 0;
};

SettingsRecord SpiSettings() {
  SettingsRecord s = DefaultSettingsRecord();
  s.m_AnalyzeBusChannel = 0;
  s.ForcedDisplay = 0;
  s.SamplePeriodCode = 2;
  s.SpiSamplingEdge = 1;
  s.SpiSsMode = 1;
  s.SpiBitFlags = 0x01;
  s.SpiSclkTimeout = 0;
  s.SpiDataLength = 1024;
  return s;
}

std::vector<uint8_t> Preview(const TransactionInfo& r) { return {r.Preview, r.Preview + r.PreviewLen}; }
std::vector<uint8_t> Preview2(const TransactionInfo& r) { return {r.Preview2, r.Preview2 + r.PreviewLen}; }

TEST(SpiDecode, SelectFramesOneTransaction) {
  SpiWave w;
  w.Select();
  w.Byte(0x12, 0xA1);
  w.Byte(0x34, 0xB2);
  w.Byte(0x56, 0xC3);
  w.Deselect();
  Harness h;
  const auto out = h.RunOffline(RunSpiAnalyzerDecode, w.Finish(), SpiSettings());
  EXPECT_EQ(out.result, kResultDataEnd);
  ASSERT_EQ(out.records.size(), 1u);
  const TransactionInfo& r = out.records[0];
  EXPECT_EQ(r.bStartEndType, 0x11);
  EXPECT_EQ(r.BitCount, 24u);
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.RecordFlags, kRecordAnalyzer | kRecordComplete);
  EXPECT_EQ(Preview(r), (std::vector<uint8_t>{0x12, 0x34, 0x56}));
  EXPECT_EQ(Preview2(r), (std::vector<uint8_t>{0xA1, 0xB2, 0xC3}));
  TransactionDetail detail;
  ExtractSpiAnalyzerDetail(h.Sampling(), SpiSettings(), r, 10, &detail);
  EXPECT_EQ(detail.bytes, Preview(r));
  EXPECT_EQ(detail.bytes2, Preview2(r));
  // The first rise comes 20 + 5 + 10 clocks after SS fell; one bit per 25.
  EXPECT_EQ(detail.offsets, (std::vector<uint32_t>{15, 215, 415}));
}

TEST(SpiDecode, TwelveBitsSetTheBitCountStatus) {
  SpiWave w;
  w.Select();
  w.Bits(0xABC, 0x123, 12);
  w.Deselect();
  Harness h;
  const auto out = h.RunOffline(RunSpiAnalyzerDecode, w.Finish(), SpiSettings());
  ASSERT_EQ(out.records.size(), 1u);
  EXPECT_EQ(out.records[0].Status, kStatusBitCount);
  EXPECT_EQ(out.records[0].PreviewLen, 2);
  EXPECT_EQ(Preview(out.records[0]), (std::vector<uint8_t>{0xAB, 0x0C}));
}

TEST(SpiDecode, DataLengthCutsIntoChunks) {
  SpiWave w;
  w.Select();
  for (uint8_t i = 0; i < 10; ++i) w.Byte(i, static_cast<uint8_t>(0xF0 | i));
  w.Deselect();
  SettingsRecord s = SpiSettings();
  s.SpiDataLength = 4;
  Harness h;
  const auto out = h.RunOffline(RunSpiAnalyzerDecode, w.Finish(), s);
  ASSERT_EQ(out.records.size(), 3u);
  EXPECT_EQ(out.records[0].bStartEndType, 0x21);
  EXPECT_EQ(out.records[1].bStartEndType, 0x22);
  EXPECT_EQ(out.records[2].bStartEndType, 0x12);
  EXPECT_EQ(out.records[0].BitCount, 32u);
  EXPECT_EQ(out.records[1].BitCount, 32u);
  EXPECT_EQ(out.records[2].BitCount, 16u);
  EXPECT_EQ(Preview(out.records[2]), (std::vector<uint8_t>{8, 9}));
  EXPECT_EQ(Preview2(out.records[1]), (std::vector<uint8_t>{0xF4, 0xF5, 0xF6, 0xF7}));
}

TEST(SpiDecode, TimeOutClosesAndTheQuietAtomOpensTheNextBurst) {
  SpiWave w;
  w.Byte(0x11, 0x22);
  w.Idle(250000);  // 5 ms at 50 MHz
  w.Byte(0x33, 0x44);
  SettingsRecord s = SpiSettings();
  s.SpiSsMode = 0;
  s.SpiSclkTimeout = 1;
  Harness h;
  const auto out = h.RunOffline(RunSpiAnalyzerDecode, w.Finish(), s);
  EXPECT_EQ(out.result, kResultDataEndOpen);
  ASSERT_EQ(out.records.size(), 2u);
  EXPECT_EQ(out.records[0].bStartEndType, 0x42);
  EXPECT_EQ(out.records[0].BitCount, 8u);
  EXPECT_EQ(out.records[1].bStartEndType, 0x82) << "the second burst ends with the data";
  EXPECT_EQ(out.records[1].BitCount, 8u);
  EXPECT_EQ(Preview(out.records[1]), (std::vector<uint8_t>{0x33}));
  // The first record ends inside the quiet, at the atom that reached 1 ms;
  // the second opens at the first SCLK change after the quiet.
  EXPECT_GE(out.records[0].Duration * 2u, 100000u);
  EXPECT_LT(out.records[0].Duration * 2u, 100000u + 2 * 2 * 2047u);
  EXPECT_GT(out.records[1].StartClock, out.records[0].StartClock + 250000);
}

TEST(SpiDecode, LsbFirstAndIgnoredFirstEdge) {
  SpiWave w;
  w.Select();
  w.Byte(0x80, 0x01);
  w.Deselect();
  SettingsRecord s = SpiSettings();
  s.SpiBitFlags = 0x00;
  Harness h;
  auto out = h.RunOffline(RunSpiAnalyzerDecode, w.Finish(), s);
  ASSERT_EQ(out.records.size(), 1u);
  EXPECT_EQ(Preview(out.records[0]), (std::vector<uint8_t>{0x01})) << "first bit sampled is bit 0";
  EXPECT_EQ(Preview2(out.records[0]), (std::vector<uint8_t>{0x80}));

  s.SpiBitFlags = 0x81;
  Harness ignore;
  out = ignore.RunOffline(RunSpiAnalyzerDecode, w.Finish(), s);
  ASSERT_EQ(out.records.size(), 1u);
  EXPECT_EQ(out.records[0].BitCount, 7u) << "the first SCLK edge is not a bit";
  TransactionDetail detail;
  ExtractSpiAnalyzerDetail(ignore.Sampling(), s, out.records[0], 4, &detail);
  EXPECT_EQ(detail.bytes, Preview(out.records[0]));
}

TEST(SpiDecode, AlignmentErrorClosesTheOpenTransaction) {
  SpiWave w;
  w.Select();
  w.Byte(0x12, 0x34);
  std::vector<uint8_t> bytes = w.Finish();
  if (bytes.size() % 2 == 0) bytes.push_back(0x10 | 0x0);
  bytes.push_back(0x00);
  Harness h;
  const auto out = h.RunOffline(RunSpiAnalyzerDecode, bytes, SpiSettings());
  EXPECT_EQ(out.result, kResultBadData);
  ASSERT_EQ(out.records.size(), 1u);
  EXPECT_EQ(out.records[0].bStartEndType, 0x81);
  EXPECT_EQ(out.records[0].Status, kStatusBadData);
}

SettingsRecord ForcedDisplay(uint16_t window_ms) {
  SettingsRecord s = DefaultSettingsRecord();
  s.ForcedDisplay = 1;
  s.SamplePeriodCode = 10;
  s.ForcedDisplayWindow = window_ms;
  return s;
}

TEST(WaveformPass, QuietSecondMakesFiveUnchangedWindows) {
  AtomStream s(0xF);
  s.Hold(10000000);  // 1 s at 10 MHz
  for (const uint16_t window : {uint16_t{200}, uint16_t{0}}) {
    Harness h;
    const auto out = h.RunOffline(RunWaveformPass, s.Bytes(), ForcedDisplay(window));
    EXPECT_EQ(out.result, kResultDataEndOpen);
    ASSERT_GE(out.records.size(), 5u);
    ASSERT_LE(out.records.size(), 6u);
    for (const TransactionInfo& r : out.records) {
      EXPECT_EQ(r.Status, kStatusNoChange);
      EXPECT_EQ(r.BitCount, 0u);
      EXPECT_EQ(r.PreviewLen, 0);
      EXPECT_TRUE(r.RecordFlags & kRecordComplete);
    }
    EXPECT_EQ(out.records[0].bStartEndType, 0x41);
    EXPECT_EQ(out.records.back().bStartEndType, 0x81);
    EXPECT_EQ(out.records[1].StartClock, out.records[0].StartClock + out.records[0].Duration +
                                             out.records[0].old_SignalClock - out.records[1].old_SignalClock);
  }
}

TEST(WaveformPass, BurstInsideAWindowClearsTheNoChangeMark) {
  AtomStream s(0xF);
  s.Hold(100000);
  s.Change(10, 0xE);
  s.Change(10, 0xF);
  s.Hold(100000);
  Harness h;
  const auto out = h.RunOffline(RunWaveformPass, s.Bytes(), ForcedDisplay(200));
  ASSERT_EQ(out.records.size(), 1u);
  EXPECT_EQ(out.records[0].Status, 0);
  EXPECT_EQ(out.records[0].bStartEndType, 0x81);
  EXPECT_EQ(out.records[0].SampleLen, s.Size());
}

}  // namespace
}  // namespace orvane

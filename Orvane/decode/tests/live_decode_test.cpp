#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "Orvane/capture/capture_reader.h"
#include "Orvane/capture/run_result.h"
#include "Orvane/decode/i2c_analyzer.h"
#include "Orvane/decode/spi_analyzer.h"
#include "Orvane/decode/tests/analyzer_test_support.h"

namespace orvane {
namespace {

using analyzer_test::Harness;
using analyzer_test::I2CWave;
using analyzer_test::RelaxedI2CSettings;

// Moves the capture into the live buffer in fixed chunks, as the driver
// would, and reports the capture finished once everything is written.
class ScriptedReader final : public CaptureReader {
 public:
  ScriptedReader(CSamplingObj& sampling, uint8_t* buffer, const std::vector<uint8_t>& data, size_t chunk)
      : sampling_(sampling), buffer_(buffer), data_(data), chunk_(chunk) {}

  uint16_t ReadStep(bool, uint32_t, uint32_t* driver_status) override {
    ++calls;
    if (fail_after != 0 && calls > fail_after) {
      *driver_status = 10;
      return kReaderOverrun;
    }
    const uint32_t length = sampling_.m_lenSamplingDataInBuffer;
    if (length >= sampling_.m_sizeSamplingBuf || written_ >= data_.size()) return kReaderFinished;
    const size_t n = std::min({chunk_, data_.size() - written_, size_t(sampling_.m_sizeSamplingBuf - length)});
    std::memcpy(buffer_ + sampling_.m_SamplingCurrentPtr, data_.data() + written_, n);
    written_ += n;
    sampling_.m_SamplingCurrentPtr += static_cast<uint32_t>(n);
    sampling_.m_lenSamplingDataInBuffer += static_cast<uint32_t>(n);
    return kReaderData;
  }

  uint32_t calls = 0;
  uint32_t fail_after = 0;

 private:
  CSamplingObj& sampling_;
  uint8_t* buffer_;
  const std::vector<uint8_t>& data_;
  size_t chunk_;
  size_t written_ = 0;
};

struct LiveRun {
  uint32_t result = 0;
  std::vector<TransactionInfo> records;
  uint32_t view_count = 0;
};

// `spare` bytes of the buffer (0xEE) are never written: the capture stops
// before the buffer is full.
LiveRun RunLive(uint32_t (*decoder)(DecodeContext&), const std::vector<uint8_t>& data, const SettingsRecord& s,
                size_t chunk, uint32_t fail_after = 0, size_t spare = 0) {
  AppState app;
  velix::platform::RecordingSink sink;
  RunEventQueue events;
  CSamplingObj sampling(app, sink);
  EXPECT_TRUE(sampling.Records().CreatePool());
  std::vector<uint8_t> buffer(data.size() + spare, 0xEE);
  sampling.AttachLiveBuffer(buffer.data(), static_cast<uint32_t>(buffer.size()));
  ScriptedReader reader(sampling, buffer.data(), data, chunk);
  reader.fail_after = fail_after;
  DecodeContext ctx{sampling, s, events};
  ctx.reader = &reader;
  ctx.live = true;
  ctx.no_wait = true;
  ctx.capture_size = static_cast<uint32_t>(buffer.size());
  LiveRun run;
  run.result = decoder(ctx);
  TransactionStore& store = sampling.Records();
  for (RecordRef ref = store.Head(); ref != kNoRecord; ref = store.At(ref).Next) run.records.push_back(store.At(ref));
  run.view_count = store.ViewCount();
  return run;
}

void ExpectSameRecords(const std::vector<TransactionInfo>& live, const std::vector<TransactionInfo>& offline) {
  ASSERT_EQ(live.size(), offline.size());
  for (size_t i = 0; i < live.size(); ++i) {
    SCOPED_TRACE(i);
    const TransactionInfo& a = live[i];
    const TransactionInfo& b = offline[i];
    EXPECT_EQ(a.Index, b.Index);
    EXPECT_EQ(a.RecordFlags & ~kRecordInView, b.RecordFlags);
    EXPECT_EQ(a.bStartEndType, b.bStartEndType);
    EXPECT_EQ(a.Status, b.Status);
    EXPECT_EQ(a.SamplePos, b.SamplePos);
    EXPECT_EQ(a.SampleLen, b.SampleLen);
    EXPECT_EQ(a.BitCount, b.BitCount);
    EXPECT_EQ(a.StartClock, b.StartClock);
    EXPECT_EQ(a.Duration, b.Duration);
    EXPECT_EQ(0, std::memcmp(a.Preview, b.Preview, sizeof a.Preview));
    EXPECT_EQ(a.i2c.I2CAddress, b.i2c.I2CAddress);
    EXPECT_EQ(a.i2c.I2CFlags, b.i2c.I2CFlags);
  }
}

std::vector<uint8_t> SomeI2CTraffic() {
  I2CWave wave;
  for (int i = 0; i < 30; ++i) {
    wave.Start();
    wave.Byte(static_cast<uint8_t>(0xA0 + 2 * (i % 4)));
    wave.Byte(static_cast<uint8_t>(i));
    if (i % 3 == 0) {
      wave.RepeatedStart();
      wave.Byte(0xA1);
      wave.Byte(0x42, true);
    }
    wave.Stop();
  }
  return wave.Finish();
}

TEST(LiveDecode, I2CRecordsEqualTheOfflineOnesForAnyChunking) {
  const std::vector<uint8_t> data = SomeI2CTraffic();
  Harness offline;
  const auto expected = offline.RunOffline(RunI2CAnalyzerDecode, data, RelaxedI2CSettings());
  ASSERT_EQ(expected.records.size(), 40u);
  for (const size_t chunk : {size_t{1}, size_t{37}, size_t{4096}}) {
    SCOPED_TRACE(chunk);
    const LiveRun live = RunLive(RunI2CAnalyzerDecode, data, RelaxedI2CSettings(), chunk);
    EXPECT_EQ(live.result, kResultDataEnd);
    EXPECT_EQ(live.view_count, 40u);
    for (const TransactionInfo& r : live.records) EXPECT_TRUE(r.RecordFlags & kRecordInView);
    ExpectSameRecords(live.records, expected.records);
  }
}

// The capture stops after the first byte of a word at an even position.
// A long atom there is incomplete and never decoded (its missing byte
// would be whatever the buffer held); a short atom is whole and counts.
TEST(LiveDecode, AWordMissingItsSecondByteIsDecodedOnlyWhenItIsAShortAtom) {
  for (const bool short_last : {false, true}) {
    SCOPED_TRACE(short_last);
    I2CWave wave;
    wave.Start();
    wave.Byte(0xA0);
    wave.Byte(0x11);
    wave.Finish(300);  // the transaction stays open; a long hold atom ends the data
    std::vector<uint8_t> data = wave.Stream().Bytes();
    ASSERT_EQ(data.size() % 2, 0u);
    ASSERT_EQ(data[data.size() - 2] & 0x10, 0);
    data.pop_back();
    if (short_last) data.back() = EncodeShortAtom(static_cast<uint8_t>(data.back() & 0x0F), 5);
    // Offline the same record ends at the last whole atom.
    std::vector<uint8_t> whole = data;
    if (!short_last) whole.pop_back();
    Harness offline;
    const auto expected = offline.RunOffline(RunI2CAnalyzerDecode, whole, RelaxedI2CSettings());
    ASSERT_EQ(expected.records.size(), 1u);
    for (const size_t chunk : {size_t{1}, size_t{7}, size_t{4096}}) {
      SCOPED_TRACE(chunk);
      const LiveRun live = RunLive(RunI2CAnalyzerDecode, data, RelaxedI2CSettings(), chunk, 0, 1);
      EXPECT_EQ(live.result, kResultDataEnd);
      ExpectSameRecords(live.records, expected.records);
    }
  }
}

TEST(LiveDecode, DeviceOverrunEndsTheRunWithItsResult) {
  const std::vector<uint8_t> data = SomeI2CTraffic();
  const LiveRun live = RunLive(RunI2CAnalyzerDecode, data, RelaxedI2CSettings(), 64, 5);
  EXPECT_EQ(live.result, kResultDriverOverrun);
  EXPECT_LT(live.view_count, 40u);
}

TEST(LiveDecode, SpiRecordsEqualTheOfflineOnes) {
  analyzer_test::AtomStream s(0x1);
  for (int t = 0; t < 10; ++t) {
    s.Change(40, 0x0);
    for (int bit = 0; bit < 16; ++bit) {
      const uint8_t data = static_cast<uint8_t>(((t + bit) & 1) ? 0xC : 0x4);
      s.Change(5, data);
      s.Change(10, data | 0x2);
      s.Change(10, data);
    }
    s.Change(10, 0x1);
  }
  s.Hold(100);
  SettingsRecord settings = DefaultSettingsRecord();
  settings.m_AnalyzeBusChannel = 0;
  settings.SpiSsMode = 1;
  settings.SpiSamplingEdge = 1;
  settings.SpiBitFlags = 1;
  Harness offline;
  const auto expected = offline.RunOffline(RunSpiAnalyzerDecode, s.Bytes(), settings);
  ASSERT_EQ(expected.records.size(), 10u);
  const LiveRun live = RunLive(RunSpiAnalyzerDecode, s.Bytes(), settings, 13);
  ExpectSameRecords(live.records, expected.records);
}

}  // namespace
}  // namespace orvane

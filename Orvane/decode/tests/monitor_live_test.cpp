#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "Orvane/capture/capture_reader.h"
#include "Orvane/capture/run_result.h"
#include "Orvane/decode/monitor_i2c.h"
#include "Orvane/decode/tests/monitor_test_support.h"
#include "Orvane/decode/trigger_action.h"

namespace orvane {
namespace {

using namespace orvane::testing;  // NOLINT: the unit builders

// A free-run capture reader that delivers a prepared unit stream in fixed
// chunks into the live ring: it stays 4 bytes behind the protected position
// once the ring has wrapped and stops at the trigger stop position.
class ScriptedFreeRunReader final : public CaptureReader {
 public:
  ScriptedFreeRunReader(CSamplingObj& sampling, uint8_t* buffer, std::string source, uint32_t chunk)
      : s_(sampling), buffer_(buffer), source_(std::move(source)), chunk_(chunk) {}

  uint16_t ReadStep(bool, uint32_t protected_position, uint32_t*) override {
    if (s_.trigger_done) return kReaderNoData;
    if (sent_ == source_.size()) return kReaderFinished;
    const uint32_t size = s_.m_sizeSamplingBuf;
    const uint32_t write = s_.m_SamplingCurrentPtr;
    const uint32_t p = protected_position & ~1u;
    uint32_t n = std::min<uint32_t>(chunk_, static_cast<uint32_t>(source_.size() - sent_));
    if (!s_.buffer_wrapped) {
      if (s_.m_lenSamplingDataInBuffer + n >= size) {
        n = size - s_.m_lenSamplingDataInBuffer;
        s_.buffer_wrapped = true;
      }
    } else if (write < p) {
      if (write + n >= p) n = p - write < 4 ? 0 : p - write - 4;
    } else {
      n = std::min(n, size - write);
    }
    const uint32_t stop = s_.SamplingStopAdrs;
    if (stop != kNoStopAddress && write < stop && write + n >= stop) {
      n = stop - write;
      s_.trigger_done = true;
    }
    if (n == 0) return kReaderNoData;
    std::memcpy(buffer_ + write, source_.data() + sent_, n);
    sent_ += n;
    uint32_t length = s_.m_lenSamplingDataInBuffer + n;
    if (length >= size) length -= size;
    s_.m_lenSamplingDataInBuffer = length;
    s_.m_SamplingCurrentPtr = length;
    return kReaderData;
  }

 private:
  CSamplingObj& s_;
  uint8_t* buffer_;
  std::string source_;
  size_t sent_ = 0;
  uint32_t chunk_;
};

// Transactions of 8 bytes each: START, address 0x50 write, data k, STOP.
std::string Transactions(uint8_t count) {
  std::vector<uint16_t> units;
  for (uint8_t k = 0; k < count; ++k) {
    for (uint16_t u : {Unit1(kStart), Unit1(kAcked, 0xA0), Unit1(kAcked, k), Unit1(kStop)}) units.push_back(u);
  }
  return I2CUnits(units);
}

class MonitorLiveFreeRun : public MonitorDecodeTest {
 protected:
  static constexpr uint32_t kRing = 64;

  uint32_t RunLive(uint32_t chunk, uint8_t transactions) {
    sampling_ = std::make_unique<CSamplingObj>(app_, sink_);
    EXPECT_TRUE(sampling_->Records().CreatePool());
    sampling_->AttachLiveBuffer(ring_, kRing);
    settings_.FreeRun = 1;
    ScriptedFreeRunReader reader(*sampling_, ring_, Transactions(transactions), chunk);
    DecodeContext ctx{*sampling_, settings_, events_, &reader, true};
    ctx.capture_size = kRing;
    ctx.no_wait = true;
    const uint32_t result = RunMonitorI2CDecode(ctx);
    sampling_->DetachLiveBuffer();
    return result;
  }

  void TriggerOnData(uint8_t value, uint16_t position_percent) {
    settings_.TriggerEnable = 1;
    settings_.DataPatternEnable = 1;
    settings_.DataLength = 1;
    settings_.DataPattern[1 - 1] = value;
    settings_.TriggerPosition = position_percent;
  }

  bool TriggerTextPosted() {
    while (auto event = events_.Take(0)) {
      if (event->kind == RunEventKind::kTriggerDetect) return event->text == kTriggerText;
    }
    return false;
  }

  uint8_t ring_[kRing] = {};
};

TEST_F(MonitorLiveFreeRun, DecodesAcrossTheWrapIntoTheViewRing) {
  EXPECT_EQ(RunLive(6, 20), kResultDataEnd);
  const auto records = Records();
  ASSERT_EQ(records.size(), 20u);
  for (uint32_t k = 0; k < 20; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(records[k].SamplePos, 8 * k % kRing);
    EXPECT_EQ(records[k].bStartEndType, 0x19);
    EXPECT_EQ(records[k].Preview[0], k);
    EXPECT_EQ(records[k].RecordFlags, kRecordI2C | kRecordComplete | kRecordInView);
  }
  EXPECT_EQ(sampling_->Records().ViewCount(), 20u);
  const auto first = events_.Take(0);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->a, 10u);  // live start: code 10 with the capture size
  EXPECT_EQ(first->b, kRing);
}

TEST_F(MonitorLiveFreeRun, TriggerStopEndsTheCaptureHalfABufferLater) {
  TriggerOnData(7, 50);  // transaction 7 at 56..62: stop = 56 + 6 + 32 - 64 = 30
  EXPECT_EQ(RunLive(2, 20), kResultDataEnd);
  EXPECT_EQ(sampling_->SamplingStopAdrs, 30u);
  EXPECT_TRUE(sampling_->trigger_done);
  const auto records = Records();
  ASSERT_EQ(records.size(), 12u);  // 0..10 complete, 11 cut at the stop position
  EXPECT_TRUE(records[7].RecordFlags & kRecordTrigger);
  EXPECT_EQ(std::count_if(records.begin(), records.end(),
                          [](const TransactionInfo& r) { return (r.RecordFlags & kRecordTrigger) != 0; }),
            1);
  EXPECT_EQ(records[11].bStartEndType, 0x89);
  EXPECT_TRUE(TriggerTextPosted());
}

TEST_F(MonitorLiveFreeRun, TriggerAtOneHundredKeepsTheWholeRingBeforeIt) {
  TriggerOnData(7, 100);  // stop = 56 - 4
  EXPECT_EQ(RunLive(2, 30), kResultDataEnd);
  EXPECT_EQ(sampling_->SamplingStopAdrs, 52u);
  const auto records = Records();
  ASSERT_EQ(records.size(), 15u);  // up to transaction 13 at 40, then 14 cut at 52
  EXPECT_EQ(records[14].SamplePos, 48u);
  EXPECT_EQ(records[14].bStartEndType, 0x89);
}

TEST_F(MonitorLiveFreeRun, TriggerAtZeroEndsTheRunAtOnce) {
  TriggerOnData(3, 0);
  EXPECT_EQ(RunLive(2, 20), kResultDataEnd);
  EXPECT_EQ(Records().size(), 4u);
  EXPECT_EQ(sampling_->SamplingStopAdrs, kNoStopAddress);
}

TEST_F(MonitorLiveFreeRun, JapaneseTriggerText) {
  TriggerOnData(3, 0);
  sampling_ = std::make_unique<CSamplingObj>(app_, sink_);
  ASSERT_TRUE(sampling_->Records().CreatePool());
  sampling_->AttachLiveBuffer(ring_, kRing);
  settings_.FreeRun = 1;
  ScriptedFreeRunReader reader(*sampling_, ring_, Transactions(5), 8);
  DecodeContext ctx{*sampling_, settings_, events_, &reader, true, true};
  ctx.capture_size = kRing;
  EXPECT_EQ(RunMonitorI2CDecode(ctx), kResultDataEnd);
  sampling_->DetachLiveBuffer();
  bool found = false;
  while (auto event = events_.Take(0)) {
    if (event->kind == RunEventKind::kTriggerDetect) found = event->text == kTriggerTextJapanese;
  }
  EXPECT_TRUE(found);
}

}  // namespace
}  // namespace orvane

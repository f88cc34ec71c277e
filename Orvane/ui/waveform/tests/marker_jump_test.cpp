// Marker jumps to line changes on a synthesized I2C capture, decoded by the
// real analyzer decoder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Orvane/decode/i2c_analyzer.h"
#include "Orvane/decode/signal_cursor.h"
#include "Orvane/decode/tests/analyzer_test_support.h"
#include "Orvane/ui/waveform/logic_form_model.h"
#include "Orvane/ui/waveform/marker_jumps.h"
#include "sim/synthesizer.h"

namespace orvane::ui {
namespace {

constexpr char kScenario[] = R"(bus i2c0
rate 50
scl 400k
start
addr 0x50 w
write 00 10
stop
idle 20us
start
addr 0x50 r
read 5a
stop
idle 10us
)";

class MarkerJumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    velix::sim::SynthResult synth;
    std::string error;
    ASSERT_TRUE(velix::sim::SynthesizeToMemory(kScenario, {}, 1u << 20, &synth, &error)) << error;
    settings_ = synth.settings;
    outcome_ = harness_.RunOffline(RunI2CAnalyzerDecode, synth.data, settings_);
    ASSERT_EQ(outcome_.records.size(), 2u);
  }

  // Every line change of record `i` from its opening condition on, walked
  // one change at a time with the cursor, up to the next record.
  std::vector<int64_t> Changes(size_t i) {
    CSamplingObj& sampling = harness_.Sampling();
    AtomWalker walker(sampling);
    const TransactionInfo& record = outcome_.records[i];
    const uint32_t limit = i + 1 < outcome_.records.size() ? outcome_.records[i + 1].SamplePos
                                                            : kNoPositionLimit;
    SignalCursor cursor(walker, LineMappingFor(settings_), record,
                        sampling.m_lenSamplingDataInBuffer, limit);
    std::vector<int64_t> changes;
    uint32_t held = 0;
    while (cursor.GetSignal_NextSignal(&held)) changes.push_back(cursor.ChangeOffset());
    return changes;
  }

  LogicFormModel& Show(size_t i, bool extend) {
    model_.CanvasResize(500);
    model_.SetExtend(extend);
    ShownTransaction shown;
    shown.record = outcome_.records[i];
    if (i + 1 < outcome_.records.size()) shown.next_start_clock = outcome_.records[i + 1].StartClock;
    shown.sampling = &harness_.Sampling();
    model_.SetTransaction(shown);
    return model_;
  }

  analyzer_test::Harness harness_;
  analyzer_test::Outcome outcome_;
  SettingsRecord settings_{};
  LogicFormModel model_{settings_};
};

TEST_F(MarkerJumpTest, ForwardVisitsEveryChangeUpToTheEnd) {
  const std::vector<int64_t> changes = Changes(0);
  const TransactionInfo& record = outcome_.records[0];
  ASSERT_GT(changes.size(), 20u);
  EXPECT_EQ(changes.front(), 0);  // the START itself
  Show(0, false);
  // From the START the first jump goes to the SCL fall that ends tHD_STA.
  model_.JumpChangeSignal(0, true);
  EXPECT_EQ(model_.Marker(0), static_cast<int32_t>(outcome_.timings[0].tHD_STA));
  for (size_t k = 2; k < changes.size() && changes[k] <= record.Duration; ++k) {
    model_.JumpChangeSignal(0, true);
    ASSERT_EQ(model_.Marker(0), changes[k]) << k;
    EXPECT_FALSE(model_.OutOfView(0)) << k;
  }
  // The STOP ends the transaction; without "Extend Time" the marker stays.
  EXPECT_EQ(model_.Marker(0), static_cast<int32_t>(record.Duration));
  model_.JumpChangeSignal(0, true);
  EXPECT_EQ(model_.Marker(0), static_cast<int32_t>(record.Duration));
}

TEST_F(MarkerJumpTest, BackwardVisitsEveryChangeDownToTheLeadIn) {
  const std::vector<int64_t> changes = Changes(0);
  const TransactionInfo& record = outcome_.records[0];
  Show(0, false);
  model_.DragMarker(1, static_cast<int32_t>(record.Duration));
  size_t k = 0;
  while (k + 1 < changes.size() && changes[k + 1] < record.Duration) ++k;
  for (;; --k) {
    model_.JumpChangeSignal(1, false);
    ASSERT_EQ(model_.Marker(1), changes[k]) << k;
    if (k == 0) break;
  }
  // Before the START only the lead-in remains: the range start.
  model_.JumpChangeSignal(1, false);
  EXPECT_EQ(model_.Marker(1), -static_cast<int32_t>(record.old_SignalClock));
  EXPECT_EQ(model_.Marker(1), model_.RangeStart());
  model_.JumpChangeSignal(1, false);
  EXPECT_EQ(model_.Marker(1), model_.RangeStart());
}

TEST_F(MarkerJumpTest, ExtendedJumpsStopAtTheNextTransaction) {
  const TransactionInfo& record = outcome_.records[0];
  const auto gap = static_cast<int32_t>(outcome_.records[1].StartClock - record.StartClock);
  Show(0, true);
  ASSERT_EQ(model_.RangeEnd(), gap);
  model_.DragMarker(2, static_cast<int32_t>(record.Duration));
  model_.JumpChangeSignal(2, true);
  EXPECT_EQ(model_.Marker(2), gap);  // the next START
  EXPECT_FALSE(model_.OutOfView(2));
  model_.JumpChangeSignal(2, true);
  EXPECT_EQ(model_.Marker(2), gap);
}

TEST_F(MarkerJumpTest, TheLastTransactionWalksToItsOwnEnd) {
  const std::vector<int64_t> changes = Changes(1);
  const TransactionInfo& record = outcome_.records[1];
  Show(1, true);
  EXPECT_EQ(model_.RangeEnd(), static_cast<int32_t>(record.Duration));
  model_.DragMarker(0, static_cast<int32_t>(changes[changes.size() / 2] - 1));
  model_.JumpChangeSignal(0, true);
  EXPECT_EQ(model_.Marker(0), changes[changes.size() / 2]);
}

TEST_F(MarkerJumpTest, NoSamplingDataLeavesTheMarker) {
  ShownTransaction shown;
  shown.record = outcome_.records[0];
  model_.CanvasResize(500);
  model_.SetTransaction(shown);
  model_.DragMarker(0, 5);
  model_.JumpChangeSignal(0, true);
  EXPECT_EQ(model_.Marker(0), 5);
  EXPECT_EQ(SignalWalkLimit(harness_.Sampling(), outcome_.records[1]), kNoPositionLimit);
}

}  // namespace
}  // namespace orvane::ui

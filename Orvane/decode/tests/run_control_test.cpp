#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "Orvane/capture/orvane_doc.h"
#include "Orvane/capture/run_result.h"
#include "Orvane/decode/analysis_worker.h"
#include "Orvane/decode/run_end.h"
#include "Orvane/decode/run_messages.h"
#include "platform/recording_sink.h"
#include "platform/tests/scratch_folder.h"
#include "sim/synthesizer.h"

namespace orvane {
namespace {

using velix::platform::Icon;
using velix::platform::RecordingSink;
using velix::platform::testing::ScratchFolder;

struct ChoiceCase {
  uint8_t channel;
  uint8_t forced;
  WorkerKind kind;
};

class WorkerChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(WorkerChoiceTest, FollowsChannelAndForcedDisplay) {
  SettingsRecord settings = DefaultSettingsRecord();
  settings.m_AnalyzeBusChannel = GetParam().channel;
  settings.ForcedDisplay = GetParam().forced;
  EXPECT_EQ(ChooseWorker(settings), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(Table, WorkerChoiceTest,
                         ::testing::Values(ChoiceCase{0, 0, WorkerKind::kSpi},
                                           ChoiceCase{1, 0, WorkerKind::kI2C},
                                           ChoiceCase{2, 0, WorkerKind::kI2C},
                                           ChoiceCase{3, 0, WorkerKind::kNone},
                                           ChoiceCase{0, 1, WorkerKind::kWaveform},
                                           ChoiceCase{3, 1, WorkerKind::kWaveform}));

TEST(RunMessagesTest, EveryErrorResultHasItsMessage) {
  EXPECT_EQ(RunEndMessage(kResultDataEnd), "");
  EXPECT_EQ(RunEndMessage(kResultStepEnd), "");
  EXPECT_EQ(RunEndMessage(kResultDataEndOpen), "");
  EXPECT_EQ(RunEndMessage(kResultDeviceRemoved), "*** VELIX removed ***");
  EXPECT_EQ(RunEndMessage(kResultUnknownUsbError), "*** Unknown USB error ***");
  EXPECT_EQ(RunEndMessage(kResultDriverOverrun),
            " ++ (DATA OVERRUN) ++\n\n*** Device driver overflow!!! ***");
  EXPECT_EQ(RunEndMessage(kResultDeviceOverrun),
            " ++ (DATA OVERRUN) ++\n\n*** VELIX internal overflow!!! ***");
  EXPECT_EQ(RunEndMessage(kResultMappingError),
            "***  sampling data memory mapping error. ***\n Memory allocation error.");
  EXPECT_EQ(RunEndMessage(kResultMemoryError), "*** Memory allocation failed. ***\n");
  EXPECT_EQ(RunEndMessage(kResultBadData), "*** Sampling data is incorrect. ***");
  EXPECT_EQ(RunEndMessage(0x80000000), "Unknown error occured.  (0x80000000)");
}

constexpr char kTraffic[] = R"(
bus i2c0
scl 1m
start
addr 0x50 w
write 00 10 20 30
start
addr 0x50 r
read 01 02 03
stop
idle 3us
)";

// A document with a real worker over a synthesized capture.
class RunControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_.temp_folder = temp_.Path();
    app_.sampling_file_name = temp_.File("test.SIC");
    doc_.OnNewDocument();
  }
  std::string Synthesize(const char* scenario, uint64_t size) {
    velix::sim::SynthOptions options;
    options.target_size = size;
    const std::string path = files_.File("capture.SIC");
    std::string error;
    EXPECT_TRUE(velix::sim::SynthesizeSicFile(scenario, options, path, "", &error)) << error;
    return path;
  }
  RunEvent WaitForEnd() {
    for (;;) {
      const std::optional<RunEvent> event = events_.Take(5000);
      EXPECT_TRUE(event.has_value()) << "no worker end";
      if (!event || event->kind == RunEventKind::kWorkerEnd) return event.value_or(RunEvent{});
    }
  }

  ScratchFolder temp_;
  ScratchFolder files_;
  AppState app_;
  RecordingSink sink_;
  RunEventQueue events_;
  AnalysisWorker worker_{app_, events_};
  COrvaneDoc doc_{app_, sink_, nullptr, &worker_};
  SearchMemory search_;
};

TEST_F(RunControlTest, OpenDecodesFiltersAndEnds) {
  ASSERT_TRUE(doc_.OnOpenDocument(Synthesize(kTraffic, 0)));
  const std::optional<RunEvent> first = events_.Take(5000);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->kind, RunEventKind::kStatusText);
  EXPECT_EQ(first->text, "now Analysis...");
  const RunEvent end = WaitForEnd();
  EXPECT_EQ(end.a, 0u);
  EXPECT_FALSE(IsErrorResult(end.b));
  EXPECT_FALSE(app_.analysis_running);
  const RunEndOutcome outcome = HandleRunEnd(doc_, end.a == 1, end.b, sink_, search_, nullptr);
  EXPECT_FALSE(outcome.error);
  EXPECT_EQ(outcome.filter.entered, 2u);
  EXPECT_EQ(doc_.Sampling()->Records().ViewCount(), 2u);
}

TEST_F(RunControlTest, ChannelWithoutDecoderStartsNoWorker) {
  ASSERT_TRUE(doc_.OnOpenDocument(Synthesize(kTraffic, 0)));
  WaitForEnd();
  app_.settings.m_AnalyzeBusChannel = 3;
  EXPECT_FALSE(doc_.RebuildTransactionInfo());
  EXPECT_FALSE(worker_.Running());
}

TEST_F(RunControlTest, NoRecordSaysNoValidTransaction) {
  ASSERT_TRUE(doc_.OnOpenDocument(Synthesize("bus i2c0\nidle 100us\n", 0)));
  const RunEvent end = WaitForEnd();
  const RunEndOutcome outcome = HandleRunEnd(doc_, false, end.b, sink_, search_, nullptr);
  EXPECT_TRUE(outcome.no_valid_transaction);
  ASSERT_FALSE(sink_.Messages().empty());
  EXPECT_EQ(sink_.Messages().back().text, "No valid transaction.");
  EXPECT_EQ(sink_.Messages().back().icon, Icon::kExclamation);
}

TEST_F(RunControlTest, ErrorResultIsShownAndRecordsStay) {
  ASSERT_TRUE(doc_.OnOpenDocument(Synthesize(
      "bus i2c0\nscl 1m\nstart\naddr 0x50 w\nwrite 01\nstop\nidle 5us\ncorrupt-atom\nidle 5us\n", 0)));
  const RunEvent end = WaitForEnd();
  EXPECT_EQ(end.b, kResultBadData);
  const RunEndOutcome outcome = HandleRunEnd(doc_, false, end.b, sink_, search_, nullptr);
  EXPECT_TRUE(outcome.error);
  EXPECT_EQ(outcome.filter.entered, 1u);
  ASSERT_FALSE(sink_.Messages().empty());
  EXPECT_EQ(sink_.Messages().front().text, "*** Sampling data is incorrect. ***");
  EXPECT_EQ(sink_.Messages().front().icon, Icon::kStop);
}

TEST_F(RunControlTest, TriggerConditionsBecomeSearchDefaults) {
  SettingsRecord settings = DefaultSettingsRecord();
  settings.TriggerEnable = 1;
  settings.DataPatternEnable = 1;
  settings.DataLength = 2;
  settings.DataPattern[0] = 0xAA;
  settings.DataPattern[1] = 0xBB;
  settings.AddressEnable = 1;
  settings.AddressCondition = 1;  // "not equal" is no search default
  settings.AddressValue = 0x33;
  CarryTriggerIntoSearch(settings, search_);
  EXPECT_EQ(search_.data_length, 2);
  EXPECT_EQ(search_.data_pattern[1], 0xBB);
  EXPECT_EQ(search_.address, 0);
}

// A stop from the UI thread at any moment ends the run with the records
// made so far; run under ThreadSanitizer this also checks the hand-over.
TEST_F(RunControlTest, StopAtRandomMoments) {
  const std::string path = Synthesize(kTraffic, 4u << 20);
  std::mt19937 random(12345);
  for (int round = 0; round < 5; ++round) {
    ASSERT_TRUE(doc_.OnOpenDocument(path));
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    worker_.StopCaptureAnalyzing(doc_);
    const RunEvent end = WaitForEnd();
    EXPECT_FALSE(IsErrorResult(end.b));
    EXPECT_EQ(end.b & ~0x10u, kResultDataEnd);
    const uint32_t made = doc_.Sampling()->transaction_counter;
    const RunEndOutcome outcome = HandleRunEnd(doc_, false, end.b, sink_, search_, nullptr);
    EXPECT_EQ(outcome.filter.entered, made);
  }
}

}  // namespace
}  // namespace orvane

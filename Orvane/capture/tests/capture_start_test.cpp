#include "Orvane/capture/capture_start_checks.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include "Orvane/capture/tests/fake_live_memory.h"
#include "platform/recording_sink.h"

namespace orvane {
namespace {

using testing::FakeLiveMemory;
using testing::kStartupLimits;
using velix::platform::Answer;
using velix::platform::Icon;
using velix::platform::RecordingSink;

const char* const kRangeMessage = "Setting error.\nThe setting value is beyond the range\n : ";

CaptureEntries Entries(uint32_t capture_mb, uint32_t driver_mb) {
  CaptureEntries e;
  e.capture_size_mb = capture_mb;
  e.driver_buffer_mb = driver_mb;
  e.max_capture_size_mb = 480;
  return e;
}

struct Harness {
  FakeLiveMemory memory;
  RecordingSink sink;
  LiveBuffer buffer{memory, kStartupLimits};
  std::vector<uint8_t> driver_sizes;
  DriverBufferResult driver_answer = DriverBufferResult::kSet;
  SetDriverBufferFn set_driver = [this](uint8_t mb) {
    driver_sizes.push_back(mb);
    return driver_answer;
  };

  bool Start(const CaptureEntries& entries, CaptureChoice* choice) {
    return StartCaptureChecks(entries, set_driver, true, buffer, sink, choice);
  }
};

TEST(StartCapture, RefusalsKeepTheDialogOpenWithoutSideEffects) {
  struct Case {
    const char* name;
    uint32_t capture_mb, driver_mb;
    DriverBufferResult driver_answer;
    std::string message;
    size_t driver_calls;
  };
  constexpr DriverBufferResult kSet = DriverBufferResult::kSet;
  const std::vector<Case> cases = {
      {"driver buffer equal to capture", 16, 16, kSet,
       "Capture data size need to be larger than driver buffer size.", 0},
      {"driver buffer above capture", 8, 9, kSet,
       "Capture data size need to be larger than driver buffer size.", 0},
      {"driver refuses the size", 256, 16, DriverBufferResult::kFailed,
       "Failed to set the Driver buffer size.\nPlease set the smaller size. \n or reconnect VELIX and "
       "restart the application.",
       1},
      {"another capture streams", 256, 16, DriverBufferResult::kDeviceInUse, "VELIX is in use by another capture.", 1},
      {"capture size above its maximum", 481, 16, kSet, std::string(kRangeMessage) + "481", 0},
      {"capture size 0", 0, 16, kSet, std::string(kRangeMessage) + "0", 0},
      {"driver buffer above 16", 256, 17, kSet, std::string(kRangeMessage) + "17", 0},
      {"driver buffer 0", 256, 0, kSet, std::string(kRangeMessage) + "0", 0},
  };
  for (const Case& c : cases) {
    Harness h;
    h.driver_answer = c.driver_answer;
    CaptureChoice choice;
    EXPECT_FALSE(h.Start(Entries(c.capture_mb, c.driver_mb), &choice)) << c.name;
    ASSERT_EQ(h.sink.Messages().size(), 1u) << c.name;
    EXPECT_EQ(h.sink.Messages()[0].text, c.message) << c.name;
    EXPECT_EQ(h.sink.Messages()[0].icon, Icon::kNone) << c.name;
    EXPECT_EQ(h.driver_sizes.size(), c.driver_calls) << c.name;
    EXPECT_EQ(h.memory.commits, 0) << c.name;
    EXPECT_EQ(choice.buffer_start, nullptr) << c.name;
  }
}

TEST(StartCapture, AcceptedStartHandsOverTheBufferAndTheChoices) {
  Harness h;
  CaptureEntries e = Entries(3, 2);
  e.monitor_mode = true;
  e.bus = 2;
  e.free_run = 1;
  e.frequency_index = 1;
  CaptureChoice choice;
  ASSERT_TRUE(h.Start(e, &choice));
  EXPECT_EQ(h.driver_sizes, (std::vector<uint8_t>{2}));
  EXPECT_TRUE(h.buffer.Locked());
  EXPECT_EQ(choice.buffer_start, h.buffer.Data());
  EXPECT_EQ(choice.size_bytes, 3u * 1048576u);
  EXPECT_EQ(choice.buffer_end, choice.buffer_start + 3 * 1048576 - 1);
  EXPECT_EQ(choice.sample_period_code, 5);
  EXPECT_TRUE(choice.monitor_mode);
  EXPECT_EQ(choice.bus, 2);
  EXPECT_EQ(choice.free_run, 1);
  EXPECT_EQ(choice.driver_buffer_mb, 2);
  EXPECT_EQ(choice.capture_size_mb, 3u);

  AppState app;
  app.settings.ForcedDisplay = 1;
  StoreCaptureChoice(choice, app);
  EXPECT_EQ(app.settings.MonitorMode, 1);
  EXPECT_EQ(app.settings.m_AnalyzeBusChannel, 2);
  EXPECT_EQ(app.settings.FreeRun, 1);
  EXPECT_EQ(app.settings.SamplePeriodCode, 5);
  EXPECT_EQ(app.settings.DriverBufferSize, 2);
  EXPECT_EQ(app.settings.m_sizeSamplingBuf, 3u * 1048576u);
  EXPECT_EQ(app.settings.ForcedDisplay, 0);
  EXPECT_EQ(app.capture_size_mb, 3u);
}

TEST(StartCapture, DialogDefaultsStartAsOpened) {
  Harness h;
  const CaptureDialogValues opened =
      OpenCaptureDialogValues(DefaultSettingsRecord(), 0, true, kCaptureSizeCapMonitorMb);
  CaptureChoice choice;
  ASSERT_TRUE(h.Start(EntriesFromDialogValues(opened), &choice));
  EXPECT_EQ(choice.capture_size_mb, 32u);
  EXPECT_EQ(choice.driver_buffer_mb, 2);
  EXPECT_EQ(choice.sample_period_code, 2);
  EXPECT_TRUE(choice.monitor_mode);
}

TEST(StartCapture, LockRefusedAnsweredNoUndoesAtOnceAndCancelFindsNothing) {
  Harness h;
  h.memory.lock_error = ENOMEM;
  h.sink.QueueAnswer(Answer::kNo);
  CaptureChoice choice;
  EXPECT_FALSE(h.Start(Entries(8, 4), &choice));
  EXPECT_FALSE(h.buffer.Committed());
  EXPECT_EQ(h.memory.restored.size(), 1u);

  h.buffer.Release(h.sink);  // the dialog's Cancel
  EXPECT_EQ(h.memory.restored.size(), 1u);
  EXPECT_EQ(h.sink.Messages().size(), 1u);
}

TEST(StartCapture, MissingDriverCallIsTheDriverFailure) {
  FakeLiveMemory memory;
  RecordingSink sink;
  LiveBuffer buffer(memory, kStartupLimits);
  CaptureChoice choice;
  EXPECT_FALSE(StartCaptureChecks(Entries(8, 4), SetDriverBufferFn{}, false, buffer, sink, &choice));
  ASSERT_EQ(sink.Messages().size(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, kDriverBufferFailedMessage);
  EXPECT_FALSE(StartCaptureChecks(Entries(8, 4), SetDriverBufferFn{}, false, buffer, sink, nullptr));
}

}  // namespace
}  // namespace orvane

#include "Orvane/capture/capture_readers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "Orvane/capture/tests/live_capture_fixture.h"
#include "platform/tests/case_name.h"

namespace orvane {
namespace {

using testing::LiveCaptureTest;
using velix::platform::testing::CaseName;
using velix::platform::testing::PrintTo;

constexpr uint32_t kMiB = 1048576;
constexpr uint32_t kRing = 4096;
const std::string kOneshotDanger = "\n *** [DANGER!!!] !!!  WaitForSingleObject()  result=0x0 !!! ***\n";
const std::string kFreeRunDanger = "\n *** [DANGER!!] !!  WaitForSingleObject()  result=0x0 !!! ***\n";

enum class Mode { kOneshot, kFreeRun };

std::string ModeName(Mode mode) { return mode == Mode::kOneshot ? "Oneshot" : "FreeRun"; }

std::string ModeCaseName(const ::testing::TestParamInfo<Mode>& row) { return ModeName(row.param); }

class ReaderTest : public LiveCaptureTest {
 protected:
  uint16_t Step(Mode mode, bool wait, uint32_t protected_position = 0) {
    if (mode == Mode::kOneshot) {
      OneshotReader reader(sampling_, link_, &events_);
      return reader.ReadStep(wait, protected_position, &driver_status_);
    }
    FreeRunReader reader(sampling_, link_, &events_);
    return reader.ReadStep(wait, protected_position, &driver_status_);
  }

  // Runs `script` on another thread while the step waits.
  template <typename Script>
  uint16_t StepWhile(Mode mode, Script script) {
    std::thread driver([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      script();
    });
    const uint16_t status = Step(mode, true);
    driver.join();
    return status;
  }

  uint32_t driver_status_ = 0;
};

TEST_F(ReaderTest, OneshotTakesWhatFitsThenReportsTheBufferFull) {
  Attach(kMiB);
  PlaceWriter(100, false);
  link_.Feed(kMiB + kMiB / 2);
  EXPECT_EQ(Step(Mode::kOneshot, false), kReaderFinished);
  EXPECT_EQ(link_.ReadLengths(), std::vector<uint32_t>{kMiB - 100});
  EXPECT_EQ(sampling_.m_lenSamplingDataInBuffer, kMiB);
  EXPECT_EQ(sampling_.m_SamplingCurrentPtr, kMiB);
  ExpectBytesAt(100, 0, kMiB - 100);
  const std::vector<RunEvent> events = TakeEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, RunEventKind::kProgress);
  EXPECT_EQ(events[0].a, 11u);
  EXPECT_EQ(events[0].b, kMiB);

  const int queries = link_.CountQueries();
  EXPECT_EQ(Step(Mode::kOneshot, true), kReaderFinished);
  EXPECT_EQ(link_.CountQueries(), queries) << "a full buffer asks the driver nothing";
  EXPECT_EQ(trace_.Text(), "");
}

TEST_F(ReaderTest, OneshotAppendsEveryReadAndPostsTheNewLength) {
  Attach(kRing);
  link_.Feed(10);
  EXPECT_EQ(Step(Mode::kOneshot, false), kReaderData);
  link_.Feed(20);
  EXPECT_EQ(Step(Mode::kOneshot, false), kReaderData);
  EXPECT_EQ(Step(Mode::kOneshot, false), kReaderNoData);
  EXPECT_EQ(sampling_.m_lenSamplingDataInBuffer, 30u);
  ExpectBytesAt(0, 0, 30);
  const std::vector<RunEvent> events = TakeEvents();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].b, 10u);
  EXPECT_EQ(events[1].b, 30u);
}

TEST_F(ReaderTest, FreeRunCutsTheFirstPassAtTheEndAndGoesOnAtZero) {
  Attach(kRing);
  PlaceWriter(3900, false);
  link_.Feed(100);
  EXPECT_EQ(Step(Mode::kFreeRun, false, 0), kReaderData);
  EXPECT_FALSE(sampling_.buffer_wrapped);
  link_.Feed(300);
  EXPECT_EQ(Step(Mode::kFreeRun, false, 0), kReaderData);
  EXPECT_TRUE(sampling_.buffer_wrapped);
  EXPECT_EQ(sampling_.m_SamplingCurrentPtr, 0u);
  EXPECT_EQ(sampling_.m_lenSamplingDataInBuffer, 0u);
  EXPECT_EQ(Step(Mode::kFreeRun, false, 1000), kReaderData);
  EXPECT_EQ(link_.ReadLengths(), (std::vector<uint32_t>{100, 96, 204}));
  EXPECT_EQ(sampling_.m_SamplingCurrentPtr, 204u);
  ExpectBytesAt(3900, 0, 196);
  ExpectBytesAt(0, 196, 204);

  // Progress follows the first pass only: its length, then the capture size.
  const std::vector<RunEvent> events = TakeEvents();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].b, 4000u);
  EXPECT_EQ(events[1].b, kRing);
}

struct AdmissionRow {
  const char* name;
  uint32_t write;
  bool wrapped;
  uint32_t protected_position;
  uint32_t stop;
  bool done_before;
  uint32_t waiting;
  uint32_t read;
  bool done_after;
};

class FreeRunAdmissionTest : public ReaderTest, public ::testing::WithParamInterface<AdmissionRow> {};

TEST_P(FreeRunAdmissionTest, ReadsOnlyWhatTheRingMayTake) {
  const AdmissionRow& row = GetParam();
  Attach(kRing);
  PlaceWriter(row.write, row.wrapped);
  sampling_.SamplingStopAdrs = row.stop;
  sampling_.trigger_done = row.done_before;
  link_.Feed(row.waiting);
  EXPECT_EQ(Step(Mode::kFreeRun, false, row.protected_position), kReaderData);
  EXPECT_EQ(link_.ReadLengths(),
            row.read == 0 ? std::vector<uint32_t>{} : std::vector<uint32_t>{row.read});
  const uint32_t end = row.write + row.read;
  EXPECT_EQ(sampling_.m_SamplingCurrentPtr, end == kRing ? 0 : end);
  EXPECT_EQ(sampling_.trigger_done, row.done_after);
  ExpectBytesAt(row.write, 0, row.read);
}

constexpr uint32_t kNoStop = kNoStopAddress;

INSTANTIATE_TEST_SUITE_P(
    Rows, FreeRunAdmissionTest,
    ::testing::Values(
        AdmissionRow{"ProtectedHundredAhead", 1000, true, 1100, kNoStop, false, 500, 96, false},
        AdmissionRow{"OddProtectedRoundsDown", 1000, true, 1101, kNoStop, false, 500, 96, false},
        AdmissionRow{"ProtectedFarAhead", 1000, true, 2000, kNoStop, false, 500, 500, false},
        AdmissionRow{"ProtectedJustReached", 1000, true, 1500, kNoStop, false, 500, 496, false},
        AdmissionRow{"SixBytesLeft", 1000, true, 1006, kNoStop, false, 500, 2, false},
        AdmissionRow{"FourBytesLeft", 1000, true, 1004, kNoStop, false, 500, 0, false},
        AdmissionRow{"TwoBytesLeft", 1000, true, 1002, kNoStop, false, 500, 0, false},
        AdmissionRow{"ProtectedBehindCutAtEnd", 3900, true, 100, kNoStop, false, 500, 196, false},
        AdmissionRow{"FirstPassIgnoresProtected", 1000, false, 1100, kNoStop, false, 500, 500, false},
        AdmissionRow{"ProtectedBeyondBuffer", 4000, true, 0xFFFFFFF0, kNoStop, false, 500, 96, false},
        AdmissionRow{"TriggerStopTenAhead", 1000, true, 0, 1010, false, 64, 10, true},
        AdmissionRow{"TriggerStopReachedExactly", 1000, true, 0, 1064, false, 64, 64, true},
        AdmissionRow{"TriggerStopFurther", 1000, true, 0, 1100, false, 64, 64, false},
        AdmissionRow{"TriggerStopBehindWriter", 1000, true, 0, 500, false, 64, 64, false},
        AdmissionRow{"TriggerStopFirstPass", 1000, false, 0, 1010, false, 64, 10, true},
        AdmissionRow{"TriggerAlreadyDone", 1010, true, 0, 1010, true, 64, 0, true}),
    CaseName());

enum class EventLine { kNone, kDevice, kBuffer, kUnknown };

struct EventRow {
  const char* name;
  uint32_t word;
  uint16_t status;
  uint32_t run_result;
  EventLine line;
};

std::string EventCaseName(const ::testing::TestParamInfo<std::tuple<Mode, EventRow>>& row) {
  return ModeName(std::get<0>(row.param)) + std::get<1>(row.param).name;
}

class DriverEventTest : public ReaderTest,
                        public ::testing::WithParamInterface<std::tuple<Mode, EventRow>> {};

std::string ExpectedEventTrace(Mode mode, const EventRow& row) {
  char get[160];
  std::snprintf(get, sizeof get,
                mode == Mode::kOneshot
                    ? " *** [WARNING!!!] !!! 0 DRIVER EVENT GET !!! *** << Status=%u (0x%X) >>\n"
                    : " *** [WARNING!!!] !!! 1: DRIVER EVENT GET !!! *** << Status=%u (0x%X) >>\n",
                row.word, row.word);
  std::string text = (mode == Mode::kOneshot ? kOneshotDanger : kFreeRunDanger) + get;
  switch (row.line) {
    case EventLine::kDevice:
      return text + " *** [ DANGER!!! ] [ DANGER!!! ]  DEVICE F/W  OVERRUN !!!!\n";
    case EventLine::kBuffer:
      return text + (mode == Mode::kOneshot
                         ? " *** [ DANGER!!! ] [ DANGER!!! ]  DRIVER or DEVICE OVERRUN !!!!\n"
                         : " *** [ DANGER!!! ] [ DANGER!!! ]  DRIVER Buffer  OVERRUN !!!!\n");
    case EventLine::kUnknown:
      return text + " *** [ WARNING!! ] [ WARNING!! ]  UNKNOWN DRIVER EVENT!!!   \n";
    case EventLine::kNone:
      break;
  }
  return text;
}

TEST_P(DriverEventTest, ClassifiesTheStatusWordAfterTakingTheData) {
  const auto& [mode, row] = GetParam();
  Attach(kRing);
  link_.SetStatusWord(row.word);
  link_.Feed(100);
  ASSERT_TRUE(sampling_.driver_event.Set());
  // A set StopEvent would end a wait at once: the step must not wait with an
  // error pending.
  ASSERT_TRUE(sampling_.StopEvent.Set());
  EXPECT_EQ(Step(mode, true), row.status);
  EXPECT_EQ(driver_status_, row.word);
  EXPECT_EQ(ReaderErrorResult(row.status, driver_status_), row.run_result);
  EXPECT_EQ(sampling_.m_lenSamplingDataInBuffer, 100u) << "the data of the step are kept";
  ExpectBytesAt(0, 0, 100);
  EXPECT_TRUE(sampling_.StopEvent.TryConsume());
  EXPECT_EQ(trace_.Text(), ExpectedEventTrace(mode, row));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DriverEventTest,
    ::testing::Combine(
        ::testing::Values(Mode::kOneshot, Mode::kFreeRun),
        ::testing::Values(
            EventRow{"DeviceOverrun", 0x80000001, kReaderOverrun, kResultDeviceOverrun, EventLine::kDevice},
            EventRow{"BufferOverrun9", 9, kReaderOverrun, kResultDriverOverrun, EventLine::kBuffer},
            EventRow{"BufferOverrun10", 10, kReaderOverrun, kResultDriverOverrun, EventLine::kBuffer},
            EventRow{"BufferOverrun11", 11, kReaderOverrun, kResultDriverOverrun, EventLine::kBuffer},
            EventRow{"Unknown0", 0, kReaderDriverEvent, kResultUnknownUsbError, EventLine::kUnknown},
            EventRow{"Unknown40", 40, kReaderDriverEvent, kResultUnknownUsbError, EventLine::kUnknown},
            EventRow{"Other", 7, kReaderDriverEvent, kResultDeviceRemoved, EventLine::kNone})),
    EventCaseName);

class ReaderModeTest : public ReaderTest, public ::testing::WithParamInterface<Mode> {
 protected:
  bool Oneshot() const { return GetParam() == Mode::kOneshot; }
};

TEST_P(ReaderModeTest, OneTransferEventFromAnotherThreadEndsTheWait) {
  Attach(kRing);
  const uint16_t status = StepWhile(GetParam(), [&] {
    // A wake without data waits again.
    sampling_.one_transfer_event.Set();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    link_.Feed(64);
    sampling_.one_transfer_event.Set();
  });
  EXPECT_EQ(status, kReaderData);
  EXPECT_EQ(link_.ReadLengths(), std::vector<uint32_t>{64});
  ExpectBytesAt(0, 0, 64);
  EXPECT_EQ(trace_.Text(), "");
}

TEST_P(ReaderModeTest, StopEventEndsTheWait) {
  Attach(kRing);
  EXPECT_EQ(StepWhile(GetParam(), [&] { sampling_.StopEvent.Set(); }), kReaderFinished);
  EXPECT_TRUE(link_.ReadLengths().empty());
  EXPECT_EQ(trace_.Text(), Oneshot() ? "[EVENT::STOP]\n" : "");
}

TEST_P(ReaderModeTest, DriverEventDuringTheWaitIsHandledAfterTheData) {
  Attach(kRing);
  const uint16_t status = StepWhile(GetParam(), [&] {
    link_.SetStatusWord(0x80000001);
    link_.Feed(32);
    sampling_.driver_event.Set();
  });
  EXPECT_EQ(status, kReaderOverrun);
  EXPECT_EQ(driver_status_, 0x80000001u);
  ExpectBytesAt(0, 0, 32);
  EXPECT_EQ(trace_.Text(),
            " *** [WARNING!!!] !!! 0 DRIVER EVENT GET !!! *** << Status=2147483649 (0x80000001) >>\n"
            " *** [ DANGER!!! ] [ DANGER!!! ]  DEVICE F/W  OVERRUN !!!!\n");
}

TEST_P(ReaderModeTest, PendingErrorIsNotHeldUpByTheWait) {
  Attach(kRing);
  link_.SetStatusWord(10);
  ASSERT_TRUE(sampling_.driver_event.Set());
  ASSERT_TRUE(sampling_.StopEvent.Set());  // would end a wait that must not happen
  EXPECT_EQ(Step(GetParam(), true), kReaderOverrun);
  EXPECT_TRUE(sampling_.StopEvent.TryConsume());
}

TEST_P(ReaderModeTest, NothingWaitingWithoutWait) {
  Attach(kRing);
  EXPECT_EQ(Step(GetParam(), false), kReaderNoData);
  EXPECT_TRUE(link_.ReadLengths().empty());
  EXPECT_EQ(trace_.Text(), "");
}

TEST_P(ReaderModeTest, CountFailure) {
  Attach(kRing);
  link_.Feed(50);
  link_.fail_count = true;
  EXPECT_EQ(Step(GetParam(), true), kReaderDeviceFailed);
  EXPECT_EQ(ReaderErrorResult(kReaderDeviceFailed, 0), kResultDeviceRemoved);
  EXPECT_TRUE(link_.ReadLengths().empty());
  EXPECT_EQ(trace_.Text(), "VELIX_GetDriverAccumulateDataCount()  :: FALSE!!!\n");
}

TEST_P(ReaderModeTest, ReadFailureLeavesTheWriterWhereItWas) {
  Attach(kRing);
  PlaceWriter(8, false);
  link_.Feed(50);
  link_.fail_read = true;
  EXPECT_EQ(Step(GetParam(), true), kReaderDeviceFailed);
  EXPECT_EQ(sampling_.m_SamplingCurrentPtr, 8u);
  EXPECT_EQ(sampling_.m_lenSamplingDataInBuffer, 8u);
  EXPECT_TRUE(TakeEvents().empty());
}

TEST_P(ReaderModeTest, StatusQueryFailure) {
  Attach(kRing);
  link_.Feed(50);
  link_.fail_status = true;
  ASSERT_TRUE(sampling_.driver_event.Set());
  EXPECT_EQ(Step(GetParam(), false), kReaderDeviceFailed);
  // The oneshot reader still takes the data of the step; the free-run one
  // gives up at once.
  EXPECT_EQ(sampling_.m_lenSamplingDataInBuffer, Oneshot() ? 50u : 0u);
  EXPECT_EQ(trace_.Text(), (Oneshot() ? kOneshotDanger : kFreeRunDanger) +
                               " **** Open / DeviceIOCTL  FALSE :: Fail !!!  : LastError=5\n");
}

TEST_P(ReaderModeTest, FailedWaitEndsTheStepWithoutData) {
  Attach(kRing);
  sampling_.driver_event.Close();
  EXPECT_EQ(Step(GetParam(), true), kReaderNoData);
  const std::string danger = Oneshot() ? "\n *** [DANGER!!!] !!!  " : "\n *** [DANGER!!] !!  ";
  EXPECT_EQ(trace_.Text(), danger +
                               "WaitForSingleObject()  result=0xFFFFFFFF !!! ***\n"
                               " WaitForMultipleObject() :: ... WAIT_FAILED ...   : LastError=9\n");
}

TEST_P(ReaderModeTest, HugeCountNeverWritesPastTheBuffer) {
  Attach(kRing);
  PlaceWriter(4000, false);
  link_.Feed(96);
  link_.claimed_count = 0x7FFFFFFF;
  Step(GetParam(), false);
  EXPECT_EQ(link_.ReadLengths(), std::vector<uint32_t>{96});
  ExpectBytesAt(4000, 0, 96);
}

TEST_P(ReaderModeTest, WithoutLiveBufferTheCaptureIsOver) {
  EXPECT_EQ(Step(GetParam(), true), kReaderFinished);
  EXPECT_EQ(link_.CountQueries(), 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, ReaderModeTest, ::testing::Values(Mode::kOneshot, Mode::kFreeRun),
                         ModeCaseName);

}  // namespace
}  // namespace orvane

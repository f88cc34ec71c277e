#include "Orvane/capture/capture_drain.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Orvane/capture/capture_reader.h"
#include "Orvane/capture/capture_readers.h"
#include "Orvane/capture/tests/live_capture_fixture.h"
#include "platform/tests/case_name.h"

namespace orvane {
namespace {

using testing::LiveCaptureTest;

constexpr uint32_t kMiB = 1048576;
constexpr uint32_t kRing = 4096;
const std::string kHead = " *** ReadDriverSamplingData_AfterStop() ***\n";

class DrainTest : public LiveCaptureTest {
 protected:
  uint16_t Drain(bool free_run) {
    return ReadDriverSamplingData_AfterStop(sampling_, link_, free_run, &driver_status_);
  }
  uint32_t driver_status_ = 0;
};

TEST_F(DrainTest, FreeRunReadsUpToTheEndThenOnFromZero) {
  Attach(4 * kMiB);
  PlaceWriter(3 * kMiB, false);
  link_.Feed(3 * kMiB);
  EXPECT_EQ(Drain(true), 0);
  EXPECT_EQ(link_.ReadLengths(), (std::vector<uint32_t>{kMiB, 2 * kMiB}));
  EXPECT_TRUE(sampling_.buffer_wrapped);
  EXPECT_EQ(sampling_.m_SamplingCurrentPtr, 2 * kMiB);
  EXPECT_EQ(sampling_.m_lenSamplingDataInBuffer, 2 * kMiB);
  ExpectBytesAt(3 * kMiB, 0, kMiB);
  ExpectBytesAt(0, kMiB, 2 * kMiB);
  EXPECT_EQ(trace_.Text(), kHead +
                               "  ...driver_remainLen = 3145728\n"
                               "  ...request_ReadLength = 1048576\n"
                               "  ...request_ReadLength_next = 2097152\n");
}

TEST_F(DrainTest, OneshotDropsWhatDoesNotFit) {
  Attach(4 * kMiB);
  PlaceWriter(3 * kMiB, false);
  link_.Feed(3 * kMiB);
  EXPECT_EQ(Drain(false), 0);
  EXPECT_EQ(link_.ReadLengths(), std::vector<uint32_t>{kMiB});
  EXPECT_EQ(sampling_.m_lenSamplingDataInBuffer, 4 * kMiB);
  ExpectBytesAt(3 * kMiB, 0, kMiB);
  EXPECT_EQ(link_.Waiting(), 2 * kMiB);
}

TEST_F(DrainTest, FillingTheRingExactlyWrapsWithoutASecondPart) {
  Attach(kRing);
  PlaceWriter(4000, true);
  link_.Feed(96);
  EXPECT_EQ(Drain(true), 0);
  EXPECT_EQ(sampling_.m_SamplingCurrentPtr, 0u);
  EXPECT_EQ(link_.ReadLengths(), std::vector<uint32_t>{96});
  EXPECT_EQ(trace_.Text(), kHead +
                               "  ...driver_remainLen = 96\n"
                               "  ...request_ReadLength = 96\n");
}

TEST_F(DrainTest, MoreThanARingNeverWritesPastTheBuffer) {
  Attach(kRing);
  PlaceWriter(4000, true);
  link_.Feed(10000);
  EXPECT_EQ(Drain(true), 0);
  EXPECT_EQ(link_.ReadLengths(), (std::vector<uint32_t>{96, kRing}));
  EXPECT_EQ(sampling_.m_SamplingCurrentPtr, 0u);
  ExpectBytesAt(0, 96, kRing);
}

TEST_F(DrainTest, FullOneshotPassesThrough) {
  Attach(kRing);
  PlaceWriter(kRing, false);
  link_.Feed(10);
  EXPECT_EQ(Drain(false), 0);
  EXPECT_EQ(link_.CountQueries(), 0);
  EXPECT_EQ(trace_.Text(), kHead + " ... SAMPLING_ONESHOT and  SamplingBuffer Max..  through.\n");
}

TEST_F(DrainTest, AfterTheTriggerStopNothingIsRead) {
  Attach(kRing);
  PlaceWriter(1000, true);
  sampling_.SamplingStopAdrs = 1010;
  link_.Feed(64);
  FreeRunReader reader(sampling_, link_, &events_);
  EXPECT_EQ(reader.ReadStep(false, 0, &driver_status_), kReaderData);
  EXPECT_TRUE(sampling_.trigger_done);
  EXPECT_EQ(sampling_.m_SamplingCurrentPtr, 1010u);

  EXPECT_EQ(Drain(true), 0);
  EXPECT_EQ(link_.ReadLengths(), std::vector<uint32_t>{10});
  EXPECT_EQ(link_.Waiting(), 54u);
  EXPECT_EQ(trace_.Text(), kHead + " ... SAMPLING_TRIGGER DONE ..  through.\n");
}

TEST_F(DrainTest, DriverEventMarksTheDrainButTheDataAreTaken) {
  Attach(kRing);
  link_.SetStatusWord(40);
  link_.Feed(20);
  ASSERT_TRUE(sampling_.driver_event.Set());
  EXPECT_EQ(Drain(true), kReaderDriverEvent);
  EXPECT_EQ(driver_status_, 40u);
  ExpectBytesAt(0, 0, 20);
  EXPECT_EQ(trace_.Text(), kHead +
                               " \n *** [DANGER!] !  WaitForSingleObject()  result=0x0 !!! ***\n"
                               "\n *** [WARNING!!!] !!!  DRIVER EVENT GET !!! *** << Status=40 (0x28) >>\n"
                               "  ...driver_remainLen = 20\n"
                               "  ...request_ReadLength = 20\n");
}

struct DrainFailureRow {
  const char* name;
  bool event;
  bool fail_status;
  bool fail_count;
  bool fail_read;
  uint16_t status;
  const char* trace_tail;
};

class DrainFailureTest : public DrainTest, public ::testing::WithParamInterface<DrainFailureRow> {};

TEST_P(DrainFailureTest, ReportsTheFailure) {
  const DrainFailureRow& row = GetParam();
  Attach(kRing);
  link_.Feed(20);
  link_.fail_status = row.fail_status;
  link_.fail_count = row.fail_count;
  link_.fail_read = row.fail_read;
  if (row.event) {
    ASSERT_TRUE(sampling_.driver_event.Set());
  }
  EXPECT_EQ(Drain(true), row.status);
  EXPECT_EQ(sampling_.m_SamplingCurrentPtr, 0u);
  const std::string text = trace_.Text();
  EXPECT_TRUE(text.ends_with(row.trace_tail)) << text;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DrainFailureTest,
    ::testing::Values(
        DrainFailureRow{"StatusQuery", true, true, false, false, kReaderDeviceFailed,
                        " **** Open / DeviceIOCTL  FALSE :: Fail !!!  : LastError=5\n"},
        DrainFailureRow{"Count", false, false, true, false, kReaderDeviceFailed,
                        "VELIX_GetDriverAccumulateDataCount()  :: FALSE!!!\n"},
        DrainFailureRow{"Read", false, false, false, true, kReaderDeviceFailed,
                        "  ...request_ReadLength = 20\n"},
        DrainFailureRow{"ReadAfterEvent", true, false, false, true, kReaderDriverEvent,
                        "  ...request_ReadLength = 20\n"}),
    velix::platform::testing::CaseName());

TEST_F(DrainTest, FailedEventTestIsTracedAndTheDrainGoesOn) {
  Attach(kRing);
  link_.Feed(8);
  sampling_.driver_event.Close();
  EXPECT_EQ(Drain(true), 0);
  ExpectBytesAt(0, 0, 8);
  EXPECT_EQ(trace_.Text(), kHead +
                               " \n *** [DANGER!] !  WaitForSingleObject()  result=0xFFFFFFFF !!! ***\n"
                               " ... WAIT_FAILED ...   : LastError=9\n"
                               "  ...driver_remainLen = 8\n"
                               "  ...request_ReadLength = 8\n");
}

}  // namespace
}  // namespace orvane

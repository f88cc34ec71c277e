#include "driver/accumulation_buffer.h"

#include <gtest/gtest.h>

#include <vector>

#include "driver/tests/fake_lower_edge.h"

namespace velix::driver {
namespace {

using testing::PatternByte;

class AccumulationBufferTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(buffer_.SetBufferSize(1), STATUS_SUCCESS); }

  // Stores the next n bytes of the pattern stream.
  bool StoreNext(uint32_t n) {
    std::vector<uint8_t> data(n);
    for (uint32_t i = 0; i < n; ++i) data[i] = PatternByte(stored_ + i);
    const bool stored = buffer_.Store(data);
    if (stored) stored_ += n;
    return stored;
  }

  // Takes n bytes and checks they continue the pattern stream.
  void TakeNextAndCheck(uint32_t n) {
    std::vector<uint8_t> out(n);
    ASSERT_EQ(buffer_.Take(out), STATUS_SUCCESS);
    for (uint32_t i = 0; i < n; ++i) ASSERT_EQ(out[i], PatternByte(taken_ + i)) << "byte " << i;
    taken_ += n;
  }

  DriverStatusWord status_;
  AccumulationBuffer buffer_{status_};
  uint64_t stored_ = 0;
  uint64_t taken_ = 0;
};

TEST_F(AccumulationBufferTest, SizeOutsideOneToSixteenMegabytesLeavesNoBuffer) {
  for (const uint8_t megabytes : {uint8_t{0}, uint8_t{17}, uint8_t{255}}) {
    status_.Clear();
    EXPECT_EQ(buffer_.SetBufferSize(megabytes), STATUS_UNSUCCESSFUL);
    EXPECT_EQ(status_.Get(), driver_status::kBadBufferSize);
    EXPECT_FALSE(buffer_.HasBuffer());
    EXPECT_EQ(buffer_.Fill(0xAA), STATUS_UNSUCCESSFUL);
    EXPECT_EQ(status_.Get(), driver_status::kNoAccumBuffer);
    EXPECT_FALSE(StoreNext(1));
  }
}

TEST_F(AccumulationBufferTest, SixteenMegabytesHoldExactlySixteenMegabytes) {
  ASSERT_EQ(buffer_.SetBufferSize(16), STATUS_SUCCESS);
  ASSERT_TRUE(buffer_.Store(std::vector<uint8_t>(16 * kMegabyte, 0x77)));
  EXPECT_FALSE(StoreNext(1));
  EXPECT_EQ(buffer_.Count(), 16 * kMegabyte);
  // A new size starts empty.
  ASSERT_EQ(buffer_.SetBufferSize(2), STATUS_SUCCESS);
  EXPECT_EQ(buffer_.Count(), 0u);
}

TEST_F(AccumulationBufferTest, ExactFillIsAcceptedThenOverrunRefusesWithoutLoss) {
  ASSERT_TRUE(StoreNext(kMegabyte - 100));
  ASSERT_TRUE(StoreNext(100));
  EXPECT_EQ(buffer_.Count(), kMegabyte);
  EXPECT_FALSE(StoreNext(1));
  EXPECT_EQ(status_.Get(), driver_status::kOverrunNotWrapped);
  EXPECT_EQ(buffer_.Count(), kMegabyte);
  TakeNextAndCheck(1000);
  // Write position sits at the end: the next store starts at 0 and wraps.
  ASSERT_TRUE(StoreNext(1000));
  EXPECT_EQ(buffer_.Count(), kMegabyte);
  EXPECT_FALSE(StoreNext(1));
  EXPECT_EQ(status_.Get(), driver_status::kOverrunWrapped);
  TakeNextAndCheck(kMegabyte);
  EXPECT_EQ(buffer_.Count(), 0u);
}

struct WrapStep {
  bool store;
  uint32_t bytes;
  uint32_t count_after;
};

TEST_F(AccumulationBufferTest, SplitCopiesAcrossTheEndKeepExactCounts) {
  const WrapStep steps[] = {
      {true, 700000, 700000},
      {false, 600000, 100000},
      {true, 700000, 800000},   // 348,576 bytes at the end, the rest at 0
      {false, 500000, 300000},  // crosses the end: clears the wrap flag
      {true, kMegabyte - 300000, kMegabyte},
      {false, kMegabyte, 0},
      {true, 1, 1},
      {false, 1, 0},
  };
  for (const WrapStep& step : steps) {
    if (step.store) {
      ASSERT_TRUE(StoreNext(step.bytes));
    } else {
      TakeNextAndCheck(step.bytes);
    }
    ASSERT_EQ(buffer_.Count(), step.count_after);
  }
  EXPECT_EQ(status_.Get(), driver_status::kNone);
}

struct TooLongRead {
  uint32_t store_then;
  uint32_t expected_status;
};

TEST_F(AccumulationBufferTest, ReadOneByteTooLongFailsAndConsumesNothing) {
  const TooLongRead cases[] = {
      {0, driver_status::kReadTooLongNotWrapped},
      {500000, driver_status::kReadTooLongWrapped},  // wraps past 1,048,576
  };
  ASSERT_TRUE(StoreNext(1000000));
  for (const TooLongRead& c : cases) {
    if (c.store_then > 0) {
      ASSERT_TRUE(StoreNext(c.store_then));
    }
    const uint32_t waiting = buffer_.Count();
    std::vector<uint8_t> out(waiting + 1);
    EXPECT_EQ(buffer_.Take(out), STATUS_UNSUCCESSFUL);
    EXPECT_EQ(status_.Get(), c.expected_status);
    EXPECT_EQ(buffer_.Count(), waiting);
    TakeNextAndCheck(waiting);
  }
  std::vector<uint8_t> none;
  EXPECT_EQ(buffer_.Take(none), STATUS_UNSUCCESSFUL);
  EXPECT_EQ(status_.Get(), driver_status::kReadEmptyRequest);
}

TEST_F(AccumulationBufferTest, ResetEmptiesTheRingAndClearsTheStatusWord) {
  ASSERT_TRUE(StoreNext(kMegabyte - 10));
  TakeNextAndCheck(kMegabyte - 20);
  ASSERT_TRUE(StoreNext(100));  // wrapped
  EXPECT_FALSE(StoreNext(kMegabyte));
  ASSERT_EQ(buffer_.Fill(0x5A), STATUS_SUCCESS);
  buffer_.Reset();
  EXPECT_EQ(status_.Get(), driver_status::kNone);
  EXPECT_EQ(buffer_.Count(), 0u);
  stored_ = taken_ = 0;
  ASSERT_TRUE(StoreNext(kMegabyte));
  TakeNextAndCheck(kMegabyte);
}

TEST_F(AccumulationBufferTest, RegisteredEventIsSetAfterEachAcceptedStore) {
  auto event = std::make_shared<platform::Event>(platform::Event::Create(platform::ResetMode::kAuto));
  buffer_.RegisterOneTransferEvent(event);
  ASSERT_TRUE(StoreNext(10));
  EXPECT_EQ(event->Wait(0).status, platform::WaitStatus::kSignalled);
  EXPECT_FALSE(StoreNext(kMegabyte));
  EXPECT_EQ(event->Wait(0).status, platform::WaitStatus::kTimeout);
  buffer_.DropOneTransferEvent();
  EXPECT_FALSE(buffer_.OneTransferEventRegistered());
  ASSERT_TRUE(StoreNext(10));
  EXPECT_EQ(event->Wait(0).status, platform::WaitStatus::kTimeout);
}

}  // namespace
}  // namespace velix::driver

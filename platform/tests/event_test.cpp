#include "platform/event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/tests/case_name.h"

namespace velix::platform {
namespace {

using testing::PrintTo;

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr WaitStatus kS = WaitStatus::kSignalled;
constexpr WaitStatus kT = WaitStatus::kTimeout;

struct SignalCase {
  const char* name;
  ResetMode mode;
  bool initially_set;
  int sets;
  bool reset_before_waits;
  WaitStatus waits[3];  // three zero-time waits in a row
};

class EventSignalTest : public ::testing::TestWithParam<SignalCase> {};

TEST_P(EventSignalTest, ConsecutiveWaitsSeeTheRightState) {
  const SignalCase& c = GetParam();
  Event event = Event::Create(c.mode, c.initially_set);
  ASSERT_TRUE(event.Valid());
  for (int i = 0; i < c.sets; ++i) ASSERT_TRUE(event.Set());
  if (c.reset_before_waits) {
    ASSERT_TRUE(event.Reset());
  }
  for (WaitStatus expected : c.waits) EXPECT_EQ(event.Wait(0).status, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, EventSignalTest,
    ::testing::Values(
        SignalCase{"AutoNeverSet", ResetMode::kAuto, false, 0, false, {kT, kT, kT}},
        SignalCase{"AutoInitiallySet", ResetMode::kAuto, true, 0, false, {kS, kT, kT}},
        SignalCase{"AutoSetOnce", ResetMode::kAuto, false, 1, false, {kS, kT, kT}},
        SignalCase{"AutoSetThriceReleasesOnce", ResetMode::kAuto, false, 3, false, {kS, kT, kT}},
        SignalCase{"AutoSetThenReset", ResetMode::kAuto, false, 1, true, {kT, kT, kT}},
        SignalCase{"ManualNeverSet", ResetMode::kManual, false, 0, false, {kT, kT, kT}},
        SignalCase{"ManualInitiallySet", ResetMode::kManual, true, 0, false, {kS, kS, kS}},
        SignalCase{"ManualSetTwice", ResetMode::kManual, false, 2, false, {kS, kS, kS}},
        SignalCase{"ManualSetThenReset", ResetMode::kManual, true, 1, true, {kT, kT, kT}},
        SignalCase{"ResetOfClearEvent", ResetMode::kManual, false, 0, true, {kT, kT, kT}}),
    testing::CaseName());

TEST(EventTest, TryConsumeTakesAutoSignalButLeavesManualSignal) {
  Event automatic = Event::Create(ResetMode::kAuto, true);
  Event manual = Event::Create(ResetMode::kManual, true);
  EXPECT_TRUE(automatic.TryConsume());
  EXPECT_FALSE(automatic.TryConsume());
  EXPECT_TRUE(manual.TryConsume());
  EXPECT_TRUE(manual.TryConsume());
}

struct AnyCase {
  const char* name;
  std::vector<ResetMode> modes;
  std::vector<size_t> set;
  std::vector<WaitStatus> statuses;  // successive zero-time WaitForAny calls
  std::vector<size_t> indexes;       // index expected for each signalled one
};

class WaitForAnyTest : public ::testing::TestWithParam<AnyCase> {};

TEST_P(WaitForAnyTest, LowestSignalledIndexWinsAndAutoSignalsAreConsumed) {
  const AnyCase& c = GetParam();
  std::vector<Event> events;
  std::vector<const Event*> pointers;
  for (ResetMode mode : c.modes) events.push_back(Event::Create(mode));
  for (const Event& event : events) pointers.push_back(&event);
  for (size_t index : c.set) ASSERT_TRUE(events[index].Set());

  for (size_t call = 0; call < c.statuses.size(); ++call) {
    const WaitResult result = WaitForAny(pointers, 0);
    ASSERT_EQ(result.status, c.statuses[call]) << "call " << call;
    if (result.status == kS) {
      EXPECT_EQ(result.index, c.indexes[call]) << "call " << call;
    }
  }
}

constexpr ResetMode kA = ResetMode::kAuto;
constexpr ResetMode kM = ResetMode::kManual;

INSTANTIATE_TEST_SUITE_P(
    Sets, WaitForAnyTest,
    ::testing::Values(
        AnyCase{"NoneSet", {kA, kA}, {}, {kT}, {0}},
        AnyCase{"AutoDrainInIndexOrder", {kA, kA, kA}, {2, 1}, {kS, kS, kT}, {1, 2, 0}},
        AnyCase{"ManualFirstKeepsWinning", {kM, kA}, {0, 1}, {kS, kS}, {0, 0}},
        AnyCase{"AutoFirstThenManualStays", {kA, kM}, {0, 1}, {kS, kS, kS}, {0, 1, 1}},
        AnyCase{"OnlyLastSet", {kA, kA, kA, kA}, {3}, {kS, kT}, {3, 0}}),
    testing::CaseName());

struct BadWaitCase {
  const char* name;
  bool null_entry;
  bool invalid_entry;
  bool empty;
  uint32_t error;
};

class WaitForAnyBadInputTest : public ::testing::TestWithParam<BadWaitCase> {};

TEST_P(WaitForAnyBadInputTest, FailsWithErrno) {
  const BadWaitCase& c = GetParam();
  Event good = Event::Create(ResetMode::kAuto, true);
  Event invalid;
  std::vector<const Event*> pointers{&good};
  if (c.null_entry) pointers.insert(pointers.begin(), nullptr);
  if (c.invalid_entry) pointers.insert(pointers.begin(), &invalid);
  if (c.empty) pointers.clear();
  const WaitResult result = WaitForAny(pointers, 0);
  EXPECT_EQ(result.status, WaitStatus::kFailed);
  EXPECT_EQ(result.error, c.error);
  if (!c.empty) {
    EXPECT_TRUE(good.TryConsume()) << "a failed wait must not eat a signal";
  }
}

INSTANTIATE_TEST_SUITE_P(Inputs, WaitForAnyBadInputTest,
                         ::testing::Values(BadWaitCase{"Empty", false, false, true, EINVAL},
                                           BadWaitCase{"NullEntry", true, false, false, EINVAL},
                                           BadWaitCase{"InvalidEvent", false, true, false, EBADF}),
                         testing::CaseName());

TEST(EventTest, InvalidEventRefusesEverything) {
  Event event;
  EXPECT_FALSE(event.Set());
  EXPECT_FALSE(event.Reset());
  EXPECT_FALSE(event.TryConsume());
  EXPECT_EQ(event.Wait(0).status, WaitStatus::kFailed);
  EXPECT_FALSE(Event::Adopt(-1, ResetMode::kAuto).Valid());
}

TEST(EventTest, MoveTransfersTheDescriptor) {
  Event first = Event::Create(ResetMode::kManual, true);
  const int fd = first.Fd();
  Event second = std::move(first);
  // NOLINTNEXTLINE(bugprone-use-after-move): the moved-from state is what is checked
  EXPECT_FALSE(first.Valid());
  EXPECT_EQ(second.Fd(), fd);
  EXPECT_EQ(second.Mode(), ResetMode::kManual);
  EXPECT_EQ(second.Wait(0).status, kS);
}

TEST(EventTest, WaitTimesOutAfterRoughlyTheTimeout) {
  Event first = Event::Create(ResetMode::kAuto);
  Event second = Event::Create(ResetMode::kManual);
  const Event* pointers[] = {&first, &second};
  const auto start = Clock::now();
  EXPECT_EQ(WaitForAny(pointers, 40).status, kT);
  const auto elapsed = Clock::now() - start;
  EXPECT_GE(elapsed, milliseconds(40));
  EXPECT_LT(elapsed, milliseconds(400));
}

TEST(EventTest, SetFromAnotherThreadWakesAnInfiniteWaiter) {
  Event event = Event::Create(ResetMode::kAuto);
  std::thread setter([&event] {
    std::this_thread::sleep_for(milliseconds(20));
    event.Set();
  });
  const WaitResult result = event.Wait(kInfinite);
  setter.join();
  EXPECT_EQ(result.status, kS);
  EXPECT_EQ(event.Wait(0).status, kT);
}

TEST(EventTest, OneAutoSetReleasesExactlyOneOfTwoWaiters) {
  Event event = Event::Create(ResetMode::kAuto);
  std::atomic<int> released{0};
  std::atomic<int> timed_out{0};
  auto waiter = [&] {
    const WaitStatus status = event.Wait(150).status;
    (status == kS ? released : timed_out)++;
  };
  std::thread first(waiter);
  std::thread second(waiter);
  std::this_thread::sleep_for(milliseconds(30));
  event.Set();
  first.join();
  second.join();
  EXPECT_EQ(released.load(), 1);
  EXPECT_EQ(timed_out.load(), 1);
}

TEST(EventTest, ManualSetReleasesEveryWaiter) {
  Event event = Event::Create(ResetMode::kManual);
  std::atomic<int> released{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 3; ++i) {
    waiters.emplace_back([&] {
      if (event.Wait(2000).status == kS) ++released;
    });
  }
  std::this_thread::sleep_for(milliseconds(20));
  event.Set();
  for (std::thread& waiter : waiters) waiter.join();
  EXPECT_EQ(released.load(), 3);
}

}  // namespace
}  // namespace velix::platform

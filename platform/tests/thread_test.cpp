#include "platform/thread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>

#include "platform/event.h"
#include "platform/tests/case_name.h"

namespace velix::platform {
namespace {

using testing::PrintTo;

int OwnNice() { return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())); }

TEST(ThreadTest, SuspendedThreadRunsOnlyAfterResume) {
  Event ran = Event::Create(ResetMode::kManual);
  Thread thread;
  ASSERT_TRUE(thread.Start([&ran] { ran.Set(); }, 0, true));
  EXPECT_EQ(ran.Wait(30).status, WaitStatus::kTimeout);
  thread.Resume();
  EXPECT_EQ(ran.Wait(2000).status, WaitStatus::kSignalled);
  thread.Join();
  EXPECT_FALSE(thread.Joinable());
}

TEST(ThreadTest, IdIsTheKernelIdOfTheBodyEvenBeforeResume) {
  std::atomic<uint64_t> seen{0};
  Thread thread;
  ASSERT_TRUE(thread.Start([&seen] { seen = static_cast<uint64_t>(gettid()); }, 0, true));
  const uint64_t id = thread.Id();
  EXPECT_NE(id, 0u);
  EXPECT_NE(id, static_cast<uint64_t>(gettid()));
  thread.Resume();
  thread.Join();
  EXPECT_EQ(seen.load(), id);
}

TEST(ThreadTest, DestroyingANeverResumedThreadSkipsTheBody) {
  std::atomic<bool> ran{false};
  {
    Thread thread;
    ASSERT_TRUE(thread.Start([&ran] { ran = true; }, 0, true));
  }
  EXPECT_FALSE(ran.load());
}

TEST(ThreadTest, DestructorWaitsForARunningBody) {
  std::atomic<bool> finished{false};
  {
    Thread thread;
    ASSERT_TRUE(thread.Start(
        [&finished] {
          SleepMs(30);
          finished = true;
        },
        0, false));
  }
  EXPECT_TRUE(finished.load());
}

struct StartRefusal {
  const char* name;
  bool already_running;
  bool empty_body;
  uint32_t error;
};

class ThreadStartRefusalTest : public ::testing::TestWithParam<StartRefusal> {};

TEST_P(ThreadStartRefusalTest, ReportsErrno) {
  const StartRefusal& c = GetParam();
  Event release = Event::Create(ResetMode::kManual);  // outlives the thread using it
  Thread thread;
  if (c.already_running) {
    ASSERT_TRUE(thread.Start([&release] { release.Wait(kInfinite); }, 0, false));
  }
  std::function<void()> body;
  if (!c.empty_body) body = [] {};
  EXPECT_FALSE(thread.Start(body, 0, false));
  EXPECT_EQ(thread.LastError(), c.error);
  release.Set();
}

INSTANTIATE_TEST_SUITE_P(Cases, ThreadStartRefusalTest,
                         ::testing::Values(StartRefusal{"AlreadyRunning", true, false, EBUSY},
                                           StartRefusal{"EmptyBody", false, true, EINVAL}),
                         testing::CaseName());

struct PriorityCase {
  const char* name;
  int priority;
  int lowest_nice_change;   // change of the thread's nice against its creator
  int highest_nice_change;  // (a raise may be refused without privilege)
};

class ThreadPriorityTest : public ::testing::TestWithParam<PriorityCase> {};

TEST_P(ThreadPriorityTest, PriorityIsKeptAndMapsToNice) {
  const PriorityCase& c = GetParam();
  const int creator_nice = OwnNice();
  std::atomic<int> body_nice{0};
  Thread thread;
  ASSERT_TRUE(thread.Start([&body_nice] { body_nice = OwnNice(); }, c.priority, false));
  thread.Join();
  EXPECT_EQ(thread.Priority(), c.priority);
  const int change = body_nice.load() - creator_nice;
  EXPECT_GE(change, c.lowest_nice_change);
  EXPECT_LE(change, c.highest_nice_change);
}

INSTANTIATE_TEST_SUITE_P(Values, ThreadPriorityTest,
                         ::testing::Values(PriorityCase{"Normal", 0, 0, 0},
                                           PriorityCase{"Lower", -3, 3, 3},
                                           PriorityCase{"Raised", 2, -2, 0}),
                         testing::CaseName());

TEST(ThreadTest, JoinOfUnstartedThreadReturns) {
  Thread thread;
  thread.Join();
  EXPECT_FALSE(thread.Joinable());
  EXPECT_EQ(thread.Id(), 0u);
}

TEST(ThreadTest, SleepMsSleepsAtLeastThatLong) {
  const auto start = std::chrono::steady_clock::now();
  SleepMs(15);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(15));
}

}  // namespace
}  // namespace velix::platform

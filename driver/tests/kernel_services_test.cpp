#include "driver/kernel_services.h"

#include <gtest/gtest.h>


#include "driver/cancel_word.h"

namespace velix::driver {
namespace {

using Type = KernelEvent::Type;

TEST(KernelServicesTest, WaitForMultipleAllNeedsEveryEventAndAnyReportsTheLowest) {
  KernelEvent a(Type::kNotification, false);
  KernelEvent b(Type::kSynchronization, false);
  KernelEvent* const both[] = {&a, &b};
  EXPECT_EQ(WaitForMultiple(both, true, 10), WaitOutcome::kTimeout);
  b.Set();
  EXPECT_EQ(WaitForMultiple(both, true, 10), WaitOutcome::kTimeout);
  size_t index = 99;
  ASSERT_EQ(WaitForMultiple(both, false, 0, &index), WaitOutcome::kSignalled);
  EXPECT_EQ(index, 1u);
  EXPECT_FALSE(b.ReadState()) << "a synchronisation event clears when it releases a waiter";
  a.Set();
  b.Set();
  ASSERT_EQ(WaitForMultiple(both, false, 0, &index), WaitOutcome::kSignalled);
  EXPECT_EQ(index, 0u);
  EXPECT_TRUE(b.ReadState());
  EXPECT_EQ(WaitForMultiple(both, true, 0), WaitOutcome::kSignalled);
  EXPECT_TRUE(a.ReadState()) << "a notification event stays set";
  EXPECT_FALSE(b.ReadState());
}

TEST(KernelServicesTest, SetFromAnotherThreadReleasesAWaiter) {
  KernelEvent event(Type::kNotification, false);
  SystemThread setter;
  ASSERT_TRUE(setter.Create([&] {
    DelayExecution(5);
    event.Set();
  }));
  EXPECT_EQ(event.Wait(kWaitForever), WaitOutcome::kSignalled);
  EXPECT_TRUE(setter.Join());
}

TEST(KernelServicesTest, JoinWithTimeOutGivesUpAndCanWaitAgain) {
  KernelEvent release(Type::kNotification, false);
  SystemThread thread;
  ASSERT_TRUE(thread.Create([&] { release.Wait(kWaitForever); }));
  EXPECT_FALSE(thread.Join(10));
  EXPECT_TRUE(thread.Running());
  release.Set();
  EXPECT_TRUE(thread.Join(kWaitForever));
  EXPECT_FALSE(thread.Running());
}

// Each case: where the completion lands relative to two cancels (stop,
// then the drain's retry). The transfer must be finished exactly once and
// the stack asked to cancel exactly once.
TEST(CancelWordTest, CompletionIsFinishedExactlyOnceWhateverTheInterleaving) {
  enum class Landing { kBeforeCancels, kInsideFirstCancel, kAfterBothCancels };
  const struct {
    const char* name;
    Landing landing;
    int expected_cancels;
  } cases[] = {
      {"before the cancels", Landing::kBeforeCancels, 0},
      {"inside the first cancel", Landing::kInsideFirstCancel, 1},
      {"after both cancels", Landing::kAfterBothCancels, 1},
  };
  for (const auto& c : cases) {
    CancelWord word;
    word.Reset();
    int finished = 0;
    int cancels = 0;
    const auto complete = [&] {
      if (!word.CompleteAndHold()) ++finished;
    };
    const auto cancel = [&] {
      ++cancels;
      if (c.landing == Landing::kInsideFirstCancel) complete();
    };
    const auto finish = [&] { ++finished; };
    if (c.landing == Landing::kBeforeCancels) complete();
    word.CancelTransfer(cancel, finish);
    word.CancelTransfer(cancel, finish);
    if (c.landing == Landing::kAfterBothCancels) complete();
    EXPECT_EQ(finished, 1) << c.name;
    EXPECT_EQ(cancels, c.expected_cancels) << c.name;
  }
}

}  // namespace
}  // namespace velix::driver

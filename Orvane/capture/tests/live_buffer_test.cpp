#include "Orvane/capture/live_buffer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "Orvane/capture/tests/fake_live_memory.h"
#include "platform/recording_sink.h"
#include "platform/system_error.h"

namespace orvane {
namespace {

using testing::FakeLiveMemory;
using testing::kStartupLimits;
using velix::platform::Answer;
using velix::platform::Buttons;
using velix::platform::Icon;
using velix::platform::RecordingSink;

constexpr uint64_t kMiB = 1048576;
const std::string kQuestionTail =
    "Are you ignore an error and continue to run? (If you continue to run, it may cause problems.)\n"
    "\n"
    "If possible, please select [NO] and close the application. And please try to execute the "
    "application again.";
const std::string kLimitHint =
    "Raise the memory-lock limit (ulimit -l, or LimitMEMLOCK= in a service unit), or set LockMemory=0 "
    "in the [Setting] section.\n";
// The failures name the system call that failed and its reason.
const std::string kRaiseRefused = "*** memory allocation error *** \n( setrlimit(RLIMIT_MEMLOCK)  error : 1, " +
                                  velix::platform::SystemErrorText(EPERM) + " )\n" + kLimitHint;
const std::string kLockRefused =
    "*** memory lock failed. *** \n( mlock()  error : 12, " + velix::platform::SystemErrorText(ENOMEM) + " )\n" +
    kLimitHint;

TEST(LiveBuffer, LockedAllocationAndRelease) {
  FakeLiveMemory memory;
  RecordingSink sink;
  LiveBuffer buffer(memory, kStartupLimits);
  ASSERT_TRUE(buffer.Allocate(2, true, sink));
  EXPECT_EQ(memory.raised, (std::vector<uint64_t>{3 * kMiB}));
  EXPECT_TRUE(buffer.WorkingSetRaised());
  EXPECT_TRUE(buffer.Committed());
  EXPECT_TRUE(buffer.Locked());
  ASSERT_NE(buffer.Data(), nullptr);
  EXPECT_EQ(buffer.SizeBytes(), 2 * kMiB);
  EXPECT_EQ(buffer.SizeMb(), 2u);
  EXPECT_EQ(buffer.Data()[2 * kMiB - 1], 0);
  EXPECT_TRUE(sink.Messages().empty());

  buffer.Release(sink);
  EXPECT_EQ(memory.unlocks, 1);
  ASSERT_EQ(memory.restored.size(), 1u);
  EXPECT_EQ(memory.restored[0].minimum, kStartupLimits.minimum);
  EXPECT_EQ(memory.restored[0].maximum, kStartupLimits.maximum);
  EXPECT_FALSE(buffer.Committed() || buffer.Locked() || buffer.WorkingSetRaised());
  EXPECT_EQ(buffer.Data(), nullptr);

  buffer.Release(sink);  // nothing left to undo
  EXPECT_EQ(memory.unlocks, 1);
  EXPECT_EQ(memory.restored.size(), 1u);
}

TEST(LiveBuffer, WithoutLockingNeitherRaisesNorLocks) {
  FakeLiveMemory memory;
  RecordingSink sink;
  LiveBuffer buffer(memory, kStartupLimits);
  ASSERT_TRUE(buffer.Allocate(1, false, sink));
  EXPECT_TRUE(memory.raised.empty());
  EXPECT_EQ(memory.locks, 0);
  buffer.Release(sink);
  EXPECT_TRUE(memory.restored.empty());
}

struct FailureCase {
  const char* name;
  uint32_t raise_error, commit_error, lock_error;
  Answer answer;
  bool allocated;
  bool committed, locked, raised;
  std::string message;
  Icon icon;
  Buttons buttons;
};

TEST(LiveBuffer, FailuresAskOrTellAndUndo) {
  const std::vector<FailureCase> cases = {
      {"working set refused, No", EPERM, 0, 0, Answer::kNo, false, false, false, false,
       kRaiseRefused + "\n" + kQuestionTail,
       Icon::kStop, Buttons::kYesNo},
      {"working set refused, Yes: committed but never locked", EPERM, 0, 0, Answer::kYes, true, true,
       false, false,
       kRaiseRefused + "\n" + kQuestionTail,
       Icon::kStop, Buttons::kYesNo},
      {"lock refused, No", 0, 0, ENOMEM, Answer::kNo, false, false, false, false,
       kLockRefused + "\n" + kQuestionTail, Icon::kStop,
       Buttons::kYesNo},
      {"lock refused, Yes: runs unlocked", 0, 0, ENOMEM, Answer::kYes, true, true, false, true,
       kLockRefused + "\n" + kQuestionTail, Icon::kStop,
       Buttons::kYesNo},
      {"commit refused", 0, ENOMEM, 0, Answer::kYes, false, false, false, false,
       "*** Memory allocation failed. ***\n( VirtualAlloc()  error:12 )\n" +
           velix::platform::SystemErrorText(ENOMEM),
       Icon::kNone, Buttons::kOk},
  };
  for (const FailureCase& c : cases) {
    FakeLiveMemory memory;
    memory.raise_error = c.raise_error;
    memory.commit_error = c.commit_error;
    memory.lock_error = c.lock_error;
    RecordingSink sink;
    sink.QueueAnswer(c.answer);
    LiveBuffer buffer(memory, kStartupLimits);
    EXPECT_EQ(buffer.Allocate(4, true, sink), c.allocated) << c.name;
    EXPECT_EQ(buffer.Committed(), c.committed) << c.name;
    EXPECT_EQ(buffer.Locked(), c.locked) << c.name;
    EXPECT_EQ(buffer.WorkingSetRaised(), c.raised) << c.name;
    EXPECT_EQ(buffer.Data() != nullptr, c.committed) << c.name;
    const auto messages = sink.Messages();
    ASSERT_EQ(messages.size(), 1u) << c.name;
    EXPECT_EQ(messages[0].text, c.message) << c.name;
    EXPECT_EQ(messages[0].icon, c.icon) << c.name;
    EXPECT_EQ(messages[0].buttons, c.buttons) << c.name;

    // A raised limit is put back at once when the allocation fails, and
    // never twice: a later cancel finds nothing to release.
    const size_t restores_after_allocate = memory.restored.size();
    EXPECT_EQ(restores_after_allocate, (!c.allocated && c.raise_error == 0) ? 1u : 0u) << c.name;
    buffer.Release(sink);
    EXPECT_EQ(memory.restored.size(), restores_after_allocate + (c.raised ? 1u : 0u)) << c.name;
    EXPECT_EQ(memory.unlocks, 0) << c.name;
  }
}

struct PolicyCase {
  const char* name;
  LockFailurePolicy policy;
  uint32_t raise_error, lock_error;
  bool allocated;
  std::string message;
  Icon icon;
};

// Without a user to ask, a refused limit or lock is either a warning and
// the capture goes on unlocked, or an error that stops it.
TEST(LiveBuffer, LockFailurePolicyWarnsOrFailsWithoutAsking) {
  const std::string kGoesOn = "The capture goes on with memory that is not locked.";
  const std::vector<PolicyCase> cases = {
      {"limit refused, continue", LockFailurePolicy::kContinue, EPERM, 0, true, kRaiseRefused + kGoesOn,
       Icon::kExclamation},
      {"lock refused, continue", LockFailurePolicy::kContinue, 0, ENOMEM, true, kLockRefused + kGoesOn,
       Icon::kExclamation},
      {"limit refused, required", LockFailurePolicy::kFail, EPERM, 0, false, kRaiseRefused, Icon::kStop},
      {"lock refused, required", LockFailurePolicy::kFail, 0, ENOMEM, false, kLockRefused, Icon::kStop},
  };
  for (const PolicyCase& c : cases) {
    FakeLiveMemory memory;
    memory.raise_error = c.raise_error;
    memory.lock_error = c.lock_error;
    RecordingSink sink;
    LiveBuffer buffer(memory, kStartupLimits);
    buffer.SetLockFailurePolicy(c.policy);
    EXPECT_EQ(buffer.Allocate(4, true, sink), c.allocated) << c.name;
    EXPECT_EQ(buffer.Committed(), c.allocated) << c.name;
    EXPECT_FALSE(buffer.Locked()) << c.name;
    const auto messages = sink.Messages();
    ASSERT_EQ(messages.size(), 1u) << c.name;
    EXPECT_EQ(messages[0].text, c.message) << c.name;
    EXPECT_EQ(messages[0].icon, c.icon) << c.name;
    EXPECT_EQ(messages[0].buttons, Buttons::kOk) << c.name;
  }
}

TEST(LiveBuffer, SizesOutsideThe32BitPositionsAreRefused) {
  for (uint32_t megabytes : {0u, 4096u}) {
    FakeLiveMemory memory;
    RecordingSink sink;
    LiveBuffer buffer(memory, kStartupLimits);
    EXPECT_FALSE(buffer.Allocate(megabytes, false, sink)) << megabytes;
    EXPECT_EQ(memory.commits, 0);
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_EQ(sink.Messages()[0].text.rfind("*** Memory allocation failed. ***\n( VirtualAlloc()  error:22 )\n", 0),
              0u);
  }
}

TEST(LiveBuffer, UnlockFailureIsShownAndTheBufferStillGoes) {
  FakeLiveMemory memory;
  memory.unlock_error = EPERM;
  RecordingSink sink;
  LiveBuffer buffer(memory, kStartupLimits);
  ASSERT_TRUE(buffer.Allocate(1, true, sink));
  buffer.Release(sink);
  ASSERT_EQ(sink.Messages().size(), 1u);
  const std::string text = sink.Messages()[0].text;
  EXPECT_EQ(text.rfind("VirtualUnlock( 0x", 0), 0u);
  EXPECT_NE(text.find(", 1048576 )  ERROR :  1"), std::string::npos) << text;
  EXPECT_FALSE(buffer.Committed() || buffer.Locked());
  EXPECT_EQ(memory.restored.size(), 1u);
}

TEST(LiveBuffer, UnknownStartupLimitsAreNeverRestored) {
  FakeLiveMemory memory;
  RecordingSink sink;
  LiveBuffer buffer(memory, velix::platform::WorkingSetLimits{});
  ASSERT_TRUE(buffer.Allocate(1, true, sink));
  buffer.Release(sink);
  EXPECT_TRUE(memory.restored.empty());
  EXPECT_FALSE(buffer.WorkingSetRaised());
}

TEST(LiveBuffer, ReallocationReleasesTheFormerBufferFirst) {
  FakeLiveMemory memory;
  RecordingSink sink;
  LiveBuffer buffer(memory, kStartupLimits);
  ASSERT_TRUE(buffer.Allocate(1, true, sink));
  ASSERT_TRUE(buffer.Allocate(2, true, sink));
  EXPECT_EQ(memory.unlocks, 1);
  EXPECT_EQ(memory.restored.size(), 1u);
  EXPECT_EQ(buffer.SizeMb(), 2u);
}

TEST(LiveBuffer, PlatformMemoryPutsTheLimitsBack) {
  velix::platform::WorkingSetLimits startup{};
  velix::platform::GetWorkingSetLimits(&startup);
  RecordingSink sink;  // a refused raise or lock is answered No by default
  {
    LiveBuffer buffer(PlatformLiveMemory(), startup);
    ASSERT_TRUE(buffer.Allocate(1, false, sink));
    EXPECT_EQ(buffer.Data()[0], 0);
    buffer.Data()[kMiB - 1] = 0x5A;
    if (buffer.Allocate(1, true, sink)) buffer.Data()[kMiB - 1] = 0x5A;
  }
  velix::platform::WorkingSetLimits after{};
  velix::platform::GetWorkingSetLimits(&after);
  EXPECT_EQ(after.minimum, startup.minimum);
  EXPECT_EQ(after.maximum, startup.maximum);
}

}  // namespace
}  // namespace orvane

#include "platform/locked_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "platform/tests/case_name.h"

namespace velix::platform {
namespace {

using testing::PrintTo;

constexpr size_t kBufferSize = 1u << 20;

// Locking can be refused by a low RLIMIT_MEMLOCK or missing privilege;
// the capture then runs unlocked, so only these errors are acceptable.
bool IsLockRefusal(uint32_t error) { return error == ENOMEM || error == EPERM || error == EAGAIN; }

TEST(CommittedMemoryTest, CommitGivesZeroedWritableMemory) {
  CommittedMemory memory;
  ASSERT_EQ(memory.Commit(kBufferSize), 0u);
  ASSERT_NE(memory.Data(), nullptr);
  EXPECT_EQ(memory.Size(), kBufferSize);
  EXPECT_TRUE(std::all_of(memory.Data(), memory.Data() + kBufferSize,
                          [](uint8_t byte) { return byte == 0; }));
  memory.Data()[kBufferSize - 1] = 0xA5;
  EXPECT_EQ(memory.Data()[kBufferSize - 1], 0xA5);
}

TEST(CommittedMemoryTest, LockEitherSucceedsOrIsClearlyRefusedAndMemoryStaysUsable) {
  CommittedMemory memory;
  ASSERT_EQ(memory.Commit(kBufferSize), 0u);
  const uint32_t error = memory.Lock();
  if (error == 0) {
    EXPECT_TRUE(memory.Locked());
  } else {
    EXPECT_TRUE(IsLockRefusal(error)) << "errno " << error;
    EXPECT_FALSE(memory.Locked());
  }
  std::fill(memory.Data(), memory.Data() + kBufferSize, uint8_t{0x3C});
  EXPECT_EQ(memory.Data()[kBufferSize / 2], 0x3C);
  EXPECT_EQ(memory.Unlock(), 0u);
  EXPECT_FALSE(memory.Locked());
  memory.Release();
  EXPECT_EQ(memory.Data(), nullptr);
  EXPECT_EQ(memory.Size(), 0u);
}

TEST(CommittedMemoryTest, RecommitReplacesTheOldBufferWithZeroes) {
  CommittedMemory memory;
  ASSERT_EQ(memory.Commit(kBufferSize), 0u);
  memory.Data()[0] = 1;
  ASSERT_EQ(memory.Commit(2 * kBufferSize), 0u);
  EXPECT_EQ(memory.Size(), 2 * kBufferSize);
  EXPECT_EQ(memory.Data()[0], 0);
}

TEST(CommittedMemoryTest, MoveHandsOverOwnership) {
  CommittedMemory first;
  ASSERT_EQ(first.Commit(kBufferSize), 0u);
  uint8_t* data = first.Data();
  CommittedMemory second(std::move(first));
  EXPECT_EQ(second.Data(), data);
  // NOLINTNEXTLINE(bugprone-use-after-move): the moved-from state is what is checked
  EXPECT_EQ(first.Data(), nullptr);
  CommittedMemory third;
  third = std::move(second);
  EXPECT_EQ(third.Data(), data);
  EXPECT_EQ(third.Size(), kBufferSize);
}

struct RefusalCase {
  const char* name;
  uint32_t (*operation)(CommittedMemory&);
};

class CommittedMemoryRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(CommittedMemoryRefusalTest, RefusesWithEinval) {
  CommittedMemory memory;
  EXPECT_EQ(GetParam().operation(memory), static_cast<uint32_t>(EINVAL));
  EXPECT_EQ(memory.Data(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommittedMemoryRefusalTest,
    ::testing::Values(
        RefusalCase{"CommitOfNothing", [](CommittedMemory& m) { return m.Commit(0); }},
        RefusalCase{"LockWithoutCommit", [](CommittedMemory& m) { return m.Lock(); }},
        RefusalCase{"UnlockWithoutCommit", [](CommittedMemory& m) { return m.Unlock(); }}),
    testing::CaseName());

TEST(WorkingSetTest, RaiseThenRestoreReturnsToTheOriginalLimits) {
  WorkingSetLimits original;
  ASSERT_TRUE(GetWorkingSetLimits(&original));
  EXPECT_LE(original.minimum, original.maximum);

  EXPECT_EQ(RaiseWorkingSet(original.minimum), 0u) << "already there: nothing to do";
  const uint64_t wanted =
      original.minimum > UINT64_MAX - (1u << 20) ? original.minimum : original.minimum + (1u << 20);
  const uint32_t error = RaiseWorkingSet(wanted);
  WorkingSetLimits raised;
  ASSERT_TRUE(GetWorkingSetLimits(&raised));
  if (error == 0) {
    EXPECT_GE(raised.minimum, wanted);
  } else {
    EXPECT_EQ(error, static_cast<uint32_t>(EPERM)) << "only a privilege refusal is expected";
    EXPECT_EQ(raised.minimum, original.minimum);
  }

  EXPECT_EQ(RestoreWorkingSet(original), 0u);
  WorkingSetLimits restored;
  ASSERT_TRUE(GetWorkingSetLimits(&restored));
  EXPECT_EQ(restored.minimum, original.minimum);
  EXPECT_EQ(restored.maximum, original.maximum);
}

TEST(WorkingSetTest, SoftAboveHardIsRefused) {
  WorkingSetLimits original;
  ASSERT_TRUE(GetWorkingSetLimits(&original));
  if (original.maximum == 0) GTEST_SKIP() << "no room below a zero hard limit";
  const WorkingSetLimits inverted{original.maximum, original.maximum - 1};
  EXPECT_EQ(RestoreWorkingSet(inverted), static_cast<uint32_t>(EINVAL));
  WorkingSetLimits after;
  ASSERT_TRUE(GetWorkingSetLimits(&after));
  EXPECT_EQ(after.maximum, original.maximum);
}

TEST(PhysicalMemoryTest, AvailableIsPositiveAndAtMostTotal) {
  uint64_t total = 0;
  uint64_t available = 0;
  ASSERT_TRUE(PhysicalMemory(&total, &available));
  EXPECT_GT(total, 16u << 20);
  EXPECT_GT(available, 0u);
  EXPECT_LE(available, total);
  EXPECT_FALSE(PhysicalMemory(nullptr, &available));
}

}  // namespace
}  // namespace velix::platform

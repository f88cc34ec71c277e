#include "platform/bulk_file_output.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/tests/case_name.h"
#include "platform/tests/scratch_folder.h"

namespace velix::platform {
namespace {

using testing::PrintTo;

using testing::ReadFile;
using testing::ScratchFolder;

constexpr size_t kPage = kDirectWriteAlign;

struct BulkCase {
  const char* name;
  std::string before;          // written to the descriptor by its owner first
  int extra_flags;             // beside O_WRONLY | O_CREAT | O_TRUNC
  std::vector<size_t> chunks;  // handed over one after another
};

// Bytes that differ from page to page and within a page, so a block written
// twice, dropped or out of place shows.
std::string Pattern(size_t from, size_t size) {
  std::string text(size, '\0');
  for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>('A' + (from + i) * 7 % 53);
  return text;
}

class BulkFileOutputTest : public ::testing::TestWithParam<BulkCase> {};

// The caller's loop of the exports: hand over what is held, keep the rest.
TEST_P(BulkFileOutputTest, WritesEveryByteInOrderAndRestoresTheFlags) {
  const BulkCase& c = GetParam();
  ScratchFolder scratch;
  const std::string path = scratch.File("out.txt");
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | c.extra_flags, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, c.before.data(), c.before.size()), static_cast<ssize_t>(c.before.size()));
  const int flags = ::fcntl(fd, F_GETFL);

  size_t total = 0;
  for (const size_t chunk : c.chunks) total += chunk;
  const AlignedBuffer buffer = AllocateAlignedBuffer(total + kPage);
  ASSERT_EQ(reinterpret_cast<uintptr_t>(buffer.get()) % kPage, 0u);
  {
    BulkFileOutput output(fd);
    size_t held = 0;
    size_t produced = 0;
    for (const size_t chunk : c.chunks) {
      const std::string text = Pattern(produced, chunk);
      std::memcpy(buffer.get() + held, text.data(), chunk);
      held += chunk;
      produced += chunk;
      size_t written = 0;
      ASSERT_TRUE(output.WriteBlocks(buffer.get(), held, &written));
      ASSERT_LE(written, held);
      EXPECT_LT(held - written, kPage) << "more than a page part held back";
      held -= written;
      std::memmove(buffer.get(), buffer.get() + written, held);
    }
    ASSERT_TRUE(output.WriteAll(buffer.get(), held));
    EXPECT_EQ(output.Error(), 0);
    EXPECT_EQ(::fcntl(fd, F_GETFL), flags) << "the flags after the last write";
  }
  EXPECT_EQ(::fcntl(fd, F_GETFL), flags) << "the flags after the output ended";
  ::close(fd);
  EXPECT_EQ(ReadFile(path), c.before + Pattern(0, total));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BulkFileOutputTest,
    ::testing::Values(BulkCase{"Empty", "", 0, {}}, BulkCase{"LessThanAPage", "", 0, {kPage - 1}},
                      BulkCase{"ExactlyOnePage", "", 0, {kPage}},
                      BulkCase{"PagesAndATail", "", 0, {3 * kPage + 17}},
                      BulkCase{"ChunksAcrossPages", "", 0, {kPage - 5, 10, 2 * kPage, 1, kPage + 4094, 3}},
                      BulkCase{"LargeBlocks", "", 0, {(1u << 20) + 5, (1u << 20) - 5, 999}},
                      BulkCase{"UnalignedStartByTheOwner", "header", 0, {2 * kPage, kPage + 1}},
                      BulkCase{"AlignedStartByTheOwner", std::string(kPage, 'h'), 0, {2 * kPage, 7}},
                      BulkCase{"AppendingDescriptor", "x", O_APPEND, {2 * kPage + 3, kPage}}),
    testing::CaseName());

struct FailureCase {
  const char* name;
  const char* path;
  int open_flags;
  int error;
};

class BulkFileOutputFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(BulkFileOutputFailureTest, ReportsTheFirstErrorAndWritesNothingAfterIt) {
  const FailureCase& c = GetParam();
  const int fd = ::open(c.path, c.open_flags | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  const AlignedBuffer buffer = AllocateAlignedBuffer(4 * kPage);
  std::memset(buffer.get(), 'x', 4 * kPage);
  {
    BulkFileOutput output(fd);
    size_t written = 0;
    EXPECT_FALSE(output.WriteBlocks(buffer.get(), 4 * kPage, &written));
    EXPECT_EQ(output.Error(), c.error);
    EXPECT_FALSE(output.WriteAll(buffer.get(), 10));
    EXPECT_EQ(output.Error(), c.error);
  }
  ::close(fd);
}

INSTANTIATE_TEST_SUITE_P(Cases, BulkFileOutputFailureTest,
                         ::testing::Values(FailureCase{"FullDevice", "/dev/full", O_WRONLY, ENOSPC},
                                           FailureCase{"ReadOnlyDescriptor", "/dev/null", O_RDONLY, EBADF}),
                         testing::CaseName());

}  // namespace
}  // namespace velix::platform

#include "platform/file_mapping.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/system_error.h"
#include "platform/tests/case_name.h"
#include "platform/tests/scratch_folder.h"

namespace velix::platform {
namespace {

using testing::PrintTo;

using testing::ScratchFolder;
using testing::WriteFile;

// A byte pattern that differs from page to page, so a view at the wrong
// offset cannot pass for the right one.
uint8_t PatternAt(uint64_t position) {
  return static_cast<uint8_t>(position * 7 + position / 4096);
}

std::string PatternFile(size_t size) {
  std::string content(size, '\0');
  for (size_t i = 0; i < size; ++i) content[i] = static_cast<char>(PatternAt(i));
  return content;
}

class FileMappingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    page_ = AllocationGranularity();
    path_ = scratch_.File("data.bin");
    WriteFile(path_, PatternFile(3 * page_ + 100));
    ASSERT_TRUE(file_.Open(path_));
    ASSERT_TRUE(mapping_.Create(file_));
  }

  ScratchFolder scratch_;
  size_t page_ = 0;
  std::string path_;
  ReadOnlyFile file_;
  FileMapping mapping_;
};

TEST_F(FileMappingTest, SizesAgree) {
  EXPECT_EQ(file_.Size(), 3 * page_ + 100);
  EXPECT_EQ(mapping_.Size(), 3 * page_ + 100);
}

struct WindowCase {
  const char* name;
  uint64_t offset_pages;
  uint64_t offset_extra;  // bytes added to the page-aligned offset
  size_t length_pages;
  size_t length_extra;
  uint32_t error;  // 0 = the view maps
};

class FileMappingWindowTest : public FileMappingTest,
                              public ::testing::WithParamInterface<WindowCase> {};

TEST_P(FileMappingWindowTest, MapsValidWindowsAndRefusesOthers) {
  const WindowCase& c = GetParam();
  const uint64_t offset = c.offset_pages * page_ + c.offset_extra;
  const size_t length = c.length_pages * page_ + c.length_extra;
  const uint8_t* view = mapping_.MapView(offset, length);
  if (c.error != 0) {
    EXPECT_EQ(view, nullptr);
    EXPECT_EQ(mapping_.LastError(), c.error);
    return;
  }
  ASSERT_NE(view, nullptr) << SystemErrorText(mapping_.LastError());
  for (size_t i = 0; i < length; ++i) {
    ASSERT_EQ(view[i], PatternAt(offset + i)) << "byte " << i;
  }
  EXPECT_TRUE(mapping_.UnmapView(view, length));
}

INSTANTIATE_TEST_SUITE_P(Windows, FileMappingWindowTest,
                         ::testing::Values(WindowCase{"FirstPage", 0, 0, 1, 0, 0},
                                           WindowCase{"SecondPageOnward", 1, 0, 2, 0, 0},
                                           WindowCase{"TailWithPartialPage", 2, 0, 1, 100, 0},
                                           WindowCase{"WholeFile", 0, 0, 3, 100, 0},
                                           WindowCase{"UnalignedOffset", 1, 16, 1, 0, EINVAL},
                                           WindowCase{"ZeroLength", 0, 0, 0, 0, EINVAL},
                                           WindowCase{"PastTheEnd", 2, 0, 2, 0, EINVAL},
                                           WindowCase{"OffsetBeyondFile", 4, 0, 1, 0, EINVAL}),
                         testing::CaseName());

TEST_F(FileMappingTest, ViewOutlivesTheFileAndTheMapping) {
  const uint8_t* view = mapping_.MapView(page_, page_);
  ASSERT_NE(view, nullptr);
  file_.Close();
  mapping_.Close();
  EXPECT_EQ(view[5], PatternAt(page_ + 5));
  EXPECT_TRUE(mapping_.UnmapView(view, page_));
  EXPECT_EQ(mapping_.MapView(0, page_), nullptr);
  EXPECT_EQ(mapping_.LastError(), static_cast<uint32_t>(EBADF));
}

TEST_F(FileMappingTest, UnmapOfNullIsRefused) {
  EXPECT_FALSE(mapping_.UnmapView(nullptr, page_));
  EXPECT_EQ(mapping_.LastError(), static_cast<uint32_t>(EINVAL));
}

struct OpenCase {
  const char* name;
  const char* path;  // empty = an empty file in the scratch folder
  bool opens;
  uint32_t error;  // of Open, or else of FileMapping::Create
};

class FileOpenAndMapTest : public ::testing::TestWithParam<OpenCase> {};

TEST_P(FileOpenAndMapTest, FailsWithTheRightError) {
  const OpenCase& c = GetParam();
  ScratchFolder scratch;
  std::string path = c.path;
  if (path.empty()) {
    path = scratch.File("empty.bin");
    WriteFile(path, "");
  }
  ReadOnlyFile file;
  ASSERT_EQ(file.Open(path), c.opens);
  if (!c.opens) {
    EXPECT_EQ(file.LastError(), c.error);
    EXPECT_FALSE(file.IsOpen());
    return;
  }
  FileMapping mapping;
  EXPECT_FALSE(mapping.Create(file));
  EXPECT_EQ(mapping.LastError(), c.error);
  EXPECT_FALSE(mapping.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileOpenAndMapTest,
    ::testing::Values(OpenCase{"EmptyFileCannotBeMapped", "", true, EINVAL},
                      OpenCase{"DeviceCannotBeMapped", "/dev/null", true, ENODEV},
                      OpenCase{"MissingFile", "/nonexistent/velix.bin", false, ENOENT},
                      OpenCase{"Directory", "/tmp", false, EISDIR}),
    testing::CaseName());

TEST(FileMappingStandaloneTest, CreateFromClosedFileFails) {
  ReadOnlyFile file;
  FileMapping mapping;
  EXPECT_FALSE(mapping.Create(file));
  EXPECT_EQ(mapping.LastError(), static_cast<uint32_t>(EBADF));
}

TEST(FileMappingStandaloneTest, GranularityIsAPowerOfTwoDividing16MiB) {
  const size_t granularity = AllocationGranularity();
  EXPECT_EQ(granularity & (granularity - 1), 0u);
  EXPECT_EQ((16u << 20) % granularity, 0u);
}

}  // namespace
}  // namespace velix::platform

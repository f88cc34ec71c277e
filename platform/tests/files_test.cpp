#include "platform/files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <optional>
#include <regex>

#include "platform/tests/case_name.h"
#include "platform/tests/environment_override.h"
#include "platform/tests/scratch_folder.h"

namespace velix::platform {
namespace {

using testing::PrintTo;

using testing::EnvironmentOverride;
using testing::ReadFile;
using testing::ScratchFolder;
using testing::WriteFile;

struct CopyCase {
  const char* name;
  bool source_exists;
  std::optional<std::string> existing_destination;
  bool overwrite;
  uint32_t error;
  std::optional<std::string> destination_after;  // nullopt = must not exist
};

class CopyFileTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyFileTest, HonoursOverwriteAndLeavesNoPartialCopy) {
  const CopyCase& c = GetParam();
  ScratchFolder scratch;
  const std::string src = scratch.File("source.SIC");
  const std::string dst = scratch.File("copy.SIC");
  if (c.source_exists) WriteFile(src, "fresh capture");
  if (c.existing_destination) WriteFile(dst, *c.existing_destination);

  EXPECT_EQ(CopyFileTo(src, dst, c.overwrite), c.error);
  ASSERT_EQ(FileExists(dst), c.destination_after.has_value());
  if (c.destination_after) {
    EXPECT_EQ(ReadFile(dst), *c.destination_after);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CopyFileTest,
    ::testing::Values(
        CopyCase{"NewDestination", true, std::nullopt, false, 0, "fresh capture"},
        CopyCase{"ReplaceLongerFile", true, "an older and much longer capture", true, 0,
                 "fresh capture"},
        CopyCase{"KeepExistingWithoutOverwrite", true, "older", false, EEXIST, "older"},
        CopyCase{"MissingSource", false, std::nullopt, true, ENOENT, std::nullopt},
        CopyCase{"MissingSourceKeepsDestination", false, "older", true, ENOENT, "older"}),
    testing::CaseName());

TEST(CopyFileLargeTest, CopiesAcrossChunkBoundaries) {
  ScratchFolder scratch;
  // One byte past a whole number of copy chunks, with a pattern whose period
  // (251) does not divide the chunk size, so a misplaced chunk shows.
  std::string content((4u << 20) + 1, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i % 251);
  WriteFile(scratch.File("big"), content);
  ASSERT_EQ(CopyFileTo(scratch.File("big"), scratch.File("big.copy"), false), 0u);
  EXPECT_TRUE(ReadFile(scratch.File("big.copy")) == content);
}

TEST(CopyFileRefusalTest, CopyOntoItselfIsRefusedAndKeepsTheData) {
  ScratchFolder scratch;
  WriteFile(scratch.File("same"), "precious");
  EXPECT_EQ(CopyFileTo(scratch.File("same"), scratch.File("same"), true),
            static_cast<uint32_t>(EINVAL));
  EXPECT_EQ(ReadFile(scratch.File("same")), "precious");
}

TEST(CopyFileRefusalTest, DirectoryAsSourceIsRefused) {
  ScratchFolder scratch;
  EXPECT_EQ(CopyFileTo(scratch.Path(), scratch.File("copy"), true), static_cast<uint32_t>(EISDIR));
  EXPECT_FALSE(FileExists(scratch.File("copy")));
}

TEST(DeleteFileTest, DeletesOnceThenReportsMissing) {
  ScratchFolder scratch;
  WriteFile(scratch.File("gone"), "x");
  EXPECT_EQ(DeleteFileAt(scratch.File("gone")), 0u);
  EXPECT_FALSE(FileExists(scratch.File("gone")));
  EXPECT_EQ(DeleteFileAt(scratch.File("gone")), static_cast<uint32_t>(ENOENT));
}

TEST(FileExistsTest, FolderIsNotAFile) {
  ScratchFolder scratch;
  EXPECT_FALSE(FileExists(scratch.Path()));
  EXPECT_FALSE(FileExists(scratch.File("nothing")));
}

struct TempFolderCase {
  const char* name;
  // "<scratch>" stands for the scratch folder without its trailing "/".
  std::optional<std::string> tmpdir;
  std::string expected;
};

class TempFolderTest : public ::testing::TestWithParam<TempFolderCase> {};

TEST_P(TempFolderTest, PrefersAnExistingTmpdirAndEndsInSlash) {
  const TempFolderCase& c = GetParam();
  ScratchFolder scratch;
  const std::string bare = scratch.Path().substr(0, scratch.Path().size() - 1);
  auto expand = [&bare](std::string text) {
    const size_t at = text.find("<scratch>");
    if (at != std::string::npos) text.replace(at, 9, bare);
    return text;
  };
  const EnvironmentOverride tmpdir("TMPDIR",
                                   c.tmpdir ? std::optional(expand(*c.tmpdir)) : std::nullopt);
  uint32_t error = 99;
  EXPECT_EQ(TempFolder(&error), expand(c.expected));
  EXPECT_EQ(error, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, TempFolderTest,
    ::testing::Values(TempFolderCase{"Unset", std::nullopt, "/tmp/"},
                      TempFolderCase{"Empty", "", "/tmp/"},
                      TempFolderCase{"ExistingWithoutSlash", "<scratch>", "<scratch>/"},
                      TempFolderCase{"ExistingWithSlash", "<scratch>/", "<scratch>/"},
                      TempFolderCase{"Missing", "<scratch>/missing", "/tmp/"},
                      TempFolderCase{"AFileNotAFolder", "/dev/null", "/tmp/"}),
    testing::CaseName());

TEST(UniqueTempFileNameTest, CreatesDistinctFilesWithThePattern) {
  ScratchFolder scratch;
  uint32_t error = 99;
  const std::string first = UniqueTempFileName(scratch.Path(), "Zzz", &error);
  EXPECT_EQ(error, 0u);
  const std::string second = UniqueTempFileName(scratch.Path(), "Zzz");
  const std::regex pattern(scratch.Path() + "Zzz[A-Za-z0-9]{6}\\.tmp");
  EXPECT_TRUE(std::regex_match(first, pattern)) << first;
  EXPECT_TRUE(std::regex_match(second, pattern)) << second;
  EXPECT_NE(first, second);
  EXPECT_TRUE(FileExists(first));
  EXPECT_TRUE(FileExists(second));
  EXPECT_EQ(ReadFile(first), "");
}

TEST(UniqueTempFileNameTest, AddsTheMissingSlash) {
  ScratchFolder scratch;
  const std::string bare = scratch.Path().substr(0, scratch.Path().size() - 1);
  const std::string name = UniqueTempFileName(bare, "Zzz");
  EXPECT_EQ(name.rfind(scratch.Path() + "Zzz", 0), 0u) << name;
}

struct BadTempCase {
  const char* name;
  std::string folder;
  std::string prefix;
  uint32_t error;
};

class UniqueTempFileNameErrorTest : public ::testing::TestWithParam<BadTempCase> {};

TEST_P(UniqueTempFileNameErrorTest, ReturnsEmptyWithErrno) {
  const BadTempCase& c = GetParam();
  uint32_t error = 0;
  EXPECT_EQ(UniqueTempFileName(c.folder, c.prefix, &error), "");
  EXPECT_EQ(error, c.error);
}

INSTANTIATE_TEST_SUITE_P(Inputs, UniqueTempFileNameErrorTest,
                         ::testing::Values(BadTempCase{"MissingFolder", "/nonexistent/velix/",
                                                       "Zzz", ENOENT},
                                           BadTempCase{"EmptyFolder", "", "Zzz", EINVAL},
                                           BadTempCase{"SlashInPrefix", "/tmp/", "a/Zzz", EINVAL}),
                         testing::CaseName());

}  // namespace
}  // namespace velix::platform

namespace velix::platform {
namespace {

using testing::PrintTo;

struct SpecialSourceCase {
  const char* name;
  std::string (*make)(const testing::ScratchFolder& scratch);
  uint32_t error;
};

class SpecialSourceTest : public ::testing::TestWithParam<SpecialSourceCase> {};

// A device would be copied without end and a FIFO would wait for a writer:
// neither is read, and no copy is left.
TEST_P(SpecialSourceTest, IsRefusedWithoutReadingOrWaiting) {
  testing::ScratchFolder scratch;
  const std::string source = GetParam().make(scratch);
  EXPECT_FALSE(IsRegularFile(source));
  EXPECT_EQ(CopyFileTo(source, scratch.File("copy"), true), GetParam().error);
  EXPECT_FALSE(FileExists(scratch.File("copy")));
}

INSTANTIATE_TEST_SUITE_P(
    Sources, SpecialSourceTest,
    ::testing::Values(SpecialSourceCase{"Device", [](const testing::ScratchFolder&) { return std::string("/dev/zero"); },
                                        EINVAL},
                      SpecialSourceCase{"Fifo",
                                        [](const testing::ScratchFolder& scratch) {
                                          const std::string path = scratch.File("fifo");
                                          mkfifo(path.c_str(), 0600);
                                          return path;
                                        },
                                        EINVAL},
                      SpecialSourceCase{"Folder", [](const testing::ScratchFolder& scratch) { return scratch.Path(); },
                                        EISDIR}),
    testing::CaseName());

}  // namespace
}  // namespace velix::platform

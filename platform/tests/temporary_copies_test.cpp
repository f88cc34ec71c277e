#include "platform/temporary_copies.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/tests/scratch_folder.h"

namespace velix::platform {
namespace {

using testing::ScratchFolder;
using testing::WriteFile;

TEST(TemporaryCopies, RemovesWhatIsRememberedAndNothingElse) {
  ScratchFolder scratch;
  const std::string kept = scratch.File("kept.tmp");
  const std::string forgotten = scratch.File("forgotten.tmp");
  const std::string remembered = scratch.File("remembered.tmp");
  for (const std::string& path : {kept, forgotten, remembered}) WriteFile(path, "copy");
  ASSERT_TRUE(RememberTemporaryCopy(forgotten));
  ASSERT_TRUE(RememberTemporaryCopy(remembered));
  ForgetTemporaryCopy(forgotten);

  RemoveTemporaryCopies();
  EXPECT_TRUE(FileExists(kept));
  EXPECT_TRUE(FileExists(forgotten));
  EXPECT_FALSE(FileExists(remembered));
  ForgetTemporaryCopy(remembered);
}

TEST(TemporaryCopies, SlotsAreReusedAfterForgetting) {
  // Far more copies than slots, one at a time, as a process that opens
  // document after document makes them.
  for (int i = 0; i < 100; ++i) {
    const std::string path = "/tmp/velix-never-created-" + std::to_string(i);
    ASSERT_TRUE(RememberTemporaryCopy(path)) << i;
    ForgetTemporaryCopy(path);
  }
  EXPECT_FALSE(RememberTemporaryCopy(std::string(5000, 'x'))) << "a path beyond PATH_MAX";
}

}  // namespace
}  // namespace velix::platform

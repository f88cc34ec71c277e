// The per-machine instance lock the mode change tool and the application
// take at start-up.
#include "platform/single_instance.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <memory>

#include "platform/tests/environment_override.h"
#include "platform/tests/scratch_folder.h"

namespace velix::platform::testing {
namespace {

TEST(SingleInstance, ASecondLockFailsUntilTheFirstIsReleased) {
  ScratchFolder folder;
  const std::string lock_folder = folder.File("run");
  auto first = std::make_unique<SingleInstanceLock>();
  ASSERT_TRUE(first->Acquire(lock_folder, "USBI2C"));
  EXPECT_TRUE(std::filesystem::exists(lock_folder + "/USBI2C"));
  SingleInstanceLock second;
  EXPECT_FALSE(second.Acquire(lock_folder, "USBI2C"));
  EXPECT_EQ(errno, EWOULDBLOCK);
  first.reset();
  EXPECT_TRUE(second.Acquire(lock_folder, "USBI2C"));
  SingleInstanceLock blocked;
  EXPECT_FALSE(blocked.Acquire(folder.File("run/USBI2C/below-a-file"), "USBI2C"));
  EXPECT_NE(errno, EWOULDBLOCK);
}

TEST(SingleInstance, APlantedLinkIsNotFollowed) {
  ScratchFolder folder;
  const std::string lock_folder = folder.File("shared");
  std::filesystem::create_directory(lock_folder);
  std::filesystem::create_symlink(folder.File("victim"), lock_folder + "/USBI2C");
  SingleInstanceLock lock;
  EXPECT_FALSE(lock.Acquire(lock_folder, "USBI2C"));
  EXPECT_FALSE(std::filesystem::exists(folder.File("victim")));
}

// The tool and the application run side by side: each name is a lock of
// its own.
TEST(SingleInstance, ProgramsWithOtherNamesDoNotExcludeEachOther) {
  ScratchFolder folder;
  SingleInstanceLock tool;
  SingleInstanceLock application;
  SingleInstanceLock second_application;
  ASSERT_TRUE(tool.Acquire(folder.Path(), "USBI2C"));
  EXPECT_TRUE(application.Acquire(folder.Path(), "ORVANE"));
  EXPECT_FALSE(second_application.Acquire(folder.Path(), "ORVANE"));
}

TEST(SingleInstance, LockFolderIsTheRuntimeFolderOrElseTheTemporaryOne) {
  ScratchFolder folder;
  EnvironmentOverride temp("TMPDIR", folder.Path());
  {
    EnvironmentOverride runtime("VELIX_RUNTIME_DIR", folder.File("run"));
    EXPECT_EQ(InstanceLockFolder(), folder.File("run"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("run")));
  }
  WriteFile(folder.File("not-a-folder"), "x");
  EnvironmentOverride runtime("VELIX_RUNTIME_DIR", folder.File("not-a-folder"));
  EXPECT_EQ(InstanceLockFolder() + "/", folder.Path());
}

}  // namespace
}  // namespace velix::platform::testing

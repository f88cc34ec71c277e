#include "platform/runtime_folder.h"

#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/tests/scratch_folder.h"

namespace velix::platform {
namespace {

using testing::ScratchFolder;

constexpr uid_t kNobody = 65534;
constexpr uid_t kService = 65533;

// Whether the check passes for a process running as `uid` (as root, the
// test's own user); the check runs in a child that drops to that user.
bool PassesAs(uid_t uid, const std::string& folder, FolderUse use) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (uid != ::geteuid() && (::setgroups(0, nullptr) != 0 || ::setresgid(uid, uid, uid) != 0 ||
                               ::setresuid(uid, uid, uid) != 0)) {
      ::_exit(2);
    }
    std::string error;
    ::_exit(CheckRuntimeFolder(folder, use, &error) ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The daemon uses only its own folder; a client root's or its own, and a
// client that is not root also another account's (the service's). Nobody
// uses one that others can change.
TEST(RuntimeFolder, OwnerAndModeDecideWhoUsesIt) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as other users";
  ScratchFolder scratch;
  ASSERT_EQ(::chmod(scratch.Path().c_str(), 0755), 0);
  const struct {
    const char* what;
    uid_t owner;
    mode_t mode;
    uid_t as;
    FolderUse use;
    bool passes;
  } cases[] = {
      {"daemon in its own folder", 0, 0750, 0, FolderUse::kServe, true},
      {"daemon in another user's folder", kService, 0750, 0, FolderUse::kServe, false},
      {"root client in root's folder", 0, 0750, 0, FolderUse::kConnect, true},
      {"root client in another user's folder", kService, 0750, 0, FolderUse::kConnect, false},
      {"other client in the service's folder", kService, 0750, kNobody, FolderUse::kConnect, true},
      {"other client, folder writable by the group", kService, 0770, kNobody, FolderUse::kConnect, false},
      {"root client, folder writable by everyone", 0, 01777, 0, FolderUse::kConnect, false},
  };
  int index = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string folder = scratch.File("run" + std::to_string(index++));
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(folder.c_str(), c.mode), 0);
    ASSERT_EQ(::chown(folder.c_str(), c.owner, c.owner), 0);
    EXPECT_EQ(PassesAs(c.as, folder, c.use), c.passes);
  }
}

}  // namespace
}  // namespace velix::platform

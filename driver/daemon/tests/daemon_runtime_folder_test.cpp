// The runtime folder as another local user may have prepared it: the daemon
// serves only from a folder that is its own and that nobody else can change,
// creates it itself with a fixed mode, never writes through a planted link,
// and clients do not talk to sockets in a folder they cannot trust.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "driver/daemon/tests/daemon_process.h"
#include "platform/device_file.h"

namespace velix::daemon::testing {
namespace {

constexpr char kScenario[] = "bus i2c0\nrate 50\nstart\naddr 0x50 w\nwrite 00 10\nstop\n";
constexpr uid_t kNobody = 65534;

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// A private scratch folder, removed with everything in it.
class Scratch {
 public:
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velixd-folder-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

struct Outcome {
  bool started = false;
  int exit_code = -1;
  std::string messages;
};

// Starts velixd on `folder` and sees whether it comes up or gives up.
Outcome StartOn(const std::string& folder, const Scratch& scratch) {
  const std::string scenario = scratch.path() + "/scenario.scn";
  const std::string messages = scratch.path() + "/messages.txt";
  std::ofstream(scenario) << kScenario;
  const pid_t child = ::fork();
  if (child == 0) {
    const int out = ::open(messages.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(out, STDERR_FILENO);
    ::execl(VELIXD_PATH, VELIXD_PATH, "--runtime-dir", folder.c_str(), "--trace-level", "0", "--simulate",
            scenario.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  Outcome outcome;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (::waitpid(child, &status, WNOHANG) == 0) {
    struct stat info {};
    if (::lstat((folder + "/VELIX0").c_str(), &info) == 0 || std::chrono::steady_clock::now() > deadline) {
      outcome.started = true;
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (!outcome.started && WIFEXITED(status)) outcome.exit_code = WEXITSTATUS(status);
  outcome.messages = ReadText(messages);
  return outcome;
}

struct FolderCase {
  const char* what;
  mode_t mode;
  bool foreign_owner;   // the folder belongs to another user
  bool link;            // the runtime folder named is a link to it
  bool foreign_parent;  // it lies in another user's folder
};

// Makes the folder a case describes under `parent`; empty on failure.
std::string PrepareFolder(const std::string& parent, const FolderCase& c) {
  std::string base = parent;
  if (c.foreign_parent) {
    base += "/theirs";
    if (::mkdir(base.c_str(), 0755) != 0 || ::chown(base.c_str(), kNobody, kNobody) != 0) return {};
  }
  const std::string real = base + "/real";
  if (::mkdir(real.c_str(), 0700) != 0 || ::chmod(real.c_str(), c.mode) != 0) return {};
  if (c.foreign_owner && ::chown(real.c_str(), kNobody, kNobody) != 0) return {};
  if (!c.link) return real;
  const std::string link = base + "/run";
  return ::symlink(real.c_str(), link.c_str()) == 0 ? link : std::string();
}

TEST(RuntimeFolder, FoldersOthersCanChangeAreRefused) {
  const FolderCase cases[] = {
      {"owned by another user", 0700, true, false, false},
      {"writable by everyone", 0777, false, false, false},
      {"shared sticky folder", 01777, false, false, false},
      {"writable by the group", 0770, false, false, false},
      {"symbolic link to a good folder", 0700, false, true, false},
      {"inside another user's folder", 0700, false, false, true},
  };
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(c.what);
    if ((c.foreign_owner || c.foreign_parent) && ::geteuid() != 0) continue;
    Scratch scratch;
    const std::string folder = PrepareFolder(scratch.path(), c);
    ASSERT_FALSE(folder.empty());
    const Outcome outcome = StartOn(folder, scratch);
    EXPECT_FALSE(outcome.started);
    EXPECT_EQ(outcome.exit_code, 1);
    EXPECT_NE(outcome.messages.find("velixd: "), std::string::npos) << outcome.messages;
  }
}

TEST(RuntimeFolder, AMissingFolderIsCreatedWithItsOwnMode) {
  Scratch scratch;
  const std::string folder = scratch.path() + "/run";
  DaemonLaunch launch;
  launch.runtime_dir = folder;
  launch.umask = 0;
  DaemonProcess daemon(kScenario, launch);
  ASSERT_TRUE(daemon.running());
  struct stat info {};
  ASSERT_EQ(::lstat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0750u);
  EXPECT_EQ(info.st_uid, ::geteuid());
}

TEST(RuntimeFolder, APlantedLinkIsNotWrittenThrough) {
  Scratch scratch;
  Scratch elsewhere;
  const std::string victim = elsewhere.path() + "/victim";
  std::ofstream(victim) << "precious\n";
  ASSERT_EQ(::symlink(victim.c_str(), (scratch.path() + "/simulated-device.state.tmp").c_str()), 0);
  DaemonLaunch launch;
  launch.runtime_dir = scratch.path();
  DaemonProcess daemon(kScenario, launch);
  ASSERT_TRUE(daemon.running());
  // The state is saved when the device is plugged in.
  EXPECT_EQ(DaemonProcess::Value(daemon.Sim("status"), "plugged"), "1");
  EXPECT_EQ(ReadText(victim), "precious\n");
  struct stat info {};
  ASSERT_EQ(::lstat((scratch.path() + "/simulated-device.state").c_str(), &info), 0);
  EXPECT_TRUE(S_ISREG(info.st_mode));
}

TEST(RuntimeFolder, ClientsRefuseAFolderTheyCannotTrust) {
  DaemonProcess daemon(kScenario);
  ASSERT_TRUE(daemon.running());
  ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
  struct Case {
    const char* what;
    bool needs_root;
    int (*spoil)(const char* folder);
    int (*restore)(const char* folder);
  } cases[] = {
      {"owned by another user", true, [](const char* f) { return ::chown(f, kNobody, kNobody); },
       [](const char* f) { return ::chown(f, 0, 0); }},
      {"writable by others", false, [](const char* f) { return ::chmod(f, 0707); },
       [](const char* f) { return ::chmod(f, 0700); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.needs_root && ::geteuid() != 0) continue;
    ASSERT_EQ(c.spoil(daemon.folder().c_str()), 0);
    platform::DeviceFile* file = platform::CreateDeviceFile("\\\\.\\VELIX0");
    EXPECT_EQ(file, nullptr);
    if (file) platform::CloseDeviceFile(file);
    EXPECT_EQ(platform::GetLastDeviceError(), platform::kErrorAccessDenied);
    EXPECT_TRUE(platform::EnumerateDeviceInterfaces().empty());
    ASSERT_EQ(c.restore(daemon.folder().c_str()), 0);
    file = platform::CreateDeviceFile("\\\\.\\VELIX0");
    EXPECT_NE(file, nullptr);
    if (file) platform::CloseDeviceFile(file);
  }
  ::unsetenv("VELIX_RUNTIME_DIR");
}

}  // namespace
}  // namespace velix::daemon::testing

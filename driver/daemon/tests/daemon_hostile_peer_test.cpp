// A hostile local user against a real daemon: payloads announced and never
// sent, floods of idle connections with too few descriptors, stalled frames,
// and peers the daemon must not serve at all.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "driver/daemon/tests/daemon_process.h"
#include "driver/daemon/tests/device_client.h"
#include "driver/daemon/tests/raw_peer.h"
#include "platform/device_wire.h"

namespace velix::daemon::testing {
namespace {

using namespace velix::driver;
using platform::WireOp;
using platform::WireRequest;

constexpr char kScenario[] = "bus i2c0\nrate 50\nstart\naddr 0x50 w\nwrite 00 10\nstop\n";
constexpr uint32_t kAnnouncedBytes = 64u << 20;
constexpr uid_t kNobody = 65534;

// The daemon's resident memory in bytes.
uint64_t ResidentBytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stoull(line.substr(6)) * 1024;
  }
  return 0;
}

// The daemon's CPU time so far, in clock ticks.
uint64_t CpuTicks(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  uint64_t user = 0;
  uint64_t system = 0;
  // After the command name: state is field 3, utime 14, stime 15.
  for (int index = 3; index <= 15 && fields >> field; ++index) {
    if (index == 14) user = std::stoull(field);
    if (index == 15) system = std::stoull(field);
  }
  return user + system;
}

WireRequest LargeWrite() {
  WireRequest request;
  request.op = static_cast<uint8_t>(WireOp::kWrite);
  request.input_size = kAnnouncedBytes;
  return request;
}

bool StillServes(const DaemonProcess& daemon) {
  const int fd = ConnectRaw(daemon.folder() + "/VELIX0");
  const bool served = fd >= 0 && ExchangeRaw(fd, CreateRequest()) == STATUS_SUCCESS;
  if (fd >= 0) ::close(fd);
  return served;
}

TEST(HostilePeer, AnnouncedPayloadsCostOnlyWhatArrives) {
  DaemonProcess daemon(kScenario);
  ASSERT_TRUE(daemon.running());
  const uint64_t before = ResidentBytes(daemon.pid());
  std::vector<int> peers;
  // Without a handle a large request is refused from its header alone.
  for (int i = 0; i < 8; ++i) {
    const int fd = ConnectRaw(daemon.folder() + "/VELIX0");
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ExchangeRaw(fd, LargeWrite()), STATUS_INVALID_HANDLE);
    peers.push_back(fd);
  }
  // With a handle, a write announced but hardly sent holds what arrived.
  const std::vector<uint8_t> some(1024, 0x5A);
  for (int i = 0; i < 8; ++i) {
    const int fd = ConnectRaw(daemon.folder() + "/VELIX0");
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ExchangeRaw(fd, CreateRequest()), STATUS_SUCCESS);
    ASSERT_TRUE(platform::SendAll(fd, platform::BytesOf(LargeWrite())));
    ASSERT_TRUE(platform::SendAll(fd, some));
    peers.push_back(fd);
  }
  uint64_t most = 0;
  for (int sample = 0; sample < 10; ++sample) {
    most = std::max(most, ResidentBytes(daemon.pid()));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_LT(most, before + kAnnouncedBytes / 2) << "before " << before << ", at most " << most;
  for (const int fd : peers) ::close(fd);
  EXPECT_TRUE(StillServes(daemon));
}

TEST(HostilePeer, RunningOutOfDescriptorsNeitherSpinsNorStopsService) {
  DaemonLaunch launch;
  launch.open_file_limit = 64;
  DaemonProcess daemon(kScenario, launch);
  ASSERT_TRUE(daemon.running());
  ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
  platform::DeviceFile* held = platform::CreateDeviceFile("\\\\.\\VELIX0");
  ASSERT_NE(held, nullptr);

  // More idle connections than the daemon has descriptors; the ones beyond
  // the listen queue are refused on our side, which is fine.
  std::vector<int> flood;
  for (int i = 0; i < 120; ++i) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = daemon.folder() + "/VELIX0";
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    flood.push_back(fd);
  }
  const auto start = std::chrono::steady_clock::now();
  const uint64_t ticks_before = CpuTicks(daemon.pid());
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const uint64_t ticks = CpuTicks(daemon.pid()) - ticks_before;
  const auto elapsed_ticks = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start).count() * ::sysconf(_SC_CLK_TCK) / 1000;
  EXPECT_LT(ticks * 4, static_cast<uint64_t>(elapsed_ticks)) << ticks << " ticks of CPU in " << elapsed_ticks;

  // The client it had is still served, and once the flood ends new ones are.
  EXPECT_EQ(Ioctl(held, IOCTL_BULKUSB_GET_DRIVER_VERSION, {}, 2).out, (std::vector<uint8_t>{2, 1}));
  for (const int fd : flood) ::close(fd);
  EXPECT_TRUE(StillServes(daemon));
  platform::CloseDeviceFile(held);
  ::unsetenv("VELIX_RUNTIME_DIR");
}

TEST(HostilePeer, StalledPeersAreHungUpButIdleHandlesStay) {
  DaemonProcess daemon(kScenario);
  ASSERT_TRUE(daemon.running());
  ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
  platform::DeviceFile* idle = platform::CreateDeviceFile("\\\\.\\VELIX0");
  ASSERT_NE(idle, nullptr);

  const std::string path = daemon.folder() + "/VELIX0";
  const int silent = ConnectRaw(path);
  const int half_header = ConnectRaw(path);
  const int half_payload = ConnectRaw(path);
  ASSERT_GE(silent, 0);
  ASSERT_GE(half_header, 0);
  ASSERT_GE(half_payload, 0);
  const WireRequest create = CreateRequest();
  ASSERT_TRUE(platform::SendAll(half_header, platform::BytesOf(create).first(10)));
  ASSERT_EQ(ExchangeRaw(half_payload, CreateRequest()), STATUS_SUCCESS);
  WireRequest write;
  write.op = static_cast<uint8_t>(WireOp::kWrite);
  write.input_size = 100;
  ASSERT_TRUE(platform::SendAll(half_payload, platform::BytesOf(write)));
  ASSERT_TRUE(platform::SendAll(half_payload, std::vector<uint8_t>(10)));

  for (const int fd : {silent, half_header, half_payload}) {
    EXPECT_TRUE(HungUp(fd));
    ::close(fd);
  }
  // A client that holds a handle may pause between requests for longer.
  EXPECT_EQ(Ioctl(idle, IOCTL_BULKUSB_GET_DRIVER_VERSION, {}, 2).out, (std::vector<uint8_t>{2, 1}));
  platform::CloseDeviceFile(idle);
  ::unsetenv("VELIX_RUNTIME_DIR");
}

TEST(HostilePeer, SocketModesDoNotComeFromTheUmask) {
  DaemonLaunch launch;
  launch.umask = 0;
  DaemonProcess daemon(kScenario, launch);
  ASSERT_TRUE(daemon.running());
  const struct {
    const char* name;
    mode_t mode;
  } cases[] = {{"VELIX0", 0660}, {"velixd.control", 0600}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    struct stat info {};
    ASSERT_EQ(::lstat((daemon.folder() + "/" + c.name).c_str(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, c.mode);
    EXPECT_EQ(info.st_gid, ::getegid());
  }
}

// What a peer with other credentials gets: 0 served, 1 hung up on, 2 other.
int AsPeer(uid_t uid, gid_t gid, const std::vector<gid_t>& groups, const std::string& socket, bool control) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgroups(groups.size(), groups.data()) != 0 || ::setresgid(gid, gid, gid) != 0 ||
        ::setresuid(uid, uid, uid) != 0) {
      ::_exit(2);
    }
    const int fd = ConnectRaw(socket, 5000);
    if (fd < 0) ::_exit(2);
    if (control) {
      platform::SendAll(fd, {reinterpret_cast<const uint8_t*>("unplug\n"), 7});
      char reply[64];
      ::_exit(::recv(fd, reply, sizeof(reply), 0) > 0 ? 0 : 1);
    }
    const uint32_t status = ExchangeRaw(fd, CreateRequest());
    ::_exit(status == STATUS_SUCCESS ? 0 : status == kNoReply ? 1 : 2);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}

TEST(HostilePeer, OnlyTheDaemonsUserAndGroupAreServed) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to connect as other users";
  DaemonProcess daemon(kScenario);
  ASSERT_TRUE(daemon.running());
  // Open the way through the file system, so only the credential check stands.
  const std::string device = daemon.folder() + "/VELIX0";
  const std::string control = daemon.folder() + "/velixd.control";
  ASSERT_EQ(::chmod(daemon.folder().c_str(), 0755), 0);
  ASSERT_EQ(::chmod(device.c_str(), 0666), 0);
  ASSERT_EQ(::chmod(control.c_str(), 0666), 0);
  const gid_t group = ::getegid();
  const struct {
    const char* what;
    gid_t gid;
    std::vector<gid_t> groups;
    bool control;
    int expected;
  } cases[] = {
      {"stranger, device", kNobody, {}, false, 1},
      {"stranger, control", kNobody, {}, true, 1},
      {"member by supplementary group, device", kNobody, {group}, false, 0},
      {"member by primary group, device", group, {}, false, 0},
      {"member of the group, control", group, {group}, true, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(AsPeer(kNobody, c.gid, c.groups, c.control ? control : device, c.control), c.expected);
  }
  EXPECT_EQ(DaemonProcess::Value(daemon.Sim("status"), "plugged"), "1");
}

}  // namespace
}  // namespace velix::daemon::testing

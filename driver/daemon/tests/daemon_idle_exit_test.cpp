// A daemon started for a plugged-in analyzer stops by itself once the
// analyzer has gone and nobody uses it, and not while either is there.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "driver/daemon/tests/daemon_process.h"
#include "driver/daemon/tests/raw_peer.h"

namespace velix::daemon::testing {
namespace {

constexpr char kScenario[] = "bus i2c0\nrate 50\nstart\naddr 0x50 w\nwrite 00 10\nstop\n";
// Longer than the one-second limit plus a look interval: a daemon that
// would stop while busy has stopped by then.
constexpr int kBusyWatchMs = 1400;
constexpr int kExitWaitMs = 5000;

struct IdleCase {
  const char* name;
  bool plugged;
  bool client_connected;
  // What ends the busy spell; null when the daemon is idle from the start.
  std::function<void(DaemonProcess&, int& client)> end_busy;
};

TEST(DaemonIdleExit, StopsWithSuccessOnlyAfterAnalyzerAndClientsHaveGone) {
  const IdleCase cases[] = {
      {"no analyzer from the start", false, false, nullptr},
      {"analyzer served, then unplugged", true, false,
       [](DaemonProcess& daemon, int&) { EXPECT_EQ(DaemonProcess::Value(daemon.Sim("unplug"), "ok"), "1"); }},
      {"no analyzer, a client connected, then gone", false, true,
       [](DaemonProcess&, int& client) {
         ::close(client);
         client = -1;
       }},
  };
  for (const IdleCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = {"--idle-exit", "1"};
    if (!c.plugged) args.push_back("--unplugged");
    DaemonProcess daemon(kScenario, args);
    ASSERT_TRUE(daemon.running());
    int client = c.client_connected ? ConnectRaw(daemon.folder() + "/velixd.control") : -1;
    if (c.client_connected) {
      ASSERT_GE(client, 0);
    }
    int status = 0;
    if (c.end_busy) {
      EXPECT_FALSE(daemon.WaitForExit(kBusyWatchMs, &status)) << "stopped while busy";
      c.end_busy(daemon, client);
    }
    ASSERT_TRUE(daemon.WaitForExit(kExitWaitMs, &status));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    if (client >= 0) ::close(client);
  }
}

}  // namespace
}  // namespace velix::daemon::testing

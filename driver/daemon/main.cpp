// velixd: hosts the analyzer's driver for one device and serves clients over
// Unix sockets in the runtime folder.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "driver/daemon/daemon_options.h"
#include "driver/daemon/daemon_server.h"
#include "driver/daemon/device_host.h"
#include "driver/daemon/hardware_edge.h"
#include "driver/daemon/idle_exit_clock.h"
#include "driver/daemon/simulated_edge.h"
#include "platform/device_names.h"
#include "platform/runtime_folder.h"
#include "platform/trace.h"
#include "velix_version.h"

namespace {

using velix::daemon::DaemonOptions;

bool PrepareFolder(const std::string& folder, std::string* error) {
  if (!velix::platform::PrepareRuntimeFolder(folder, error)) return false;
  const std::string control = folder + "/" + std::string(velix::platform::kControlSocketName);
  const std::string device = folder + "/" + std::string(velix::platform::kDriverDeviceName);
  if (velix::daemon::SocketAnswers(control) || velix::daemon::SocketAnswers(device)) {
    *error = "another velixd already serves " + folder;
    return false;
  }
  // Names left behind by a daemon that died.
  ::unlink(control.c_str());
  ::unlink(device.c_str());
  return true;
}

void ApplyTraceLevel(int level) {
  if (level == 0) {
    ::unsetenv("VELIX_TRACE");
  } else if (std::getenv("VELIX_TRACE") == nullptr) {
    ::setenv("VELIX_TRACE", "stderr", 1);
  }
  velix::platform::ReloadTraceTarget();
}

// Waits for a stop signal; with an idle limit, also returns (false) once the
// daemon has served no analyzer and had no client for that long.
bool WaitForStopSignal(const sigset_t& stop_signals, uint32_t idle_exit_seconds, velix::daemon::DaemonServer& server,
                       velix::daemon::DeviceHost& host) {
  int signal_number = 0;
  if (idle_exit_seconds == 0) {
    sigwait(&stop_signals, &signal_number);
    return true;
  }
  // A quarter second between looks keeps the exit close to the limit at
  // no cost worth counting.
  constexpr timespec kLookInterval{0, 250'000'000};
  velix::daemon::IdleExitClock clock{std::chrono::seconds(idle_exit_seconds)};
  for (;;) {
    if (sigtimedwait(&stop_signals, nullptr, &kLookInterval) >= 0) return true;
    const bool busy = host.CurrentDevice() != nullptr || server.ActiveSessions() > 0;
    if (clock.Expired(busy, std::chrono::steady_clock::now())) return false;
  }
}

}  // namespace

int main(int argc, char** argv) {
  DaemonOptions options;
  bool help = false;
  std::string error;
  if (!velix::daemon::ParseDaemonOptions({argv + 1, argv + argc}, &options, &help, &error)) {
    if (help) {
      std::fputs(velix::daemon::kDaemonUsage, stdout);
      return 0;
    }
    std::fprintf(stderr, "velixd: %s\n%s", error.c_str(), velix::daemon::kDaemonUsage);
    return 1;
  }
  if (options.show_version) {
    std::printf("velixd %s\n", velix::kVelixVersion);
    return 0;
  }
  // Whatever the daemon creates is its own; the sockets get their modes
  // explicitly.
  ::umask(077);
  const std::string folder = options.runtime_dir.empty() ? velix::platform::DeviceRuntimeFolder() : options.runtime_dir;
  if (!PrepareFolder(folder, &error)) {
    std::fprintf(stderr, "velixd: %s\n", error.c_str());
    return 1;
  }
  ApplyTraceLevel(options.trace_level);

  // Signals are taken by sigwait on the main thread only.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  sigaddset(&stop_signals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  velix::daemon::DaemonServer server(folder);
  std::unique_ptr<velix::daemon::EdgeBackend> backend =
      options.simulate.empty() ? velix::daemon::CreateHardwareBackend(&error)
                               : velix::daemon::CreateSimulatedBackend(options, folder, &error);
  if (!backend) {
    std::fprintf(stderr, "velixd: %s\n", error.c_str());
    return 1;
  }
  if (!server.Publish(std::string(velix::platform::kControlSocketName),
                      [&backend](int fd) { backend->ServeControl(fd); }, &error,
                      velix::daemon::PeerAccess::kOwner)) {
    std::fprintf(stderr, "velixd: %s\n", error.c_str());
    return 1;
  }
  std::thread accept_loop([&server] { server.Run(); });
  velix::daemon::DeviceHost host(backend->Edge(), server);
  host.Start();
  backend->PowerOn();
  std::fprintf(stderr, "velixd: serving %s%s\n", folder.c_str(),
               backend->Present() || !options.simulate.empty() ? "" : " (waiting for the analyzer)");

  if (WaitForStopSignal(stop_signals, options.idle_exit_seconds, server, host)) {
    std::fprintf(stderr, "velixd: stopping\n");
  } else {
    std::fprintf(stderr, "velixd: no analyzer and no client for %u s, stopping\n", options.idle_exit_seconds);
  }
  server.Stop();
  accept_loop.join();
  // A session may wait on the device (a bulk OUT it never accepts); letting
  // the device go ends that wait, so the sessions can end.
  backend->PowerOff();
  server.EndSessions();
  host.Shutdown();
  return 0;
}

#pragma once
// A real velixd process with a simulated device in a private runtime folder,
// for tests. The destructor always stops the daemon (SIGTERM, then SIGKILL)
// and removes the folder, also when the test failed half-way.

#include <sys/types.h>

#include <string>
#include <vector>

namespace velix::daemon::testing {

// How the daemon's process is started, beyond its arguments.
struct DaemonLaunch {
  std::vector<std::string> args;
  std::string runtime_dir;  // empty: the private folder
  int umask = -1;           // -1: inherited
  int open_file_limit = 0;  // 0: inherited
};

class DaemonProcess {
 public:
  // Starts `velixd --runtime-dir <private folder> --simulate SOURCE args...`;
  // a scenario text is written to a file first. Waits until VELIX0 appears
  // unless the args contain --unplugged (then until the control socket does).
  explicit DaemonProcess(const std::string& scenario_text, std::vector<std::string> args = {});
  DaemonProcess(const std::string& scenario_text, DaemonLaunch launch);
  ~DaemonProcess();
  DaemonProcess(const DaemonProcess&) = delete;
  DaemonProcess& operator=(const DaemonProcess&) = delete;

  bool running() const { return ready_; }
  pid_t pid() const { return pid_; }
  // The runtime folder.
  const std::string& folder() const { return folder_; }
  // A control-socket command; the reply text.
  std::string Sim(const std::string& command) const;
  // The value of `key` in a key=value reply; empty when missing.
  static std::string Value(const std::string& reply, const std::string& key);
  // Waits until the name is published (true) or withdrawn (false).
  bool WaitForName(const std::string& name, bool present, int timeout_ms = 5000) const;
  // Waits up to `timeout_ms` for the daemon to end by itself; true with its
  // wait status in *status when it did.
  bool WaitForExit(int timeout_ms, int* status);
  // Stops the daemon now; returns its exit status.
  int Stop();

 private:
  std::string private_folder_;  // the scenario; removed at the end
  std::string folder_;
  pid_t pid_ = -1;
  bool ready_ = false;
};

}  // namespace velix::daemon::testing

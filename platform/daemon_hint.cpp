#include "platform/daemon_hint.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/device_names.h"

namespace velix::platform {
namespace {

// Whether anything listens on the daemon's control socket in `folder`.
bool DaemonListens(const std::string& folder) {
  const std::string path = folder + "/" + std::string(kControlSocketName);
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  // A full backlog (EAGAIN) still means that a daemon listens.
  const bool listens =
      connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 || errno == EAGAIN;
  close(fd);
  return listens;
}

}  // namespace

std::string DeviceNotFoundHint() {
  const std::string folder = DeviceRuntimeFolder();
  const std::string searched =
      "Searched the runtime folder " + folder + " ($VELIX_RUNTIME_DIR, else $XDG_RUNTIME_DIR/velix, else /run/velix).\n";
  if (DaemonListens(folder)) {
    return searched + "velixd serves it, but no analyzer is attached: plug the analyzer in.\n";
  }
  return searched +
         "No velixd serves it: start it with `velixd` (analyzer on the USB bus) or `velixd --simulate SCENARIO`, "
         "or set VELIX_RUNTIME_DIR to the folder a running velixd serves.\n";
}

}  // namespace velix::platform

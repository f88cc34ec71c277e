#include "driver/daemon/listening_socket.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/system_error.h"

namespace velix::daemon {
namespace {

bool FillAddress(const std::string& path, sockaddr_un* address) {
  *address = {};
  address->sun_family = AF_UNIX;
  if (path.size() >= sizeof(address->sun_path)) return false;
  std::memcpy(address->sun_path, path.data(), path.size());
  return true;
}

}  // namespace

std::unique_ptr<ListeningSocket> ListeningSocket::Publish(const std::string& folder, const std::string& name,
                                                          unsigned mode, std::string* error) {
  const std::string path = folder + "/" + name;
  const std::string staging = folder + "/." + std::to_string(::getpid()) + ".binding";
  sockaddr_un address;
  if (!FillAddress(path, &address) || !FillAddress(staging, &address)) {
    *error = "socket path too long: " + path;
    return nullptr;
  }
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    *error = "socket: " + platform::SystemErrorText(static_cast<uint32_t>(errno));
    return nullptr;
  }
  ::unlink(staging.c_str());
  // The mode and group are set before the name appears, whatever the umask;
  // only this daemon writes in its checked folder, so the path is ours.
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
      ::chown(staging.c_str(), static_cast<uid_t>(-1), ::getegid()) != 0 || ::chmod(staging.c_str(), mode) != 0 ||
      ::listen(fd, 64) != 0 || ::rename(staging.c_str(), path.c_str()) != 0) {
    *error = "cannot publish " + path + ": " + platform::SystemErrorText(static_cast<uint32_t>(errno));
    ::unlink(staging.c_str());
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<ListeningSocket>(new ListeningSocket(fd, name, path));
}

ListeningSocket::~ListeningSocket() {
  Withdraw();
  ::close(fd_);
}

void ListeningSocket::Withdraw() {
  if (path_.empty()) return;
  ::unlink(path_.c_str());
  path_.clear();
}

bool SocketAnswers(const std::string& path) {
  sockaddr_un address;
  if (!FillAddress(path, &address)) return false;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool answers = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  ::close(fd);
  return answers;
}

}  // namespace velix::daemon

#include "tools/velixctl/control_socket.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velix::ctl {
namespace {

constexpr size_t kMaxReplyBytes = 16u << 20;
constexpr time_t kReplyTimeoutSeconds = 30;

class SocketHandle {
 public:
  explicit SocketHandle(int fd) : fd_(fd) {}
  ~SocketHandle() {
    if (fd_ >= 0) close(fd_);
  }
  SocketHandle(const SocketHandle&) = delete;
  SocketHandle& operator=(const SocketHandle&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

bool SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

ControlExchange Broken(std::string* reply, std::string reason) {
  *reply = std::move(reason);
  return ControlExchange::kBroken;
}

}  // namespace

ControlExchange ExchangeControlLine(const std::string& socket_path, std::string_view line,
                                    std::string* reply) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socket_path.empty() || socket_path.size() >= sizeof address.sun_path) {
    return ControlExchange::kNoSocket;
  }
  std::memcpy(address.sun_path, socket_path.data(), socket_path.size());

  const SocketHandle socket_handle(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const int fd = socket_handle.fd();
  if (fd < 0) return Broken(reply, std::strerror(errno));
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    const int error = errno;
    if (error == ENOENT || error == ECONNREFUSED || error == ENOTDIR) return ControlExchange::kNoSocket;
    *reply = std::strerror(error);
    return ControlExchange::kConnectFailed;
  }
  const timeval limit{kReplyTimeoutSeconds, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);

  std::string command(line);
  command.push_back('\n');
  // Closing our side tells a daemon that reads to end of stream that the
  // command is complete; one that reads a line is not disturbed by it.
  if (!SendAll(fd, command)) return Broken(reply, std::strerror(errno));
  shutdown(fd, SHUT_WR);

  std::string received;
  char chunk[4096];
  while (true) {
    const ssize_t got = recv(fd, chunk, sizeof chunk, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const bool timed_out = errno == EAGAIN || errno == EWOULDBLOCK;
      return Broken(reply, timed_out ? "no reply from the daemon" : std::strerror(errno));
    }
    if (got == 0) break;
    if (received.size() + static_cast<size_t>(got) > kMaxReplyBytes) {
      return Broken(reply, "reply from the daemon too long");
    }
    received.append(chunk, static_cast<size_t>(got));
  }
  if (received.empty()) return Broken(reply, "no reply from the daemon");
  *reply = std::move(received);
  return ControlExchange::kReplied;
}

bool ReplyIsOk(std::string_view reply) {
  return reply.substr(0, reply.find('\n')) == "ok=1";
}

}  // namespace velix::ctl

#include "driver/daemon/socket_byte_source.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

namespace velix::daemon {

bool SocketByteSource::ReceiveHeader(std::span<uint8_t> header, int* descriptor) {
  return platform::ReceiveHeader(fd_, header, descriptor);
}

size_t SocketByteSource::ReceiveSome(std::span<uint8_t> bytes) {
  for (;;) {
    const ssize_t got = ::recv(fd_, bytes.data(), bytes.size(), 0);
    if (got < 0 && errno == EINTR) continue;
    return got > 0 ? static_cast<size_t>(got) : 0;
  }
}

bool SocketByteSource::WaitForRequest() {
  pollfd entry{fd_, POLLIN, 0};
  for (;;) {
    const int ready = ::poll(&entry, 1, -1);
    if (ready < 0 && errno == EINTR) continue;
    return ready > 0;
  }
}

void LimitPeerStalls(int fd) {
  timeval limit{};
  limit.tv_sec = kPeerStallTimeout.count();
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
}

}  // namespace velix::daemon

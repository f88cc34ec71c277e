#include "driver/daemon/tests/raw_peer.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace velix::daemon::testing {

int ConnectRaw(const std::string& path, int timeout_ms) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  const timeval limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

platform::WireRequest CreateRequest() {
  platform::WireRequest request;
  request.op = static_cast<uint8_t>(platform::WireOp::kCreate);
  request.flags = platform::kWireHasFileName;
  return request;
}

uint32_t ExchangeRaw(int fd, const platform::WireRequest& request, std::span<const uint8_t> input) {
  const std::span<const uint8_t> parts[] = {input};
  if (!platform::SendFrame(fd, platform::BytesOf(request), parts)) return kNoReply;
  platform::WireReply reply;
  int stray = -1;
  if (!platform::ReceiveHeader(fd, platform::MutableBytesOf(reply), &stray)) return kNoReply;
  if (stray >= 0) ::close(stray);
  std::vector<uint8_t> rest(reply.output_size + reply.stage_size);
  if (!platform::ReceiveAll(fd, rest)) return kNoReply;
  return reply.status;
}

bool HungUp(int fd) {
  char byte;
  return ::recv(fd, &byte, 1, 0) == 0;
}

}  // namespace velix::daemon::testing

#include "platform/device_wire.h"

#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velix::platform {

WireFault CheckWireRequest(const WireRequest& request) {
  if (request.magic != kWireRequestMagic) return WireFault::kBadMagic;
  switch (static_cast<WireOp>(request.op)) {
    case WireOp::kCreate:
      return request.input_size > kWireMaxFileNameBytes ? WireFault::kTooLarge : WireFault::kNone;
    case WireOp::kClose:
      return request.input_size != 0 ? WireFault::kTooLarge : WireFault::kNone;
    case WireOp::kRead:
      return request.input_size != 0 || request.output_size > kWireMaxReadBytes ? WireFault::kTooLarge
                                                                                : WireFault::kNone;
    case WireOp::kWrite:
      return request.input_size > kWireMaxWriteBytes ? WireFault::kTooLarge : WireFault::kNone;
    case WireOp::kControl:
      return request.input_size > kWireMaxControlBytes || request.output_size > kWireMaxControlBytes ||
                     request.stage_size > kWireMaxStageBytes
                 ? WireFault::kTooLarge
                 : WireFault::kNone;
  }
  return WireFault::kBadOp;
}

bool SendAll(int fd, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes = bytes.subspan(static_cast<size_t>(sent));
  }
  return true;
}

bool ReceiveAll(int fd, std::span<uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t got = ::recv(fd, bytes.data(), bytes.size(), 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes = bytes.subspan(static_cast<size_t>(got));
  }
  return true;
}

bool SendFrame(int fd, std::span<const uint8_t> header, std::span<const std::span<const uint8_t>> parts,
               int descriptor) {
  iovec vec{const_cast<uint8_t*>(header.data()), header.size()};
  msghdr message{};
  message.msg_iov = &vec;
  message.msg_iovlen = 1;
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
  if (descriptor >= 0) {
    message.msg_control = control;
    message.msg_controllen = sizeof(control);
    cmsghdr* entry = CMSG_FIRSTHDR(&message);
    entry->cmsg_level = SOL_SOCKET;
    entry->cmsg_type = SCM_RIGHTS;
    entry->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(entry), &descriptor, sizeof(int));
  }
  ssize_t sent;
  do {
    sent = ::sendmsg(fd, &message, MSG_NOSIGNAL);
  } while (sent < 0 && errno == EINTR);
  if (sent <= 0) return false;
  // The descriptor went with the first byte; the rest of the header is plain.
  if (!SendAll(fd, header.subspan(static_cast<size_t>(sent)))) return false;
  for (const std::span<const uint8_t> part : parts) {
    if (!SendAll(fd, part)) return false;
  }
  return true;
}

namespace {

// Keeps the first descriptor a message carried and closes any others, so a
// peer cannot make us leak descriptors.
void CollectDescriptors(msghdr& message, int* descriptor) {
  for (cmsghdr* entry = CMSG_FIRSTHDR(&message); entry != nullptr; entry = CMSG_NXTHDR(&message, entry)) {
    if (entry->cmsg_level != SOL_SOCKET || entry->cmsg_type != SCM_RIGHTS) continue;
    const size_t count = (entry->cmsg_len - CMSG_LEN(0)) / sizeof(int);
    for (size_t i = 0; i < count; ++i) {
      int fd;
      std::memcpy(&fd, CMSG_DATA(entry) + i * sizeof(int), sizeof(int));
      if (*descriptor < 0) {
        *descriptor = fd;
      } else {
        ::close(fd);
      }
    }
  }
}

}  // namespace

bool ReceiveHeader(int fd, std::span<uint8_t> header, int* descriptor) {
  *descriptor = -1;
  size_t received = 0;
  while (received < header.size()) {
    iovec vec{header.data() + received, header.size() - received};
    msghdr message{};
    message.msg_iov = &vec;
    message.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(4 * sizeof(int))];
    message.msg_control = control;
    message.msg_controllen = sizeof(control);
    const ssize_t got = ::recvmsg(fd, &message, MSG_CMSG_CLOEXEC);
    if (got < 0 && errno == EINTR) continue;
    if (got > 0 || message.msg_controllen > 0) CollectDescriptors(message, descriptor);
    if (got <= 0) break;
    received += static_cast<size_t>(got);
  }
  if (received == header.size()) return true;
  if (*descriptor >= 0) ::close(*descriptor);
  *descriptor = -1;
  return false;
}

}  // namespace velix::platform

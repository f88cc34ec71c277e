#include "platform/descriptor_io.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace velix::platform {

bool ReadExactly(int fd, void* data, size_t size) {
  auto* at = static_cast<uint8_t*>(data);
  while (size > 0) {
    const ssize_t got = ::read(fd, at, size);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    at += got;
    size -= static_cast<size_t>(got);
  }
  return true;
}

bool WriteExactly(int fd, const void* data, size_t size) {
  const auto* at = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const ssize_t put = ::write(fd, at, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    at += put;
    size -= static_cast<size_t>(put);
  }
  return true;
}

}  // namespace velix::platform

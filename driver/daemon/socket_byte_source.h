#pragma once
// A client connection as the source of request frames. The server gives
// every connection a receive time-out, so a peer that stops in the middle of
// a frame (or never sends its first one) ends its session instead of holding
// a thread and a descriptor for ever.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/wire_request_reader.h"

namespace velix::daemon {

// How long a peer may send nothing while the daemon waits for the rest of a
// frame, or for the first request of a connection.
inline constexpr std::chrono::seconds kPeerStallTimeout{5};

class SocketByteSource : public platform::WireByteSource {
 public:
  explicit SocketByteSource(int fd) : fd_(fd) {}
  bool ReceiveHeader(std::span<uint8_t> header, int* descriptor) override;
  size_t ReceiveSome(std::span<uint8_t> bytes) override;
  // Waits without a time limit until the peer sends something or goes: a
  // client holding a handle may pause between requests as long as it likes.
  bool WaitForRequest();

 private:
  const int fd_;
};

// Applies kPeerStallTimeout to every receive on `fd`.
void LimitPeerStalls(int fd);

}  // namespace velix::daemon

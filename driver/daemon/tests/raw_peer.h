#pragma once
// A client that speaks the request frames by hand, for tests that play a
// hostile or broken peer. Every receive gives up after a time-out, so a
// daemon that never answers fails the test instead of hanging it.

#include <cstdint>
#include <span>
#include <string>

#include "platform/device_wire.h"

namespace velix::daemon::testing {

inline constexpr uint32_t kNoReply = 0xFFFFFFFFu;

// A connected socket (-1 when the connection failed); receives on it time
// out after `timeout_ms`.
int ConnectRaw(const std::string& path, int timeout_ms = 15000);
platform::WireRequest CreateRequest();
// Sends the request and returns the reply's status, or kNoReply.
uint32_t ExchangeRaw(int fd, const platform::WireRequest& request, std::span<const uint8_t> input = {});
// True when the daemon has closed the connection (rather than the time-out passing).
bool HungUp(int fd);

}  // namespace velix::daemon::testing

#pragma once
// When a daemon that was started for a plugged-in analyzer has outlived it.
// The analyzer leaves the bus for a moment whenever its firmware is updated
// (it comes back under another identity), so leaving alone is no reason to
// stop: the daemon stops only after it has served no analyzer and had no
// client for the whole limit, without a break.

#include <chrono>
#include <optional>

namespace velix::daemon {

class IdleExitClock {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  explicit IdleExitClock(std::chrono::seconds limit) : limit_(limit) {}

  // `busy`: an analyzer is served or a client is connected at `now`. True
  // once the daemon has been idle for the whole limit.
  bool Expired(bool busy, TimePoint now);

 private:
  const std::chrono::seconds limit_;
  std::optional<TimePoint> idle_since_;
};

}  // namespace velix::daemon

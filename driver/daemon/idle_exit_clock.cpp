#include "driver/daemon/idle_exit_clock.h"

namespace velix::daemon {

bool IdleExitClock::Expired(bool busy, TimePoint now) {
  if (busy) {
    idle_since_.reset();
    return false;
  }
  if (!idle_since_) idle_since_ = now;
  return now - *idle_since_ >= limit_;
}

}  // namespace velix::daemon

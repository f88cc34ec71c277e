#include "driver/daemon/idle_exit_clock.h"

#include <gtest/gtest.h>

#include <vector>

namespace velix::daemon {
namespace {

using std::chrono::milliseconds;

struct Look {
  int at_ms;
  bool busy;
  bool expired;
};

struct ClockCase {
  const char* name;
  std::vector<Look> looks;
};

TEST(IdleExitClock, ExpiresOnlyAfterAnUnbrokenIdleSpellOfTheWholeLimit) {
  const ClockCase cases[] = {
      {"idle from the start", {{0, false, false}, {999, false, false}, {1000, false, true}}},
      {"busy never expires", {{0, true, false}, {5000, true, false}}},
      // The analyzer leaves for a moment during a firmware update and comes
      // back: the spell starts again from its return.
      {"a return restarts the spell",
       {{0, false, false}, {900, true, false}, {1000, false, false}, {1900, false, false}, {2000, false, true}}},
      {"the spell starts at the first idle look",
       {{0, true, false}, {3000, false, false}, {3999, false, false}, {4000, false, true}}},
      {"stays expired", {{0, false, false}, {1500, false, true}, {1600, false, true}}},
  };
  for (const ClockCase& c : cases) {
    SCOPED_TRACE(c.name);
    IdleExitClock clock{std::chrono::seconds(1)};
    const IdleExitClock::TimePoint start{};
    for (const Look& look : c.looks) {
      EXPECT_EQ(clock.Expired(look.busy, start + milliseconds(look.at_ms)), look.expired) << "at " << look.at_ms;
    }
  }
}

}  // namespace
}  // namespace velix::daemon

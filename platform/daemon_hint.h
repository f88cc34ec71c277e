#pragma once
// What a client says when the device does not answer: where it looked and,
// when no driver daemon serves that folder, how to start one, so that a
// first run without the daemon is not a dead end.

#include <string>

namespace velix::platform {

// Lines ending in "\n": the runtime folder searched (and where that name
// comes from), then either how to start velixd or, when a daemon serves the
// folder, that the analyzer itself is missing.
std::string DeviceNotFoundHint();

}  // namespace velix::platform

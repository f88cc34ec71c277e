#pragma once
// Data written to standard output are only delivered once the stream is
// flushed and closed; a full disk or a closed pipe shows up there and must
// not pass as success.

#include <string>

namespace velix::platform {

// Flushes and closes standard output. False, with the reason, when anything
// written to it was lost.
bool CloseStandardOutput(std::string* reason);

}  // namespace velix::platform

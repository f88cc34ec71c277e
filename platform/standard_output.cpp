#include "platform/standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace velix::platform {

bool CloseStandardOutput(std::string* reason) {
  errno = 0;
  bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  int error = errno;
  if (std::fclose(stdout) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written) return true;
  // A write that failed before the flush leaves no errno behind.
  *reason = error != 0 ? std::strerror(error) : "a write failed";
  return false;
}

}  // namespace velix::platform

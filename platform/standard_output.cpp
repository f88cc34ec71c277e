#include "platform/standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace velix::platform {
namespace {

// Flushes and closes standard output. False, with the reason, when anything
// written to it was lost.
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

}  // namespace

int FinishStandardOutput(const char* program, int status, int write_failed) {
  std::string reason;
  if (CloseStandardOutput(&reason)) return status;
  std::fprintf(stderr, "%s: cannot write standard output: %s\n", program, reason.c_str());
  return status == 0 ? write_failed : status;
}

}  // namespace velix::platform

#pragma once
// Data written to standard output are only delivered once the stream is
// flushed and closed; a full disk or a closed pipe shows up there and must
// not pass as success.

namespace velix::platform {

// A program's exit status once standard output is closed: `status`, or
// `write_failed` in place of success (0) when anything written was lost, with
// the reason on standard error under the program's name.
int FinishStandardOutput(const char* program, int status, int write_failed);

}  // namespace velix::platform

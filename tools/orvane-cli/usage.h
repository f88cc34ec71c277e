#pragma once
// How a command shows its usage: on standard output when the user asks for
// it (-h, --help), on standard error under the reason of a usage error.

#include <string>

namespace orvane::cli {

// Prints `usage` on standard output; the exit status of a help request.
int ShowHelp(const char* usage);
// Prints "orvane-cli: <error>" and `usage` on standard error; kExitUsage.
int UsageError(const char* usage, const std::string& error);

}  // namespace orvane::cli

#include "tools/orvane-cli/usage.h"

#include <cstdio>

#include "tools/orvane-cli/commands.h"

namespace orvane::cli {

int ShowHelp(const char* usage) {
  std::fputs(usage, stdout);
  return kExitOk;
}

int UsageError(const char* usage, const std::string& error) {
  if (!error.empty()) std::fprintf(stderr, "orvane-cli: %s\n", error.c_str());
  std::fputs(usage, stderr);
  return kExitUsage;
}

}  // namespace orvane::cli

#pragma once
// Runs a program with arguments and collects its exit status and output.

#include <string>
#include <vector>

namespace orvane::testing {

struct CommandResult {
  int status = -1;  // exit status, or -1 when it did not exit normally
  std::string out;
  std::string err;
};

CommandResult RunCommand(const std::vector<std::string>& argv);

}  // namespace orvane::testing

// VELIXModeChange: switches the analyzer between its analyzer and monitor
// personalities.
#include <cstdio>
#include <string>
#include <vector>

#include "ModeChange/command_line.h"
#include "ModeChange/mode_change_app.h"
#include "ModeChange/velix_fw_access.h"
#include "velix_version.h"

namespace {

// Help and version go to standard output before any window or lock, as for
// the other tools; a failed write is a failure.
bool AnswersOnTerminal(int argc, char** argv, int* status) {
  using velix::modechange::TerminalRequest;
  switch (velix::modechange::FindTerminalRequest(std::vector<std::string>(argv + 1, argv + argc))) {
    case TerminalRequest::kNone:
      return false;
    case TerminalRequest::kHelp:
      std::fputs(velix::modechange::kModeChangeUsage, stdout);
      break;
    case TerminalRequest::kVersion:
      std::printf("VELIXModeChange %s\n", velix::kVelixVersion);
      break;
  }
  *status = std::fflush(stdout) == 0 ? 0 : 1;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int status = 0;
  if (AnswersOnTerminal(argc, argv, &status)) return status;
  velix::modechange::VelixFwAccess firmware;
  return velix::modechange::RunModeChange(argc, argv, firmware);
}

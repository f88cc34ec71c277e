#include "tools/orvane-cli/exit_signals.h"

#include <signal.h>

#include "platform/temporary_copies.h"

namespace orvane::cli {
namespace {

void RemoveCopiesAndEnd(int signal_number) {
  velix::platform::RemoveTemporaryCopies();
  // The default action ends the process with the signal, so the parent
  // sees the same status as without this handler.
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

}  // namespace

void RemoveTemporaryCopiesOnExitSignals() {
  struct sigaction action {};
  action.sa_handler = RemoveCopiesAndEnd;
  sigemptyset(&action.sa_mask);
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
    struct sigaction previous {};
    ::sigaction(signal_number, nullptr, &previous);
    // A signal ignored by whoever started us stays ignored.
    if (previous.sa_handler == SIG_IGN) continue;
    ::sigaction(signal_number, &action, nullptr);
  }
}

}  // namespace orvane::cli

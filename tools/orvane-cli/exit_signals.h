#pragma once
// The signals that end a command from outside (SIGINT, SIGTERM, SIGHUP, and
// SIGPIPE when the reader of our output goes away) still end it as before,
// but not before the temporary copies of opened files are removed.

namespace orvane::cli {

void RemoveTemporaryCopiesOnExitSignals();

}  // namespace orvane::cli

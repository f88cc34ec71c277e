#pragma once
// Drains the run-event queue on the CLI's thread until the worker reports
// its end, passing progress and status to the terminal sink.

#include <cstdint>
#include <functional>

#include "Orvane/capture/run_events.h"
#include "tools/orvane-cli/terminal_sink.h"

namespace orvane::cli {

struct WorkerEnd {
  bool live = false;
  uint32_t result = 0;
};

// `on_idle` runs between events, at least every 200 ms.
WorkerEnd PumpUntilWorkerEnd(RunEventQueue& events, TerminalSink& sink,
                             const std::function<void()>& on_idle = {});

}  // namespace orvane::cli

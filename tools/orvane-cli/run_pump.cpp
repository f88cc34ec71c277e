#include "tools/orvane-cli/run_pump.h"

namespace orvane::cli {

WorkerEnd PumpUntilWorkerEnd(RunEventQueue& events, TerminalSink& sink,
                             const std::function<void()>& on_idle) {
  for (;;) {
    if (on_idle) on_idle();
    const std::optional<RunEvent> event = events.Take(200);
    if (!event) continue;
    switch (event->kind) {
      case RunEventKind::kProgress: sink.Progress(event->a, event->b); break;
      case RunEventKind::kStatusText: sink.StatusText(event->text, event->b); break;
      case RunEventKind::kTriggerDetect: sink.StatusText(event->text, 0); break;
      case RunEventKind::kStatusUpdate: sink.StatusRefresh(); break;
      case RunEventKind::kReopen: break;
      case RunEventKind::kWorkerEnd:
        sink.FinishProgress();
        return {event->a == 1, event->b};
    }
  }
}

}  // namespace orvane::cli

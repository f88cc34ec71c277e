#pragma once
// What the analysis worker and the document tell the main window while a
// run goes on: progress, status and trigger texts, the worker's end and the
// reopen request. They are queued by any thread and drained by the front
// end's own thread (the terminal loop of the CLI, the Qt main window), in
// the order they were posted. The numbers are the message numbers the
// front end has always used.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace orvane {

enum class RunEventKind : uint32_t {
  kProgress = 0x80C9,       // a = code (10..13), b = value
  kWorkerEnd = 0x80D2,      // a = 1 live run / 0 offline, b = result code
  kReopen = 0x80D4,
  kStatusText = 0x80E8,     // text, b = colour 0x00BBGGRR
  kStatusUpdate = 0x80EF,
  kTriggerDetect = 0x80F2,  // text
};

struct RunEvent {
  RunEventKind kind = RunEventKind::kProgress;
  uint32_t a = 0;
  uint32_t b = 0;
  std::string text;
};

class RunEventQueue {
 public:
  void Post(RunEvent event);
  void PostProgress(uint32_t code, uint32_t value) {
    Post({RunEventKind::kProgress, code, value, {}});
  }
  // The next event, waiting up to `timeout_ms` for one (0 = do not wait).
  std::optional<RunEvent> Take(uint32_t timeout_ms);
  size_t Size() const;
  // Called after every post, on the posting thread, so that a front end
  // with its own event loop can be woken instead of polling the queue. It
  // runs under the queue's lock: it must only schedule work, never take
  // events. An empty function removes it; once that returns, it is not
  // running and will not run again.
  void SetWakeup(std::function<void()> wakeup);

 private:
  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<RunEvent> events_;
  std::function<void()> wakeup_;
};

}  // namespace orvane

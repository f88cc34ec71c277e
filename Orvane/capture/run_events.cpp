#include "Orvane/capture/run_events.h"

#include <chrono>

namespace orvane {

void RunEventQueue::Post(RunEvent event) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(std::move(event));
    if (wakeup_) wakeup_();
  }
  posted_.notify_one();
}

std::optional<RunEvent> RunEventQueue::Take(uint32_t timeout_ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (events_.empty() && timeout_ms != 0) {
    posted_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return !events_.empty(); });
  }
  if (events_.empty()) return std::nullopt;
  RunEvent event = std::move(events_.front());
  events_.pop_front();
  return event;
}

void RunEventQueue::SetWakeup(std::function<void()> wakeup) {
  std::lock_guard<std::mutex> lock(mutex_);
  wakeup_ = std::move(wakeup);
}

size_t RunEventQueue::Size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return events_.size();
}

}  // namespace orvane

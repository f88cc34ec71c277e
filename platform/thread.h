#pragma once
// A worker thread that can be created suspended, carries a priority value
// chosen by the caller, and is joined by its owner (never detached).

#include <cstdint>
#include <functional>
#include <memory>

namespace velix::platform {

class Thread {
 public:
  Thread() = default;
  ~Thread();  // joins a thread still running
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Creates the thread. With `suspended` the body does not run until
  // Resume(). `priority` is the caller's value, passed through unchanged:
  // 0 is normal; positive values ask for more CPU share where the process
  // may raise it, negative ones for less. Returns false (errno in
  // LastError()) when the thread cannot be created.
  bool Start(std::function<void()> body, int priority, bool suspended);
  void Resume();
  // Waits without a time limit for the body to return.
  void Join();
  bool Joinable() const;
  // Thread id as the trace shows it.
  uint64_t Id() const;
  int Priority() const { return priority_; }
  uint32_t LastError() const { return last_error_; }

 private:
  struct State;
  std::shared_ptr<State> state_;
  int priority_ = 0;
  uint32_t last_error_ = 0;
};

void SleepMs(uint32_t ms);

}  // namespace velix::platform

#include "platform/thread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace velix::platform {
namespace {

constexpr int kHighestNice = -20;
constexpr int kLowestNice = 19;

// A positive priority asks for more CPU share, which on Linux is a lower
// nice value. Raising needs privilege; without it the thread simply runs at
// normal priority, which is what the caller would get on a busy system too.
void ApplyPriority(int priority) {
  if (priority == 0) return;
  const int nice_value = std::clamp(-priority, kHighestNice, kLowestNice);
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), nice_value);
}

}  // namespace

struct Thread::State {
  std::mutex mutex;
  std::condition_variable changed;
  bool resumed = false;
  bool abandoned = false;  // owner went away before Resume(): skip the body
  bool started = false;    // tid is known
  uint64_t tid = 0;
  std::function<void()> body;
  std::thread thread;

  void Run(int priority) {
    ApplyPriority(priority);
    std::unique_lock lock(mutex);
    tid = static_cast<uint64_t>(gettid());
    started = true;
    changed.notify_all();
    changed.wait(lock, [this] { return resumed || abandoned; });
    if (abandoned) return;
    lock.unlock();
    body();
  }
};

Thread::~Thread() {
  if (!Joinable()) return;
  {
    std::lock_guard lock(state_->mutex);
    if (!state_->resumed) state_->abandoned = true;
  }
  state_->changed.notify_all();
  Join();
  // Still joinable only when the body destroys its own Thread object.
  if (Joinable()) state_->thread.detach();
}

bool Thread::Start(std::function<void()> body, int priority, bool suspended) {
  if (Joinable()) {
    last_error_ = EBUSY;
    return false;
  }
  if (!body) {
    last_error_ = EINVAL;
    return false;
  }
  auto state = std::make_shared<State>();
  state->body = std::move(body);
  state->resumed = !suspended;
  try {
    state->thread = std::thread([state, priority] { state->Run(priority); });
  } catch (const std::system_error& error) {
    last_error_ = static_cast<uint32_t>(error.code().value());
    return false;
  }
  // Wait for the thread to announce its id, so Id() is valid from here on.
  {
    std::unique_lock lock(state->mutex);
    state->changed.wait(lock, [&state] { return state->started; });
  }
  state_ = std::move(state);
  priority_ = priority;
  last_error_ = 0;
  return true;
}

void Thread::Resume() {
  if (!state_) return;
  {
    std::lock_guard lock(state_->mutex);
    state_->resumed = true;
  }
  state_->changed.notify_all();
}

void Thread::Join() {
  if (!Joinable()) return;
  // A thread cannot wait for its own end.
  if (state_->thread.get_id() == std::this_thread::get_id()) {
    last_error_ = EDEADLK;
    return;
  }
  try {
    state_->thread.join();
  } catch (const std::system_error& error) {
    last_error_ = static_cast<uint32_t>(error.code().value());
  }
}

bool Thread::Joinable() const { return state_ && state_->thread.joinable(); }

uint64_t Thread::Id() const { return state_ ? state_->tid : 0; }

void SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace velix::platform

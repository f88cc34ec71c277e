#include "driver/kernel_services.h"

#include <chrono>
#include <condition_variable>
#include <system_error>

namespace velix::driver {
namespace {

std::mutex& DispatcherLock() {
  static std::mutex lock;
  return lock;
}

std::condition_variable& DispatcherSignal() {
  static std::condition_variable signal;
  return signal;
}

// Waits on the dispatcher until `ready` holds or the time-out passes.
template <typename Ready>
bool WaitDispatcher(std::unique_lock<std::mutex>& lock, uint32_t timeout_ms, Ready ready) {
  if (timeout_ms == kWaitForever) {
    DispatcherSignal().wait(lock, ready);
    return true;
  }
  return DispatcherSignal().wait_for(lock, std::chrono::milliseconds(timeout_ms), ready);
}

}  // namespace

void KernelEvent::Set() {
  {
    std::lock_guard lock(DispatcherLock());
    signalled_ = true;
  }
  DispatcherSignal().notify_all();
}

void KernelEvent::Clear() {
  std::lock_guard lock(DispatcherLock());
  signalled_ = false;
}

bool KernelEvent::ReadState() const {
  std::lock_guard lock(DispatcherLock());
  return signalled_;
}

bool KernelEvent::TakeLocked() {
  if (!signalled_) return false;
  if (type_ == Type::kSynchronization) signalled_ = false;
  return true;
}

WaitOutcome KernelEvent::Wait(uint32_t timeout_ms) {
  std::unique_lock lock(DispatcherLock());
  if (!WaitDispatcher(lock, timeout_ms, [this] { return signalled_; })) return WaitOutcome::kTimeout;
  TakeLocked();
  return WaitOutcome::kSignalled;
}

WaitOutcome WaitForMultiple(std::span<KernelEvent* const> events, bool wait_all,
                            uint32_t timeout_ms, size_t* index) {
  std::unique_lock lock(DispatcherLock());
  const auto ready = [&] {
    for (const KernelEvent* event : events) {
      if (event->signalled_ != wait_all) return !wait_all;
    }
    return wait_all;
  };
  if (!WaitDispatcher(lock, timeout_ms, ready)) return WaitOutcome::kTimeout;
  if (wait_all) {
    for (KernelEvent* event : events) event->TakeLocked();
    return WaitOutcome::kSignalled;
  }
  for (size_t i = 0; i < events.size(); ++i) {
    if (events[i]->TakeLocked()) {
      if (index != nullptr) *index = i;
      break;
    }
  }
  return WaitOutcome::kSignalled;
}

SystemThread::~SystemThread() { Join(); }

bool SystemThread::Create(std::function<void()> body) {
  if (thread_.joinable()) return false;
  auto finished = std::make_shared<KernelEvent>(KernelEvent::Type::kNotification, false);
  finished_ = finished;
  try {
    thread_ = std::thread([body = std::move(body), finished] {
      body();
      finished->Set();
    });
  } catch (const std::system_error&) {
    finished_.reset();
    return false;
  }
  return true;
}

bool SystemThread::Join(uint32_t timeout_ms) {
  if (!thread_.joinable()) return true;
  if (finished_->Wait(timeout_ms) == WaitOutcome::kTimeout) return false;
  thread_.join();
  finished_.reset();
  return true;
}

void DelayExecution(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace velix::driver

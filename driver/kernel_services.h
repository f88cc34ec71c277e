#pragma once
// The small set of executive services the streaming engine is written
// against: system threads, notification and synchronisation events with
// single and multiple waits, the two mutex kinds, interlocked exchange and
// delays. All events share one dispatcher lock, which is what makes a wait
// for several events at once both simple and exact.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

namespace velix::driver {

inline constexpr uint32_t kWaitForever = 0xFFFFFFFFu;

enum class WaitOutcome { kSignalled, kTimeout };

// KEVENT. A notification event stays set until cleared and releases every
// waiter; a synchronisation event releases one waiter and clears itself.
class KernelEvent {
 public:
  enum class Type { kNotification, kSynchronization };
  KernelEvent(Type type, bool initially_set) : type_(type), signalled_(initially_set) {}
  KernelEvent(const KernelEvent&) = delete;
  KernelEvent& operator=(const KernelEvent&) = delete;

  void Set();
  void Clear();
  bool ReadState() const;
  WaitOutcome Wait(uint32_t timeout_ms);

 private:
  friend WaitOutcome WaitForMultiple(std::span<KernelEvent* const>, bool, uint32_t, size_t*);
  bool TakeLocked();

  const Type type_;
  bool signalled_;  // guarded by the dispatcher lock
};

// Waits until all (wait_all) or any of the events are set, or the time-out
// passes. For "any", *index receives the lowest index that was set.
WaitOutcome WaitForMultiple(std::span<KernelEvent* const> events, bool wait_all,
                            uint32_t timeout_ms, size_t* index = nullptr);

// KMUTEX: recursive, so a holder may call helpers that take it again.
class KernelMutex {
 public:
  void lock() { mutex_.lock(); }
  void unlock() { mutex_.unlock(); }

 private:
  std::recursive_mutex mutex_;
};

// FAST_MUTEX: not recursive.
class FastMutex {
 public:
  void lock() { mutex_.lock(); }
  void unlock() { mutex_.unlock(); }

 private:
  std::mutex mutex_;
};

// A system thread. Join waits for the body to return; with a time-out it
// may give up, and the thread stays joinable so its owner can wait again
// before the memory it uses goes away.
class SystemThread {
 public:
  SystemThread() = default;
  ~SystemThread();
  SystemThread(const SystemThread&) = delete;
  SystemThread& operator=(const SystemThread&) = delete;

  bool Create(std::function<void()> body);
  bool Running() const { return thread_.joinable(); }
  // True once the thread has ended and been joined.
  bool Join(uint32_t timeout_ms = kWaitForever);

 private:
  std::thread thread_;
  std::shared_ptr<KernelEvent> finished_;
};

inline uint32_t InterlockedExchange(std::atomic<uint32_t>& word, uint32_t value) {
  return word.exchange(value, std::memory_order_acq_rel);
}

void DelayExecution(uint32_t ms);

}  // namespace velix::driver

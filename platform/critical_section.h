#pragma once
// A recursive lock with the semantics of a Windows critical section: the
// owning thread may enter again. Lock order is documented where it matters.

#include <mutex>

namespace velix::platform {

class CriticalSection {
 public:
  void Enter() { mutex_.lock(); }
  void Leave() { mutex_.unlock(); }
  bool TryEnter() { return mutex_.try_lock(); }
  // BasicLockable, so std::lock_guard / std::unique_lock work too.
  void lock() { Enter(); }
  void unlock() { Leave(); }

 private:
  std::recursive_mutex mutex_;
};

using SectionLock = std::lock_guard<CriticalSection>;

}  // namespace velix::platform

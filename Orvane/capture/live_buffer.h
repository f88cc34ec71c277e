#pragma once
// The live sampling buffer: committed before a capture starts (and, with
// "LockMemory" on, locked into physical memory after the locked-memory limit
// was raised to fit it), released when the capture ends, when its start
// fails, or when the settings dialog is cancelled. No allocation happens
// while the device streams.
//
// Each step leaves a state flag (limit raised, committed, locked) and the
// release undoes exactly the flagged steps, so releasing twice, or after a
// failed allocation that already cleaned up, does nothing more.

#include <cstdint>
#include <string>

#include "platform/interaction.h"
#include "platform/locked_memory.h"

namespace orvane {

// The system calls the buffer is built on; tests put failures in between.
class LiveMemorySystem {
 public:
  virtual ~LiveMemorySystem() = default;
  // Each returns 0 or the system error code.
  virtual uint32_t RaiseWorkingSet(uint64_t minimum_bytes) = 0;
  virtual bool ReadWorkingSet(velix::platform::WorkingSetLimits* limits) = 0;
  virtual uint32_t RestoreWorkingSet(const velix::platform::WorkingSetLimits& limits) = 0;
  virtual uint32_t Commit(velix::platform::CommittedMemory& memory, size_t size) = 0;
  virtual uint32_t Lock(velix::platform::CommittedMemory& memory) = 0;
  virtual uint32_t Unlock(velix::platform::CommittedMemory& memory) = 0;
};

// The real calls (RLIMIT_MEMLOCK, mmap, mlock).
LiveMemorySystem& PlatformLiveMemory();

// What a refused locked-memory limit or a refused lock does to the
// allocation.
enum class LockFailurePolicy {
  kAsk,       // the application: the user chooses to go on unlocked or stop
  kContinue,  // a warning, and the buffer stays unlocked
  kFail,      // an error, and the allocation fails
};

class LiveBuffer {
 public:
  // `startup_limits`: the limits found when the application started; they
  // are put back after every capture (never when both are 0, which means
  // they could not be read).
  LiveBuffer(LiveMemorySystem& system, velix::platform::WorkingSetLimits startup_limits);
  ~LiveBuffer();  // releases silently
  LiveBuffer(const LiveBuffer&) = delete;
  LiveBuffer& operator=(const LiveBuffer&) = delete;

  // Commits `megabytes` MB (any buffer held before is released first).
  // Every failure has been told to the user through `sink`; a failure also
  // undoes what was done. The user may choose to continue without the
  // raised limit or the lock, which is then a success.
  bool Allocate(uint32_t megabytes, bool lock_memory, velix::platform::InteractionSink& sink);
  void SetLockFailurePolicy(LockFailurePolicy policy) { lock_failure_ = policy; }
  // Unlocks, frees and restores the limits, as far as each was done.
  void Release(velix::platform::InteractionSink& sink);

  uint8_t* Data() const { return memory_.Data(); }
  uint32_t SizeBytes() const { return static_cast<uint32_t>(memory_.Size()); }
  uint32_t SizeMb() const { return SizeBytes() / 1048576u; }
  bool WorkingSetRaised() const { return working_set_raised_; }
  bool Committed() const { return committed_; }
  bool Locked() const { return locked_; }

 private:
  bool RaiseWorkingSet(uint32_t megabytes, velix::platform::InteractionSink& sink);
  bool CommitMemory(uint32_t megabytes, velix::platform::InteractionSink& sink);
  bool LockMemory(velix::platform::InteractionSink& sink);
  // Tells a lock failure as the policy says; true when the allocation goes on.
  bool ContinueAfterLockFailure(const std::string& failure, velix::platform::InteractionSink& sink) const;

  LiveMemorySystem& system_;
  velix::platform::WorkingSetLimits startup_limits_;
  velix::platform::CommittedMemory memory_;
  bool working_set_raised_ = false;
  bool committed_ = false;
  bool locked_ = false;
  LockFailurePolicy lock_failure_ = LockFailurePolicy::kAsk;
};

}  // namespace orvane

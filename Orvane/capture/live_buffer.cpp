#include "Orvane/capture/live_buffer.h"

#include <cerrno>
#include <string>

#include "platform/string_format.h"
#include "platform/system_error.h"
#include "platform/trace.h"

namespace orvane {
namespace {

using velix::platform::Answer;
using velix::platform::Buttons;
using velix::platform::CommittedMemory;
using velix::platform::Icon;
using velix::platform::InteractionSink;
using velix::platform::StringPrintf;
using velix::platform::Trace;
using velix::platform::WorkingSetLimits;

constexpr uint64_t kMegabyteBytes = 1048576;
// Sampling positions are 32-bit byte offsets, so a buffer must stay below 4 GB.
constexpr uint32_t kLargestBufferMb = 4095;

constexpr const char* kContinueQuestion =
    "Are you ignore an error and continue to run? (If you continue to run, it may cause "
    "problems.)\n"
    "\n"
    "If possible, please select [NO] and close the application. And please try to execute the "
    "application again.";

// The usual per-user limit (a few MB) is far below a capture buffer; the
// way out is the user's to choose.
constexpr const char* kLockLimitHint =
    "Raise the memory-lock limit (ulimit -l, or LimitMEMLOCK= in a service unit), or set LockMemory=0 "
    "in the [Setting] section.\n";

// "( call  error : N, reason )" as the lock messages name the failed call.
std::string FailedCallText(const char* call, uint32_t error) {
  return StringPrintf("( %s  error : %u, %s )\n", call, error, velix::platform::SystemErrorText(error).c_str());
}

unsigned long long AddressOf(const uint8_t* data) {
  return static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(data));
}

// The stop-icon Yes/No question with No preselected; only an explicit Yes continues.
bool UserChoosesToContinue(InteractionSink& sink, const std::string& text) {
  return sink.MessageBox(text, Icon::kStop, Buttons::kYesNo, Answer::kNo) == Answer::kYes;
}

class PlatformMemory final : public LiveMemorySystem {
 public:
  uint32_t RaiseWorkingSet(uint64_t minimum_bytes) override {
    return velix::platform::RaiseWorkingSet(minimum_bytes);
  }
  bool ReadWorkingSet(WorkingSetLimits* limits) override {
    return velix::platform::GetWorkingSetLimits(limits);
  }
  uint32_t RestoreWorkingSet(const WorkingSetLimits& limits) override {
    return velix::platform::RestoreWorkingSet(limits);
  }
  uint32_t Commit(CommittedMemory& memory, size_t size) override { return memory.Commit(size); }
  uint32_t Lock(CommittedMemory& memory) override { return memory.Lock(); }
  uint32_t Unlock(CommittedMemory& memory) override { return memory.Unlock(); }
};

}  // namespace

LiveMemorySystem& PlatformLiveMemory() {
  static PlatformMemory system;
  return system;
}

LiveBuffer::LiveBuffer(LiveMemorySystem& system, WorkingSetLimits startup_limits)
    : system_(system), startup_limits_(startup_limits) {}

LiveBuffer::~LiveBuffer() {
  velix::platform::NullSink sink;
  Release(sink);
}

bool LiveBuffer::Allocate(uint32_t megabytes, bool lock_memory, InteractionSink& sink) {
  Release(sink);
  bool ok = !lock_memory || RaiseWorkingSet(megabytes, sink);
  ok = ok && CommitMemory(megabytes, sink);
  if (ok) {
    if (working_set_raised_ && lock_memory) {
      ok = LockMemory(sink);
    } else {
      Trace("  Do not  VirtualLock(). \n\n");
    }
  }
  if (!ok) Release(sink);
  return ok;
}

bool LiveBuffer::RaiseWorkingSet(uint32_t megabytes, InteractionSink& sink) {
  // The buffer plus a little room for the rest of the process's locked pages.
  const uint64_t minimum = (uint64_t{megabytes} + 1) * kMegabyteBytes;
  const uint64_t maximum = (uint64_t{megabytes} + 2) * kMegabyteBytes;
  Trace(" => SetWorkingSetSize  min:max = (0x%08llX, 0x%08llX)\n",
        static_cast<unsigned long long>(minimum), static_cast<unsigned long long>(maximum));
  const uint32_t error = system_.RaiseWorkingSet(minimum);
  if (error == 0) {
    working_set_raised_ = true;
  } else {
    Trace("SetProcessWorkingSetSize()  error!! :  %u\n", error);
    const std::string failure = "*** memory allocation error *** \n" +
                                FailedCallText("setrlimit(RLIMIT_MEMLOCK)", error) + kLockLimitHint;
    if (!ContinueAfterLockFailure(failure, sink)) return false;
  }
  WorkingSetLimits now{};
  const bool read = system_.ReadWorkingSet(&now);
  Trace("  ... verify GetWorkingSetSize:(result=%u)  min:max = (0x%08llX, 0x%08llX)\n",
        read ? 1u : 0u, static_cast<unsigned long long>(now.minimum),
        static_cast<unsigned long long>(now.maximum));
  return true;
}

bool LiveBuffer::CommitMemory(uint32_t megabytes, InteractionSink& sink) {
  const uint64_t size = uint64_t{megabytes} * kMegabyteBytes;
  const uint32_t error = (megabytes == 0 || megabytes > kLargestBufferMb)
                             ? static_cast<uint32_t>(EINVAL)
                             : system_.Commit(memory_, static_cast<size_t>(size));
  if (error != 0) {
    Trace(" VirtualAlloc()  (sizeMem=0x%llX)  error!!  : LastError = %u\n",
          static_cast<unsigned long long>(size), error);
    sink.Show(StringPrintf("*** Memory allocation failed. ***\n( VirtualAlloc()  error:%u )\n", error) +
              velix::platform::SystemErrorText(error));
    return false;
  }
  committed_ = true;
  Trace(" VirtualAlloc()   Pass  : \n Address = 0x%llX,  size = 0x%X\n", AddressOf(Data()),
        SizeBytes());
  return true;
}

bool LiveBuffer::LockMemory(InteractionSink& sink) {
  Trace(" VirtualLock()  : adrs = 0x%llX,  size = 0x%X \n", AddressOf(Data()), SizeBytes());
  const uint32_t error = system_.Lock(memory_);
  if (error == 0) {
    locked_ = true;
    return true;
  }
  const std::string failure = "*** memory lock failed. *** \n" + FailedCallText("mlock()", error) + kLockLimitHint;
  return ContinueAfterLockFailure(failure, sink);
}

bool LiveBuffer::ContinueAfterLockFailure(const std::string& failure, InteractionSink& sink) const {
  switch (lock_failure_) {
    case LockFailurePolicy::kAsk: return UserChoosesToContinue(sink, failure + "\n" + kContinueQuestion);
    case LockFailurePolicy::kContinue:
      sink.Show(failure + "The capture goes on with memory that is not locked.", Icon::kExclamation);
      return true;
    case LockFailurePolicy::kFail: sink.Show(failure, Icon::kStop); return false;
  }
  return false;
}

void LiveBuffer::Release(InteractionSink& sink) {
  if (locked_) {
    Trace(" VirtualUnlock()  : adrs = 0x%llX,  size = 0x%X \n", AddressOf(Data()), SizeBytes());
    const uint32_t error = system_.Unlock(memory_);
    if (error != 0) {
      sink.Show(StringPrintf("VirtualUnlock( 0x%llX, %u )  ERROR :  %u", AddressOf(Data()),
                             SizeBytes(), error));
    }
    locked_ = false;
  }
  if (committed_) {
    Trace(" VirtualFree()  : adrs = 0x%llX \n", AddressOf(Data()));
    // Unmapping cannot fail for a mapping we own, and it drops any lock left.
    memory_.Release();
    committed_ = false;
  }
  if (working_set_raised_) {
    if (startup_limits_.minimum != 0 && startup_limits_.maximum != 0) {
      Trace(" Re_Set WorkingSetSize  min:max = (0x%08llX, 0x%08llX)\n",
            static_cast<unsigned long long>(startup_limits_.minimum),
            static_cast<unsigned long long>(startup_limits_.maximum));
      const uint32_t error = system_.RestoreWorkingSet(startup_limits_);
      Trace("    bret = %u\n", error == 0 ? 1u : 0u);
    }
    working_set_raised_ = false;
  }
}

}  // namespace orvane

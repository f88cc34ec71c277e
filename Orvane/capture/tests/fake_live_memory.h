#pragma once
// A LiveMemorySystem that commits real (small) memory but fails the steps a
// test asks it to, and counts every call.

#include <vector>

#include "Orvane/capture/live_buffer.h"

namespace orvane::testing {

class FakeLiveMemory final : public LiveMemorySystem {
 public:
  uint32_t raise_error = 0;
  uint32_t commit_error = 0;
  uint32_t lock_error = 0;
  uint32_t unlock_error = 0;

  std::vector<uint64_t> raised;  // minimum bytes of every raise
  std::vector<velix::platform::WorkingSetLimits> restored;
  int commits = 0;
  int locks = 0;
  int unlocks = 0;

  uint32_t RaiseWorkingSet(uint64_t minimum_bytes) override {
    raised.push_back(minimum_bytes);
    return raise_error;
  }
  bool ReadWorkingSet(velix::platform::WorkingSetLimits* limits) override {
    *limits = {};
    return true;
  }
  uint32_t RestoreWorkingSet(const velix::platform::WorkingSetLimits& limits) override {
    restored.push_back(limits);
    return 0;
  }
  uint32_t Commit(velix::platform::CommittedMemory& memory, size_t size) override {
    ++commits;
    return commit_error != 0 ? commit_error : memory.Commit(size);
  }
  uint32_t Lock(velix::platform::CommittedMemory&) override {
    ++locks;
    return lock_error;
  }
  uint32_t Unlock(velix::platform::CommittedMemory&) override {
    ++unlocks;
    return unlock_error;
  }
};

inline constexpr velix::platform::WorkingSetLimits kStartupLimits{0x10000, 0x800000};

}  // namespace orvane::testing

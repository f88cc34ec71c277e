#pragma once
// Committed (and optionally page-locked) memory for the live capture buffer,
// and the process limit on locked memory, which plays the role of the
// working-set limits: raising the working set = raising RLIMIT_MEMLOCK.

#include <cstddef>
#include <cstdint>

namespace velix::platform {

class CommittedMemory {
 public:
  CommittedMemory() = default;
  ~CommittedMemory();  // unlocks and releases
  CommittedMemory(CommittedMemory&& other) noexcept;
  CommittedMemory& operator=(CommittedMemory&& other) noexcept;
  CommittedMemory(const CommittedMemory&) = delete;
  CommittedMemory& operator=(const CommittedMemory&) = delete;

  // Reserves and commits `size` bytes of zeroed memory; 0 or errno.
  uint32_t Commit(size_t size);
  // Locks the pages into physical memory; 0 or errno.
  uint32_t Lock();
  uint32_t Unlock();
  void Release();

  uint8_t* Data() const { return data_; }
  size_t Size() const { return size_; }
  bool Locked() const { return locked_; }

 private:
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
  bool locked_ = false;
};

struct WorkingSetLimits {
  uint64_t minimum = 0;  // soft RLIMIT_MEMLOCK
  uint64_t maximum = 0;  // hard RLIMIT_MEMLOCK
};

// Reads the limits; false (both 0) when unavailable.
bool GetWorkingSetLimits(WorkingSetLimits* limits);
// Raises the soft limit to at least `bytes` (never above the hard limit
// unless the process may raise that too); 0 or errno.
uint32_t RaiseWorkingSet(uint64_t bytes);
// Restores limits read earlier; 0 or errno.
uint32_t RestoreWorkingSet(const WorkingSetLimits& limits);

// Physical memory of the machine in bytes (total and available now).
bool PhysicalMemory(uint64_t* total, uint64_t* available);

}  // namespace velix::platform

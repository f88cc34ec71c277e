#include "platform/locked_memory.h"

#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/sysinfo.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace velix::platform {
namespace {

constexpr uint64_t kKibibyte = 1024;

// Reads one "Name:   N kB" line of /proc/meminfo into bytes.
bool MeminfoValue(const char* name, uint64_t* bytes) {
  FILE* file = std::fopen("/proc/meminfo", "re");
  if (file == nullptr) return false;
  const size_t name_length = std::strlen(name);
  char line[256];
  bool found = false;
  while (!found && std::fgets(line, sizeof line, file) != nullptr) {
    unsigned long long kib = 0;
    if (std::strncmp(line, name, name_length) == 0 && line[name_length] == ':' &&
        std::sscanf(line + name_length + 1, "%llu", &kib) == 1) {
      *bytes = kib * kKibibyte;
      found = true;
    }
  }
  std::fclose(file);
  return found;
}

}  // namespace

CommittedMemory::~CommittedMemory() { Release(); }

CommittedMemory::CommittedMemory(CommittedMemory&& other) noexcept
    : data_(other.data_), size_(other.size_), locked_(other.locked_) {
  other.data_ = nullptr;
  other.size_ = 0;
  other.locked_ = false;
}

CommittedMemory& CommittedMemory::operator=(CommittedMemory&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = other.data_;
    size_ = other.size_;
    locked_ = other.locked_;
    other.data_ = nullptr;
    other.size_ = 0;
    other.locked_ = false;
  }
  return *this;
}

uint32_t CommittedMemory::Commit(size_t size) {
  if (size == 0) return EINVAL;
  Release();
  // Anonymous pages arrive zeroed, as a fresh commit must.
  void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) return static_cast<uint32_t>(errno);
  data_ = static_cast<uint8_t*>(memory);
  size_ = size;
  return 0;
}

uint32_t CommittedMemory::Lock() {
  if (data_ == nullptr) return EINVAL;
  if (locked_) return 0;
  if (mlock(data_, size_) != 0) return static_cast<uint32_t>(errno);
  locked_ = true;
  return 0;
}

uint32_t CommittedMemory::Unlock() {
  if (data_ == nullptr) return EINVAL;
  if (!locked_) return 0;
  if (munlock(data_, size_) != 0) return static_cast<uint32_t>(errno);
  locked_ = false;
  return 0;
}

void CommittedMemory::Release() {
  if (data_ == nullptr) return;
  // munmap drops the lock with the pages, so no separate unlock is needed.
  munmap(data_, size_);
  data_ = nullptr;
  size_ = 0;
  locked_ = false;
}

bool GetWorkingSetLimits(WorkingSetLimits* limits) {
  if (limits == nullptr) return false;
  rlimit current{};
  if (getrlimit(RLIMIT_MEMLOCK, &current) != 0) {
    *limits = {};
    return false;
  }
  limits->minimum = current.rlim_cur;
  limits->maximum = current.rlim_max;
  return true;
}

uint32_t RaiseWorkingSet(uint64_t bytes) {
  rlimit current{};
  if (getrlimit(RLIMIT_MEMLOCK, &current) != 0) return static_cast<uint32_t>(errno);
  // RLIM_INFINITY is the largest value, so an unlimited soft limit passes here.
  if (current.rlim_cur >= bytes) return 0;
  rlimit wanted = current;
  wanted.rlim_cur = bytes;
  // Lifting the hard limit needs privilege; setrlimit reports EPERM without it.
  if (wanted.rlim_max < bytes) wanted.rlim_max = bytes;
  return setrlimit(RLIMIT_MEMLOCK, &wanted) == 0 ? 0 : static_cast<uint32_t>(errno);
}

uint32_t RestoreWorkingSet(const WorkingSetLimits& limits) {
  const rlimit wanted{limits.minimum, limits.maximum};
  return setrlimit(RLIMIT_MEMLOCK, &wanted) == 0 ? 0 : static_cast<uint32_t>(errno);
}

bool PhysicalMemory(uint64_t* total, uint64_t* available) {
  if (total == nullptr || available == nullptr) return false;
  // MemAvailable counts reclaimable cache too, which is what "free for a
  // new buffer" means; sysinfo only knows truly free pages.
  if (MeminfoValue("MemTotal", total) && MeminfoValue("MemAvailable", available)) return true;
  struct sysinfo info {};
  if (sysinfo(&info) != 0) return false;
  *total = static_cast<uint64_t>(info.totalram) * info.mem_unit;
  *available = static_cast<uint64_t>(info.freeram) * info.mem_unit;
  return true;
}

}  // namespace velix::platform
